#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "camera/CameraDefinition.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "optics/WorkedExample.h"
#include "planner/LensChecks.h"
#include "planner/LensRecord.h"
#include "planner/Planner.h"

namespace korvan::planner {
namespace {

constexpr char kExampleKit[] =
    "name,focalLength,fNumberMin,fNumberMax,closestFocus,imageCircle,mount\n"
    "Bars 25,25,1.4,16,0.3,8,C\n"
    "Bars 12,12,1.8,16,0.1,4,C\n";

TEST(LensKitCsv, ReadsRecordsAndWritesThemBack) {
  const LensKitRead read = ReadLensKit(kExampleKit);
  ASSERT_TRUE(read.problem.empty());
  EXPECT_TRUE(read.notes.empty());
  ASSERT_EQ(read.lenses.size(), 2u);
  const LensRecord& bars = read.lenses[0];
  EXPECT_EQ(bars.name, "Bars 25");
  EXPECT_EQ(bars.focalLengthMm, 25);
  EXPECT_EQ(bars.fNumberMin, 1.4);
  EXPECT_EQ(bars.fNumberMax, 16);
  EXPECT_EQ(bars.closestFocus, 0.3);
  EXPECT_EQ(bars.imageCircleMm, 8);
  EXPECT_EQ(bars.mount, "C");
  EXPECT_EQ(read.lenses[1].line, 3u);
  EXPECT_EQ(WriteLensKitCsv(read.lenses), kExampleKit);
}

TEST(LensKitCsv, ReadsWhatSpreadsheetsWrite) {
  // BOM, CRLF, another column order, an unknown column, blank lines, quoted cells with commas,
  // quotes and a line break, unknown cells and missing trailing cells.
  const LensKitRead read = ReadLensKit(
      "\xEF\xBB\xBF" "Mount, FOCALLENGTH ,weight,name,closestFocus\r\n"
      "\r\n"
      "\"C, CS\",\"8\",120,\"The \"\"wide\"\" one\",\r\n"
      ",,,,\r\n"
      "M42,50,300,\"two\nlines\",0.45\r\n"
      "F,35\r\n");
  ASSERT_TRUE(read.problem.empty());
  ASSERT_EQ(read.lenses.size(), 3u);
  EXPECT_EQ(read.lenses[0].mount, "C, CS");
  EXPECT_EQ(read.lenses[0].name, "The \"wide\" one");
  EXPECT_FALSE(read.lenses[0].closestFocus);
  EXPECT_EQ(read.lenses[1].name, "two\nlines");
  EXPECT_EQ(read.lenses[1].closestFocus, 0.45);
  EXPECT_EQ(read.lenses[2].line, 7u);  // the quoted line break counts as a line
  ASSERT_EQ(read.notes.size(), 1u);
  EXPECT_EQ(read.notes[0], "Ignored column 3 \"weight\": not a kit column");
  // Writing quotes what needs it, so that the records read back the same.
  const LensKitRead again = ReadLensKit(WriteLensKitCsv(read.lenses));
  ASSERT_EQ(again.lenses.size(), 3u);
  EXPECT_EQ(again.lenses[0].name, read.lenses[0].name);
  EXPECT_EQ(again.lenses[1].name, read.lenses[1].name);
  EXPECT_EQ(again.lenses[0].mount, read.lenses[0].mount);
}

TEST(LensKitCsv, SkipsEachBadRowNamingLineAndCell) {
  const struct {
    const char* row;
    const char* note;
    std::size_t kept = 1;  // the good row after it
  } cases[] = {
      {"a,abc,,,,", "Skipped line 2: focalLength \"abc\" is not a number"},
      {"a,25 mm,,,,", "Skipped line 2: focalLength \"25 mm\" is not a number"},
      {"a,,1.4,,,", "Skipped line 2: focalLength is empty"},
      {"a,-8,,,,", "Skipped line 2: focalLength \"-8\" is not a finite number above 0"},
      {"a,inf,,,,", "Skipped line 2: focalLength \"inf\" is not a finite number above 0"},
      {"a,25,0,,,", "Skipped line 2: fNumberMin \"0\" is not a finite number above 0"},
      {"a,25,16,1.4,,", "Skipped line 2: fNumberMin \"16\" is above fNumberMax \"1.4\""},
      {"a,25,,,0.02,", "Skipped line 2: closestFocus \"0.02\" m is not beyond the focal length (25 mm)"},
      {"a,25,,,,\"2,8\"", "Skipped line 2: imageCircle \"2,8\" is not a number"},
      {"a,25,,,,,C,x", "Skipped line 2: cell 8 lies beyond the header's 7 columns"},
      {"a,25,,,,\"4", "Skipped line 2: a quoted cell is not closed", 0},  // it swallows the rest
  };
  for (const auto& c : cases) {
    const LensKitRead read = ReadLensKit(std::string(kLensKitHeader) + "\n" + c.row + "\nkept,12\n");
    ASSERT_EQ(read.notes.size(), 1u) << c.row;
    EXPECT_EQ(read.notes[0], c.note);
    EXPECT_EQ(read.lenses.size(), c.kept) << c.row;
  }
  EXPECT_EQ(ReadLensKit("name,mount\nBars,C\n").problem,
            "The lens kit has no focalLength column (header: " + std::string(kLensKitHeader) + ")");
}

TEST(LensKitPlainList, StillReadsFocalLengths) {
  const LensKitRead read = ReadLensKit("8, 12.5,,abc, 8, -4, 16");
  ASSERT_EQ(read.lenses.size(), 3u);
  EXPECT_EQ(read.lenses[1].text, "12.5");
  EXPECT_EQ(read.lenses[2].focalLengthMm, 16);
  EXPECT_EQ(read.notes.size(), 4u);
  EXPECT_FALSE(IsLensKitCsv("8, 12.5, 16"));
}

// The worked example: 480 x 420 at 7.2 um (diagonal 4.592 mm), 0.2 m, f/2.8.
TEST(LensChecks, WorkedExample) {
  const LensKitRead kit = ReadLensKit(kExampleKit);
  const double diagonal = std::hypot(480 * 7.2e-3, 420 * 7.2e-3);
  const LensChecks bars25 = CheckLens(kit.lenses[0], 0.2, diagonal, 2.8, LengthUnit::Meters);
  EXPECT_EQ(bars25.focuses, false);
  EXPECT_EQ(bars25.closeUp, "+2D");
  EXPECT_EQ(bars25.tubes, "2 mm");
  EXPECT_EQ(bars25.covers, true);
  EXPECT_EQ(bars25.apertureInRange, true);
  EXPECT_EQ(bars25.words, "cannot focus at 0.2 m: +2D or 2 mm tubes; covers 4.592 mm; f/2.8 within f/1.4 ... 16");
  const LensChecks bars12 = CheckLens(kit.lenses[1], 0.2, diagonal, 2.8, LengthUnit::Mm);
  EXPECT_EQ(bars12.focuses, true);
  EXPECT_FALSE(bars12.closeUp);
  EXPECT_EQ(bars12.covers, false);
  EXPECT_EQ(bars12.words, "vignettes: circle 4 mm < 4.592 mm; focuses at 200 mm; f/2.8 within f/1.8 ... 16");
}

TEST(LensChecks, LimitsAndUnknowns) {
  LensRecord lens;
  lens.focalLengthMm = 50;
  lens.closestFocus = 0.45;
  // Too close for any close-up lens or tube: "none" for both.
  LensChecks checks = CheckLens(lens, 0.06, 10, 1.0, LengthUnit::Meters);
  EXPECT_EQ(checks.closeUp, "none");
  EXPECT_EQ(checks.tubes, "none");
  EXPECT_EQ(checks.words, "cannot focus at 0.06 m: no close-up lens up to +5D or tube up to 10 mm reaches it");
  EXPECT_FALSE(checks.covers);  // no image circle: no answer
  EXPECT_FALSE(checks.apertureInRange);
  // One end of the range alone limits that side only; the distance exactly at the closest focus focuses.
  lens.fNumberMax = 16;
  checks = CheckLens(lens, 0.45, 10, 22, LengthUnit::Meters);
  EXPECT_EQ(checks.focuses, true);
  EXPECT_EQ(checks.apertureInRange, false);
  EXPECT_EQ(CheckLens(lens, 0.45, 10, 0.7, LengthUnit::Meters).apertureInRange, true);
  // No usable distance answers nothing about focus.
  EXPECT_FALSE(CheckLens(lens, std::nan(""), 10, 2.8, LengthUnit::Meters).focuses);
}

}  // namespace
}  // namespace korvan::planner

