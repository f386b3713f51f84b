#pragma once

#include <QString>

#include <optional>

namespace Overlay {

// The one number form this program accepts, in every locale: the form every
// KML viewer reads. An optional sign, digits with at most one "." (".5" and
// "5." count), an optional exponent (E or e, optional sign, digits), blanks
// (spaces or tabs) before and after. "0,5", "1,000", "inf", "nan", values too
// large or too small for a double, and empty or blank text are not numbers.
//
// The test and the conversion are one function so that they always agree:
// a text is a number exactly when this returns a value.
std::optional<double> KmlNumberValue(const QString& text);

inline bool IsKmlNumber(const QString& text)
{
    return KmlNumberValue(text).has_value();
}

// A whole number as plain decimal digits with a leading "-" when negative,
// however large, in every locale (no grouping, no exponent).
QString WholeNumberText(double wholeValue);

} // namespace Overlay
