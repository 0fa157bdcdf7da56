// Numbers in the CSV files: nine significant digits, as printf's %.9g in the
// C locale, enough for every single-precision value to read back bit for bit.
#pragma once

#include <string>

namespace ljgas {

std::string csvNumber(double value);

}  // namespace ljgas
