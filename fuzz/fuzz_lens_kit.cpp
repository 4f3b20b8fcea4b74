// Any bytes as a lens kit file: whatever is read must be a usable record, every row must be kept
// or noted, and the records must survive being written and read again.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "optics/Units.h"
#include "planner/LensChecks.h"
#include "planner/LensRecord.h"

using namespace korvan;
using namespace korvan::planner;

namespace {

bool Positive(const std::optional<double>& value) { return !value || (std::isfinite(*value) && *value > 0); }

void CheckRecord(const LensRecord& lens) {
  FUZZ_CHECK(std::isfinite(lens.focalLengthMm) && lens.focalLengthMm > 0);
  FUZZ_CHECK(Positive(lens.fNumberMin) && Positive(lens.fNumberMax) && Positive(lens.closestFocus) &&
             Positive(lens.imageCircleMm));
  FUZZ_CHECK(!(lens.fNumberMin && lens.fNumberMax) || *lens.fNumberMin <= *lens.fNumberMax);
  FUZZ_CHECK(!lens.closestFocus || *lens.closestFocus > 0.001 * lens.focalLengthMm);
}

bool SameRecord(const LensRecord& a, const LensRecord& b) {
  return a.name == b.name && a.focalLengthMm == b.focalLengthMm && a.fNumberMin == b.fNumberMin &&
         a.fNumberMax == b.fNumberMax && a.closestFocus == b.closestFocus && a.imageCircleMm == b.imageCircleMm &&
         a.mount == b.mount;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const LensKitRead read = ReadLensKit(text);
  FUZZ_CHECK(read.problem.empty() || read.lenses.empty());
  for (const std::string& note : read.notes) FUZZ_CHECK(!note.empty());
  for (const LensRecord& lens : read.lenses) {
    CheckRecord(lens);
    // A row of a CSV kit is named by the line it starts on, which lies within the text.
    FUZZ_CHECK(lens.line >= 1);
    const LensChecks checks = CheckLens(lens, 0.2, 4.592, 2.8, LengthUnit::Meters);
    FUZZ_CHECK(checks.focuses.has_value() == lens.closestFocus.has_value());
    FUZZ_CHECK(checks.closeUp.has_value() == (checks.focuses == false));
    FUZZ_CHECK(checks.covers.has_value() == lens.imageCircleMm.has_value());
  }
  if (IsLensKitCsv(text) && read.problem.empty()) {
    std::size_t rows = 0;
    for (const CsvRow& row : SplitCsv(text)) {
      bool blank = true;
      for (const std::string& cell : row.cells) blank = blank && cell.find_first_not_of(" \t\n\v\f\r") == std::string::npos;
      rows += !blank;
    }
    // Each row after the header is a lens or a skipped line; column notes come on top.
    std::size_t skipped = 0;
    for (const std::string& note : read.notes) skipped += note.rfind("Skipped line", 0) == 0;
    FUZZ_CHECK(read.lenses.size() + skipped == rows - 1 || read.lenses.size() == kMaxKitLenses);
  }
  // What the writer makes reads back as the same records, without a note.
  const LensKitRead again = ReadLensKit(WriteLensKitCsv(read.lenses));
  FUZZ_CHECK(again.problem.empty() && again.notes.empty());
  FUZZ_CHECK(again.lenses.size() == read.lenses.size());
  for (std::size_t i = 0; i < read.lenses.size(); ++i) FUZZ_CHECK(SameRecord(read.lenses[i], again.lenses[i]));
  return 0;
}
