// Numbers as text, every way the program writes them: for display, for
// messages, for the CSV files, and exactly, for other programs to compute
// with. All in the C locale's form, whatever the process's locale.
#pragma once

#include <string>

namespace ljgas {

// The shortest decimal text that reads back to the same single-precision
// value: "0.2998765", "12.5", "-3", "1.5E-07", "3.402823E+38".
std::string numberToText(float value);

// `digits` significant digits, as printf's %.*g: "0.01", "1.2e-06", "-3".
std::string significantDigits(double value, int digits);
// Three of them, for messages: "0.01", "1.2e-06", "-3", "inf".
inline std::string shortNumber(double value) { return significantDigits(value, 3); }

// Nine significant digits, as printf's %.9g: enough for every
// single-precision value to read back bit for bit. The CSV files' numbers.
inline std::string csvNumber(double value) { return significantDigits(value, 9); }

// The shortest decimal text that reads back to exactly `value` (at most 17
// significant digits, as %.17g, but "0.2" rather than "0.20000000000000001"):
// "0.25", "-1.5e-07".
std::string exactNumber(double value);

// The shortest text that a box's reading (to double, then rounded to single,
// as a lattice start takes R and a run e0) turns back into exactly `value`:
// "0.01" for the single nearest 0.01, where nine digits would show
// "0.00999999978". Up to nine significant digits: the shortest text that
// reads back as a float directly, except for the one float, 7.038531e-26,
// whose shortest text rounds to a double that then rounds to its neighbour;
// that one gets all the digits of its double.
std::string exactSingle(float value);

}  // namespace ljgas
