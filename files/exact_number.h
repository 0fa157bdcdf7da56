// Numbers written for other programs to compute with: every digit of a
// double that it takes to read back the same double.
#pragma once

#include <string>

namespace ljgas {

// The shortest decimal text that reads back to exactly `value` (at most 17
// significant digits, as %.17g, but "0.2" rather than "0.20000000000000001"),
// in the C locale's form whatever the process's locale: "0.25", "-1.5e-07".
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
