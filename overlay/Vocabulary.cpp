#include "Vocabulary.h"

namespace Vocabulary {

QString SizeWordRule(const QString& sizeListText)
{
    if (sizeListText == kMaintainNativeSize)
        return QStringLiteral("-1");
    if (sizeListText == kMaintainAspect)
        return QStringLiteral("0");
    return sizeListText;
}

QString OverlayColorFromAlpha(const QString& alphaHex)
{
    return alphaHex + kColorRgbWhite;
}

} // namespace Vocabulary
