#include "KmlSplice.h"

#include "KmlWriter.h"
#include "KmzArchive.h"
#include "Vocabulary.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QXmlStreamReader>

#include <algorithm>
#include <atomic>
#include <iterator>

namespace Overlay {

namespace {

// The encoding an XML declaration names, lower case; empty without one.
QByteArray DeclaredEncoding(const QByteArray& bytes)
{
    if (!bytes.startsWith("<?xml"))
        return {};
    const QByteArray declaration = bytes.left(qMax<qsizetype>(bytes.indexOf("?>"), 0));
    qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return {};
    at += qsizetype(sizeof("encoding") - 1);
    const auto skipBlanks = [&] {
        while (at < declaration.size() && QChar::isSpace(uchar(declaration.at(at))))
            ++at;
    };
    skipBlanks();
    if (at >= declaration.size() || declaration.at(at) != '=')
        return {};
    ++at;
    skipBlanks();
    if (at >= declaration.size() || (declaration.at(at) != '"' && declaration.at(at) != '\''))
        return {};
    const qsizetype end = declaration.indexOf(declaration.at(at), at + 1);
    return end < 0 ? QByteArray() : declaration.mid(at + 1, end - at - 1).toLower();
}

std::optional<QStringConverter::Encoding> EncodingOf(const QByteArray& bytes, qsizetype& bomSize)
{
    bomSize = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bomSize = 3;
        return QStringConverter::Utf8;
    }
    // UTF-32's marks begin as UTF-16's: those files are not edited.
    if (bytes.startsWith(QByteArray("\xFF\xFE\0\0", 4)) ||
        bytes.startsWith(QByteArray("\0\0\xFE\xFF", 4)))
        return std::nullopt;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        bomSize = 2;
        return bytes.at(0) == '\xFF' ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
    }
    if (bytes.startsWith(QByteArray("<\0", 2)))
        return QStringConverter::Utf16LE;
    if (bytes.startsWith(QByteArray("\0<", 2)))
        return QStringConverter::Utf16BE;
    const QByteArray declared = DeclaredEncoding(bytes);
    if (declared.isEmpty() || declared == "utf-8" || declared == "utf8")
        return QStringConverter::Utf8;
    if (declared == "iso-8859-1" || declared == "latin1" || declared == "latin-1" ||
        declared == "us-ascii" || declared == "ascii")
        return QStringConverter::Latin1;
    return std::nullopt;
}

