#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#ifdef KORVAN_HAVE_MPFR
#include <mpfr.h>
#endif

#include "optics/Arctangent.h"

namespace korvan {
namespace {

std::uint64_t Bits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

TEST(Arctangent, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double halfPi = 1.5707963267948966;
  const struct {
    double x;
    double expected;
  } cases[] = {{0.0, 0.0},
               {-0.0, -0.0},
               {inf, halfPi},
               {-inf, -halfPi},
               {1e300, halfPi},
               {0x1p60, halfPi},
               {1.0, 0.7853981633974483},
               {-1.0, -0.7853981633974483},
               {5e-324, 5e-324},
               {0x1p-27, 0x1p-27},
               {-1e-10, -1e-10}};
  for (const auto& c : cases) {
    EXPECT_EQ(Bits(Arctangent(c.x)), Bits(c.expected)) << c.x;
    EXPECT_EQ(Bits(detail::ArctangentExact(c.x)), Bits(c.expected)) << c.x;
  }
  EXPECT_TRUE(std::isnan(Arctangent(std::nan(""))));
  EXPECT_TRUE(std::isnan(detail::ArctangentExact(-std::nan(""))));
}

#ifdef KORVAN_HAVE_MPFR
// MPFR's atan rounded to nearest is the reference: it is correctly rounded by construction.
class Reference {
 public:
  Reference() {
    mpfr_init2(x_, 53);
    mpfr_init2(y_, 53);
    mpfr_init2(wide_, 256);
    mpfr_init2(wideY_, 256);
  }
  ~Reference() { mpfr_clears(x_, y_, wide_, wideY_, static_cast<mpfr_ptr>(nullptr)); }
  double Atan(double x) {
    mpfr_set_d(x_, x, MPFR_RNDN);
    const int inexact = mpfr_atan(y_, x_, MPFR_RNDN);
    mpfr_subnormalize(y_, inexact, MPFR_RNDN);
    return mpfr_get_d(y_, MPFR_RNDN);
  }
  // The double nearest to tan of the midpoint just above `angle`, whose arctangent is thus near
  // a midpoint of two doubles: the arguments hardest to round.
  double NearMidpoint(double angle) {
    mpfr_set_d(wide_, angle, MPFR_RNDN);
    mpfr_set_d(wideY_, std::nextafter(angle, INFINITY) - angle, MPFR_RNDN);
    mpfr_div_2ui(wideY_, wideY_, 1, MPFR_RNDN);
    mpfr_add(wide_, wide_, wideY_, MPFR_RNDN);
    mpfr_tan(wideY_, wide_, MPFR_RNDN);
    return mpfr_get_d(wideY_, MPFR_RNDN);
  }

 private:
  mpfr_t x_, y_, wide_, wideY_;
};

double RandomDouble(std::mt19937_64& random, double low, double high) {
  return std::uniform_real_distribution<double>(low, high)(random);
}

// Counts the arguments whose arctangent differs from MPFR's, reporting the first few.
struct Comparison {
  Reference reference;
  long long compared = 0;
  int mismatches = 0;
  void Check(double x, double (*f)(double) = Arctangent) {
    ++compared;
    const double expected = reference.Atan(x);
    const double actual = f(x);
    if (Bits(actual) != Bits(expected) && ++mismatches <= 10) {
      ADD_FAILURE() << std::hexfloat << "atan(" << x << ") = " << actual << ", correctly rounded " << expected;
    }
  }
};

// The engine's argument 0.5 W / u: field widths and distances as typed (a few significant digits)
// times the unit factors, over the range a lens calculator sees.
double EngineArgument(std::mt19937_64& random) {
  constexpr double kFactors[] = {0.001, 1, 0.0254, 12 * 0.0254};
  const double factor = kFactors[random() % 4];
  const double width = static_cast<double>(random() % 100000) * std::pow(10.0, static_cast<int>(random() % 9) - 6);
  const double distance =
      static_cast<double>(1 + random() % 100000) * std::pow(10.0, static_cast<int>(random() % 9) - 6);
  return 0.5 * (width * factor) / (distance * factor);
}

TEST(Arctangent, MatchesMpfrOnRandomDoublesOfEveryMagnitude) {
  Comparison comparison;
  std::mt19937_64 random(1);
  for (int n = 0; n < 3500000; ++n) {
    // Uniform in the exponent from 2^-30 to 2^62, random mantissa, either sign.
    const double x = std::ldexp(RandomDouble(random, 1, 2), static_cast<int>(random() % 93) - 30);
    comparison.Check(random() % 2 ? x : -x);
  }
  for (int n = 0; n < 1000000; ++n) comparison.Check(RandomDouble(random, 0, 2));
  EXPECT_EQ(comparison.mismatches, 0);
  EXPECT_EQ(comparison.compared, 4500000);
}

TEST(Arctangent, MatchesMpfrOnTheEnginesArguments) {
  Comparison comparison;
  std::mt19937_64 random(2);
  for (int n = 0; n < 3500000; ++n) comparison.Check(EngineArgument(random));
  // Each argument's neighbours, as a sum in another order would give them.
  for (int n = 0; n < 200000; ++n) {
    double x = EngineArgument(random);
    for (int k = 0; k < 5; ++k) comparison.Check(x = std::nextafter(x, INFINITY));
  }
  EXPECT_EQ(comparison.mismatches, 0);
  EXPECT_EQ(comparison.compared, 4500000);
}

TEST(Arctangent, MatchesMpfrNearMidpoints) {
  Comparison comparison;
  std::mt19937_64 random(3);
  const unsigned long long exactBefore = detail::ArctangentExactPathCount();
  // Field half-angles of a lens calculator, from a thousandth of a degree to nearly a right angle.
  for (int n = 0; n < 1000000; ++n)
    comparison.Check(comparison.reference.NearMidpoint(RandomDouble(random, 1e-5, 1.5)));
  // Just below pi/2 the arguments are large and their arctangents lie far nearer to a midpoint than
  // the fast path can tell apart: there the exact path decides.
  double angle = 1.5707963267948966;
  for (int n = 0; n < 20000; ++n) {
    angle = std::nextafter(angle, 0.0);
    comparison.Check(comparison.reference.NearMidpoint(angle));
  }
  EXPECT_EQ(comparison.mismatches, 0);
  EXPECT_EQ(comparison.compared, 1020000);
  EXPECT_GT(detail::ArctangentExactPathCount() - exactBefore, 100u) << "the exact path was never taken";
}

TEST(Arctangent, ExactPathMatchesMpfr) {
  Comparison comparison;
  std::mt19937_64 random(4);
  for (int n = 0; n < 10000; ++n) {
    comparison.Check(std::ldexp(RandomDouble(random, 1, 2), static_cast<int>(random() % 93) - 30),
                     detail::ArctangentExact);
    comparison.Check(EngineArgument(random), detail::ArctangentExact);
    comparison.Check(comparison.reference.NearMidpoint(RandomDouble(random, 1e-5, 1.5)), detail::ArctangentExact);
  }
  EXPECT_EQ(comparison.mismatches, 0);
}
#endif

}  // namespace
}  // namespace korvan
