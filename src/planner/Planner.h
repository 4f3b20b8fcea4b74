#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "camera/CameraDefinition.h"
#include "optics/Attachments.h"
#include "optics/CalcState.h"
#include "optics/Display.h"
#include "planner/LensChecks.h"
#include "planner/Envelope.h"
#include "planner/Light.h"
#include "planner/PlanNumber.h"
#include "planner/PlannerInputs.h"

// The shoot planner: from the calculator's state after its cycle, the camera and the planner's own
// inputs, whether the event will be sharp, at which f-number and shutter, in which camera mode and
// with which lens of the kit. It calls the engine and the core's number texts; every value comes
// with the text the window and the command show, so neither formats a number itself.
//
// Doubles that are lengths are in meters, their texts in the calculator's length unit; blurs are
// in pixels along the direction.
namespace korvan::planner {

// Labels the window and the command share.
inline constexpr std::string_view kTotalLabel = "Total (root-sum-square estimate)";
inline constexpr std::string_view kLinearSumLabel = "Linear sum (worst case)";

// Why no value of the lens or the scene can be computed from this state (no distance, focal length
// or field, an object inside the focal length, no f-number or pitch); empty when they can. Values
// of the camera mode alone, the light in stops, the advised focus and the lens kit do not need it.
std::string PlanPrerequisite(const CalcState& state, const CameraDefinition& camera);

// Which attachments a plan includes: "with 2x, +2D, 5 mm"; empty for the bare lens.
std::string IncludedAttachments(const AttachmentChoices& choices);

enum class BlurTerm { Motion, Defocus, Diffraction };
// "Motion", "Defocus", "Diffraction".
std::string_view BlurTermName(BlurTerm term);

struct SharpnessBudget {
  PlanNumber motion;       // the engine's pixel blur, as a size (never negative)
  PlanNumber defocusNear;  // at the near edge of the depth, u - D/2
  PlanNumber defocusFar;   // at the far edge, u + D/2
  PlanNumber defocus;      // the larger of the two
  PlanNumber diffraction;  // the Airy disk at the working f-number
  PlanNumber total;        // root-sum-square of motion, defocus and diffraction
  PlanNumber linearSum;    // their sum, the worst case
  std::optional<BlurTerm> largestTerm;
  std::string largestText;  // the term's name, or "n/a"
  PlanNumber sharpNear;     // pixel-sharp depth of field for the blur limit: near limit
  PlanNumber sharpFar;      // far limit; +infinity and "Infinity" when it lies at infinity
  PlanNumber lightStops;    // exposure relative to shutter 1x at f/1.0
};
SharpnessBudget ComputeBudget(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs);

struct BestFNumber {
  PlanNumber optimum;         // N*, "%.3g"; "n/a" when the depth is 0
  PlanNumber bestEntry;       // the f-number list entry, its text as the list shows it ("2.0")
  PlanNumber bestEntrySum;    // defocus and diffraction in quadrature at that entry
  PlanNumber bestEntryTotal;  // the whole budget (with motion) at that entry
  PlanNumber focusDistance;   // the focus that centres the depth best: harmonic mean of its edges
};
BestFNumber ComputeBestFNumber(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs);

// The f-numbers whose total blur stays within the blur limit.
struct ApertureWindow {
  PlanNumber low;     // smallest f-number
  PlanNumber high;    // largest f-number
  std::string text;   // "0.2524 ... 14.64", "none" or "n/a"
  std::string reason; // why "none" or "n/a"
};
ApertureWindow ComputeApertureWindow(const CalcState& state, const CameraDefinition& camera,
                                     const PlannerInputs& inputs);

struct ShutterLimit {
  PlanNumber multiple;  // the smallest shutter multiple 1..20 within the limit ("16"), "none" or "n/a"
  PlanNumber blur;      // the blur at that multiple; at 20 when none is within the limit
  PlanNumber exposureUs;  // the exposure at that multiple, microseconds: the longest within the limit
};
ShutterLimit ComputeShutterLimit(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs);

// One mode's row as shown.
struct ModeRow {
  std::size_t mode = 0;  // position in the camera's modes
  bool inForce = false;
  PlanNumber frameRate;        // fps
  std::string resolution;      // "480 x 420"
  PlanNumber fieldWidth;       // the field with the current lens at the current distance
  PlanNumber fieldPerPixel;    // field width / pixels along the direction
  PlanNumber exposureUs;       // microseconds at the current shutter multiple
  PlanNumber pixelBlur;        // at the current shutter multiple
  PlanNumber shutterLimit;     // as ShutterLimit::multiple, for this mode
  PlanNumber eventFrames;      // frames across the event
  PlanNumber crossingFrames;   // frames while the object crosses the field
  PlanNumber recordTime;       // seconds of memory; see ModeTable::showRecordTime
  PlanNumber lightNeeded;      // lux at the subject for this mode's exposure; see ModeTable::showLight
};

// One mode's numbers; ModeTable::Row makes the shown row from them.
struct ModeValues {
  std::uint32_t frameRate = 0;
  std::uint32_t widthPx = 0;
  std::uint32_t heightPx = 0;
  double fieldWidth = 0;      // meters
  double fieldPerPixel = 0;   // meters
  double exposureUs = 0;
  double pixelBlur = 0;
  int shutterLimit = 0;       // 0: even 20x blurs more than the limit
  double shutterLimitBlur = 0;
  double eventFrames = 0;
  double crossingFrames = 0;
  double recordTime = 0;      // seconds
  double lightNeeded = 0;     // lux
};

// A camera may hold 100,000 modes: the table keeps their numbers and makes a row's texts only when
// it is asked for one, so that a window shows the rows it draws and a plan stays fast.
struct ModeTable {
  std::vector<ModeValues> values;      // one per mode, in file order
  std::optional<std::size_t> inForce;  // the row of the mode in force
  bool showRecordTime = false;         // only when a memory is given
  bool showLight = false;              // only when an ISO is given
  std::string reason;                  // why every row's values are "n/a"; empty otherwise

