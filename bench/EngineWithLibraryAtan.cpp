// The engine built a second time with the C library's atan where it calls the core's arctangent,
// so that BM_Engine can be weighed against it in the same run. Its functions are renamed so both
// builds link into one program (a function added to Engine.cpp needs its line here, or the link
// fails on the duplicate); the production sources stay as they are.
#include <cmath>

#define Arctangent LibraryArctangent
#define SensorDimension LibraryAtanSensorDimension
#define ImageDiagonal LibraryAtanImageDiagonal
#define ComputeGeometry LibraryAtanComputeGeometry
#define ComputeBlur LibraryAtanComputeBlur
#define ComputeAll LibraryAtanComputeAll

#include "optics/Engine.cpp"

namespace korvan {
double LibraryArctangent(double x) { return std::atan(x); }
}  // namespace korvan
