#pragma once

// The arctangent the engine's field angle is made with, correctly rounded (the double nearest to
// the exact value) so that it is the same on every platform: the C runtimes' atan differ in the
// last place for some arguments.
namespace korvan {

// atan(x) rounded to nearest; NaN gives NaN, ±0 gives ±0, ±infinity gives ±pi/2 rounded.
double Arctangent(double x);

namespace detail {
// The slower path on its own, exact to far more bits than any double needs: the one the fast
// path falls back to when its result lies too near the midpoint of two doubles.
double ArctangentExact(double x);

// How many calls of Arctangent have fallen back to the exact path in this process.
unsigned long long ArctangentExactPathCount();
}  // namespace detail

}  // namespace korvan