  std::size_t size() const { return values.size(); }
  ModeRow Row(std::size_t index) const;  // index < size()

  // What the texts need besides the numbers.
  LengthUnit unit = LengthUnit::Meters;
  std::string shutterProblem;   // why no shutter limit (the blur limit's problem)
  std::string eventProblem;     // why no event frames
  std::string crossingProblem;  // why no crossing frames
  std::string recordProblem;    // why no record time
  std::string lightProblem;     // why no light needed (the light inputs' problem)
};
// `attachments` passes each mode's bare optics through the corrections in force.
ModeTable ComputeModeTable(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs,
                           const AttachmentChoices& attachments = {});
// Column headings of the mode table, with the unit of each (the length unit where empty and marked).
struct Column {
  std::string_view heading;
  std::string_view unit;  // "" for none; "length" for the calculator's length unit; "fine" for mm or inches
  std::string_view tip;   // what the column holds and how it is computed, in one line
};
// The unit a column shows its values in.
std::string_view ColumnUnit(const Column& column, LengthUnit unit);
// Small lengths (a field per pixel) show in mm with metric units and in inches otherwise.
std::string_view FineLengthUnit(LengthUnit unit);
double FromMetersFineFactor(LengthUnit unit);
inline constexpr std::array<Column, 12> kModeColumns = {{
    {"Frame Rate", "fps", "The mode's frame rate"},
    {"Resolution", "", "The mode's image size in pixels"},
    {"Field Width", "length", "The field with the current lens at the current distance: s x u / f - s"},
    {"Field/Pixel", "fine", "The field one pixel covers: field width / pixels along the direction"},
    {"Exposure", "usec", "One exposure at the current shutter: 1e6 / (frame rate x shutter multiple)"},
    {"Pixel Blur", "pixels", "Motion blur at the current shutter: velocity x exposure / field ratio / pitch"},
    {"Shutter Limit", "x", "The longest exposure within the blur limit: the smallest multiple 1 ... 20 that keeps it"},
    {"Event Frames", "", "Whole frames across the event: floor(event x frame rate / 1000)"},
    {"Crossing Frames", "", "Frames while the object crosses the field: field width / velocity x frame rate"},
    {"Record Time", "sec", "Seconds the memory holds: memory x 8 / (width x height x bit depth) / frame rate"},
    {"Light Needed", "lux", "Light at the subject for this mode's exposure: C x Nw^2 / (ISO x exposure x transmission)"},
    {"In Force", "", "The mode the calculator uses now"},
}};

struct KitRow {
  KitLens lens;
  PlanNumber focalLength;       // mm
  PlanNumber fieldWidth;        // at the current distance
  PlanNumber fieldAngle;        // degrees
  PlanNumber depthOfField;      // "Infinity" when the far limit lies at infinity
  PlanNumber nearFocus;
  PlanNumber farFocus;          // "Infinity" when at infinity
  PlanNumber pixelBlur;         // "%.4g", as every blur of the planner
  PlanNumber distanceForField;  // the distance that gives the current field width with this lens
  bool marked = false;          // the smallest field that still covers the wanted one
  bool inForce = false;         // the calculator's focal length is this lens's
  LensChecks checks;            // focus, image circle and f-number against this lens's limits
};

struct LensKitTable {
  std::vector<KitRow> rows;            // one per usable kit entry, in the order typed
  std::optional<std::size_t> marked;   // the marked row
  std::optional<std::size_t> inForce;  // the row of the lens in force
  std::vector<std::string> notes;      // the entries skipped while reading the kit
  std::string reason;                  // why every row's values are "n/a"; empty otherwise
};
LensKitTable ComputeLensKit(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs);

inline constexpr std::array<Column, 8> kKitColumns = {{
    {"Focal Length", "mm", "The kit lens's focal length"},
    {"Field Width", "length", "The field this lens covers at the current distance, as the calculator computes it"},
    {"Field Angle", "deg", "The angle of that field: 2 x atan(field width / 2 / distance)"},
    {"Depth of Field", "length", "Far focus - near focus for this lens at the current distance and f-number"},
    {"Near Focus", "length", "The nearest sharp distance, as the calculator computes it"},
    {"Far Focus", "length", "The farthest sharp distance; Infinity beyond the hyperfocal distance"},
    {"Pixel Blur", "pixels", "Motion blur with this lens: velocity x exposure / field ratio / pitch (4 digits)"},
    {"Distance for Field", "length", "The distance at which this lens gives the wanted field width"},
}};

struct ChartPoint {
  double x = 0;
  double y = 0;
};

struct ChartSeries {
  std::string name;
  std::vector<ChartPoint> points;
};

// The charts' data; lengths here are in the calculator's length unit, ready to draw. A series is
// empty when its values cannot be computed.
struct PlanCharts {
  ChartSeries nearFocus;  // against the f-number list entries
  ChartSeries farFocus;   // y is +infinity where the far limit lies at infinity
  ChartSeries motion;     // blurs against the f-number, 1 ... 22
  ChartSeries defocus;
  ChartSeries diffraction;
  ChartSeries total;
  std::optional<double> optimumFNumber;  // N*, marked on the blur chart
  ChartSeries pixelBlurByShutter;        // against the shutter multiple 1 ... 20
  double blurLimit = 0;                  // the limit line across that chart
  std::vector<ChartSeries> fieldByDistance;  // the lens in force first, then each kit lens
  std::string lengthUnit;                // "meters", ...
};
PlanCharts ComputeCharts(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs);

// Everything at once, with the calculator's own texts beside it for the setup sheet.
struct Plan {
  std::string prerequisite;  // as PlanPrerequisite, for the optics as mounted
  std::string attachmentsIncluded;  // as IncludedAttachments; empty for the bare lens
  CalcState mounted;         // the state planned for: `state` through the attachments in force
  PlannerInputs inputs;
  SharpnessBudget budget;
  BestFNumber best;
  ApertureWindow apertureWindow;
  ShutterLimit shutterLimit;
  ModeTable modes;
  LensKitTable kit;
  PlanCharts charts;
  LightValues light;
  Envelope envelope;

