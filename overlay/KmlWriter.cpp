#include "KmlWriter.h"

#include "Vocabulary.h"

namespace Overlay {

namespace {

bool IsXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Writes records as they are: a record brings its own line feed where it has
// one, and nothing is added after it.
class RecordWriter
{
public:
    void Line(const QString& text) { out += text.toUtf8(); }
    QByteArray out;
};

QString Element(const char* name, const QString& value)
{
    return ValueElement({}, name, value);
}

QString Attribute(const char* name, const QString& value)
{
    return QLatin1String(name) + QLatin1String("=\"") + XmlEscape(value, true) + QLatin1Char('"');
}

QString PointLine(const OverlaySettings& s, const OverlayPoint& point)
{
    const QString element = PointElement(s, point);
    return element.isEmpty() ? element : element + QLatin1Char('\n');
}

const QString kXmlDeclaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
const QString kKmlStart =
    QStringLiteral("<kml xmlns=\"") + Vocabulary::kKmlNamespace + QStringLiteral("\">\n");

} // namespace

QString ValueElement(QStringView prefix, const char* name, const QString& value)
{
    const QString tag = prefix + QLatin1String(name);
    return QLatin1Char('<') + tag + QLatin1Char('>') + XmlEscape(value, false) +
           QLatin1String("</") + tag + QLatin1Char('>');
}

QString PointElement(const OverlaySettings& s, const OverlayPoint& point, QStringView prefix)
{
    const auto [x, y] = PointTexts(s, point);
    if (x.isEmpty() && y.isEmpty())
        return {};
    return QLatin1Char('<') + prefix + QLatin1String(point.element) + QLatin1Char(' ') +
           Attribute("x", x) + QLatin1Char(' ') + Attribute("y", y) + QLatin1Char(' ') +
           Attribute("xunits", s.*point.xUnits) + QLatin1Char(' ') +
           Attribute("yunits", s.*point.yUnits) + QLatin1String(" />");
}

QString XmlEscape(const QString& text, bool inAttribute)
{
    QString out;
    out.reserve(text.size());
    const auto codePoints = text.toUcs4();
    for (qsizetype i = 0; i < codePoints.size(); ++i) {
        const char32_t c = codePoints.at(i);
        switch (c) {
        case U'&':
            out += QLatin1String("&amp;");
            continue;
        case U'<':
            out += QLatin1String("&lt;");
            continue;
        case U'"':
            if (inAttribute) {
                out += QLatin1String("&quot;");
                continue;
            }
            break;
        case U'>':
            // "]]>" may not stand in text content.
            if (i >= 2 && codePoints.at(i - 1) == U']' && codePoints.at(i - 2) == U']') {
                out += QLatin1String("&gt;");
                continue;
            }
            break;
        case U'\r':
            // A parser would turn a raw CR into a line feed.
            out += QLatin1String("&#13;");
            continue;
        case U'\n':
        case U'\t':
            // Attribute values turn raw line feeds and tabs into spaces.
            if (inAttribute) {
                out += c == U'\n' ? QLatin1String("&#10;") : QLatin1String("&#9;");
                continue;
            }
            break;
        default:
            break;
        }
        const char32_t kept = IsXmlChar(c) ? c : char32_t(0xFFFD);
        // Not QString::fromUcs4: it takes a U+FEFF of its own as a byte order mark and drops it.
        if (QChar::requiresSurrogates(kept)) {
            out += QChar(QChar::highSurrogate(kept));
            out += QChar(QChar::lowSurrogate(kept));
        } else {
            out += QChar(char16_t(kept));
        }
    }
    return out;
}

OverlayFile OverlayFileBytes(const OverlaySettings& s)
{
    OverlayFile file;
    file.SizeXValue = Vocabulary::SizeWordRule(s.sizeX);
    file.SizeYValue = Vocabulary::SizeWordRule(s.sizeY);

    RecordWriter w;
    w.Line(kXmlDeclaration);
    w.Line(kKmlStart);
    w.Line(QStringLiteral("<ScreenOverlay>\n"));
    if (!s.title.isEmpty())
        w.Line(Element("name", s.title) + QLatin1Char('\n'));
    w.Line(Element("color", s.colour));
    if (!s.drawOrder.isEmpty())
        w.Line(Element("drawOrder", s.drawOrder));
    w.Line(QStringLiteral("<Icon>\n"));
    w.Line(Element("href", s.picture) + QLatin1Char('\n'));
    w.Line(QStringLiteral("</Icon>\n"));
    // overlayXY, screenXY, rotationXY, then the angle, then the size.
    for (const OverlayPoint& point : kOverlayPoints) {
        if (point.sizeWords && !s.rotation.isEmpty())
            w.Line(Element("rotation", s.rotation) + QLatin1Char('\n'));
        w.Line(PointLine(s, point));
    }
    w.Line(QStringLiteral("</ScreenOverlay>\n"));
    w.Line(QStringLiteral("</kml>\n"));
    file.bytes = std::move(w.out);
    return file;
}

QByteArray NetworkLinkFileBytes(const QString& overlayFilePath)
{
    QString linkTarget = overlayFilePath;
    linkTarget.replace(QLatin1Char('\\'), QLatin1Char('/'));
    RecordWriter w;
    w.Line(kXmlDeclaration);
    w.Line(kKmlStart);
    w.Line(QStringLiteral("<NetworkLink>\n"));
    w.Line(QStringLiteral("<Url>\n"));
    w.Line(Element("href", linkTarget) + QLatin1Char('\n'));
    w.Line(QStringLiteral("<refreshMode>onInterval</refreshMode>\n"));
    w.Line(QStringLiteral("<refreshInterval>1</refreshInterval>\n"));
    w.Line(QStringLiteral("</Url>\n"));
    w.Line(QStringLiteral("</NetworkLink>\n"));
    w.Line(QStringLiteral("</kml>\n"));
    return std::move(w.out);
}

WriteResult SaveNetworkLinkFile(const QString& linkFilePath, const QString& overlayFilePath)
{
    return WriteFileAtomically(linkFilePath, NetworkLinkFileBytes(overlayFilePath));
}

} // namespace Overlay
