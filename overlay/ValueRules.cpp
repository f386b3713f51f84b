#include "ValueRules.h"

#include "KmlNumber.h"
#include "Vocabulary.h"

#include <cmath>
#include <optional>

namespace ValueRules {

namespace {

using Verdict = Decision::Verdict;
using Box = Decision::Box;

// Empty text is accepted by every rule; otherwise the number, or the refusal.
std::optional<double> NumberOrDecision(const QString& text, const QString& what, Decision& decision)
{
    if (text.isEmpty())
        return std::nullopt;
    const std::optional<double> value = Overlay::KmlNumberValue(text);
    if (!value)
        decision = {Verdict::Refused, Box::DataError,
                    QStringLiteral("Please enter a valid number for the ") + what, QString()};
    return value;
}

} // namespace

Decision PointValue(const QString& text, const QString& what)
{
    Decision decision;
    NumberOrDecision(text, what, decision);
    return decision;
}

Decision RotationAngle(const QString& text)
{
    Decision decision;
    const std::optional<double> angle =
        NumberOrDecision(text, QStringLiteral("rotation angle"), decision);
    if (angle && (*angle < -180 || *angle > 180))
        decision = {Verdict::Refused, Box::Notice,
                    QStringLiteral("Rotation angle has to be between -180 (clockwise "
                                   "rotation) and +180 (counter-clockwise rotation)"),
                    QString()};
    return decision;
}

Decision DrawOrder(const QString& text)
{
    Decision decision;
    const std::optional<double> value =
        NumberOrDecision(text, QStringLiteral("draw order"), decision);
    if (value && *value != std::floor(*value))
        decision = {Verdict::Replaced, Box::Notice,
                    QStringLiteral("Draw Order has been converted to a valid integer value."),
                    Overlay::WholeNumberText(std::floor(*value))};
    return decision;
}

Decision SizeValue(const QString& text, const QString& what)
{
    Decision decision;
    if (Vocabulary::kSizeWords.contains(text))
        return decision;
    const std::optional<double> value = NumberOrDecision(text, what, decision);
    if (value && *value < 0)
        decision = {Verdict::Refused, Box::Notice,
                    QStringLiteral("Negative numbers are not allowed for this value. Pick "
                                   "\"Maintain native size\" from the list for the picture's "
                                   "own size."),
                    QString()};
    return decision;
}

} // namespace ValueRules
