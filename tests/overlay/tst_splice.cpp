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
#include <iterator>
#include <utility>
#include <vector>

#ifdef ORVINEL_LIBKML
#include <kml/dom.h>
#include <string>
#endif

using namespace Overlay;

namespace {

// Fewer under the sanitizers (CMake sets it there), which run ten times slower.
#ifdef ORVINEL_SPLICE_ROUNDS
constexpr int kRounds = ORVINEL_SPLICE_ROUNDS;
#else
constexpr int kRounds = 10000;
#endif

// Field name -> value.
using Fields = QHash<QString, QString>;

OpenedOverlayFile Read(const QByteArray& bytes, int which)
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
            if (point.sizeWords &&
                (s.*axis == QLatin1String("-1") || s.*axis == QLatin1String("0")))
                s.*axis = s.*axis == QLatin1String("0") ? Vocabulary::kMaintainAspect
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
            diff += QStringLiteral("%1: \"%2\" not \"%3\"\n")
                        .arg(QLatin1String(named.name), got.*named.field, wanted.*named.field);
    return diff;
}

// Whether the overlay's KML children that have a place in KML's order stand in it.
bool InKmlOrder(const OverlaySpot& spot)
{
    static const QStringList order = {
        QStringLiteral("name"),      QStringLiteral("visibility"),   QStringLiteral("description"),
        QStringLiteral("styleUrl"),  QStringLiteral("ExtendedData"), QStringLiteral("color"),
        QStringLiteral("drawOrder"), QStringLiteral("Icon"),         QStringLiteral("overlayXY"),
        QStringLiteral("screenXY"),  QStringLiteral("rotationXY"),   QStringLiteral("size"),
        QStringLiteral("rotation")};
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

QByteArray Encoded(const QString& text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    return encoder(text);
}

#ifdef ORVINEL_LIBKML
bool DropOverlay(const kmldom::ContainerPtr& container, int& seen, int which)
{
    for (std::size_t i = 0; i < container->get_feature_array_size(); ++i) {
        const kmldom::FeaturePtr& feature = container->get_feature_array_at(i);
        if (feature->IsA(kmldom::Type_ScreenOverlay)) {
            if (seen++ == which) {
                container->DeleteFeatureAt(i);
                return true;
            }
        } else if (const kmldom::ContainerPtr inner = kmldom::AsContainer(feature);
                   inner && DropOverlay(inner, seen, which)) {
            return true;
        }
    }
    return false;
}

// The document as libkml reads it, screen overlay `which` left out; libkml
// reads UTF-8 only, so the declaration naming the file's own goes.
std::string WithoutOverlay(QString text, int which)
{
    static const QRegularExpression declaration(QStringLiteral(R"(^<\?xml[^>]*\?>)"));
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
// files from elsewhere take.
class FileGenerator
{
public:
    explicit FileGenerator(quint32 seed) : random_(seed) {}

    struct File
    {
        QByteArray bytes;
        int overlays = 0;
    };

    File Next()
    {
        overlays_ = 0;
        nl_ = Any({"\n", "\n", "\r\n", ""});
        step_ = nl_.isEmpty() ? QString() : Any({"  ", "\t", "    "});
        const int ns = Pick(4);
        prefix_ = ns == 3 ? QStringLiteral("kml:") : QString();
        const QString xmlns =
            QStringList{QStringLiteral(" xmlns=\"http://www.opengis.net/kml/2.2\""),
                        QStringLiteral(" xmlns=\"http://earth.google.com/kml/2.2\""), QString(),
                        QStringLiteral(" xmlns:kml=\"http://www.opengis.net/kml/2.2\"")}[ns] +
            // Unprefixed names are then no KML.
            (ns == 3 && Chance(2) ? QStringLiteral(" xmlns=\"urn:o\"") : QString());
        const QString body = Chance(6) ? Overlay(1) : Container(1);
        QString text = u'<' + prefix_ + u"kml" + xmlns +
                       u" xmlns:gx=\"http://www.google.com/kml/ext/2.2\" xmlns:o=\"urn:o\">" +
                       body + Line(0) + u"</" + prefix_ + u"kml>" + nl_;
        if (Chance(4))
            text.prepend(QStringLiteral("<!-- made elsewhere -->") + Line(0));

        const QStringConverter::Encoding encodings[] = {
            QStringConverter::Utf8, QStringConverter::Utf16LE, QStringConverter::Utf16BE,
            QStringConverter::Latin1};
        const QStringConverter::Encoding encoding = encodings[Pick(4)];
        QByteArray bom;
        QString declaration;
        if (encoding == QStringConverter::Latin1) {
            declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
            QString latin1;
            for (const char32_t c : text.toUcs4())
                latin1 += c <= 0xFF ? QString(QChar(char16_t(c)))
                                    : QStringLiteral("&#%1;").arg(quint32(c));
            text = latin1;
        } else if (encoding == QStringConverter::Utf8) {
            bom = Chance(3) ? QByteArray("\xEF\xBB\xBF") : QByteArray();
            declaration = Any({"", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                               "<?xml version='1.0' encoding='utf-8' standalone='yes'?>"});
        } else {
            // Without its byte order mark, a file that names UTF-16 is read
            // as big-endian: only an undeclared one goes without.
            if (Chance(2)) {
                bom = Encoded(QString(QChar(0xFEFF)), encoding);
                declaration = Any({"", "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"});
            }
        }
        if (!declaration.isEmpty())
            text.prepend(declaration + (nl_.isEmpty() ? QStringLiteral("\n") : nl_));
        return {bom + Encoded(text, encoding), overlays_};
    }

    int Pick(qsizetype count) { return int(random_.bounded(int(count))); }

    // `s` with up to four fields set anew, as a user might.
    OverlaySettings Edited(OverlaySettings s)
    {
        for (int edits = Pick(5); edits > 0; --edits) {
            const NamedField& named = kOverlayFields[Pick(std::size(kOverlayFields))];
            const QString name = QLatin1String(named.name);
            QString& value = s.*named.field;
            if (name == QLatin1String("outputFile"))
                continue;
            if (name == QLatin1String("colour"))
                value = Colour();
            else if (name.endsWith(QLatin1String("Units")))
                value = name.startsWith(QLatin1String("size"))
                            ? Vocabulary::kSizeUnits.at(Pick(2))
                            : Vocabulary::kPointUnits.at(Pick(3));
            else if (name == QLatin1String("sizeX") || name == QLatin1String("sizeY"))
                value = Any({"Maintain native size", "Maintain aspect", "", "50", "-1", "0"});
            else if (name == QLatin1String("title") || name == QLatin1String("picture"))
                value = Typed();
            else
                value = Any({"", "0", "12.5", "-1", " 3 ", "&<\"", "東京"});
        }
        return s;
    }

private:
    bool Chance(int oneIn) { return Pick(oneIn) == 0; }
    QString Any(std::initializer_list<const char*> texts)
    {
        return QString::fromUtf8(texts.begin()[Pick(qsizetype(texts.size()))]);
    }

    QString Line(int depth)
    {
        if (nl_.isEmpty())
            return Chance(8) ? QStringLiteral(" ") : QString();
        return nl_ + step_.repeated(depth);
    }

    static QString Element(const QString& prefix, const QString& name, const QString& content)
    {
        return u'<' + prefix + name + u'>' + content + u"</" + prefix + name + u'>';
    }

    // Element content as files hold it: references, CDATA, non-Latin text.
    QString Content()
    {
        QString text;
        for (int pieces = Pick(4); pieces > 0; --pieces)
            text += Any({"Legend", " ", "a &amp; b", "&lt;", "&#233;", "&#x1F600;",
                         "<![CDATA[<b> & ]]>", "東京", "€", "Zürich", "\n", "\t", "&quot;'"});
        return text;
    }

    // What a user types: markup characters, non-Latin text, line ends.
    QString Typed()
    {
        QString text;
        for (int pieces = Pick(5); pieces > 0; --pieces)
            text += Any({"&", "<", ">", "]]>", "\"", "東京", "€", "😀", "Zürich", " ", "\t", "\n",
                         "\r", "key.png", "a\uFEFF"});
        return text;
    }

    QString Colour()
    {
        const QString hex = QStringLiteral("0123456789abcdefABCDEF");
        QString colour;
        for (int i = 0; i < 8; ++i)
            colour += hex.at(Pick(hex.size()));
        return colour;
    }

    QString Container(int depth)
    {
        const QString tag = Chance(2) ? QStringLiteral("Document") : QStringLiteral("Folder");
        const QString p = prefix_;
        QString out = Line(depth) + u'<' + p + tag +
                      (Chance(4) ? QStringLiteral(" id=\"c\"") : QString()) + u'>';
        if (Chance(2))
            out += Line(depth + 1) + Element(p, QStringLiteral("name"), Content());
        for (int items = Pick(6); items > 0; --items) {
            const QString in = Line(depth + 1);
            switch (Pick(depth < 3 ? 8 : 7)) {
            case 0:
            case 1:
                out += Overlay(depth + 1);
                break;
            case 2:
                out += in + u'<' + p + u"Placemark id=\"pm\">" +
                       Element(p, QStringLiteral("name"), Content()) +
                       Element(p, QStringLiteral("Point"),
                               Element(p, QStringLiteral("coordinates"), QStringLiteral("1,2"))) +
                       u"</" + p + u"Placemark>";
                break;
            case 3:
                out += in + u'<' + p + u"Style id=\"s\">" +
                       Element(p, QStringLiteral("IconStyle"),
                               Element(p, QStringLiteral("scale"), QStringLiteral("1.5"))) +
                       u"</" + p + u"Style>";
                break;
            case 4:
                out += in + Any({"<!-- <ScreenOverlay/> & co -->", "<!--東京-->"});
                break;
            case 5:
                out += in + Element(p, QStringLiteral("description"), Content());
                break;
            case 6:
                out += in + Element(p, QStringLiteral("GroundOverlay"),
                                    Element(p, QStringLiteral("name"), Content()));
                break;
            default:
                out += Container(depth + 1);
                break;
            }
        }
        if (depth == 1 && overlays_ == 0)
            out += Overlay(depth + 1);
        return out + Line(depth) + u"</" + p + tag + u'>';
    }

    QString Point(const QString& p, const OverlayPoint& point)
    {
        // A size in inset pixels is read as fraction.
        const QStringList units =
            point.sizeWords ? Vocabulary::kSizeUnits + QStringList{QStringLiteral("insetPixels")}
                            : Vocabulary::kPointUnits;
        QStringList attributes;
        for (const char* axis : {"x", "y"})
            attributes << QLatin1String(axis) + u"=\"" +
                              (point.sizeWords ? Any({"-1", "0", "100", "0.5"})
                                               : Any({"0", "1", "0.5", "10", " -3 "})) +
                              u'"';
        for (const char* axis : {"xunits", "yunits"})
            attributes << QLatin1String(axis) + u"=\"" + units.at(Pick(units.size())) + u'"';
        if (Chance(10))
            attributes.removeAt(Pick(attributes.size()));
        if (Chance(3))
            std::shuffle(attributes.begin(), attributes.end(), random_);
        QString tag = u'<' + p + QLatin1String(point.element) + u' ' + attributes.join(u' ');
        if (Chance(3))
            tag.replace(u'"', u'\'');
        return tag + (Chance(4) ? u"></" + p + QLatin1String(point.element) + u'>'
                                : QString(Any({"/>", " />"})));
    }

    QString Icon(const QString& p, int depth)
    {
        const QString href = Element(p, QStringLiteral("href"),
                                     Any({"a.png", "", "東京 &amp; co.png",
                                          "http://h/k.png?a=1&amp;b=2", "<![CDATA[c.png]]>"}));
        switch (Pick(5)) {
        case 0:
            return u'<' + p + u"Icon/>";
        case 1:
            return Element(p, QStringLiteral("Icon"), Line(depth + 1) + href + Line(depth));
        case 2:
            return Element(p, QStringLiteral("Icon"),
                           Element(p, QStringLiteral("refreshMode"), QStringLiteral("onChange")));
        case 3:
            return Element(
                p, QStringLiteral("Icon"),
                href + Element(p, QStringLiteral("viewRefreshMode"), QStringLiteral("never")));
        default:
            return Element(p, QStringLiteral("Icon"), href);
        }
    }

    QString Overlay(int depth)
    {
        ++overlays_;
        QString p = prefix_;
        QString open = Line(depth) + u'<';
        if (Chance(8)) {
            p = QStringLiteral("k:");
            open += p + u"ScreenOverlay xmlns:k=\"http://www.opengis.net/kml/2.2\"";
        } else {
            open += p + u"ScreenOverlay";
        }
        if (Chance(3))
            open += QStringLiteral(" id=\"o%1\"").arg(overlays_);
        if (Chance(8))
            return open + Any({"/>", " />"});
        // A child's place in KML's order, then its text; the file's own
        // prefix may stand beside one declared on the overlay.
        std::vector<std::pair<int, QString>> children;
        const auto add = [&](int rank, const char* name, const QString& content) {
            children.emplace_back(rank,
                                  Element(Chance(4) ? prefix_ : p, QLatin1String(name), content));
        };
        if (!Chance(4))
            add(0, "name", Content());
        if (Chance(4))
            add(1, "visibility", Any({"0", "1"}));
        if (Chance(4))
            add(1, "description", Content());
        if (Chance(6))
            add(1, "styleUrl", QStringLiteral("#s"));
        if (Chance(6))
            children.emplace_back(1, u'<' + p + u"ExtendedData><" + p + u"Data name=\"n\"><" + p +
                                         u"value>" + Content() + u"</" + p + u"value></" + p +
                                         u"Data></" + p + u"ExtendedData>");
        if (Chance(2))
            add(2, "color", Colour());
        if (Chance(2))
            add(3, "drawOrder", Any({"0", "3", "-2", " 7 "}));
        if (!Chance(4))
            children.emplace_back(4, Icon(p, depth + 1));
        for (const OverlayPoint& point : kOverlayPoints)
            if (Chance(2))
                children.emplace_back(5 + int(&point - kOverlayPoints), Point(p, point));
        if (Chance(2))
            add(9, "rotation", Any({"0", "45.5", "-90"}));
        // A repeat, which the reader passes over.
        if (Chance(8) && !children.empty())
            children.push_back(children.at(std::size_t(Pick(qsizetype(children.size())))));
        // Extensions, another namespace's elements and comments go anywhere.
        if (Chance(5))
            children.emplace_back(Pick(10),
                                  QStringLiteral("<gx:balloonVisibility>1</gx:balloonVisibility>"));
        if (Chance(6))
            children.emplace_back(Pick(10), QStringLiteral("<o:name>other</o:name>"));
        if (Chance(5))
            children.emplace_back(Pick(10), QStringLiteral("<!-- <name>x</name> -->"));
        if (Chance(3))
            std::shuffle(children.begin(), children.end(), random_);
        else
            std::stable_sort(children.begin(), children.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        QString out = open + u'>';
        for (const auto& child : children)
            out += Line(depth + 1) + child.second;
        if (!children.empty() || Chance(2))
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
    FileGenerator generator(seed);
    const FileGenerator::File file = generator.Next();
    const int which = generator.Pick(file.overlays);
    const KmlInPlaceRead read = ReadKmlInPlace(file.bytes, nullptr, which);
    if (!read.inPlace)
        return u"not opened in place: " + read.overlay.problem + u'\n' + Shown(file.bytes);
    const OverlaySettings& was = read.overlay.settings;
    const OverlaySettings now = generator.Edited(was);
    const QByteArray bytes = InPlaceBytes(*read.inPlace, now);
    const QString both = QStringLiteral("overlay %1 edited:\n%2\n--- written:\n%3\n--- edits:\n%4")
                             .arg(which)
                             .arg(Shown(file.bytes), Shown(bytes), Diff(now, was));
    if (now == was)
        return bytes == file.bytes ? QString() : u"unedited but rewritten, " + both;

    const std::optional<KmlText> before = DecodeKml(file.bytes);
    const std::optional<KmlText> after = DecodeKml(bytes);
    if (!after || after->bom != before->bom || after->encoding != before->encoding)
        return u"written in another encoding, " + both;
    const ElementSpan& edited = read.inPlace->spot.element;
    if (!after->text.startsWith(QStringView(before->text).left(edited.start)) ||
        !after->text.endsWith(QStringView(before->text).mid(edited.end)))
        return u"changed outside the overlay, " + both;
    const KmlLayout layoutBefore = ScanKml(before->text);
    const KmlLayout is = ScanKml(after->text);
    if (!is.problem.isEmpty() || is.overlays.size() != std::size_t(file.overlays))
        return u"not the same overlays: " + is.problem + u", " + both;

    if (InKmlOrder(layoutBefore.overlays[std::size_t(which)]) &&
        !InKmlOrder(is.overlays[std::size_t(which)]))
        return u"out of KML's order, " + both;

    const OpenedOverlayFile again = Read(bytes, which);
    if (!again.ok() || Readable(again.settings) != Readable(now))
        return u"reads back otherwise: " + again.problem + u'\n' +
               Diff(Readable(again.settings), Readable(now)) + both;
    for (int other = 0; other < file.overlays; ++other) {
        if (other == which)
            continue;
        const auto span = [](const QString& text, const ElementSpan& e) {
            return QStringView(text).mid(e.start, e.end - e.start);
        };
        if (span(before->text, layoutBefore.overlays[std::size_t(other)].element) !=
            span(after->text, is.overlays[std::size_t(other)].element))
            return QStringLiteral("overlay %1 changed, ").arg(other) + both;
        if (Read(bytes, other).settings != Read(file.bytes, other).settings)
            return QStringLiteral("overlay %1 reads otherwise, ").arg(other) + both;
    }
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
        for (int round = 0; round < kRounds; ++round) {
            const quint32 seed = first + quint32(round);
            const QString failure = EditOnce(seed);
            if (!failure.isEmpty())
                QFAIL(qPrintable(QStringLiteral("ORVINEL_SPLICE_SEED=%1: ").arg(seed) + failure));
        }
    }

    void edits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Fields>("edits");
        // A null output: the file is not edited in place.
        QTest::addColumn<QByteArray>("written");

        const QByteArray head = "<kml xmlns=\"http://www.opengis.net/kml/2.2\" "
                                "xmlns:gx=\"http://www.google.com/kml/ext/2.2\">\n<Document>\n";
        const QByteArray tail = "\n</Document>\n</kml>\n";
        QTest::newRow("self-closed overlay opens up")
            << head + "  <ScreenOverlay id=\"a\"/>" + tail << Fields{{"title", "Key"}}
            << head + "  <ScreenOverlay id=\"a\">\n    <name>Key</name>\n  </ScreenOverlay>" + tail;
        QTest::newRow("into an overlay with only an extension")
            << head +
                   "\t<ScreenOverlay>\n\t\t<gx:balloonVisibility>1</gx:balloonVisibility>\n"
                   "\t</ScreenOverlay>" +
                   tail
            << Fields{{"title", "Key"}, {"picture", "k.png"}}
            << head +
                   "\t<ScreenOverlay>\n\t\t<name>Key</name>\n\t\t<Icon><href>k.png</href></Icon>"
                   "\n\t\t<gx:balloonVisibility>1</gx:balloonVisibility>\n\t</ScreenOverlay>" +
                   tail;
        QTest::newRow("name removed with its leading white space")
            << head +
                   "<ScreenOverlay>\n  <name>Old</name>\n  <color>ff0000ff</color>\n"
                   "</ScreenOverlay>" +
                   tail
            << Fields{{"title", ""}}
            << head + "<ScreenOverlay>\n  <color>ff0000ff</color>\n</ScreenOverlay>" + tail;
        QTest::newRow("a repeat taken out with the first")
            << head +
                   "<ScreenOverlay>\n  <drawOrder>1</drawOrder>\n  <drawOrder>2</drawOrder>\n"
                   "</ScreenOverlay>" +
                   tail
            << Fields{{"drawOrder", ""}} << head + "<ScreenOverlay>\n</ScreenOverlay>" + tail;
        QTest::newRow("prefixed, in KML's order")
            << QByteArray(
                   "<kml:kml xmlns:kml=\"http://www.opengis.net/kml/2.2\"><kml:ScreenOverlay>"
                   "<kml:name>A</kml:name><kml:size x=\"1\" y=\"1\" xunits=\"pixels\" "
                   "yunits=\"pixels\"/></kml:ScreenOverlay></kml:kml>")
            << Fields{{"drawOrder", "3"}, {"screenX", "0.5"}, {"sizeY", "Maintain aspect"}}
            << QByteArray(
                   "<kml:kml xmlns:kml=\"http://www.opengis.net/kml/2.2\"><kml:ScreenOverlay>"
                   "<kml:name>A</kml:name><kml:drawOrder>3</kml:drawOrder><kml:screenXY "
                   "x=\"0.5\" y=\"\" xunits=\"fraction\" yunits=\"fraction\" />"
                   "<kml:size x=\"1\" y=\"0\" xunits=\"pixels\" yunits=\"pixels\" />"
                   "</kml:ScreenOverlay></kml:kml>");
        const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<kml>"
                                  "<ScreenOverlay><name>caf\xE9</name></ScreenOverlay></kml>";
        QTest::newRow("ISO-8859-1 file, a character beyond it")
            << latin1 << Fields{{"title", "€ café"}}
            << QByteArray(latin1).replace("caf\xE9", "&#8364; caf\xE9");
        for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            const QString text =
                QStringLiteral("<kml><ScreenOverlay><name>A</name></ScreenOverlay></kml>");
            const QByteArray bom = Encoded(QString(QChar(0xFEFF)), encoding);
            QTest::addRow("UTF-16 %s with its byte order mark",
                          encoding == QStringConverter::Utf16LE ? "LE" : "BE")
                << bom + Encoded(text, encoding) << Fields{{"title", "東京"}}
                << bom + Encoded(QString(text).replace(u'A', QStringLiteral("東京")), encoding);
        }
        OverlaySettings own;
        own.title = QStringLiteral("Key");
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
        if (written.isNull()) {
            QVERIFY(!read.inPlace);
            return;
        }
        QVERIFY2(read.inPlace, qPrintable(read.overlay.problem));
        OverlaySettings now = read.overlay.settings;
        for (const NamedField& named : kOverlayFields)
            if (edits.contains(QLatin1String(named.name)))
                now.*named.field = edits.value(QLatin1String(named.name));
        QCOMPARE(InPlaceBytes(*read.inPlace, now), written);
    }
};

QTEST_GUILESS_MAIN(SpliceTest)
#include "tst_splice.moc"