bool IsWhite(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

// Where the white space just before `at` begins, not before `floor`.
qsizetype WhiteStart(const QString& text, qsizetype at, qsizetype floor)
{
    while (at > floor && IsWhite(text.at(at - 1)))
        --at;
    return at;
}

// The overlay's elements Orvinel writes, in KML's order for them.
enum Part : int { Name, Color, DrawOrder, Icon, OverlayXY, ScreenXY, RotationXY, Size, Rotation };
constexpr const char* kPartNames[] = {"name",     "color",      "drawOrder", "Icon",    "overlayXY",
                                      "screenXY", "rotationXY", "size",      "rotation"};

// A Feature's own elements, which come before every overlay element but the name.
constexpr const char* kFeatureElements[] = {
    "visibility", "open",    "author",      "link",   "address",  "AddressDetails", "phoneNumber",
    "Snippet",    "snippet", "description", "Camera", "LookAt",   "TimeStamp",      "TimeSpan",
    "styleUrl",   "Style",   "StyleMap",    "Region", "Metadata", "ExtendedData"};

// Where a child stands in KML's order: the name first, then the feature's
// other elements, then the overlay's; -1 for one outside it (another
// namespace, an extension), which an insertion passes over.
int Rank(const ElementSpan& child)
{
    if (!child.kml)
        return -1;
    const auto named = [&](const char* name) {
        return child.name == QLatin1String(name);
    };
    if (const auto* part = std::find_if(std::begin(kPartNames), std::end(kPartNames), named);
        part != std::end(kPartNames))
        return part == std::begin(kPartNames) ? 0 : int(part - std::begin(kPartNames)) + 1;
    if (std::any_of(std::begin(kFeatureElements), std::end(kFeatureElements), named))
        return 1;
    return -1;
}

int RankOf(Part part)
{
    return part == Name ? 0 : int(part) + 1;
}

// Text made safe for the file's encoding: in ISO-8859-1 a character beyond
// it becomes a character reference, which markup may hold anywhere.
QString ForEncoding(const QString& text, bool latin1)
{
    if (!latin1)
        return text;
    QString out;
    for (const char32_t c : text.toUcs4()) {
        if (c <= 0xFF)
            out += QChar(c);
        else
            out += QStringLiteral("&#%1;").arg(quint32(c));
    }
    return out;
}

// The element `part` as written for `s`; empty when it is left out.
QString PartText(Part part, const OverlaySettings& s, QStringView prefix)
{
    switch (part) {
    case Name:
        return s.title.isEmpty() ? QString() : ValueElement(prefix, "name", s.title);
    case Color:
        return ValueElement(prefix, "color", s.colour);
    case DrawOrder:
        return s.drawOrder.isEmpty() ? QString() : ValueElement(prefix, "drawOrder", s.drawOrder);
    case Icon:
        return ValueElement(prefix, "href", s.picture);
    case Rotation:
        return s.rotation.isEmpty() ? QString() : ValueElement(prefix, "rotation", s.rotation);
    default:
        return PointElement(s, kOverlayPoints[part - OverlayXY], prefix);
    }
}

struct Edit
{
    qsizetype from;
    qsizetype to;
    QString with;
};

class Splicer
{
public:
    Splicer(const QString& text, const OverlaySpot& spot, bool latin1)
        : text_(text), spot_(spot), latin1_(latin1)
    {}

    void Change(Part part, const OverlaySettings& now)
    {
        const ElementSpan* child = FirstChild(kPartNames[part]);
        if (part == Icon)
            return ChangePicture(child, now);
        const QString text = child != nullptr ? PartText(part, now, child->prefix)
                                              : PartText(part, now, spot_.element.prefix);
        if (child == nullptr)
            Insert(RankOf(part), text);
        else if (text.isEmpty())
            RemoveAll(kPartNames[part]);
        else
            edits_.push_back({child->start, child->end, Safe(text)});
    }

    // The overlay element's new text: every edit lies inside it.
    QString Result()
    {
        FillEmpty();
        // Several insertions at one place stay in the order they were made.
        std::stable_sort(edits_.begin(), edits_.end(),
                         [](const Edit& a, const Edit& b) { return a.from < b.from; });
        QString out;
        qsizetype at = spot_.element.start;
        for (const Edit& edit : edits_) {
            out += QStringView(text_).mid(at, edit.from - at);
            out += edit.with;
            at = edit.to;
        }
        out += QStringView(text_).mid(at, spot_.element.end - at);
        return out;
    }

private:
    const ElementSpan* FirstChild(const char* name) const
    {
        const auto found = std::find_if(spot_.children.begin(), spot_.children.end(),
                                        [&](const ElementSpan& child) {
                                            return child.kml && child.name == QLatin1String(name);
                                        });
        return found != spot_.children.end() ? &*found : nullptr;
    }

    QString Safe(const QString& text) const { return ForEncoding(text, latin1_); }

    void ChangePicture(const ElementSpan* icon, const OverlaySettings& now)
    {
        const ElementSpan& href = spot_.href;
        if (href.found()) {
            edits_.push_back({href.start, href.end, Safe(PartText(Icon, now, href.prefix))});
        } else if (icon != nullptr && !icon->selfClosed()) {
            edits_.push_back(
                {icon->contentStart, icon->contentStart, Safe(PartText(Icon, now, icon->prefix))});
        } else {
            const QString& prefix = icon != nullptr ? icon->prefix : spot_.element.prefix;
            const QString whole = QLatin1Char('<') + prefix + QStringLiteral("Icon>") +
                                  PartText(Icon, now, prefix) + QStringLiteral("</") + prefix +
                                  QStringLiteral("Icon>");
            if (icon != nullptr)
                edits_.push_back({icon->start, icon->end, Safe(whole)});
            else
                Insert(RankOf(Icon), whole);
        }
    }

    // Takes out every such child: a repeat left behind would be read in the
    // first one's place.
    void RemoveAll(const char* name)
    {
        for (const ElementSpan& child : spot_.children)
            if (child.kml && child.name == QLatin1String(name))
                Remove(child);
    }

    // Takes out `child` with the white space that leads up to it.
    void Remove(const ElementSpan& child)
    {
        edits_.push_back(
            {WhiteStart(text_, child.start, spot_.element.contentStart), child.end, QString()});
    }

    // Puts `element` after the last child that KML's order puts before it,
    // led by the white space that leads up to that child; with none, first,
    // led by the white space before the first child.
    void Insert(int rank, const QString& element)
    {
        if (element.isEmpty())
            return;
        const ElementSpan* after = nullptr;
        for (const ElementSpan& child : spot_.children)
            if (const int r = Rank(child); r >= 0 && r < rank)
                after = &child;
        const ElementSpan& overlay = spot_.element;
        if (after != nullptr) {
            const qsizetype lead = WhiteStart(text_, after->start, overlay.contentStart);
            edits_.push_back(
                {after->end, after->end, text_.mid(lead, after->start - lead) + Safe(element)});
            return;
        }
        if (!spot_.children.empty()) {
            const ElementSpan& first = spot_.children.front();
            const qsizetype lead = WhiteStart(text_, first.start, overlay.contentStart);
            edits_.push_back({lead, lead, text_.mid(lead, first.start - lead) + Safe(element)});
            return;
        }
        intoEmpty_ << Safe(element);
    }

    // An overlay without element children: each new element goes on a
    // line of its own, one step further in than the overlay, and a blank or
    // self-closed overlay gets its end tag on the line after them.
    void FillEmpty()
    {
        if (intoEmpty_.isEmpty())
            return;
        const ElementSpan& overlay = spot_.element;
        const qsizetype lineStart = WhiteStart(text_, overlay.start, 0);
        QString indent = text_.mid(lineStart, overlay.start - lineStart);
        indent = indent.mid(indent.lastIndexOf(QLatin1Char('\n')) + 1);
        const QString step =
            indent.startsWith(QLatin1Char(' ')) ? QStringLiteral("  ") : QStringLiteral("\t");
        QString elements;
        for (const QString& element : std::as_const(intoEmpty_))
            elements += QLatin1Char('\n') + indent + step + element;
        const QString close = QLatin1Char('\n') + indent;
        if (overlay.selfClosed()) {
            // <ScreenOverlay/> opens up: its "/>" becomes ">", then the end tag.
            edits_.push_back({overlay.end - 2, overlay.end,
                              QLatin1Char('>') + elements + close + QStringLiteral("</") +
                                  overlay.prefix + overlay.name + QLatin1Char('>')});
            return;
        }
        const bool blank = std::all_of(text_.begin() + overlay.contentStart,
                                       text_.begin() + overlay.contentEnd, IsWhite);
        if (blank)
            edits_.push_back({overlay.contentStart, overlay.contentEnd, elements + close});
        else
            edits_.push_back({overlay.contentStart, overlay.contentStart, elements});
    }

    const QString& text_;
    const OverlaySpot& spot_;
    const bool latin1_;
    std::vector<Edit> edits_;
    // What goes into an overlay that has no element children.
    QStringList intoEmpty_;
};

} // namespace

