#pragma once

// The arctangent the engine's field angle is made with, correctly rounded (the double nearest to
// the exact value) so that it is the same on every platform: the C runtimes' atan differ in the
// last place for some arguments.
namespace korvan {

// atan(x) rounded to nearest; NaN gives NaN, ±0 gives ±0, ±infinity gives ±pi/2 rounded.
double Arctangent(double x);

namespace detail {
// The slowest path on its own, exact to far more bits than any double needs: the last resort when
// the faster paths' results lie too near the midpoint of two doubles to round with certainty.
double ArctangentExact(double x);

// The double-double path on its own, its result taken without its rounding test: correctly
// rounded but for the rare arguments whose arctangent lies within 2^-90 of a midpoint.
double ArctangentDoubleDouble(double x);

// The path that decides Arctangent(x): the quick one (which also covers the arguments whose result
// needs no work), the double-double one, or the exact one. Apart from Arctangent, so that telling
// costs it nothing.
enum class ArctangentPath { Quick, DoubleDouble, Exact };
ArctangentPath ArctangentPathOf(double x);
}  // namespace detail

}  // namespace korvan