  CalcState state;
  std::string cameraName;
  std::string cameraFile;
  std::string frameRate;   // the list entries the state stands for
  std::string resolution;
  std::string shutter;
  ResultTexts results;     // the calculator's box texts
  AttachmentChoices attachmentChoices;
  AttachmentTexts attachments;
  double pixelPitchX = 0;
  double pixelPitchY = 0;
};
Plan ComputePlan(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs,
                 const AttachmentChoices& attachments = {});

// Why a chart of the plan shows nothing: the plan's prerequisite, or that these inputs give nothing.
std::string EmptyChartText(const Plan& plan);

// The set-up seen from the side, as its chart draws it: lengths in meters, the calculator's texts
// with their unit for the labels.
struct SideView {
  bool valid = false;
  double distance = 0;
  double fieldWidth = 0;
  double nearFocus = 0;
  double farFocus = 0;      // +infinity: the depth-of-field band is open
  double subjectDepth = 0;  // 0: none drawn
  std::string distanceText;  // "2 meters"
  std::string fieldWidthText;
  std::string nearText;
  std::string farText;       // "Infinity" without a unit
  std::string angleText;     // "14.25 deg"
  std::string emptyText;     // why nothing is drawn
};
SideView SideViewOf(const Plan& plan);

}  // namespace korvan::planner