std::optional<KmlText> DecodeKml(const QByteArray& bytes)
{
    qsizetype bomSize = 0;
    const std::optional<QStringConverter::Encoding> encoding = EncodingOf(bytes, bomSize);
    if (!encoding)
        return std::nullopt;
    KmlText kml;
    kml.bom = bytes.left(bomSize);
    kml.encoding = *encoding;
    const QByteArrayView body = QByteArrayView(bytes).sliced(bomSize);
    QStringDecoder decoder(*encoding, QStringConverter::Flag::ConvertInitialBom);
    kml.text = decoder(body);
    if (decoder.hasError() || EncodeKml(kml).size() != bytes.size() || EncodeKml(kml) != bytes)
        return std::nullopt;
    return kml;
}

QByteArray EncodeKml(const KmlText& kml)
{
    QStringEncoder encoder(kml.encoding, QStringConverter::Flag::Default);
    return kml.bom + QByteArray(encoder(kml.text));
}

namespace {

// Whether the overlay already has its <Icon>: only the first is the picture's.
bool FirstIcon(const OverlaySpot& spot)
{
    return std::any_of(spot.children.begin(), spot.children.end(), [](const ElementSpan& child) {
        return child.kml && child.name == QLatin1String("Icon");
    });
}

} // namespace

namespace {

// Where an element of `text` starts, from the offset past its start tag:
// attribute values hold no "<", so the last one before is the tag's.
ElementSpan SpanAt(const QString& text, const QXmlStreamReader& xml)
{
    const qsizetype end = xml.characterOffset();
    ElementSpan span;
    span.start = text.lastIndexOf(QLatin1Char('<'), end - 1);
    span.contentStart = end;
    span.name = xml.name().toString();
    const QStringView qualified = xml.qualifiedName();
    span.prefix = qualified.left(qualified.size() - xml.name().size()).toString();
    span.kml = Vocabulary::IsKmlNamespace(xml.namespaceUri());
    return span;
}

bool Is(const ElementSpan& span, const char* name)
{
    return span.kml && span.name == QLatin1String(name);
}

// Reads a KML text once, noting its screen overlays as they come.
class Scanner
{
public:
    explicit Scanner(const QString& text) : text_(text), xml_(text) {}

