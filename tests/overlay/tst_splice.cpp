#include "KmlSplice.h"
#include "KmlWriter.h"
#include "OverlayReader.h"
#include "Vocabulary.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTest>

#include <algorithm>
#include <array>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

#ifdef ORVINEL_LIBKML
#include <kml/dom.h>
#include <string>
#endif

using namespace Overlay;
using namespace Qt::StringLiterals;

namespace {

// Fewer under the sanitizers (CMake sets it there), which run ten times slower.
#ifdef ORVINEL_SPLICE_ROUNDS
constexpr int kRounds = ORVINEL_SPLICE_ROUNDS;
#else
constexpr int kRounds = 10000;
#endif

// Field name -> value.
using Fields = QHash<QString, QString>;

OpenedOverlayFile Read(const QByteArray& bytes, int which = 0)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadOverlay(buffer, nullptr, which);
}

// What a file can give back of `s`: sizes typed as -1 and 0 read as their
// words, and a point without x and y is not written, nor are its units.
OverlaySettings Readable(OverlaySettings s)
{
    s.outputFile.clear();
    for (const OverlayPoint& point : kOverlayPoints) {
        for (OverlayField axis : {point.x, point.y})
            if (point.sizeWords && (s.*axis == "-1"_L1 || s.*axis == "0"_L1))
                s.*axis = s.*axis == "0"_L1 ? Vocabulary::kMaintainAspect
                                            : Vocabulary::kMaintainNativeSize;
        if ((s.*point.x).isEmpty() && (s.*point.y).isEmpty())
            s.*point.xUnits = s.*point.yUnits = Vocabulary::kFraction;
    }
    return s;
}

QString Diff(const OverlaySettings& got, const OverlaySettings& wanted)
{
    QString diff;
    for (const NamedField& named : kOverlayFields)
        if (got.*named.field != wanted.*named.field)
            diff += u"%1: \"%2\" not \"%3\"\n"_s.arg(QLatin1String(named.name), got.*named.field,
                                                     wanted.*named.field);
    return diff;
}

// Whether the overlay's KML children that have a place in KML's order stand in it.
bool InKmlOrder(const OverlaySpot& spot)
{
    static const QStringList order =
        u"name visibility description styleUrl ExtendedData color "
        u"drawOrder Icon overlayXY screenXY rotationXY size rotation"_s.split(u' ');
    qsizetype last = 0;
    for (const ElementSpan& child : spot.children) {
        const qsizetype rank = child.kml ? order.indexOf(child.name) : -1;
        if (rank >= 0 && rank < last)
            return false;
        last = std::max(last, rank);
    }
    return true;
}

QString Shown(const QByteArray& bytes)
{
    const std::optional<KmlText> kml = DecodeKml(bytes);
    return kml ? kml->text : QString::fromUtf8(bytes);
}

#ifdef ORVINEL_LIBKML
// NOLINTNEXTLINE(misc-no-recursion): containers nest a few deep
bool DropOverlay(const kmldom::ContainerPtr& container, int& seen, int which)
{
    for (std::size_t i = 0; i < container->get_feature_array_size(); ++i) {
        const kmldom::FeaturePtr& feature = container->get_feature_array_at(i);
        const kmldom::ContainerPtr inner = kmldom::AsContainer(feature);
        if (feature->IsA(kmldom::Type_ScreenOverlay) && seen++ == which)
            container->DeleteFeatureAt(i);
        else if (!inner || !DropOverlay(inner, seen, which))
            continue;
        return true;
    }
    return false;
}

// The document as libkml reads it, screen overlay `which` left out; libkml
// reads UTF-8 only, so the declaration naming the file's own goes.
std::string WithoutOverlay(QString text, int which)
{
    static const QRegularExpression declaration(uR"(^<\?xml[^>]*\?>)"_s);
    std::string errors;
    const kmldom::KmlPtr kml =
        kmldom::AsKml(kmldom::ParseNS(text.remove(declaration).toStdString(), &errors));
    if (!kml)
        return "not read: " + errors;
    int seen = 0;
    if (kml->has_feature() && kml->get_feature()->IsA(kmldom::Type_ScreenOverlay))
        kml->clear_feature();
    else if (const kmldom::ContainerPtr top = kmldom::AsContainer(kml->get_feature()))
        DropOverlay(top, seen, which);
    return kmldom::SerializePretty(kml);
}
#endif

