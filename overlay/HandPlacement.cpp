#include "HandPlacement.h"

#include "KmlNumber.h"
#include "Presets.h"
#include "Vocabulary.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Overlay {

namespace {

// Floating point slack, so that a value exactly half a pixel away still counts.
constexpr double kSlack = 1e-9;
constexpr int kMostPlaces = 4;
constexpr int kTurnStep = 15;

const QString kMoveWhat = QStringLiteral("Move in Preview");
const QString kResizeWhat = QStringLiteral("Resize in Preview");
const QString kTurnWhat = QStringLiteral("Turn in Preview");
const QString kNudgeWhat = QStringLiteral("Nudge in Preview");

const OverlayPoint& kOverlayXY = kOverlayPoints[0];
const OverlayPoint& kScreenXY = kOverlayPoints[1];
const OverlayPoint& kSize = kOverlayPoints[3];

void Put(HandEdit& edit, OverlayField field, const QString& text)
{
    edit.fields.emplace_back(field, text);
}

// A units list holding no unit is set to fraction, the unit its value is
// then written in.
QString UnitsOf(const OverlaySettings& s, OverlayField units)
{
    return IsUnitWord(s.*units) ? s.*units : Vocabulary::kFraction;
}
QString UnitsToWrite(const OverlaySettings& s, OverlayField units, HandEdit& edit)
{
    if (!IsUnitWord(s.*units))
        Put(edit, units, Vocabulary::kFraction);
    return UnitsOf(s, units);
}

// The nearest preset whose picture point, the picture at `moved`, lies
// within `reach` of its screen point; -1 for none.
int NearestPreset(const QRectF& moved, QSizeF screen, double reach)
{
    int nearest = -1;
    for (int i = 0; i < kPresetCount; ++i) {
        const QPointF f = PresetFromTopLeft(i);
        const QPointF pictureAt(moved.x() + f.x() * moved.width(),
                                moved.y() + f.y() * moved.height());
        const QPointF screenAt(f.x() * screen.width(), f.y() * screen.height());
        const QPointF apart = pictureAt - screenAt;
        const double distance = std::hypot(apart.x(), apart.y());
        if (distance <= reach) {
            reach = distance;
            nearest = i;
        }
    }
    return nearest;
}

} // namespace

bool IsUnitWord(const QString& word)
{
    return word == Vocabulary::kFraction || word == Vocabulary::kPixels ||
           word == Vocabulary::kInsetPixels;
}

QString FractionText(double share, double extent)
{
    const double target = share * extent;
    for (int places = 0; places <= kMostPlaces; ++places) {
        const double scale = std::pow(10.0, places);
        // Adding 0 turns -0 into 0.
        const double value = std::round(share * scale) / scale + 0.0;
        if (places == kMostPlaces || std::abs(value * extent - target) <= 0.5 + kSlack)
            return QString::number(value, 'f', places);
    }
    return {};
}

QString AlongText(double along, double extent, const QString& units)
{
    if (units == Vocabulary::kPixels)
        return WholeNumberText(std::round(along));
    if (units == Vocabulary::kInsetPixels)
        return WholeNumberText(std::round(extent - along));
    return FractionText(extent != 0 ? along / extent : 0, extent);
}

std::pair<QString, QString> ScreenPointTexts(QPointF point, QSizeF screen, const QString& xUnits,
                                             const QString& yUnits)
{
    // KML measures y from the bottom.
    return {AlongText(point.x(), screen.width(), xUnits),
            AlongText(screen.height() - point.y(), screen.height(), yUnits)};
}

QString DegreesText(double degrees, int step)
{
    const double stepped = std::round(degrees / step) * step;
    // 360 is a multiple of every step offered, so steps survive the wrap.
    return WholeNumberText(std::remainder(stepped, 360.0));
}

HandMove MoveEdit(const DragStart& start, QPointF at, double snapReach, bool snapOff,
                  bool snappedBefore)
{
    const OverlaySettings& s = start.settings;
    const QPointF shift = at - start.press;
    HandMove move;
    HandEdit& edit = move.edit;
    // Putting the preset's points together moves the whole picture just that little.
    if (!snapOff)
        move.preset =
            NearestPreset(start.placement.unrotated.translated(shift), start.screen, snapReach);
    if (move.preset >= 0) {
        for (const auto& [field, text] : PresetFields(move.preset))
            Put(edit, field, text);
        edit.what = QString::fromLatin1(kPresets[move.preset].name);
        return move;
    }
    const QString xUnits = UnitsOf(s, kScreenXY.xUnits);
    const QString yUnits = UnitsOf(s, kScreenXY.yUnits);
    if (snappedBefore) {
        // Off a preset it snapped to earlier: the overlay point as it was.
        Put(edit, kOverlayXY.xUnits, s.*kOverlayXY.xUnits);
        Put(edit, kOverlayXY.yUnits, s.*kOverlayXY.yUnits);
        Put(edit, kScreenXY.xUnits, xUnits);
        Put(edit, kScreenXY.yUnits, yUnits);
        Put(edit, kOverlayXY.x, s.*kOverlayXY.x);
        Put(edit, kOverlayXY.y, s.*kOverlayXY.y);
    } else {
        UnitsToWrite(s, kScreenXY.xUnits, edit);
        UnitsToWrite(s, kScreenXY.yUnits, edit);
    }
    const auto [x, y] =
        ScreenPointTexts(start.placement.anchor + shift, start.screen, xUnits, yUnits);
    Put(edit, kScreenXY.x, x);
    Put(edit, kScreenXY.y, y);
    edit.what = kMoveWhat;
    return move;
}

