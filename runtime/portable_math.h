// Logarithm and exponential from + - * / alone, so that every build (a
// browser's as well as this one) gets the same bits from them.
#pragma once

namespace ljgas {

// Why not std::log and std::exp: a C library is free to round them in its
// own way, and libraries do differ in the last bit. These are made of IEEE
// operations in a fixed order (exact scalings by powers of two and a short
// series), which every conforming machine rounds alike; they are within a
// unit or two in the last place of the true values.

// ln x for x > 0; -infinity for 0, NaN below 0 or for NaN, +infinity for it.
double portableLog(double x);

// e^x; 0 below about -745 (and a subnormal result may be a unit off), +infinity
// above about 709.8, NaN for NaN.
double portableExp(double x);

}  // namespace ljgas