    KmlLayout Scan()
    {
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::StartElement)
                Start(SpanAt(text_, xml_));
            else if (token == QXmlStreamReader::EndElement && !open_.empty())
                End();
            else if (token == QXmlStreamReader::Characters)
                Text();
        }
        if (xml_.hasError()) {
            layout_.overlays.clear();
            layout_.problem = QStringLiteral("line %1, column %2: %3")
                                  .arg(xml_.lineNumber())
                                  .arg(xml_.columnNumber())
                                  .arg(xml_.errorString());
        }
        return std::move(layout_);
    }

private:
    // What each open element is to the scan.
    enum class Role { Container, Overlay, OverlayChild, Icon, Other };
    struct Open
    {
        Role role;
        ElementSpan span;
        // The text of its first <name>, for a container or an overlay.
        bool nameStarted = false;
        bool readingName = false;
        QString name;
    };

    Role RoleOf(const ElementSpan& span) const
    {
        if (open_.empty())
            return Is(span, "kml") ? Role::Container : Role::Other;
        switch (open_.back().role) {
        case Role::Container:
            if (Is(span, "Document") || Is(span, "Folder"))
                return Role::Container;
            return Is(span, "ScreenOverlay") ? Role::Overlay : Role::Other;
        case Role::Overlay:
            return Is(span, "Icon") && !FirstIcon(layout_.overlays.back()) ? Role::Icon
                                                                           : Role::OverlayChild;
        default:
            return Role::Other;
        }
    }

    void Start(const ElementSpan& span)
    {
        const Role role = RoleOf(span);
        const Role parent = open_.empty() ? Role::Other : open_.back().role;
        if ((parent == Role::Container || parent == Role::Overlay) && Is(span, "name") &&
            !open_.back().nameStarted)
            open_.back().nameStarted = open_.back().readingName = true;
        if (role == Role::Overlay) {
            OverlaySpot spot;
            spot.element = span;
            for (const Open& around : open_)
                if (!Is(around.span, "kml"))
                    spot.folders << around.name.trimmed();
            layout_.overlays.push_back(std::move(spot));
        }
        if (parent == Role::Icon && Is(span, "href") && !layout_.overlays.back().href.found())
            layout_.overlays.back().href = span;
        open_.push_back({role, span, false, false, {}});
    }

    void End()
    {
        Open done = std::move(open_.back());
        open_.pop_back();
        const qsizetype end = xml_.characterOffset();
        done.span.end = end;
        done.span.contentEnd =
            end == done.span.contentStart ? end : text_.lastIndexOf(QLatin1Char('<'), end - 1);
        const Role parent = open_.empty() ? Role::Other : open_.back().role;
        if (Is(done.span, "name") && !open_.empty())
            open_.back().readingName = false;
        if (done.role == Role::Overlay) {
            layout_.overlays.back().element = done.span;
            layout_.overlays.back().title = done.name;
        } else if (parent == Role::Overlay) {
            layout_.overlays.back().children.push_back(done.span);
        } else if (parent == Role::Icon && layout_.overlays.back().href.start == done.span.start) {
            layout_.overlays.back().href = done.span;
        }
    }

    void Text()
    {
        // A title in the picker needs no more.
        constexpr qsizetype kLongestLabel = 200;
        if (open_.size() < 2 || !open_[open_.size() - 2].readingName ||
            !Is(open_.back().span, "name"))
            return;
        QString& name = open_[open_.size() - 2].name;
        name += xml_.text().left(qMax<qsizetype>(kLongestLabel - name.size(), 0));
    }

    const QString& text_;
    QXmlStreamReader xml_;
    KmlLayout layout_;
    std::vector<Open> open_;
};

} // namespace

