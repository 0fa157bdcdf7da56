// Number-to-text conversion of a single-precision value for display.
#pragma once

#include <string>

namespace ljgas {

// The shortest decimal text that reads back to the same single-precision
// value: "0.2998765", "12.5", "-3", "1.5E-07", "3.402823E+38".
std::string numberToText(float value);

// Three significant digits, for messages: "0.01", "1.2e-06", "-3", "inf".
std::string shortNumber(double value);

}  // namespace ljgas