HandEdit ResizeEdit(const DragStart& start, QPointF at, int corner, bool keepAspect)
{
    const OverlaySettings& s = start.settings;
    const Placement& before = start.placement;
    const QSizeF screen = start.screen;

    // In the picture's own frame: the mouse turned back about the pivot.
    const QPointF m = TurnAbout(at, before.pivot, -before.rotationDegrees);
    const QRectF r = before.unrotated;
    const QPointF unturned[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
    const int opposite = (corner + 2) % 4;
    const QPointF fixed = unturned[opposite];
    const QPointF from = unturned[corner] - fixed;
    const double dirX = from.x() < 0 ? -1 : 1;
    const double dirY = from.y() < 0 ? -1 : 1;
    // Never so small that the size reads as a size word (0, -1) or rounds to one.
    constexpr double kSmallest = 2;
    double width = std::max(kSmallest, (m.x() - fixed.x()) * dirX);
    double height = std::max(kSmallest, (m.y() - fixed.y()) * dirY);
    const double width0 = std::abs(before.size.width());
    const double height0 = std::abs(before.size.height());
    if (keepAspect && width0 > 0 && height0 > 0) {
        const double grow = std::max(width / width0, height / height0);
        width = std::max(kSmallest, width0 * grow);
        height = std::max(kSmallest, height0 * grow);
    }

    HandEdit edit;
    OverlaySettings after = s;
    after.*kSize.xUnits = UnitsToWrite(s, kSize.xUnits, edit);
    after.*kSize.yUnits = UnitsToWrite(s, kSize.yUnits, edit);
    after.*kSize.x =
        AlongText(std::copysign(width, before.size.width()), screen.width(), after.*kSize.xUnits);
    after.*kSize.y = AlongText(std::copysign(height, before.size.height()), screen.height(),
                               after.*kSize.yUnits);

    // The pivot may move with the size; the screen point then moves back by
    // as much as the opposite corner went astray.
    const Placement resized = PlaceOverlay(after, screen, start.native);
    const QPointF anchor = resized.anchor + before.corners[opposite] - resized.corners[opposite];
    HandEdit screenEdit;
    const QString xUnits = UnitsToWrite(s, kScreenXY.xUnits, screenEdit);
    const QString yUnits = UnitsToWrite(s, kScreenXY.yUnits, screenEdit);
    const auto [x, y] = ScreenPointTexts(anchor, screen, xUnits, yUnits);
    const bool moves = !screenEdit.fields.empty() || x != s.*kScreenXY.x || y != s.*kScreenXY.y;
    if (moves)
        edit.fields.insert(edit.fields.end(), screenEdit.fields.begin(), screenEdit.fields.end());
    Put(edit, kSize.x, after.*kSize.x);
    Put(edit, kSize.y, after.*kSize.y);
    if (moves) {
        Put(edit, kScreenXY.x, x);
        Put(edit, kScreenXY.y, y);
    }
    edit.what = kResizeWhat;
    return edit;
}

HandEdit TurnEdit(const DragStart& start, QPointF at, bool inSteps)
{
    const QPointF pivot = start.placement.pivot;
    // Counter-clockwise positive, as KML turns: y runs down on the screen.
    const auto angle = [pivot](QPointF p) {
        return std::atan2(pivot.y() - p.y(), p.x() - pivot.x()) * 180 / std::numbers::pi;
    };
    const double degrees = start.placement.rotationDegrees + angle(at) - angle(start.press);
    HandEdit edit;
    Put(edit, &OverlaySettings::rotation, DegreesText(degrees, inSteps ? kTurnStep : 1));
    edit.what = kTurnWhat;
    return edit;
}

HandEdit NudgeEdit(const OverlaySettings& settings, QPointF anchor, QSizeF screen, QPointF step)
{
    // From the whole pixel nearest the point, so that nudges in fractions do
    // not add up their roundings.
    const QPointF to(std::round(anchor.x()) + step.x(), std::round(anchor.y()) + step.y());
    HandEdit edit;
    const QString xUnits = UnitsToWrite(settings, kScreenXY.xUnits, edit);
    const QString yUnits = UnitsToWrite(settings, kScreenXY.yUnits, edit);
    const auto [x, y] = ScreenPointTexts(to, screen, xUnits, yUnits);
    // The other axis keeps its text unless it had no unit or no value.
    const bool units = !edit.fields.empty();
    if (step.x() != 0 || units || settings.screenX.isEmpty())
        Put(edit, kScreenXY.x, x);
    if (step.y() != 0 || units || settings.screenY.isEmpty())
        Put(edit, kScreenXY.y, y);
    edit.what = kNudgeWhat;
    return edit;
}

} // namespace Overlay
