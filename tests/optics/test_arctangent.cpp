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
  // How far atan(x) lies from the nearest midpoint of two doubles, in units of the gap it lies in.
  double MidpointDistance(double x) {
    mpfr_set_d(wide_, x, MPFR_RNDN);
    mpfr_atan(wide_, wide_, MPFR_RNDN);
    const double below = mpfr_get_d(wide_, MPFR_RNDD);
    const double above = std::nextafter(below, INFINITY);
    mpfr_set_d(wideY_, below, MPFR_RNDN);
    mpfr_add_d(wideY_, wideY_, above, MPFR_RNDN);
    mpfr_div_2ui(wideY_, wideY_, 1, MPFR_RNDN);
    mpfr_sub(wideY_, wide_, wideY_, MPFR_RNDN);
    return std::fabs(mpfr_get_d(wideY_, MPFR_RNDN)) / (above - below);
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
  long long slower = 0;  // arguments the quick path leaves to a slower one
  int mismatches = 0;
  void Check(double x, double (*f)(double) = Arctangent) {
    ++compared;
    slower += detail::ArctangentPathOf(x) != detail::ArctangentPath::Quick;
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
  // The rounding test passes the slower paths about one argument in 20,000: far more would make
  // every field angle slow.
  EXPECT_LT(comparison.slower, comparison.compared / 2000);
}

TEST(Arctangent, MatchesMpfrNearMidpoints) {
  Comparison comparison;
  std::mt19937_64 random(3);
  // Field half-angles of a lens calculator, from a thousandth of a degree to nearly a right angle.
  for (int n = 0; n < 1000000; ++n)
    comparison.Check(comparison.reference.NearMidpoint(RandomDouble(random, 1e-5, 1.5)));
  // Just below pi/2 the arguments are large and their arctangents lie far nearer to a midpoint than
  // the fast path can tell apart: there the exact path decides.
  double angle = 1.5707963267948966;
  int exact = 0;
  for (int n = 0; n < 20000; ++n) {
    angle = std::nextafter(angle, 0.0);
    const double x = comparison.reference.NearMidpoint(angle);
    comparison.Check(x);
    exact += detail::ArctangentPathOf(x) == detail::ArctangentPath::Exact;
  }
  EXPECT_EQ(comparison.mismatches, 0);
  EXPECT_EQ(comparison.compared, 1020000);
  EXPECT_GT(exact, 100) << "the exact path was never taken";
}

// Arguments whose arctangent lies within 2^-24 of the gap between two doubles from their midpoint,
// found by a search with MPFR: a quick path whose error may reach 2^-76 of the result cannot round
// them, and within 2^-40 only the exact path can. Field angles from a sweep of the engine's
// arguments, and small ones where x^3/3 is nearly an odd number of half gaps below x.
TEST(Arctangent, RoundsArgumentsNearMidpointsOnTheSlowerPaths) {
  Reference reference;
  const double hardCases[] = {0x1.45d9ff8d04007p-9,  0x1.2e18e956080ap-8,   0x1.5635f9bd38999p-8,
                              0x1.b8e227589c0bbp-6,  0x1.58174853a5068p-3,  0x1.25a4362e98b69p+1,
                              0x1.7a9150ce6e016p+1,  0x1.13a49ffde8441p+2,  0x1.e94822856da6ep+2,
                              0x1.af788346f2f08p+3,  0x1.a1e23d6082847p+4,  0x1.123924019051dp+6,
                              0x1.48a6ff3a553a5p+14, 0x1.250bfe1b082f5p-26, 0x1.8000000000003p-25,
                              0x1.00aa396152151p-23, 0x1.000aaa38eb811p-21};
  int exact = 0;
  for (const double magnitude : hardCases) {
    for (const double x : {magnitude, -magnitude}) {
      const double distance = reference.MidpointDistance(x);
      ASSERT_LT(distance, 0x1p-24) << std::hexfloat << x << " is no hard case";
      const detail::ArctangentPath path = detail::ArctangentPathOf(x);
      EXPECT_NE(path, detail::ArctangentPath::Quick) << std::hexfloat << x;
      if (distance < 0x1p-40) {
        EXPECT_EQ(path, detail::ArctangentPath::Exact) << std::hexfloat << x;
        ++exact;
      }
      EXPECT_EQ(Bits(Arctangent(x)), Bits(reference.Atan(x))) << std::hexfloat << x;
    }
  }
  EXPECT_EQ(exact, 8);
}

// Around the arguments where the table point c = i/256 changes (at y = (2i + 1)/512, y = 1/ax above
// 1) the reduced argument is largest and the rounding to the nearest point has its ties.
TEST(Arctangent, QuickAndDoubleDoublePathsMatchMpfrWhereTheTablePointChanges) {
  Comparison comparison;
  for (int k = 1; k <= 512; ++k) {
    for (const double edge : {k / 512.0, 512.0 / k}) {
      double x = edge;
      for (int step = 0; step < 3; ++step) x = std::nextafter(x, 0.0);
      for (int step = 0; step < 7; ++step, x = std::nextafter(x, INFINITY)) {
        comparison.Check(x);
        comparison.Check(x, detail::ArctangentDoubleDouble);
      }
    }
  }
  EXPECT_EQ(comparison.mismatches, 0);
  EXPECT_EQ(comparison.compared, 512 * 2 * 7 * 2);
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
