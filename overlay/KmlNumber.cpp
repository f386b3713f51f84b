#include "KmlNumber.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace Overlay {

namespace {

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The exponent from the "e" or "E" at `i` up to `end`: an optional sign, then
// digits. Copies it into `out` and moves `i` past it; false without a digit.
bool MatchExponent(const QString& text, qsizetype& i, qsizetype end, std::string& out)
{
    out.push_back('e');
    ++i;
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        out.push_back(static_cast<char>(text.at(i).unicode()));
        ++i;
    }
    int exponentDigits = 0;
    for (; i < end && IsDigit(text.at(i)); ++i) {
        out.push_back(static_cast<char>(text.at(i).unicode()));
        ++exponentDigits;
    }
    return exponentDigits != 0;
}

// Checks the grammar and copies the number (without blanks and without a
// leading "+", which std::from_chars does not take) into `out`.
bool MatchNumber(const QString& text, std::string& out)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && IsBlank(text.at(i)))
        ++i;
    while (end > i && IsBlank(text.at(end - 1)))
        --end;

    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        if (text.at(i) == QLatin1Char('-'))
            out.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    bool seenDot = false;
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (IsDigit(c)) {
            ++mantissaDigits;
        } else if (c == QLatin1Char('.') && !seenDot) {
            seenDot = true;
        } else {
            break;
        }
        out.push_back(static_cast<char>(c.unicode()));
    }
    if (mantissaDigits == 0)
        return false;

    if (i < end && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E')) &&
        !MatchExponent(text, i, end, out))
        return false;
    return i == end;
}

} // namespace

std::optional<double> KmlNumberValue(const QString& text)
{
    std::string number;
    if (!MatchNumber(text, number))
        return std::nullopt;
    double value = 0;
    const char* first = number.data();
    const char* last = first + number.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString WholeNumberText(double wholeValue)
{
    // Fixed notation with no fraction digits: plain digits in every locale.
    std::array<char, 400> buffer{};
    const auto [ptr, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), wholeValue,
                                         std::chars_format::fixed, 0);
    if (ec != std::errc())
        return {};
    QString text = QString::fromLatin1(buffer.data(), ptr - buffer.data());
    if (text == QLatin1String("-0"))
        text = QStringLiteral("0");
    return text;
}

} // namespace Overlay
