#include "OverlayReader.h"

#include "AlphaColor.h"
#include "LossWords.h"
#include "PictureFile.h"
#include "Vocabulary.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <optional>
#include <utility>
#include <vector>

namespace Overlay {

namespace {

using namespace LossWords;

using Vocabulary::IsKmlNamespace;

bool IsGxNamespace(QStringView uri)
{
    return uri == QLatin1String("http://www.google.com/kml/ext/2.2");
}

bool IsBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
               c == QLatin1Char('\r');
    });
}

// Values longer than these are refused: a title of thousands of characters
// is already generous, a number never needs more than a few hundred digits,
// and filling a field with megabytes of text would freeze the window.
constexpr qsizetype kLongestTitle = 4096;
constexpr qsizetype kLongestNumber = 500;
constexpr qsizetype kLongestPath = 8192;
// A value quoted in a message is cut here: the message must fit a screen.
constexpr qsizetype kLongestQuote = 40;
// Where a file without a screen overlay leads: a few are enough to follow.
constexpr qsizetype kMostLinks = 8;

// `text` for a message: at most kLongestQuote characters, then an ellipsis.
QString Shown(QStringView text)
{
    return text.size() <= kLongestQuote ? text.toString()
                                        : text.left(kLongestQuote).toString() + QChar(0x2026);
}

// A half of a surrogate pair on its own (a decoder can leave one) is no
// character: it stands as U+FFFD, which is also what a write makes of it.
QString Characters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool paired = c.isHighSurrogate()
                                ? i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                            : c.isLowSurrogate() ? i > 0 && text.at(i - 1).isHighSurrogate()
                                                 : true;
        if (!paired)
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

// The overlay elements a write carries, each taken once; a repeat is lost.
enum Carried : std::uint8_t { Name, Color, DrawOrder, Rotation, Icon, FirstPoint };
constexpr ElementWords kCarried[] = {
    {"name", "another name", "%1 more names"},
    {"color", "another colour", "%1 more colours"},
    {"drawOrder", "another draw order", "%1 more draw orders"},
    {"rotation", "another rotation", "%1 more rotations"},
    {"Icon", "another picture", "%1 more pictures"},
    // From FirstPoint on, in the order of kOverlayPoints.
    {"overlayXY", "another overlay point", "%1 more overlay points"},
    {"screenXY", "another screen point", "%1 more screen points"},
    {"rotationXY", "another rotation point", "%1 more rotation points"},
    {"size", "another size", "%1 more sizes"},
};
static_assert(std::size(kCarried) == FirstPoint + std::size(kOverlayPoints));

// A kml, Document or Folder element being read. Its own properties are lost
// only when it holds the overlay; otherwise it is lost whole.
struct Container
{
    enum Kind : std::uint8_t { Kml, Document, Folder } kind;
    qsizetype at;
    bool holdsOverlay = false;
    bool hasContent = false;
    std::vector<Loss> ownLosses = {};
};

class Reader
{
public:
    Reader(QIODevice& device, ReadControl* control, int which)
        : xml_(&device), device_(device), control_(control), which_(which)
    {
        if (control_ != nullptr)
            control_->total = device.isSequential() ? 0 : device.size();
    }

    OpenedOverlayFile Read()
    {
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = Token();
            if (token == QXmlStreamReader::StartElement) {
                if (open_.empty()) {
                    if (!OpenRoot())
                        return Failed(QStringLiteral("it is not a KML file"));
                    continue;
                }
                open_.back().hasContent = true;
                ReadChild();
            } else if (token == QXmlStreamReader::EndElement) {
                if (!open_.empty()) {
                    Close(open_.back());
                    open_.pop_back();
                }
            } else if (token == QXmlStreamReader::Characters) {
                if (!IsBlank(xml_.text()) && !open_.empty()) {
                    open_.back().hasContent = true;
                    LoseStrayText();
                }
            } else {
                LoseMarkup(token);
            }
        }
        return Finish();
    }