namespace korvan::planner {
namespace {

// The engine's worked example (2 m, field 0.5 m, f/2.8) with a 0.2 m deep subject.
Plan PlanWithKit(const std::string& kit, const std::string& blurLimit = "1") {
  CalcState state = testing::WorkedExample();
  const CameraDefinition camera = BuildGenericCamera();
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  PlannerTexts texts;
  texts.depth = "0.2";
  texts.blurLimit = blurLimit;
  texts.lenses = std::string(kLensKitHeader) + "\n" + kit;
  return ComputePlan(state, camera, ReadPlannerInputs(texts, state.unit));
}

std::string FocalLengthInForce() {
  CalcState state = testing::WorkedExample();
  const CameraDefinition camera = BuildGenericCamera();
  ComputeAll(state, camera.pixelPitchX, camera.pixelPitchY);
  return FormatShortest(state.focalLengthMm);
}

TEST(LensKitPlan, TheLensInForceLimitsTheBestFNumberAndTheApertureWindow) {
  // Unlimited: best entry "2.0", window 0.2524 ... 14.64 at a limit of 6 px.
  EXPECT_EQ(PlanWithKit("", "6").best.bestEntry.text, "2.0");
  const std::string inForce = "In force," + FocalLengthInForce() + ",2.8,8,,,\n";
  const Plan plan = PlanWithKit("Other,50,4,5.6,,,\n" + inForce, "6");
  ASSERT_EQ(plan.kit.inForce, 1u);
  EXPECT_TRUE(plan.kit.rows[1].inForce);
  EXPECT_EQ(plan.best.bestEntry.text, "2.8");
  EXPECT_EQ(plan.apertureWindow.text, "2.8 ... 8");
  // A range that holds no entry of the list has no best entry, and says why.
  const Plan narrow = PlanWithKit("In force," + FocalLengthInForce() + ",1.2,1.3,,,\n");
  EXPECT_EQ(narrow.best.bestEntry.text, "none");
  EXPECT_EQ(narrow.best.bestEntry.reason, "No f-number of the list lies within the lens's f/1.2 ... 1.3");
}

TEST(LensKitPlan, OnlyALensThatFocusesAndCoversIsMarked) {
  // The 8 mm lens gives the smallest field that covers 0.5 m, but cannot focus at 2 m.
  Plan plan = PlanWithKit("Close,8,,,3,,\nWide,6,,,,,\nTele,100,,,,,\n");
  EXPECT_EQ(plan.kit.rows[0].checks.focuses, false);
  ASSERT_TRUE(plan.kit.marked);
  EXPECT_EQ(plan.kit.rows[*plan.kit.marked].lens.name, "Wide");
  plan = PlanWithKit("Close,8,,,1,,\nWide,6,,,,,\nTele,100,,,,,\n");
  EXPECT_EQ(plan.kit.rows[*plan.kit.marked].lens.name, "Close");
}

}  // namespace
}  // namespace korvan::planner