KmlLayout ScanKml(const QString& text)
{
    return Scanner(text).Scan();
}

namespace {

QString SplicedElement(const QString& text, const OverlaySpot& spot, const OverlaySettings& was,
                       const OverlaySettings& now, bool latin1)
{
    Splicer splicer(text, spot, latin1);
    for (int part = Name; part <= Rotation; ++part) {
        if (PartText(Part(part), was, {}) != PartText(Part(part), now, {}))
            splicer.Change(Part(part), now);
    }
    return splicer.Result();
}

qsizetype EncodedSize(const KmlText& kml, QStringView text)
{
    QStringEncoder encoder(kml.encoding);
    return QByteArray(encoder(text)).size();
}

} // namespace

QString SplicedOverlay(const QString& text, const OverlaySpot& spot, const OverlaySettings& was,
                       const OverlaySettings& now, bool latin1)
{
    const ElementSpan& element = spot.element;
    return QStringView(text).left(element.start) + SplicedElement(text, spot, was, now, latin1) +
           QStringView(text).mid(element.end);
}

namespace {

constexpr const char* kFeatures[] = {"Placemark",     "Folder",        "Document",    "NetworkLink",
                                     "GroundOverlay", "ScreenOverlay", "PhotoOverlay"};

// The overlay element for `settings`, an element a line in KML's order,
// its lines led by `indent` and those inside it by one step more.
QString OverlayElementText(const OverlaySettings& settings, const QString& indent)
{
    const QString step =
        indent.startsWith(QLatin1Char(' ')) ? QStringLiteral("  ") : QStringLiteral("\t");
    const QString line = QLatin1Char('\n') + indent + step;
    QString out = QStringLiteral("<ScreenOverlay>");
    for (int part = Name; part <= Rotation; ++part) {
        const QString text = PartText(Part(part), settings, {});
        if (part == Icon)
            out += line + QStringLiteral("<Icon>") + line + step + text + line +
                   QStringLiteral("</Icon>");
        else if (!text.isEmpty())
            out += line + text;
    }
    return out + QLatin1Char('\n') + indent + QStringLiteral("</ScreenOverlay>");
}

} // namespace

