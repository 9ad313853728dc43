#include "model/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

// The magnitude of a finite value as its 15 significant decimal digits and the
// number of those digits that stand before the decimal point (may be <= 0).
struct DecimalDigits {
    std::string digits;
    int pointPosition = 0;
};

DecimalDigits splitScientific(const char* begin, const char* end)
{
    const std::string_view text(begin, static_cast<std::size_t>(end - begin));
    const auto e = text.find('e');
    DecimalDigits out;
    out.digits.push_back(text[0]);
    if (e > 1)
        out.digits.append(begin + 2, e - 2);
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, exponent);
    out.pointPosition = exponent + 1;
    return out;
}

DecimalDigits decimalDigits(double magnitude)
{
    char buf[64];
    // The shortest form that reads back is the 15-digit form whenever it has
    // 15 digits or fewer; only longer ones need rounding to 15 digits.
    auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    DecimalDigits out = splitScientific(buf, res.ptr);
    if (out.digits.size() <= 15)
        return out;
    res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    return splitScientific(buf, res.ptr);
}

// Whole and fraction parts of the magnitude in plain decimal notation.
void fixedParts(const DecimalDigits& d, std::string& whole, std::string& fraction)
{
    const int n = static_cast<int>(d.digits.size());
    if (d.pointPosition <= 0) {
        whole.assign(1, '0');
        fraction.assign(static_cast<std::size_t>(-d.pointPosition), '0');
        fraction += d.digits;
    } else if (d.pointPosition >= n) {
        whole = d.digits;
        whole.append(static_cast<std::size_t>(d.pointPosition - n), '0');
        fraction.clear();
    } else {
        whole = d.digits.substr(0, static_cast<std::size_t>(d.pointPosition));
        fraction = d.digits.substr(static_cast<std::size_t>(d.pointPosition));
    }
}

// Adds one to a string of decimal digits.
void incrementDigits(std::string& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

std::string stripLeadingZeros(const std::string& digits)
{
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

std::string nonFinite(double value)
{
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

// Tenths of |value| rounded half up, when plain arithmetic decides that beyond
// doubt: below a million the 15-digit form and the scaled product both lie
// within 1e-8 of the exact tenths, so a fraction more than 1e-6 away from one
// half rounds the same way under the decimal-string rule. Otherwise nothing.
std::optional<std::uint64_t> fastTenths(double magnitude)
{
    if (!(magnitude < 1e6))
        return std::nullopt;
    const double scaled = magnitude * 10;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6)
        return std::nullopt;
    return static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest start of text that is a decimal number: optional
// sign, digits with an optional point and fraction, and an exponent when it
// has digits. 0 when the text starts with no number.
std::size_t numberLength(const std::string& text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    const std::size_t mantissaEnd = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < n && isDigit(text[i]))
            ++i;
        if (i == exponentStart)
            return mantissaEnd;
    }
    return i;
}

void appendUnsigned(std::string& out, std::uint64_t v)
{
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

}  // namespace

std::string formatOneDecimal(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    if (const auto tenths = fastTenths(std::fabs(value))) {
        std::string text = value < 0 ? "-" : "";
        appendUnsigned(text, *tenths / 10);
        text += '.';
        text += static_cast<char>('0' + *tenths % 10);
        return text;
    }
    std::string whole, fraction;
    if (value != 0)
        fixedParts(decimalDigits(std::fabs(value)), whole, fraction);
    else
        whole = "0";
    fraction.resize(std::max<std::size_t>(fraction.size(), 2), '0');

    std::string kept = whole + fraction.substr(0, 1);
    if (fraction[1] >= '5')
        incrementDigits(kept);
    kept = stripLeadingZeros(kept.substr(0, kept.size() - 1)) + "." + kept.back();
    return (value < 0 ? "-" : "") + kept;
}

std::string formatOneDecimal(const Reading& value)
{
    return value ? formatOneDecimal(*value) : std::string("NO CAL");
}

std::string formatPlain(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    if (value == 0)
        return "0";
    const double magnitude = std::fabs(value);
    if (magnitude < 1e15 && magnitude == std::floor(magnitude)) {
        std::string text = value < 0 ? "-" : "";
        appendUnsigned(text, static_cast<std::uint64_t>(magnitude));
        return text;
    }
    DecimalDigits d = decimalDigits(std::fabs(value));
    const auto last = d.digits.find_last_not_of('0');
    d.digits.erase(last + 1);
    std::string whole, fraction;
    fixedParts(d, whole, fraction);
    std::string text = value < 0 ? "-" : "";
    text += whole;
    if (!fraction.empty())
        text += "." + fraction;
    return text;
}

std::string formatTwoDecimals(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    return std::string(buf, res.ptr);
}

double roundHalfEven(double value)
{
    const double r = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2 * std::round(value / 2);
    return r;
}

bool parseDecimal(const std::string& text, double& value)
{
    const std::size_t n = text.size();
    if (n == 0 || numberLength(text) != n)
        return false;
    const bool negative = text[0] == '-';
    const std::size_t numberStart = text[0] == '+' || text[0] == '-' ? 1 : 0;
    double magnitude = 0;
    const auto res = std::from_chars(text.data() + numberStart, text.data() + n, magnitude);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars reports both overflow and underflow this way; tell them
        // apart by the exponent's sign so that 1e-400 reads as 0.
        const auto e = text.find_first_of("eE");
        const bool negativeExponent = e != std::string::npos && e + 1 < n && text[e + 1] == '-';
        const auto firstNonZero = text.find_first_not_of("0", numberStart);
        const bool zeroWholePart = firstNonZero == std::string::npos || text[firstNonZero] == '.';
        const bool tiny = e != std::string::npos ? negativeExponent : zeroWholePart;
        magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (res.ec != std::errc() || res.ptr != text.data() + n) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

double leadingNumber(const std::string& text)
{
    std::string number;
    for (char c : text)
        if (c != ' ' && c != '\t')
            number += c;
    number.resize(numberLength(number));
    double value = 0;
    if (!number.empty())
        parseDecimal(number, value);
    return value;
}
