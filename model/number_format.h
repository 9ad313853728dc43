#pragma once

#include <string>

#include "model/reading.h"

// Number forms of the text files. None of them follows the machine's locale.

// The pattern "######0.0": at least one digit before the point, exactly one
// after it, halves rounded away from zero as the value reads in its
// 15-significant-digit decimal form (0.35 gives "0.4", 2.45 gives "2.5").
std::string formatOneDecimal(double value);

// The pattern "######0.0", or "NO CAL" for a reading without a value.
std::string formatOneDecimal(const Reading& value);

// Decimal notation with at most 15 significant digits and no trailing zeros:
// 1500 gives "1500", 0.125 gives "0.125", -2.5 gives "-2.5".
std::string formatPlain(double value);

// Fixed notation with exactly two decimals, as the value's exact binary
// form rounds ("12.00", "-0.50"); "NaN" or "Infinity" for no number.
std::string formatTwoDecimals(double value);

// Nearest whole number, halves to the even one (8.5 gives 8, 9.5 gives 10).
double roundHalfEven(double value);

// True when the whole of text is a decimal number as the files write them:
// optional sign, digits with an optional point and fraction (".5" and "5."
// included), optional exponent. Stores the value, which may be infinite when
// the exponent is out of range.
bool parseDecimal(const std::string& text, double& value);

// The number a typed text starts with: blanks are skipped wherever they
// stand, and reading stops at the first character that cannot continue the
// number (" 1020 ft" gives 1020, "1 0 2 0" gives 1020); a text that starts
// with no number gives 0. May be infinite for a huge exponent.
double leadingNumber(const std::string& text);