namespace {

bool IsFeature(const ElementSpan& span)
{
    return std::any_of(std::begin(kFeatures), std::end(kFeatures),
                       [&](const char* name) { return Is(span, name); });
}

// Where an overlay goes in another file: the element that takes it (the
// first Document or Folder in kml, else kml itself), its last feature and
// last child. `problem` says why the file takes none.
struct Holder
{
    ElementSpan element;
    ElementSpan lastFeature;
    ElementSpan lastChild;
    qsizetype firstFeatureStart = -1;
    int depth = 0;
    QString problem;
};

class HolderFinder
{
public:
    explicit HolderFinder(const QString& text) : text_(text), xml_(text) {}

    Holder Find()
    {
        while (!xml_.atEnd() && found_.problem.isEmpty()) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::DTD && !xml_.entityDeclarations().isEmpty())
                found_.problem =
                    QStringLiteral("it declares entities of its own, which KML files never need");
            else if (token == QXmlStreamReader::StartElement)
                Start(SpanAt(text_, xml_));
            else if (token == QXmlStreamReader::EndElement)
                End();
        }
        if (found_.problem.isEmpty() && xml_.hasError())
            found_.problem = QStringLiteral("it is not an XML file (line %1, column %2: %3)")
                                 .arg(xml_.lineNumber())
                                 .arg(xml_.columnNumber())
                                 .arg(xml_.errorString());
        if (found_.problem.isEmpty() && !found_.element.found())
            found_.problem = QStringLiteral("it is not a KML file");
        return std::move(found_);
    }

private:
    void Start(const ElementSpan& span)
    {
        ++depth_;
        if (depth_ == 1 && !Is(span, "kml")) {
            found_.problem = QStringLiteral("it is not a KML file");
            return;
        }
        const bool container = Is(span, "Document") || Is(span, "Folder");
        if (depth_ == 1 || (depth_ == 2 && container && Is(found_.element, "kml"))) {
            found_ = Holder{span, {}, {}, -1, depth_, {}};
        } else if (depth_ == found_.depth + 1) {
            found_.lastChild = span;
        }
    }

    void End()
    {
        const qsizetype end = xml_.characterOffset();
        ElementSpan& holder = found_.element;
        if (depth_ == found_.depth + 1) {
            found_.lastChild.end = end;
            if (IsFeature(found_.lastChild)) {
                if (!found_.lastFeature.found())
                    found_.firstFeatureStart = found_.lastChild.start;
                found_.lastFeature = found_.lastChild;
            }
        } else if (depth_ == found_.depth && holder.end < 0) {
            holder.end = end;
            holder.contentEnd =
                end == holder.contentStart ? end : text_.lastIndexOf(QLatin1Char('<'), end - 1);
        }
        --depth_;
    }

    const QString& text_;
    QXmlStreamReader xml_;
    Holder found_;
    int depth_ = 0;
};

// The white space before the start of the line `at` stands on.
QString IndentOf(const QString& text, qsizetype at)
{
    const qsizetype lineStart = WhiteStart(text, at, 0);
    const QString white = text.mid(lineStart, at - lineStart);
    return white.mid(white.lastIndexOf(QLatin1Char('\n')) + 1);
}

} // namespace

