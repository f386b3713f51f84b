#include "AlphaColor.h"
#include "KmlNumber.h"
#include "ValueRules.h"
#include "Vocabulary.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <functional>

class ValuesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void alphaFollowsTheIntegerRuleForEverySliderValue()
    {
        for (int v = 0; v <= 100; ++v) {
            const int expected = v == 100 ? 255 : v * 256 / 100;
            const QString hex = Overlay::PercentToAlphaHex(double(v));
            QVERIFY2(hex.size() == 2, qPrintable(hex));
            QVERIFY2(hex == hex.toLower(), qPrintable(hex));
            bool ok = false;
            QCOMPARE(hex.toInt(&ok, 16), expected);
            QVERIFY(ok);
        }
    }

    // The rule's other halves: the colour string and the size words.
    void colourAndSizeWords()
    {
        QCOMPARE(
            Vocabulary::ColorWithAlpha(Vocabulary::kOpaqueWhite, Overlay::PercentToAlphaHex(50)),
            QStringLiteral("80ffffff"));
        QCOMPARE(Vocabulary::ColorWithAlpha(QStringLiteral("FF10A0c0"), QStringLiteral("1a")),
                 QStringLiteral("1a10A0c0"));
        // The slider's nearest place for a colour's alpha, and opaque when it has none.
        for (const auto& [color, percent] : {std::pair{"ffffffff", 100},
                                             {"00123456", 0},
                                             {"80ffffff", 50},
                                             {"81ffffff", 51},
                                             {"7Fffffff", 50},
                                             {"fe000000", 100},
                                             {"fc000000", 99},
                                             {"+f", 100}})
            QCOMPARE(Overlay::NearestPercent(QLatin1String(color)), percent);
        const std::pair<const char*, const char*> sizeWords[] = {
            {"Maintain native size", "-1"},
            {"Maintain aspect", "0"},
            {"maintain aspect", "maintain aspect"},
            {"Maintain aspect ", "Maintain aspect "},
            {"0.25", "0.25"},
            {"", ""}};
        for (const auto& [text, value] : sizeWords)
            QCOMPARE(Vocabulary::SizeWordRule(QString::fromUtf8(text)), QString::fromUtf8(value));
    }

    void numberForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isNumber");
        QTest::addColumn<double>("value");
        const struct
        {
            const char* text;
            bool isNumber;
            double value;
        } rows[] = {
            {"0", true, 0},      {"0.5", true, 0.5},   {".5", true, 0.5},
            {"5.", true, 5},     {"-3.5", true, -3.5}, {"+2", true, 2},
            {"1e3", true, 1000}, {"1E-2", true, 0.01}, {"2.5e+1", true, 25},
            {"  7 ", true, 7},   {"\t7\t", true, 7},   {"180.01", true, 180.01},
            {"0,5", false, 0},   {"1,000", false, 0},  {"inf", false, 0},
            {"nan", false, 0},   {"1e400", false, 0},  {"", false, 0},
            {"   ", false, 0},   {".", false, 0},      {"-", false, 0},
            {"1e", false, 0},    {"1e+", false, 0},    {"1.2.3", false, 0},
            {"abc", false, 0},   {"45deg", false, 0},  {"0x10", false, 0},
            {"- 1", false, 0},   {"1 2", false, 0},    {"ten", false, 0},
        };
        for (const auto& row : rows)
            QTest::addRow("'%s'", row.text)
                << QString::fromLatin1(row.text) << row.isNumber << row.value;
    }

    void numberForm()
    {
        QFETCH(QString, text);
        QFETCH(bool, isNumber);
        QFETCH(double, value);
        const std::optional<double> parsed = Overlay::KmlNumberValue(text);
        QCOMPARE(parsed.has_value(), isNumber);
        QCOMPARE(Overlay::IsKmlNumber(text), isNumber);
        if (isNumber)
            QCOMPARE(*parsed, value);
    }

    // A comma-decimal locale must change nothing: files are read by viewers
    // that always expect ".".
    void numberFormIgnoresTheUserLocale()
    {
        // NOLINTNEXTLINE(concurrency-mt-unsafe): the test runs on one thread
        QVERIFY(std::setlocale(LC_ALL, "de_DE.UTF-8"));
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(!Overlay::IsKmlNumber(QStringLiteral("0,5")));
        QCOMPARE(Overlay::KmlNumberValue(QStringLiteral("0.5")).value_or(-1), 0.5);
        QCOMPARE(Overlay::WholeNumberText(-1234567.0), QStringLiteral("-1234567"));
        std::setlocale(LC_ALL, "C.UTF-8"); // NOLINT(concurrency-mt-unsafe): as above
        QLocale::setDefault(before);
    }

    // What the window does when the focus leaves a value: A accepted, R
    // refused, = replaced by the text after it; D a "Data Error" box, N a
    // notice, - none. Each rule once at every edge.
    void valueRules()
    {
        using namespace ValueRules;
        const auto x = [](const QString& t) {
            return PointValue(t, QStringLiteral("x"));
        };
        const auto size = [](const QString& t) {
            return SizeValue(t, QStringLiteral("x-size"));
        };
        const std::pair<std::function<Decision(const QString&)>, QStringList> rules[] = {
            {x, {"|A-", "abc|RD", "-3.5|A-", "250|A-", "0,5|RD"}},
            {RotationAngle, {"|A-", "180|A-", "-180|A-", "180.01|RN", "-200|RN", "45deg|RD"}},
            {DrawOrder, {"|A-", "12|A-", "5.0|A-", "3.7|=3N", "-0.5|=-1N", "1e20|A-", "ten|RD"}},
            {size,
             {"|A-", "Maintain native size|A-", "Maintain aspect|A-", "0|A-", "200|A-", "-5|RN",
              "maintain aspect|RD", "Maintain aspect |RD"}},
        };
        const QString kinds = QStringLiteral("ARR=");
        for (const auto& [rule, rows] : rules) {
            for (const QString& row : rows) {
                const Decision d = rule(row.section(u'|', 0, 0));
                const QString verdict = d.verdict == Decision::Verdict::Replaced
                                            ? u'=' + d.replacement
                                            : QString(kinds[int(d.verdict)]);
                const QString box = QStringLiteral("-DN").at(int(d.box));
                QCOMPARE(row.section(u'|', 0, 0) % u'|' % verdict % box, row);
                QCOMPARE(d.message.isEmpty(), d.box == Decision::Box::None);
            }
        }
        QCOMPARE(PointValue(QStringLiteral("?"), QStringLiteral("overlay x value")).message,
                 QStringLiteral("Please enter a valid number for the overlay x value"));
    }

    void wholeNumberText()
    {
        const std::pair<double, const char*> rows[] = {
            {3.0, "3"}, {-1.0, "-1"}, {-0.0, "0"}, {1e20, "100000000000000000000"}};
        for (const auto& [value, text] : rows)
            QCOMPARE(Overlay::WholeNumberText(value), QString::fromLatin1(text));
    }
};

QTEST_GUILESS_MAIN(ValuesTest)
#include "tst_values.moc"