private:
    // What the whole read gave, once the parser has stopped.
    OpenedOverlayFile Finish()
    {
        if (!refusal_.isEmpty()) {
            OpenedOverlayFile refused = Failed(refusal_);
            refused.cancelled = control_ != nullptr && control_->cancelled;
            return refused;
        }
        if (xml_.hasError())
            return Failed(XmlProblem());
        if (!overlayRead_) {
            OpenedOverlayFile failed =
                Failed(opened_.networkLinks.isEmpty()
                           ? QStringLiteral("it holds no screen overlay")
                           : QStringLiteral("it holds no screen overlay, only a network link to "
                                            "%1; open that file instead")
                                 .arg(Shown(opened_.networkLinks.first())));
            failed.networkLinks = opened_.networkLinks;
            return failed;
        }
        opened_.notKept = losses_.Words();
        return std::move(opened_);
    }

    // The next token. Every so often the read tells how far it is and looks
    // whether it should stop.
    QXmlStreamReader::TokenType Token()
    {
        if (control_ != nullptr && (++tokens_ & 0x3ffU) == 0) {
            control_->done = device_.pos();
            if (control_->cancelled)
                Refuse(QStringLiteral("its opening was cancelled"));
        }
        return xml_.readNext();
    }

    // Stops the read for good with `why` as its problem.
    void Refuse(const QString& why)
    {
        if (refusal_.isEmpty())
            refusal_ = why;
        xml_.raiseError(why);
    }

    // Passes over the element just started and all it holds; a network
    // link's target is noted on the way.
    void Skip()
    {
        const bool link =
            xml_.name() == QLatin1String("NetworkLink") && IsKmlNamespace(xml_.namespaceUri());
        int depth = 1;
        bool inLink = false;
        // The text of <href> in <Link> or <Url>, at depth 3, while in it.
        std::optional<QString> href;
        while (depth > 0 && !xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = Token();
            if (token == QXmlStreamReader::Characters && href && depth == 3) {
                *href += xml_.text().left(qMax<qsizetype>(kLongestPath - href->size(), 0));
            } else if (token == QXmlStreamReader::EndElement) {
                if (depth-- == 3 && href)
                    NoteLink(*std::exchange(href, std::nullopt));
            } else if (token == QXmlStreamReader::StartElement && ++depth <= 3 && link) {
                const QStringView name = xml_.name();
                if (depth == 2)
                    inLink = name == QLatin1String("Link") || name == QLatin1String("Url");
                else if (inLink && name == QLatin1String("href"))
                    href.emplace();
            }
        }
    }

    // Where a network link leads, while the file shows no overlay.
    void NoteLink(const QString& href)
    {
        if (!overlayRead_ && !IsBlank(href) && opened_.networkLinks.size() < kMostLinks)
            opened_.networkLinks << href.trimmed();
    }

    bool OpenRoot()
    {
        if (xml_.name() != QLatin1String("kml") || !IsKmlNamespace(xml_.namespaceUri()))
            return false;
        LoseAttributes({});
        open_.push_back({Container::Kml, Next()});
        return true;
    }

    // An element inside a container.
    void ReadChild()
    {
        const QStringView name = xml_.name();
        const bool kml = IsKmlNamespace(xml_.namespaceUri());
        if (kml && (name == QLatin1String("Document") || name == QLatin1String("Folder"))) {
            open_.push_back(
                {name == QLatin1String("Folder") ? Container::Folder : Container::Document,
                 Next()});
            LoseAttributes(open_.back());
            return;
        }
        if (kml && name == QLatin1String("ScreenOverlay") && !overlayRead_ &&
            overlaysSeen_++ == which_) {
            // Every container open now wraps the overlay: its own content is lost.
            for (Container& container : open_) {
                container.holdsOverlay = true;
                for (const Loss& loss : container.ownLosses)
                    losses_.Add(loss.one, loss.many, loss.at);
                container.ownLosses.clear();
            }
            opened_.settings = ReadScreenOverlay();
            overlayRead_ = !xml_.hasError();
            return;
        }
        LoseChild(open_.back());
    }

    QString XmlProblem() const
    {
        if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError &&
            xml_.characterOffset() == 0)
            return QStringLiteral("it is empty");
        const QString where = QStringLiteral("(line %1, column %2: %3)")
                                  .arg(xml_.lineNumber())
                                  .arg(xml_.columnNumber())
                                  .arg(xml_.errorString());
        // Well formed as far as the overlay is no help: the rest is damaged.
        return overlayRead_ ? QStringLiteral("it is damaged after its screen overlay ") + where
                            : QStringLiteral("it is not an XML file ") + where;
    }

    static OpenedOverlayFile Failed(const QString& problem)
    {
        OpenedOverlayFile opened;
        opened.problem = problem;
        return opened;
    }

    qsizetype Next() { return next_++; }

    void Lose(const QString& one, const QString& many = {}) { losses_.Add(one, many, Next()); }
    void Lose(const char* one, const char* many)
    {
        Lose(QString::fromLatin1(one), many ? QString::fromLatin1(many) : QString());
    }

    // A property of `container`: lost with it, or on its own when the
    // container is kept as the overlay's wrapper.
    static void LoseProperty(Container& container, const QString& one, const QString& many,
                             qsizetype at, Losses& losses)
    {
        if (container.holdsOverlay)
            losses.Add(one, many, at);
        else
            container.ownLosses.push_back({one, many, at});
    }

    void Close(const Container& container)
    {
        if (container.holdsOverlay || container.kind == Container::Kml)
            return;
        const bool folder = container.kind == Container::Folder;
        if (container.hasContent)
            losses_.Add(folder ? QStringLiteral("a folder with content")
                               : QStringLiteral("a document with content"),
                        folder ? QStringLiteral("%1 folders with content")
                               : QStringLiteral("%1 documents with content"),
                        container.at);
        else
            losses_.Add(
                folder ? QStringLiteral("an empty folder") : QStringLiteral("an empty document"),
                folder ? QStringLiteral("%1 empty folders") : QStringLiteral("%1 empty documents"),
                container.at);
    }

    static QString Owner(const Container& container)
    {
        return container.kind == Container::Folder ? QStringLiteral("folder")
                                                   : QStringLiteral("document");
    }

    // Attributes of a container's start tag: its id and the like.
    void LoseAttributes(Container& container)
    {
        for (const QXmlStreamAttribute& attribute : xml_.attributes()) {
            const bool id = attribute.qualifiedName() == QLatin1String("id");
            const QString name = Shown(attribute.qualifiedName());
            LoseProperty(
                container,
                id ? QStringLiteral("the %1's id").arg(Owner(container))
                   : QStringLiteral("the %1's attribute \"%2\"").arg(Owner(container), name),
                id ? QStringLiteral("%1 %2 ids").arg(QStringLiteral("%1"), Owner(container))
                   : QStringLiteral("%1 %2 attributes \"%3\"")
                         .arg(QStringLiteral("%1"), Owner(container), name),
                Next(), losses_);
        }
    }

    // Attributes of the element just started, but those named in `carried`.
    void LoseAttributes(std::initializer_list<const char*> carried)
    {
        for (const QXmlStreamAttribute& attribute : xml_.attributes()) {
            const bool kept = attribute.namespaceUri().isEmpty() &&
                              std::any_of(carried.begin(), carried.end(), [&](const char* name) {
                                  return attribute.name() == QLatin1String(name);
                              });
            if (kept)
                continue;
            if (xml_.name() == QLatin1String("ScreenOverlay") &&
                attribute.qualifiedName() == QLatin1String("id"))
                Lose("an id", "%1 ids");
            else
                Lose(QStringLiteral("the attribute \"%1\" of <%2>")
                         .arg(Shown(attribute.qualifiedName()), Shown(xml_.qualifiedName())));
        }
    }

    // The element just started, unknown or not carried, and all it holds.
    void LoseElement()
    {
        if (IsGxNamespace(xml_.namespaceUri()))
            Lose(QStringLiteral("a Google Earth extension (gx:%1)").arg(Shown(xml_.name())),
                 QStringLiteral("%1 Google Earth extensions (gx:") + Shown(xml_.name()) + u')');
        else
            Lose(QStringLiteral("the element <%1>")
                     .arg(Shown(IsKmlNamespace(xml_.namespaceUri()) ? xml_.name()
                                                                    : xml_.qualifiedName())));
        Skip();
    }

    // The element just started inside a container, other than a container
    // or the overlay.
    void LoseChild(Container& container)
    {
        const QStringView name = xml_.name();
        if (IsKmlNamespace(xml_.namespaceUri())) {
            if (const auto* whole = Find(kWholeThings, name)) {
                Lose(whole->one, whole->many);
                Skip();
                return;
            }
            const auto* property = Find(kProperties, name);
            if (property && container.kind != Container::Kml) {
                LoseProperty(container,
                             QStringLiteral("the %1's %2")
                                 .arg(Owner(container), QLatin1String(property->noun)),
                             QStringLiteral("%1 %2 %3")
                                 .arg(QStringLiteral("%1"), Owner(container),
                                      QLatin1String(property->nouns)),
                             Next(), losses_);
                Skip();
                return;
            }
        }
        LoseElement();
    }

    void LoseStrayText() { Lose(QStringLiteral("stray text")); }

    // Markup other than elements and text: none of it is written back.
    void LoseMarkup(QXmlStreamReader::TokenType token)
    {
        switch (token) {
        case QXmlStreamReader::Comment:
            Lose("a comment", "%1 comments");
            break;
        case QXmlStreamReader::ProcessingInstruction:
            Lose("a processing instruction", "%1 processing instructions");
            break;
        case QXmlStreamReader::DTD:
            // An entity declared here may stand for text many thousand
            // times its own size; KML files never need one.
            if (!xml_.entityDeclarations().isEmpty())
                Refuse(QStringLiteral("it declares entities of its own (<!ENTITY %1 ...>), "
                                      "which KML files never need")
                           .arg(Shown(xml_.entityDeclarations().first().name())));
            else
                Lose("a document type declaration", nullptr);
            break;
        case QXmlStreamReader::EntityReference:
            Lose(QStringLiteral("the entity &%1;").arg(Shown(xml_.name())));
            break;
        default:
            break;
        }
    }

    // Moves to the next child element of the element being read; false at
    // its end. Text other than blanks and other markup between children are
    // told as lost on the way.
    bool NextChild()
    {
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = Token();
            if (token == QXmlStreamReader::StartElement)
                return true;
            if (token == QXmlStreamReader::EndElement)
                return false;
            if (token != QXmlStreamReader::Characters)
                LoseMarkup(token);
            else if (!IsBlank(xml_.text()))
                LoseStrayText();
        }
        return false;
    }

    // The text of the element just started, exactly as the file holds it.
    // Longer than `longest`, the file is refused with `what`'s name and
    // length; without a name the text is only cut there. `blank` tells
    // whether the whole text is blank.
    QString ReadText(qsizetype longest, const QString& what, bool* blank = nullptr)
    {
        QString text;
        qsizetype length = 0;
        if (blank != nullptr)
            *blank = true;
        while (!xml_.atEnd()) {
            const QXmlStreamReader::TokenType token = Token();
            if (token == QXmlStreamReader::Characters) {
                length += xml_.text().size();
                if (blank != nullptr && *blank)
                    *blank = IsBlank(xml_.text());
                if (text.size() < longest)
                    text += xml_.text().left(longest - text.size());
            } else if (token == QXmlStreamReader::StartElement) {
                LoseElement();
            } else if (token == QXmlStreamReader::EndElement) {
                break;
            } else {
                LoseMarkup(token);
            }
        }
        if (length > longest)
            TooLong(what, length, longest);
        return Characters(std::move(text));
    }

    void TooLong(const QString& what, qsizetype length, qsizetype longest)
    {
        if (!what.isEmpty())
            Refuse(QStringLiteral("its %1 is %2 characters long; Orvinel takes at most %3")
                       .arg(what, Count(length), Count(longest)));
    }

    // The content of an element that should hold none.
    void ReadNothing()
    {
        bool blank = true;
        ReadText(0, {}, &blank);
        if (!blank)
            LoseStrayText();
    }

    // The size lists show "-1" and "0" as their words; all else stays as written.
    QString PointText(const OverlayPoint& point, QStringView axis, QStringView value)
    {
        if (value.size() > kLongestNumber) {
            TooLong(QStringLiteral("%1 value of %2")
                        .arg(axis, point.sizeWords ? QStringLiteral("the size")
                                                   : u'<' + QLatin1String(point.element) + u'>'),
                    value.size(), kLongestNumber);
            return {};
        }
        if (point.sizeWords && value == QLatin1String("-1"))
            return Vocabulary::kMaintainNativeSize;
        if (point.sizeWords && value == QLatin1String("0"))
            return Vocabulary::kMaintainAspect;
        return Characters(value.toString());
    }

    // The window's units lists offer their words only: another stays "fraction".
    void ReadUnits(QString& units, const QStringList& offered, const QString& owner,
                   QStringView value)
    {
        if (offered.contains(value))
            units = value.toString();
        else
            Lose(QStringLiteral("the %1 unit \"%2\"").arg(owner, Shown(value)));
    }

    // One of kOverlayPoints: x and y as written, units only from their list.
    void ReadPoint(OverlaySettings& s, const OverlayPoint& point)
    {
        LoseAttributes({"x", "y", "xunits", "yunits"});
        const QStringList& offered =
            point.sizeWords ? Vocabulary::kSizeUnits : Vocabulary::kPointUnits;
        const QString unitOwner =
            point.sizeWords ? QStringLiteral("size") : u'<' + QLatin1String(point.element) + u'>';
        for (const QXmlStreamAttribute& attribute : xml_.attributes()) {
            const QStringView name = attribute.name();
            if (!attribute.namespaceUri().isEmpty())
                continue;
            if (name == QLatin1String("x") || name == QLatin1String("y"))
                s.*(name == QLatin1String("x") ? point.x : point.y) =
                    PointText(point, name, attribute.value());
            else if (name == QLatin1String("xunits") || name == QLatin1String("yunits"))
                ReadUnits(s.*(name == QLatin1String("xunits") ? point.xUnits : point.yUnits),
                          offered, unitOwner, attribute.value());
        }
        // A missing x or y has the viewer's own value, which an empty text
        // written back would not keep.
        for (const char* axis : {"x", "y"}) {
            if (!xml_.attributes().hasAttribute(QLatin1String(axis)))
                Lose(QStringLiteral("the missing %1 value of %2")
                         .arg(QLatin1String(axis),
                              point.sizeWords ? QStringLiteral("the size") : unitOwner));
        }
        // Without x and y nothing of the point is written.
        if ((s.*point.x).isEmpty() && (s.*point.y).isEmpty() &&
            (s.*point.xUnits != Vocabulary::kFraction || s.*point.yUnits != Vocabulary::kFraction))
            Lose(QStringLiteral("the units of an empty ") + unitOwner);
        ReadNothing();
    }

    void ReadIcon(OverlaySettings& s)
    {
        LoseAttributes({});
        bool hrefRead = false;
        while (NextChild()) {
            const QStringView name = xml_.name();
            const bool kml = IsKmlNamespace(xml_.namespaceUri());
            if (kml && name == QLatin1String("href")) {
                if (hrefRead) {
                    Lose("another picture path", "%1 more picture paths");
                    Skip();
                } else {
                    LoseAttributes({});
                    s.picture = ReadText(kLongestPath, QStringLiteral("picture path"));
                    hrefRead = true;
                }
            } else if (kml && (name == QLatin1String("refreshMode") ||
                               name == QLatin1String("refreshInterval") ||
                               name.startsWith(QLatin1String("view")) ||
                               name == QLatin1String("httpQuery"))) {
                Lose("the picture's refresh settings", nullptr);
                Skip();
            } else {
                LoseElement();
            }
        }
    }

    OverlaySettings ReadScreenOverlay()
    {
        OverlaySettings s;
        s.colour = Vocabulary::kOpaqueWhite;
        for (const OverlayPoint& point : kOverlayPoints)
            s.*point.xUnits = s.*point.yUnits = Vocabulary::kFraction;
        LoseAttributes({});

        unsigned seen = 0;
        while (NextChild()) {
            const QStringView name = xml_.name();
            if (!IsKmlNamespace(xml_.namespaceUri())) {
                LoseElement();
                continue;
            }
            if (const auto* carried = Find(kCarried, name)) {
                const auto which = unsigned(carried - std::begin(kCarried));
                if ((seen & (1U << which)) != 0) {
                    Lose(carried->one, carried->many);
                    Skip();
                    continue;
                }
                seen |= 1U << which;
                ReadCarried(s, which);
            } else if (const auto* property = Find(kProperties, name)) {
                Lose(QLatin1String(property->article) +
                         (*property->article != '\0' ? QStringLiteral(" ") : QString()) +
                         QLatin1String(property->noun),
                     QStringLiteral("%1 ") + QLatin1String(property->nouns));
                Skip();
            } else if (const auto* whole = Find(kWholeThings, name)) {
                Lose(whole->one, whole->many);
                Skip();
            } else {
                LoseElement();
            }
        }
        return s;
    }

    void ReadCarried(OverlaySettings& s, unsigned which)
    {
        if (which < FirstPoint && which != Icon)
            LoseAttributes({});
        switch (which) {
        case Name:
            s.title = ReadText(kLongestTitle, QStringLiteral("title"));
            break;
        case Color: {
            // Cut just past a quote's length: a colour is eight digits.
            const QString color = ReadText(kLongestQuote + 1, {});
            if (IsKmlColor(color))
                s.colour = color;
            else
                Lose(QStringLiteral("the colour \"%1\"").arg(Shown(color)));
            break;
        }
        case DrawOrder:
            s.drawOrder = ReadText(kLongestNumber, QStringLiteral("draw order"));
            break;
        case Rotation:
            s.rotation = ReadText(kLongestNumber, QStringLiteral("rotation"));
            break;
        case Icon:
            ReadIcon(s);
            break;
        default:
            ReadPoint(s, kOverlayPoints[which - FirstPoint]);
            break;
        }
    }

    QXmlStreamReader xml_;
    QIODevice& device_;
    ReadControl* control_;
    // Which of the file's screen overlays is read, from 0, and how many came so far.
    const int which_;
    int overlaysSeen_ = 0;
    unsigned tokens_ = 0;
    // Why the read stopped early; it wins over the parser's own error.
    QString refusal_;
    Losses losses_;
    qsizetype next_ = 0;
    std::vector<Container> open_;
    OpenedOverlayFile opened_;
    bool overlayRead_ = false;
};

} // namespace

OpenedOverlayFile ReadOverlay(QIODevice& device, ReadControl* control, int which)
{
    return Reader(device, control, which).Read();
}

OpenedOverlayFile ReadOverlayFile(const QString& path, ReadControl* control)
{
    const OpenedPicture file = OpenPictureFile(path);
    if (!file) {
        OpenedOverlayFile opened;
        opened.problem = file.problem;
        return opened;
    }
    return ReadOverlay(*file.file, control);
}

QString JoinedInWords(const QStringList& items)
{
    // A message box must fit the screen: the first few, then how many more.
    constexpr qsizetype kMostNamed = 5;
    if (items.size() > kMostNamed + 1)
        return items.mid(0, kMostNamed).join(QStringLiteral(", ")) +
               QStringLiteral(" and %1 other kinds of content")
                   .arg(Count(items.size() - kMostNamed));
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           items.last();
}

} // namespace Overlay
