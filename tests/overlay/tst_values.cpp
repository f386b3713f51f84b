#include "AlphaColor.h"
#include "KmlNumber.h"
#include "Presets.h"
#include "ValueRules.h"
#include "Vocabulary.h"

#include <QLocale>
#include <QTest>

#include <algorithm>
#include <clocale>
#include <functional>
#include <iterator>

class ValuesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The alpha digits at the slider's edges and on the way, between whole
    // places too (two lower-case digits, opaque only past 99), the colour string and the size
    // words.
    void alphaColourAndSizeWords()
    {
        const std::pair<double, const char*> alphas[] = {
            {0, "00"},    {1, "02"},  {10, "19"}, {12.5, "20"}, {25, "40"},
            {33.3, "55"}, {50, "80"}, {75, "c0"}, {99, "fd"},   {100, "ff"}};
        for (const auto& [percent, alpha] : alphas)
            QCOMPARE(Overlay::PercentToAlphaHex(percent), QLatin1String(alpha));
        QCOMPARE(Vocabulary::ColorWithAlpha(QStringLiteral("FF10A0c0"), QStringLiteral("1a")),
                 QStringLiteral("1a10A0c0"));
        // The slider's nearest place for a colour's alpha, and opaque when it has none.
        const std::pair<const char*, int> nearest[] = {
            {"ffffffff", 100}, {"00123456", 0},   {"80ffffff", 50}, {"81ffffff", 51},
            {"7Fffffff", 50},  {"fe000000", 100}, {"fc000000", 99}, {"+f", 100}};
        for (const auto& [color, percent] : nearest)
            QCOMPARE(Overlay::NearestPercent(QLatin1String(color)), percent);
        const std::pair<const char*, const char*> sizeWords[] = {
            {"Maintain native size", "-1"}, {"Maintain aspect", "0"}, {"maintain aspect", nullptr},
            {"Maintain aspect ", nullptr},  {"0.25", nullptr},        {"", nullptr}};
        for (const auto& [text, value] : sizeWords) // null: kept as typed
            QCOMPARE(Vocabulary::SizeWordRule(QString::fromUtf8(text)),
                     QString::fromUtf8(value ? value : text));
    }

    void numberForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("value"); // null: not a number
        const std::pair<const char*, const char*> rows[] = {
            {"0", "0"},       {"0.5", "0.5"}, {".5", "0.5"},   {"5.", "5"},
            {"-3.5", "-3.5"}, {"+2", "2"},    {"1e3", "1000"}, {"1E-2", "0.01"},
            {"2.5e+1", "25"}, {"  7 ", "7"},  {"\t7\t", "7"},  {"180.01", "180.01"},
            {"0,5", {}},      {"1,000", {}},  {"inf", {}},     {"nan", {}},
            {"1e400", {}},    {"", {}},       {"   ", {}},     {".", {}},
            {"-", {}},        {"1e", {}},     {"1e+", {}},     {"1.2.3", {}},
            {"abc", {}},      {"45deg", {}},  {"0x10", {}},    {"- 1", {}},
            {"1 2", {}},      {"ten", {}}};
        for (const auto& [text, value] : rows)
            QTest::addRow("'%s'", text) << QString::fromLatin1(text) << QString::fromLatin1(value);
    }

    void numberForm()
    {
        QFETCH(QString, text);
        QFETCH(QString, value);
        const std::optional<double> parsed = Overlay::KmlNumberValue(text);
        QCOMPARE(parsed.has_value(), !value.isNull());
        QCOMPARE(Overlay::IsKmlNumber(text), !value.isNull());
        if (parsed)
            QCOMPARE(*parsed, value.toDouble());
    }

    // A comma-decimal locale must change nothing: files are read by viewers
    // that always expect ".".
    void numberFormIgnoresTheUserLocale()
    {
        // The same comma locale by its Linux and its Windows names.
        const char* const names[] = {"de_DE.UTF-8", "de-DE", "German_Germany.1252", "German"};
        QVERIFY(std::any_of(std::begin(names), std::end(names), [](const char* name) {
            // NOLINTNEXTLINE(concurrency-mt-unsafe): the test runs on one thread
            return std::setlocale(LC_ALL, name) != nullptr;
        }));
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(!Overlay::IsKmlNumber(QStringLiteral("0,5")));
        QCOMPARE(Overlay::KmlNumberValue(QStringLiteral("0.5")).value_or(-1), 0.5);
        const std::pair<double, const char*> whole[] = {
            {3.0, "3"}, {-0.0, "0"}, {-1234567.0, "-1234567"}, {1e20, "100000000000000000000"}};
        for (const auto& [value, text] : whole)
            QCOMPARE(Overlay::WholeNumberText(value), QString::fromLatin1(text));
        std::setlocale(LC_ALL, "C.UTF-8"); // NOLINT(concurrency-mt-unsafe): as above
        QLocale::setDefault(before);
    }

    // What the window does when the focus leaves a value: the verdict, the
    // replacing text, and the box. Each rule once at every edge.
    void valueRules()
    {
        using namespace ValueRules;
        using Rule = std::function<Decision(const QString&)>;
        using V = Decision::Verdict;
        using B = Decision::Box;
        const Rule x = [](const QString& t) {
            return PointValue(t, QStringLiteral("x"));
        };
        const Rule size = [](const QString& t) {
            return SizeValue(t, QStringLiteral("x-size"));
        };
        const Rule angle = RotationAngle;
        const Rule order = DrawOrder;
        const struct
        {
            const Rule& rule;
            const char* text = "";
            V verdict = V::Accepted;
            B box = B::None;
            const char* replacement = "";
        } rows[] = {
            {x, "", V::Accepted, B::None},
            {x, "abc", V::Refused, B::DataError},
            {x, "250", V::Accepted, B::None},
            {angle, "", V::Accepted, B::None},
            {angle, "180", V::Accepted, B::None},
            {angle, "-180", V::Accepted, B::None},
            {angle, "180.01", V::Refused, B::Notice},
            {angle, "-200", V::Refused, B::Notice},
            {angle, "45deg", V::Refused, B::DataError},
            {order, "", V::Accepted, B::None},
            {order, "5.0", V::Accepted, B::None},
            {order, "3.7", V::Replaced, B::Notice, "3"},
            {order, "-0.5", V::Replaced, B::Notice, "-1"},
            {order, "1e20", V::Accepted, B::None},
            {order, "ten", V::Refused, B::DataError},
            {size, "", V::Accepted, B::None},
            {size, "Maintain native size", V::Accepted, B::None},
            {size, "0", V::Accepted, B::None},
            {size, "200", V::Accepted, B::None},
            {size, "-5", V::Refused, B::Notice},
            {size, "maintain aspect", V::Refused, B::DataError},
        };
        for (const auto& row : rows) {
            const Decision d = row.rule(QString::fromUtf8(row.text));
            QVERIFY2(d.verdict == row.verdict && d.box == row.box, row.text);
            QCOMPARE(d.replacement, QString::fromUtf8(row.replacement));
            QCOMPARE(d.message.isEmpty(), d.box == Decision::Box::None);
        }
        QCOMPARE(PointValue(QStringLiteral("?"), QStringLiteral("overlay x value")).message,
                 QStringLiteral("Please enter a valid number for the overlay x value"));
    }

    // A preset's own values match it and no other; a unit, a spelling or a
    // second point that differs matches none.
    void presetsMatchTheirOwnPlacesOnly()
    {
        for (int index = 0; index < Overlay::kPresetCount; ++index) {
            OverlaySettings s;
            for (const auto& [field, text] : Overlay::PresetFields(index))
                s.*field = text;
            QCOMPARE(Overlay::MatchingPreset(s), index);
            QCOMPARE(s.overlayX + s.overlayY, s.screenX + s.screenY);
            for (const auto& [field, text] :
                 {std::pair{&OverlaySettings::screenYUnits, QStringLiteral("pixels")},
                  {&OverlaySettings::overlayX, s.overlayX + "0"},
                  {&OverlaySettings::screenY, QStringLiteral("2")}}) {
                OverlaySettings changed = s;
                changed.*field = text;
                QCOMPARE(Overlay::MatchingPreset(changed), -1);
            }
        }
        QCOMPARE(Overlay::PresetFromTopLeft(0), QPointF(0, 0)); // "Upper left" at the top
        QCOMPARE(Overlay::PresetFromTopLeft(5), QPointF(1, 0.5));
    }
};

QTEST_GUILESS_MAIN(ValuesTest)
#include "tst_values.moc"
