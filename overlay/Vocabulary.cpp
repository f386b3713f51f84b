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

QString ColorWithAlpha(const QString& color, const QString& alphaHex)
{
    return alphaHex + (color.size() == 8 ? color.mid(2) : kColorRgbWhite);
}

} // namespace Vocabulary