std::optional<QString> WithOverlayAdded(const QString& text, const OverlaySettings& settings,
                                        bool latin1, QString& problem, qsizetype* at)
{
    qsizetype placed = 0;
    if (at == nullptr)
        at = &placed;
    const Holder found = HolderFinder(text).Find();
    if (!found.problem.isEmpty()) {
        problem = found.problem;
        return std::nullopt;
    }
    const ElementSpan& holder = found.element;
    // After the last feature, led as it is; else after the holder's start tag.
    const ElementSpan& after = found.lastFeature.found() ? found.lastFeature : found.lastChild;
    const QString holderIndent = IndentOf(text, holder.start);
    QString lead;
    if (after.found()) {
        const qsizetype white = WhiteStart(text, after.start, holder.contentStart);
        lead = text.mid(white, after.start - white);
    }
    if (!lead.contains(QLatin1Char('\n')))
        lead = QLatin1Char('\n') + holderIndent;
    const QString indent = lead.mid(lead.lastIndexOf(QLatin1Char('\n')) + 1);
    const QString element = ForEncoding(OverlayElementText(settings, indent), latin1);
    const QString endTag = QStringLiteral("</") + holder.prefix;
    if (holder.contentStart == holder.end) {
        // <Document/> opens up to hold it.
        *at = holder.end - 1 + lead.size();
        return QStringView(text).left(holder.end - 2) + QLatin1Char('>') + lead + element +
               QLatin1Char('\n') + holderIndent + endTag + holder.name + QLatin1Char('>') +
               QStringView(text).mid(holder.end);
    }
    const qsizetype end = after.found() ? after.end : holder.contentStart;
    if (found.depth == 1 && found.lastFeature.found()) {
        // A kml element holds one feature: a Document takes it and the overlay.
        const qsizetype first = found.firstFeatureStart;
        const QString opened = QLatin1Char('<') + holder.prefix + QStringLiteral("Document>");
        *at = end + opened.size() + lead.size();
        return QStringView(text).left(first) + opened + QStringView(text).mid(first, end - first) +
               lead + element + lead + endTag + QStringLiteral("Document>") +
               QStringView(text).mid(end);
    }
    *at = end + lead.size();
    return QStringView(text).left(end) + lead + element + QStringView(text).mid(end);
}

QString OverlayLabel(const OverlaySpot& spot, int index)
{
    const QString title = spot.title.simplified();
    QString label =
        title.isEmpty() ? QStringLiteral("Screen overlay %1 (no title)").arg(index + 1) : title;
    QStringList named;
    for (const QString& folder : spot.folders)
        if (!folder.simplified().isEmpty())
            named << folder.simplified();
    if (!named.isEmpty())
        label += QStringLiteral(" - in ") + named.join(QStringLiteral(" / "));
    return label;
}

QByteArray InPlaceBytes(const InPlaceKml& file, const OverlaySettings& now)
{
    // Only the overlay is encoded again; the bytes around it are copied.
    QStringEncoder encoder(file.kml.encoding);
    const QByteArray element = encoder(SplicedElement(
        file.kml.text, file.spot, file.read, now, file.kml.encoding == QStringConverter::Latin1));
    const QByteArrayView bytes(file.bytes);
    QByteArray out;
    out.reserve(bytes.size() - (file.byteEnd - file.byteStart) + element.size());
    out += bytes.first(file.byteStart);
    out += element;
    out += bytes.sliced(file.byteEnd);
    return out;
}

QByteArray DocumentBytes(const std::shared_ptr<const InPlaceKml>& inPlace,
                         const OverlaySettings& now, QString& problem)
{
    if (inPlace && inPlace->inArchive())
        return KmzInPlaceBytes(*inPlace, now, problem);
    return inPlace ? InPlaceBytes(*inPlace, now) : OverlayFileBytes(now).bytes;
}

