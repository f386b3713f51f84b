#include "KmlWriter.h"

#include "Vocabulary.h"

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
    const QString tag = QLatin1String(name);
    return QLatin1Char('<') + tag + QLatin1Char('>') + XmlEscape(value, false) +
           QLatin1String("</") + tag + QLatin1Char('>');
}

QString Attribute(const char* name, const QString& value)
{
    return QLatin1String(name) + QLatin1String("=\"") + XmlEscape(value, true) + QLatin1Char('"');
}

// `<name x="X" y="Y" xunits="XU" yunits="YU" />`
QString PointElement(const char* name, const QString& x, const QString& y, const QString& xUnits,
                     const QString& yUnits)
{
    return QLatin1Char('<') + QLatin1String(name) + QLatin1Char(' ') + Attribute("x", x) +
           QLatin1Char(' ') + Attribute("y", y) + QLatin1Char(' ') + Attribute("xunits", xUnits) +
           QLatin1Char(' ') + Attribute("yunits", yUnits) + QLatin1String(" />\n");
}

bool EitherFilled(const QString& a, const QString& b)
{
    return !a.isEmpty() || !b.isEmpty();
}

const QString kXmlDeclaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
const QString kKmlStart =
    QStringLiteral("<kml xmlns=\"") + Vocabulary::kKmlNamespace + QStringLiteral("\">\n");

} // namespace

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
        out += QString::fromUcs4(&kept, 1);
    }
    return out;
}

OverlayFile OverlayFileBytes(const OverlaySettings& s)
{
    const QString overlayPoint = PointElement("overlayXY", s.txtOverlay_x, s.txtOverlay_y,
                                              s.comboOverlay_x_units, s.comboOverlay_y_units);
    const QString screenPoint = PointElement("screenXY", s.txtScreen_x, s.txtScreen_y,
                                             s.comboScreen_x_units, s.comboScreen_y_units);
    const QString rotationPoint = PointElement("rotationXY", s.txtRotation_x, s.txtRotation_y,
                                               s.comboRotation_x_units, s.comboRotation_y_units);
    OverlayFile file;
    file.SizeXValue = Vocabulary::SizeWordRule(s.comboSize_x);
    file.SizeYValue = Vocabulary::SizeWordRule(s.comboSize_y);
    const QString size = PointElement("size", file.SizeXValue, file.SizeYValue, s.comboSize_x_units,
                                      s.comboSize_y_units);

    RecordWriter w;
    w.Line(kXmlDeclaration);
    w.Line(kKmlStart);
    w.Line(QStringLiteral("<ScreenOverlay>\n"));
    if (!s.txtOverlay_title.isEmpty())
        w.Line(Element("name", s.txtOverlay_title) + QLatin1Char('\n'));
    w.Line(Element("color", s.OverlayColor));
    if (!s.txtDraw_order.isEmpty())
        w.Line(Element("drawOrder", s.txtDraw_order));
    w.Line(QStringLiteral("<Icon>\n"));
    w.Line(Element("href", s.GraphicFilePath) + QLatin1Char('\n'));
    w.Line(QStringLiteral("</Icon>\n"));
    if (EitherFilled(s.txtOverlay_x, s.txtOverlay_y))
        w.Line(overlayPoint);
    if (EitherFilled(s.txtScreen_x, s.txtScreen_y))
        w.Line(screenPoint);
    if (EitherFilled(s.txtRotation_x, s.txtRotation_y))
        w.Line(rotationPoint);
    if (!s.txtRotation.isEmpty())
        w.Line(Element("rotation", s.txtRotation) + QLatin1Char('\n'));
    if (EitherFilled(s.comboSize_x, s.comboSize_y))
        w.Line(size);
    w.Line(QStringLiteral("</ScreenOverlay>\n"));
    w.Line(QStringLiteral("</kml>\n"));
    file.bytes = std::move(w.out);
    return file;
}

SaveOverlayResult SaveOverlayFile(const OverlaySettings& settings)
{
    const OverlayFile file = OverlayFileBytes(settings);
    SaveOverlayResult result;
    static_cast<WriteResult&>(result) = WriteFileAtomically(settings.OutputFilePath, file.bytes);
    result.SizeXValue = file.SizeXValue;
    result.SizeYValue = file.SizeYValue;
    return result;
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
