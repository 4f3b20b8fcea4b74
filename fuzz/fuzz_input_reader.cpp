// One calculation cycle from fuzzed box texts, selections, pixel pitches and image size to every
// text the two windows show, plus the number readers against the C library they stand in for.
#include <fuzzer/FuzzedDataProvider.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "optics/Attachments.h"
#include "optics/ControlIds.h"
#include "optics/Display.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "optics/Units.h"

using namespace korvan;

namespace {

bool SameDouble(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

bool IsSignedZero(const std::string& text) {
  return !text.empty() && text.front() == '-' && text.find_first_of("123456789") == std::string::npos;
}

// Texts a user never sees: a zero with a sign and the C library's own spellings of the non-finite values.
void CheckShownText(const std::string& text) {
  FUZZ_CHECK(!text.empty());
  FUZZ_CHECK(!IsSignedZero(text) || text == kNegativeInfinityText);
  FUZZ_CHECK(text.find("inf") == std::string::npos);
  FUZZ_CHECK(text.find("nan") == std::string::npos);
}

// A "%.4g" text reads back as its value to four significant digits; a non-finite one exactly.
// At the top of the range four digits round past the largest double ("1.798e+308"), and that
// text reads back as an infinity of the same sign; only values that round so far may do that.
void CheckReadsBackAs(const std::string& text, double value) {
  constexpr double kRoundsPastLargest = 1.7975e308;  // the smallest value that "%.4g" spells 1.798e+308
  const double back = ParseDouble(text);
  if (!std::isfinite(value)) {
    FUZZ_CHECK(SameDouble(back, value));
  } else if (std::isinf(back)) {
    FUZZ_CHECK(std::signbit(back) == std::signbit(value) && std::fabs(value) >= kRoundsPastLargest);
  } else {
    FUZZ_CHECK(std::fabs(back - value) <= 5.001e-4 * std::fabs(value) || std::fabs(value) < 1e-300);
  }
}

// The readers must stop at the end of the view (a buffer of exactly its size, with digits stored
// right after it in a second buffer), and must read what atoi and atof in the C locale read.
void CheckNumberReaders(const std::string& text) {
  const std::size_t size = text.size();
  std::unique_ptr<char[]> exact(new char[size == 0 ? 1 : size]);
  std::memcpy(exact.get(), text.data(), size);
  const std::string_view view(exact.get(), size);
  std::string followed = text + "9e9";
  const std::string_view prefix(followed.data(), size);

  const std::int32_t integer = ParseInt(view);
  FUZZ_CHECK(integer == ParseInt(prefix));
  const double decimal = ParseDouble(view);
  FUZZ_CHECK(SameDouble(decimal, ParseDouble(prefix)));

  // The C library's readers stop at a NUL; so do ours.
  const std::string terminated(text.c_str());
  errno = 0;
  const long long wide = std::strtoll(terminated.c_str(), nullptr, 10);
  const std::int32_t expectedInt = wide > INT32_MAX ? INT32_MAX : wide < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(wide);
  FUZZ_CHECK(integer == expectedInt);
  FUZZ_CHECK(SameDouble(decimal, std::strtod(terminated.c_str(), nullptr)));
}

// The formatters against printf in the C locale, for the finite values that printf and ours spell alike.
// A zero never carries a sign, not even one that printf gives a tiny negative ("-0.00").
void CheckFormat(const char* format, double value, const std::string& ours) {
  char printed[512];
  std::snprintf(printed, sizeof printed, format, value);
  std::string expected = printed;
  if (expected.front() == '-' && expected.find_first_of("123456789") == std::string::npos) expected.erase(0, 1);
  if (ours != expected) std::fprintf(stderr, "%s of %a: printf \"%s\", ours \"%s\"\n", format, value, printed, ours.c_str());
  FUZZ_CHECK(ours == expected);
}

void CheckFormatters(double value) {
  if (!std::isfinite(value) || value == 0) return;
  CheckFormat("%.4g", value, FormatG4(value));
  CheckFormat("%.15g", value, FormatG15(value));
  if (std::fabs(value) < 1e300) CheckFormat("%.2f", value, FormatFixed2(value));
}

double PickPitch(FuzzedDataProvider& in) {
  static constexpr double kPitches[] = {7.2e-6, 12e-6, 4.8e-6, 0.0, -7.2e-6, 1e-300, 1e300, 3.5e-6};
  return in.ConsumeBool() ? in.PickValueInArray(kPitches) : in.ConsumeFloatingPoint<double>();
}

std::int32_t PickPixels(FuzzedDataProvider& in) {
  return in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int32_t>(0, 5000) : in.ConsumeIntegral<std::int32_t>();
}

int PickEditId(FuzzedDataProvider& in) {
  static constexpr int kIds[] = {0, ids::kFocalLengthEdit, ids::kObjectDistanceEdit, ids::kFieldWidthEdit,
                                 ids::kMagnificationEdit, ids::kVelocityEdit};
  return in.PickValueInArray(kIds);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);

  InputTexts texts;
  texts.computeMode = static_cast<ComputeMode>(in.ConsumeIntegralInRange<int>(0, 3));
  // Every direction other than 0 counts as vertical, so odd values are fair input too.
  texts.direction = static_cast<Direction>(in.ConsumeBool() ? in.ConsumeIntegralInRange<int>(0, 1)
                                                            : in.ConsumeIntegral<std::int32_t>());
  texts.lensInput = static_cast<LensInput>(in.ConsumeIntegralInRange<int>(0, 1));
  texts.unit = static_cast<LengthUnit>(in.ConsumeIntegralInRange<int>(0, 3));
  AttachmentChoices choices;
  choices.teleExtenderOn = in.ConsumeBool();
  choices.teleExtenderIndex = in.ConsumeIntegralInRange<int>(-1, 3);
  choices.closeUpOn = in.ConsumeBool();
  choices.closeUpIndex = in.ConsumeIntegralInRange<int>(-1, 6);
  choices.tubesOn = in.ConsumeBool();
  choices.tubesIndex = in.ConsumeIntegralInRange<int>(-1, 11);
  const int focused = PickEditId(in);
  const int origin = PickEditId(in);
  const double pitchX = PickPitch(in);
  const double pitchY = PickPitch(in);
  CalcState state;
  state.sensorWidthPx = PickPixels(in);
  state.sensorHeightPx = PickPixels(in);
  const double spare = in.ConsumeFloatingPoint<double>();

  std::string* const fields[] = {&texts.frameRate,      &texts.shutter,    &texts.focalLength, &texts.magnification,
                                 &texts.fNumber,        &texts.objectDistance, &texts.fieldWidth, &texts.velocity};
  for (std::string* field : fields) *field = in.ConsumeRandomLengthString(64);

  for (const std::string* field : fields) CheckNumberReaders(*field);
  CheckFormatters(spare);
  CheckFormatters(pitchX);

  ReadInputs(texts, state);
  FUZZ_CHECK(state.frameRate == ParseInt(texts.frameRate));
  FUZZ_CHECK(state.shutterMultiple == ParseInt(texts.shutter));
  FUZZ_CHECK(SameDouble(state.focalLengthMm, ParseDouble(texts.focalLength)));
  FUZZ_CHECK(SameDouble(state.objectDistance, ParseDouble(texts.objectDistance) * ToMetersFactor(texts.unit)));

  ComputeGeometry(state, pitchX, pitchY);
  ComputeBlur(state, pitchX, pitchY);
  const ResultTexts results = MakeResultTexts(state);
  for (const ResultBox& box : kShowResultsOrder) CheckShownText(results.*box.text);

  CheckReadsBackAs(results.focalLength, state.focalLengthMm);
  CheckReadsBackAs(results.workingFNumber, state.workingFNumber);
  CheckReadsBackAs(results.fieldAngle, state.fieldAngleDeg);
  if (!(state.farFocus >= 0)) {
    FUZZ_CHECK(results.farFocus == kFarLimitAtInfinityText);
    FUZZ_CHECK(results.depthOfField == kFarLimitAtInfinityText);
  }
  if (state.resultsValid && state.computeMode == ComputeMode::FocalLength) FUZZ_CHECK(results.result == results.focalLength);
  if (state.resultsValid && state.computeMode == ComputeMode::Magnification) {
    FUZZ_CHECK(results.result == results.magnification);
  }
  // Pixel blur is cut toward zero to tenths: never more than a tenth off, never larger in size
  // (below 1000, where four significant digits still hold every tenth).
  if (std::fabs(state.pixelBlur) < 1000) {
    const double shown = ParseDouble(results.pixelBlur);
    FUZZ_CHECK(std::fabs(shown) <= std::fabs(state.pixelBlur) * (1 + 1e-9) + 1e-9);
    FUZZ_CHECK(std::fabs(state.pixelBlur - shown) < 0.1 + 1e-7 * std::fabs(state.pixelBlur));
  }

  const std::uint32_t status = StatusAfterCycle(state, focused, origin);
  FUZZ_CHECK(status <= kStatusFocalTooLong);
  if (!(state.resultsValid && state.focalLengthMm * 0.001 > state.objectDistance)) FUZZ_CHECK(status == kStatusAbout);

  const AttachmentResult attachments = ComputeAttachments(state, pitchX, pitchY, choices);
  const AttachmentTexts shown = MakeAttachmentTexts(attachments);
  for (const std::string* text :
       {&shown.focalLength, &shown.magnification, &shown.workingFNumber, &shown.fieldWidth, &shown.focusShift}) {
    CheckShownText(*text);
    if (!state.resultsValid) FUZZ_CHECK(*text == "0");
  }
  FUZZ_CHECK(shown.unit == LengthUnitName(state.unit));
  return 0;
}