KmlInPlaceRead ReadKmlInPlace(const QByteArray& bytes, ReadControl* control, int which,
                              bool ownForm, quint64 lineage)
{
    KmlInPlaceRead read;
    {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        read.overlay = ReadOverlay(buffer, control, which);
    }
    if (!read.overlay.ok())
        return read;
    std::optional<KmlText> kml = DecodeKml(bytes);
    if (!kml)
        return read;
    KmlLayout layout = ScanKml(kml->text);
    for (std::size_t i = 0; i < layout.overlays.size(); ++i)
        read.labels << OverlayLabel(layout.overlays[i], int(i));
    if (std::size_t(which) >= layout.overlays.size())
        return read;
    // A file in Orvinel's own form stays in it.
    if (ownForm || OverlayFileBytes(read.overlay.settings).bytes != bytes) {
        static std::atomic<quint64> lineages{0};
        OverlaySpot& spot = layout.overlays[std::size_t(which)];
        const QStringView text(kml->text);
        const qsizetype byteStart =
            kml->bom.size() + EncodedSize(*kml, text.first(spot.element.start));
        const qsizetype byteEnd =
            byteStart + EncodedSize(*kml, text.sliced(spot.element.start,
                                                      spot.element.end - spot.element.start));
        read.inPlace =
            std::make_shared<const InPlaceKml>(InPlaceKml{std::move(*kml),
                                                          std::move(spot),
                                                          read.overlay.settings,
                                                          which,
                                                          read.labels,
                                                          bytes,
                                                          byteStart,
                                                          byteEnd,
                                                          lineage != 0 ? lineage : ++lineages,
                                                          {},
                                                          {},
                                                          {}});
    }
    read.overlay.notKept.clear();
    return read;
}

std::shared_ptr<const InPlaceKml> OwnFormInPlace(const OverlaySettings& settings)
{
    return ReadKmlInPlace(OverlayFileBytes(settings).bytes, nullptr, 0, true).inPlace;
}

namespace {

// `text` in `file`'s encoding, read at the overlay that starts at or after
// `from`, of the same lineage.
KmlInPlaceRead ReadText(const InPlaceKml& file, const QString& text, qsizetype from)
{
    const KmlLayout layout = ScanKml(text);
    const auto found =
        std::find_if(layout.overlays.begin(), layout.overlays.end(),
                     [from](const OverlaySpot& spot) { return spot.element.start >= from; });
    const int which = found != layout.overlays.end() ? int(found - layout.overlays.begin()) : 0;
    KmlInPlaceRead read = ReadKmlInPlace(EncodeKml({file.kml.bom, file.kml.encoding, text}),
                                         nullptr, which, true, file.lineage);
    if (read.inPlace && file.inArchive()) {
        auto inArchive = std::make_shared<InPlaceKml>(*read.inPlace);
        inArchive->archive = file.archive;
        inArchive->kmlEntry = file.kmlEntry;
        inArchive->shownPicture = file.shownPicture;
        read.inPlace = std::move(inArchive);
    }
    return read;
}

} // namespace

KmlInPlaceRead WithAnotherOverlay(const InPlaceKml& file, const OverlaySettings& now,
                                  const OverlaySettings& added)
{
    const bool latin1 = file.kml.encoding == QStringConverter::Latin1;
    QString problem;
    qsizetype at = 0;
    const std::optional<QString> text =
        WithOverlayAdded(SplicedOverlay(file.kml.text, file.spot, file.read, now, latin1), added,
                         latin1, problem, &at);
    if (!text) {
        KmlInPlaceRead failed;
        failed.overlay.problem = problem;
        return failed;
    }
    return ReadText(file, *text, at);
}

KmlInPlaceRead WithoutThisOverlay(const InPlaceKml& file)
{
    const QString& text = file.kml.text;
    const qsizetype from = WhiteStart(text, file.spot.element.start, 0);
    const QString without =
        QStringView(text).left(from) + QStringView(text).mid(file.spot.element.end);
    // The overlay before it, or the first when it was the first.
    const KmlLayout layout = ScanKml(without);
    const int which = qMax(file.which - 1, 0);
    return ReadText(file, without,
                    std::size_t(which) < layout.overlays.size()
                        ? layout.overlays[std::size_t(which)].element.start
                        : 0);
}

} // namespace Overlay
