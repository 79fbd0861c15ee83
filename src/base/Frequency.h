#pragma once

#include <string>

namespace kelmo {

// Frequencies are stored as text ("855.25"). These conversions never depend on the process locale,
// so a German desktop still reads and writes a dot.

// The number at the start of `text`, as the C library's atof reads it in the "C" locale: leading
// blanks, an optional sign, digits with an optional '.' fraction and exponent. Text that does not
// start with a number gives 0.
double ParseFrequency(const std::string& text);

// `mhz` with two decimals, as printf "%.2f" writes it in the "C" locale ("87.50").
std::string FormatFrequency(double mhz);

}  // namespace kelmo