// Random KML files with screen overlays among other things, in the forms
// files from elsewhere take, and random edits of an overlay's values.
class Generator
{
public:
    explicit Generator(quint32 seed) : random_(seed) {}

    int Pick(qsizetype count) { return int(random_.bounded(int(count))); }
    bool Chance(int oneIn) { return Pick(oneIn) == 0; }

    // A file's bytes, and how many screen overlays it holds.
    std::pair<QByteArray, int> File()
    {
        overlays_ = 0;
        nl_ = Fill(u"{\n|\n|\r\n|}");
        step_ = nl_.isEmpty() ? QString() : Fill(u"{  |\t|    }");
        const int ns = Pick(4);
        prefix_ = ns == 3 ? u"kml:"_s : QString();
        // With a kml: prefix, unprefixed names may be no KML.
        static const char16_t* const namespaces[] = {
            uR"( xmlns="http://www.opengis.net/kml/2.2")",
            uR"( xmlns="http://earth.google.com/kml/2.2")", u"",
            uR"( xmlns:kml="http://www.opengis.net/kml/2.2"{| xmlns="urn:o"})"};
        const QString body = Chance(6) ? Overlay(1) : Container(1);
        QString text =
            Fill(QString(u"{<!-- made elsewhere -->^|||}<@kml"_s + namespaces[ns] +
                         uR"( xmlns:gx="http://www.google.com/kml/ext/2.2" xmlns:o="urn:o">)"),
                 prefix_) +
            body + Line(0) + u"</" + prefix_ + u"kml>" + nl_;

        // UTF-8, UTF-16 LE and BE, ISO-8859-1; without its byte order mark a
        // file that names UTF-16 is read as big-endian, so only an undeclared
        // one goes without.
        const int form = Pick(4);
        const QStringConverter::Encoding encoding =
            std::array{QStringConverter::Utf8, QStringConverter::Utf16LE, QStringConverter::Utf16BE,
                       QStringConverter::Latin1}[form];
        const bool bom = form == 0 ? Chance(3) : form < 3 && Chance(2);
        const QString declaration =
            form == 0   ? Fill(uR"({|<?xml version="1.0" encoding="UTF-8"?>|<?xml version='1.0' )"
                               uR"(encoding='utf-8' standalone='yes'?>})")
            : form == 3 ? uR"(<?xml version="1.0" encoding="ISO-8859-1"?>)"_s
            : bom       ? Fill(uR"({|<?xml version="1.0" encoding="UTF-16"?>})")
                        : QString();
        if (form == 3) {
            QString latin1;
            for (const char32_t c : text.toUcs4())
                latin1 += c <= 0xFF ? QString(QChar(c)) : u"&#%1;"_s.arg(quint32(c));
            text = latin1;
        }
        if (!declaration.isEmpty())
            text.prepend(declaration + (nl_.isEmpty() ? u"\n"_s : nl_));
        return {QStringEncoder(encoding).encode((bom ? u"\uFEFF"_s : QString()) + text), overlays_};
    }

    // `s` with up to four fields set anew, as a user might.
    OverlaySettings Edited(OverlaySettings s)
    {
        for (int edits = Pick(5); edits > 0; --edits) {
            const NamedField& named = kOverlayFields[Pick(std::size(kOverlayFields))];
            const QString name = QLatin1String(named.name);
            QString& value = s.*named.field;
            if (name == "colour"_L1)
                value = Fill(u"%");
            else if (name.endsWith("Units"_L1))
                value = Fill(name.startsWith("size"_L1) ? u"{fraction|pixels}"
                                                        : u"{fraction|pixels|insetPixels}");
            else if (name.startsWith("size"_L1) && Chance(2))
                value = Fill(u"{Maintain native size|Maintain aspect|-1|0}");
            else if (name != "outputFile"_L1)
                value = Typed();
        }
        return s;
    }

private:
    // A template: @ the prefix, $ element content, * a picture path, % a
    // colour, ^ a line break `depth` steps in, {a|b} one of the choices. One
    // small interpreter, which calls itself for what a choice holds.
    // NOLINTNEXTLINE(misc-no-recursion,readability-function-cognitive-complexity)
    QString Fill(QStringView t, const QString& p = {}, int depth = 0)
    {
        QString out;
        for (qsizetype i = 0; i < t.size(); ++i) {
            if (t[i] == u'{') {
                QList<QStringView> choices;
                qsizetype from = i + 1;
                for (int level = 0; level >= 0;) {
                    const QChar c = t[++i];
                    level += c == u'{' ? 1 : c == u'}' ? -1 : 0;
                    if (level < 0 || (level == 0 && c == u'|')) {
                        choices << t.sliced(from, i - from);
                        from = i + 1;
                    }
                }
                out += Fill(choices.at(Pick(choices.size())), p, depth);
            } else if (t[i] == u'$') {
                for (int pieces = Pick(4); pieces > 0; --pieces)
                    out +=
                        Fill(u"{Legend| |a &amp; b|&lt;|&#233;|&#x1F600;|<![CDATA[<b> & ]]>|東京|"
                             u"€|Zürich|\n|\t|&quot;'}");
            } else if (t[i] == u'*') {
                out += Fill(u"<@href>{a.png||東京 &amp; co.png|http://h/k.png?a=1&amp;b=2|"
                            u"<![CDATA[c.png]]>}</@href>",
                            p, depth);
            } else if (t[i] == u'%') {
                for (int digit = 0; digit < 8; ++digit)
                    out += u"0123456789abcdefABCDEF"_s.at(Pick(22));
            } else {
                out += t[i] == u'@' ? p : t[i] == u'^' ? Line(depth) : QString(t[i]);
            }
        }
        return out;
    }

    // What a user types: markup, references, non-Latin text, line ends,
    // invisible characters, numbers near the size words.
    QString Typed()
    {
        QString text;
        for (int pieces = Pick(5); pieces > 0; --pieces)
            text += Fill(u"{&|<|>|]]>|\"|'|東京|€|😀|𝄞x|Zürich| |\t|\n|\r|\r\n|key.png|\\a.png|-1|0|"
                         u"0.5|ffffff|a\uFEFF|\uFEFF|\u00A0|&amp;|<!--|<![CDATA[}");
        return text;
    }

    QString Line(int depth)
    {
        if (nl_.isEmpty())
            return Chance(8) ? u" "_s : QString();
        return nl_ + step_.repeated(depth);
    }

    // NOLINTNEXTLINE(misc-no-recursion): containers three deep
    QString Container(int depth)
    {
        static const QString items[] = {
            u"<@Placemark id=\"pm\"><@name>$</@name><@Point><@coordinates>1,2</@coordinates>"_s +
                u"</@Point></@Placemark>"_s,
            u"<@Style id=\"s\"><@IconStyle><@scale>1.5</@scale></@IconStyle></@Style>"_s,
            u"{<!-- <ScreenOverlay/> & co -->|<!--東京-->}"_s, u"<@description>$</@description>"_s,
            u"<@GroundOverlay><@name>$</@name></@GroundOverlay>"_s};
        const QString tag = Fill(u"{Document|Folder}");
        QString out =
            Fill(QString(u"^<@" + tag + u"{ id=\"c\"|||}>{^<@name>$</@name>|}"), prefix_, depth);
        // Other features, overlays, and containers three deep.
        for (int count = Pick(6); count > 0; --count) {
            const int item = Pick(std::size(items) + (depth < 3 ? 3 : 2));
            out += item < int(std::size(items))       ? Line(depth + 1) + Fill(items[item], prefix_)
                   : item < int(std::size(items)) + 2 ? Overlay(depth + 1)
                                                      : Container(depth + 1);
        }
        if (depth == 1 && overlays_ == 0)
            out += Overlay(depth + 1);
        return out + Line(depth) + u"</" + prefix_ + tag + u'>';
    }

    QString Point(const QString& p, const OverlayPoint& point)
    {
        const QString value = point.sizeWords ? u"{-1|0|100|0.5}"_s : u"{0|1|0.5|10| -3 }"_s;
        // A size in inset pixels is read as fraction.
        const QString unit = u"{fraction|pixels|insetPixels}"_s;
        QStringList attributes = {
            Fill(QString(u"x=\"" + value + u'"')), Fill(QString(u"y=\"" + value + u'"')),
            Fill(QString(u"xunits=\"" + unit + u'"')), Fill(QString(u"yunits=\"" + unit + u'"'))};
        if (Chance(10))
            attributes.removeAt(Pick(attributes.size()));
        if (Chance(3))
            std::shuffle(attributes.begin(), attributes.end(), random_);
        const QString name = p + QLatin1String(point.element);
        QString tag = u'<' + name + u' ' + attributes.join(u' ');
        if (Chance(3))
            tag.replace(u'"', u'\'');
        return tag + Fill(QString(u"{></" + name + u">|/>| />}"));
    }

    QString Overlay(int depth)
    {
        // Place in KML's order (-1: anywhere), chance in eight, template.
        static const std::tuple<int, int, const char16_t*> children[] = {
            {0, 6, u"<@name>$</@name>"},
            {1, 2, u"<@visibility>{0|1}</@visibility>"},
            {1, 2, u"<@description>$</@description>"},
            {1, 1, u"<@styleUrl>#s</@styleUrl>"},
            {1, 1, u"<@ExtendedData><@Data name=\"n\"><@value>$</@value></@Data></@ExtendedData>"},
            {2, 4, u"<@color>%</@color>"},
            {3, 4, u"<@drawOrder>{0|3|-2| 7 }</@drawOrder>"},
            {4, 6,
             u"{<@Icon/>|<@Icon>^*^</@Icon>|<@Icon><@refreshMode>onChange</@refreshMode></@Icon>|"
             u"<@Icon>*<@viewRefreshMode>never</@viewRefreshMode></@Icon>|<@Icon>*</@Icon>}"},
            {9, 4, u"<@rotation>{0|45.5|-90}</@rotation>"},
            {-1, 2, u"<gx:balloonVisibility>1</gx:balloonVisibility>"},
            {-1, 1, u"<o:name>other</o:name>"},
            {-1, 2, u"<!-- <name>x</name> -->"}};
        ++overlays_;
        // Now and then a prefix of its own, which its children may use
        // beside the file's.
        const bool own = Chance(8);
        const QString p = own ? u"k:"_s : prefix_;
        const QString open = Line(depth) + u'<' + p + u"ScreenOverlay" +
                             (own ? uR"( xmlns:k="http://www.opengis.net/kml/2.2")"_s : QString()) +
                             (Chance(3) ? u" id=\"o%1\""_s.arg(overlays_) : QString());
        if (Chance(8))
            return open + Fill(u"{/>| />}");
        std::vector<std::pair<int, QString>> in;
        for (const auto& [rank, in8, text] : children)
            if (Pick(8) < in8)
                in.emplace_back(rank < 0 ? Pick(10) : rank,
                                Fill(text, Chance(4) ? prefix_ : p, depth + 2));
        for (const OverlayPoint& point : kOverlayPoints)
            if (Chance(2))
                in.emplace_back(5 + int(&point - kOverlayPoints), Point(p, point));
        // A repeat, which the reader passes over.
        if (Chance(8) && !in.empty())
            in.push_back(in.at(std::size_t(Pick(qsizetype(in.size())))));
        if (Chance(3))
            std::shuffle(in.begin(), in.end(), random_);
        else
            std::stable_sort(in.begin(), in.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        QString out = open + u'>';
        for (const auto& child : in)
            out += Line(depth + 1) + child.second;
        if (!in.empty() || Chance(2))
            out += Line(depth);
        return out + u"</" + p + u"ScreenOverlay>";
    }

    QRandomGenerator random_;
    int overlays_ = 0;
    QString nl_, step_, prefix_;
};

// One random file, one of its overlays edited: what went wrong, or nothing.
QString EditOnce(quint32 seed)
{
    Generator generator(seed);
    const auto [file, overlays] = generator.File();
    const int which = generator.Pick(overlays);
    const KmlInPlaceRead read = ReadKmlInPlace(file, nullptr, which);
    if (!read.inPlace)
        return u"not opened in place: " + read.overlay.problem + u'\n' + Shown(file);
    const OverlaySettings& was = read.overlay.settings;
    const OverlaySettings now = generator.Edited(was);
    // Orvinel's own form holds whatever the user typed, and tells of no loss.
    const QByteArray own = OverlayFileBytes(now).bytes;
    if (const OpenedOverlayFile back = Read(own);
        back.settings != Readable(now) || !back.notKept.isEmpty() || !back.ok())
        return u"own form reads back otherwise: " + back.problem + back.notKept.join(u'|') + u'\n' +
               Diff(back.settings, Readable(now)) + QString::fromUtf8(own);

    const QByteArray bytes = InPlaceBytes(*read.inPlace, now);
    const QString both =
        u"overlay %1 edited:\n%2\n--- written:\n%3\n--- edits:\n%4"_s.arg(which).arg(
            Shown(file), Shown(bytes), Diff(now, was));
    if (now == was)
        return bytes == file ? QString() : u"unedited but rewritten, " + both;
    const std::optional<KmlText> before = DecodeKml(file);
    const std::optional<KmlText> after = DecodeKml(bytes);
    if (!after || after->bom != before->bom || after->encoding != before->encoding)
        return u"written in another encoding, " + both;
    const ElementSpan& edited = read.inPlace->spot.element;
    if (!after->text.startsWith(QStringView(before->text).left(edited.start)) ||
        !after->text.endsWith(QStringView(before->text).mid(edited.end)))
        return u"changed outside the overlay, " + both;
    const KmlLayout then = ScanKml(before->text);
    const KmlLayout is = ScanKml(after->text);
    if (!is.problem.isEmpty() || is.overlays.size() != std::size_t(overlays))
        return u"not the same overlays: " + is.problem + u", " + both;
    if (InKmlOrder(then.overlays[std::size_t(which)]) &&
        !InKmlOrder(is.overlays[std::size_t(which)]))
        return u"out of KML's order, " + both;
    const OpenedOverlayFile again = Read(bytes, which);
    if (!again.ok() || again.settings != Readable(now))
        return u"reads back otherwise: " + again.problem + u'\n' +
               Diff(again.settings, Readable(now)) + both;
    const auto span = [](const QString& text, const ElementSpan& e) {
        return QStringView(text).sliced(e.start, e.end - e.start);
    };
    for (std::size_t other = 0; other < std::size_t(overlays); ++other)
        if (int(other) != which &&
            (span(before->text, then.overlays[other].element) !=
                 span(after->text, is.overlays[other].element) ||
             Read(bytes, int(other)).settings != Read(file, int(other)).settings))
            return u"overlay %1 changed, "_s.arg(other) + both;
#ifdef ORVINEL_LIBKML
    const std::string rest = WithoutOverlay(before->text, which);
    if (rest.starts_with("not read") || WithoutOverlay(after->text, which) != rest)
        return u"libkml reads the rest otherwise: " + QString::fromStdString(rest) + both;
#endif
    return {};
}

} // namespace

class SpliceTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Any overlay of any file, any edit: the file changes only in that
    // overlay's edited elements and reads back as edited.
    void randomEdits()
    {
        const quint32 first = qEnvironmentVariableIsSet("ORVINEL_SPLICE_SEED")
                                  ? quint32(qEnvironmentVariableIntValue("ORVINEL_SPLICE_SEED"))
                                  : 20261208U;
        for (quint32 seed = first; seed < first + quint32(kRounds); ++seed)
            if (const QString failure = EditOnce(seed); !failure.isEmpty())
                QFAIL(qPrintable(u"ORVINEL_SPLICE_SEED=%1: "_s.arg(seed) + failure));
    }

    void edits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Fields>("edits");
        // A null output: the file is not edited in place.
        QTest::addColumn<QByteArray>("written");

        const auto doc = [](const char* overlay) -> QByteArray {
            return "<kml xmlns=\"http://www.opengis.net/kml/2.2\" xmlns:gx=\"http://www.google.com/"
                   "kml/ext/2.2\">\n<Document>\n" +
                   QByteArray(overlay) + "\n</Document>\n</kml>\n";
        };
        QTest::newRow("self-closed overlay opens up")
            << doc("  <ScreenOverlay id=\"a\"/>") << Fields{{"title", "Key"}}
            << doc("  <ScreenOverlay id=\"a\">\n    <name>Key</name>\n  </ScreenOverlay>");
        QTest::newRow("into an overlay with only an extension")
            << doc("\t<ScreenOverlay>\n\t\t<gx:balloonVisibility>1</gx:balloonVisibility>\n"
                   "\t</ScreenOverlay>")
            << Fields{{"title", "Key"}, {"picture", "k.png"}}
            << doc("\t<ScreenOverlay>\n\t\t<name>Key</name>\n\t\t<Icon><href>k.png</href></Icon>"
                   "\n\t\t<gx:balloonVisibility>1</gx:balloonVisibility>\n\t</ScreenOverlay>");
        QTest::newRow("name removed with its leading white space")
            << doc("<ScreenOverlay>\n  <name>Old</name>\n  <color>ff0000ff</color>\n"
                   "</ScreenOverlay>")
            << Fields{{"title", ""}}
            << doc("<ScreenOverlay>\n  <color>ff0000ff</color>\n</ScreenOverlay>");
        // The name goes where the draw order stood, its repeat out with it.
        QTest::newRow("a repeat taken out, an element put in its place")
            << doc("<ScreenOverlay>\n  <drawOrder>1</drawOrder>\n  <drawOrder>2</drawOrder>\n"
                   "</ScreenOverlay>")
            << Fields{{"drawOrder", ""}, {"title", "Key"}}
            << doc("<ScreenOverlay>\n  <name>Key</name>\n</ScreenOverlay>");
        QTest::newRow("prefixed, in KML's order, each on the line of the one before")
            << QByteArray(
                   "<kml:kml xmlns:kml=\"http://www.opengis.net/kml/2.2\"><kml:ScreenOverlay>"
                   "\n <kml:name>A</kml:name>\n <kml:size x=\"1\" y=\"1\" xunits=\"pixels\" "
                   "yunits=\"pixels\"/></kml:ScreenOverlay></kml:kml>")
            << Fields{{"drawOrder", "3"}, {"screenX", "0.5"}, {"sizeY", "Maintain aspect"}}
            << QByteArray(
                   "<kml:kml xmlns:kml=\"http://www.opengis.net/kml/2.2\"><kml:ScreenOverlay>"
                   "\n <kml:name>A</kml:name>\n <kml:drawOrder>3</kml:drawOrder>\n "
                   "<kml:screenXY x=\"0.5\" y=\"\" xunits=\"fraction\" yunits=\"fraction\" />"
                   "\n <kml:size x=\"1\" y=\"0\" xunits=\"pixels\" yunits=\"pixels\" />"
                   "</kml:ScreenOverlay></kml:kml>");
        OverlaySettings own;
        own.title = u"Key"_s;
        own.colour = Vocabulary::kOpaqueWhite;
        for (const OverlayPoint& point : kOverlayPoints)
            own.*point.xUnits = own.*point.yUnits = Vocabulary::kFraction;
        QTest::newRow("Orvinel's own form")
            << OverlayFileBytes(own).bytes << Fields{{"title", "K"}} << QByteArray();
        QTest::newRow("an encoding not written back")
            << QByteArray("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n"
                          "<kml><ScreenOverlay/></kml>")
            << Fields{{"title", "K"}} << QByteArray();
    }

    void edits()
    {
        QFETCH(QByteArray, file);
        QFETCH(Fields, edits);
        QFETCH(QByteArray, written);
        const KmlInPlaceRead read = ReadKmlInPlace(file);
        QCOMPARE(bool(read.inPlace), !written.isNull());
        if (written.isNull())
            return;
        OverlaySettings now = read.overlay.settings;
        for (const NamedField& named : kOverlayFields)
            now.*named.field = edits.value(QLatin1String(named.name), now.*named.field);
        QCOMPARE(InPlaceBytes(*read.inPlace, now), written);
    }
};

QTEST_GUILESS_MAIN(SpliceTest)
#include "tst_splice.moc"
