#pragma once

#include <QString>

// What the window does with a value when the focus leaves its field. Each
// rule takes the text and decides; the window only shows the decision, and a
// reader of files or a drag in the preview can ask the same rules.
namespace ValueRules {

struct Decision
{
    enum class Verdict {
        Accepted, // the text stands
        Refused,  // the focus stays and `message` is shown; the text stands
        Replaced, // `replacement` takes the text's place, then `message` is shown
    };
    enum class Box {
        None,
        DataError, // "Data Error" with the exclamation icon
        Notice,    // no icon, the program's own title
    };
    Verdict verdict = Verdict::Accepted;
    Box box = Box::None;
    QString message;
    QString replacement;

    friend bool operator==(const Decision&, const Decision&) = default;
};

// One of the six point coordinates: a number or empty. `what` ends the
// refusal "Please enter a valid number for the ..." ("overlay x value").
Decision PointValue(const QString& text, const QString& what);
// The rotation angle: a number from -180 to 180, or empty.
Decision RotationAngle(const QString& text);
// The draw order: a number or empty; a fraction becomes the whole number at
// or below it ("3.7" -> "3", "-0.5" -> "-1").
Decision DrawOrder(const QString& text);
// A size list: empty, a size word, or a number not below 0. `what` ends the
// refusal ("x-size").
Decision SizeValue(const QString& text, const QString& what);

} // namespace ValueRules
