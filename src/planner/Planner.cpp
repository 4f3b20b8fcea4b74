#include "planner/Planner.h"

#include <algorithm>
#include <cmath>

#include "camera/CameraModes.h"
#include "optics/Attachments.h"
#include "optics/ComputeModes.h"
#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "planner/PlanValues.h"

namespace korvan::planner {
namespace {

using namespace detail;

// Lengths, ratios and the pitch must be positive and finite for the optics to mean anything;
// the engine itself only needs them to be non-zero.
bool Positive(double x) { return x > 0 && std::isfinite(x); }

// The depth's near edge, or the reason it has none.
struct DepthEdges {
  double nearEdge = 0;
  double farEdge = 0;
  std::string problem;
};

DepthEdges EdgesOf(const Symbols& s, const PlannerInputs& inputs) {
  DepthEdges edges;
  if (!inputs.depth.Usable()) {
    edges.problem = inputs.depth.problem;
    return edges;
  }
  const double D = inputs.depth.value;
  edges.nearEdge = s.u - D / 2;
  edges.farEdge = s.u + D / 2;
  if (!(edges.nearEdge > 0)) edges.problem = "The depth reaches the lens";
  return edges;
}

// A for the best f-number: the defocus at the near edge times N.
double DefocusTimesN(const Symbols& s, double D) { return s.f * s.m * (D / 2) / (s.u - D / 2) / s.p; }

}  // namespace

std::string PlanPrerequisite(const CalcState& state, const CameraDefinition& camera) {
  if (!Positive(state.objectDistance)) return "Enter an object distance above 0 first";
  if (!Positive(state.focalLengthMm)) return "Enter a focal length or a field width and a distance first";
  if (!(state.objectDistance > 0.001 * state.focalLengthMm)) return kInsideFocalLength;
  if (!Positive(state.fieldRatio)) return "Enter a focal length or a field width and a distance first";
  if (!Positive(state.fNumber)) return "Enter an f-number above 0 first";
  if (!Positive(PitchAlong(state, camera))) return "The camera's pixel pitch is not above 0";
  return {};
}

namespace {

bool Applies(bool on, int index, std::size_t items) { return on && index > 0 && static_cast<std::size_t>(index) < items; }

}  // namespace

std::string IncludedAttachments(const AttachmentChoices& c) {
  std::string text;
  const auto add = [&text](std::string_view item) { text += (text.empty() ? "with " : ", ") + std::string(item); };
  if (Applies(c.teleExtenderOn, c.teleExtenderIndex, kTeleExtenderItems.size())) add(kTeleExtenderItems[c.teleExtenderIndex]);
  if (Applies(c.closeUpOn, c.closeUpIndex, kCloseUpItems.size())) add(kCloseUpItems[c.closeUpIndex]);
  if (Applies(c.tubesOn, c.tubesIndex, kTubeItems.size())) add(kTubeItems[c.tubesIndex]);
  return text;
}

CalcState detail::MountedState(const CalcState& state, const CameraDefinition& camera,
                               const AttachmentChoices& choices) {
  if (IncludedAttachments(choices).empty() || !state.resultsValid) return state;
  const AdjustedOptics a = ComputeAttachments(state, camera.pixelPitchX, camera.pixelPitchY, choices).adjusted;
  CalcState mounted = state;
  mounted.focalLengthMm = a.focalLengthMm;
  mounted.objectDistance = a.objectDistance;
  mounted.fieldWidth = a.fieldWidth;
  mounted.fieldRatio = a.fieldRatio;
  mounted.workingFNumber = a.workingFNumber;
  mounted.fNumber = a.workingFNumber / (1 + 1 / a.fieldRatio);
  ComputeBlur(mounted, camera.pixelPitchX, camera.pixelPitchY);
  return mounted;
}

std::string_view BlurTermName(BlurTerm term) {
  switch (term) {
    case BlurTerm::Motion: return "Motion";
    case BlurTerm::Defocus: return "Defocus";
    case BlurTerm::Diffraction: return "Diffraction";
  }
  return "Motion";
}

SharpnessBudget ComputeBudget(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs) {
  SharpnessBudget b;
  const std::string prerequisite = PlanPrerequisite(state, camera);
  // The exposure against shutter 1x at f/1.0 needs only the shutter and the f-number.
  if (state.shutterMultiple < 1) {
    b.lightStops = NotAvailable("The shutter multiple is below 1");
  } else if (!Positive(state.fNumber)) {
    b.lightStops = NotAvailable("Enter an f-number above 0 first");
  } else {
    // 0 - x rather than -x: shutter 1x at f/1.0 is 0 stops, not -0.
    b.lightStops = G4(0.0 - (std::log2(static_cast<double>(state.shutterMultiple)) + 2 * std::log2(state.fNumber)));
  }
  if (!prerequisite.empty()) {
    for (PlanNumber* n : {&b.motion, &b.defocusNear, &b.defocusFar, &b.defocus, &b.diffraction, &b.total,
                          &b.linearSum, &b.sharpNear, &b.sharpFar}) {
      *n = NotAvailable(prerequisite);
    }
    b.largestText = kNotAvailableText;
    return b;
  }
  const Symbols s = SymbolsOf(state, camera);

  // A velocity against the direction gives a negative pixel blur; the blur's size is what counts.
  b.motion = state.frameRate == 0 ? NotAvailable(kZeroFrameRate) : G4(std::fabs(state.pixelBlur));

  const DepthEdges edges = EdgesOf(s, inputs);
  if (edges.problem.empty()) {
    b.defocusNear = G4(DefocusAt(s, s.N, edges.nearEdge));
    b.defocusFar = G4(DefocusAt(s, s.N, edges.farEdge));
    // The near edge always blurs more; taking the larger keeps that true for any input.
    b.defocus = b.defocusNear.value >= b.defocusFar.value ? b.defocusNear : b.defocusFar;
  } else {
    b.defocusNear = b.defocusFar = b.defocus = NotAvailable(edges.problem);
  }

  b.diffraction = inputs.wavelength.Usable() ? G4(DiffractionAt(s, inputs.wavelength.value, s.Nw))
                                             : NotAvailable(inputs.wavelength.problem);

  const PlanNumber* terms[] = {&b.motion, &b.defocus, &b.diffraction};
  const PlanNumber* missing = nullptr;
  for (const PlanNumber* term : terms) {
    if (!missing && !term->Available()) missing = term;
  }
  if (missing) {
    b.total = b.linearSum = NotAvailable(missing->reason);
    b.largestText = kNotAvailableText;
  } else {
    const double mo = b.motion.value;
    const double de = b.defocus.value;
    const double di = b.diffraction.value;
    b.total = G4(std::sqrt(mo * mo + de * de + di * di));
    b.linearSum = G4(mo + de + di);
    BlurTerm largest = BlurTerm::Motion;
    if (de > mo) largest = BlurTerm::Defocus;
    if (di > std::max(mo, de)) largest = BlurTerm::Diffraction;
    b.largestTerm = largest;
    b.largestText = BlurTermName(largest);
  }

  if (!inputs.blurLimit.Usable()) {
    b.sharpNear = b.sharpFar = NotAvailable(inputs.blurLimit.problem);
  } else {
    const double k = inputs.blurLimit.value;
    const double a = k * s.p * s.N * (s.u - s.f) / (s.f * s.f);
    b.sharpNear = Length(s.u / (1 + a), state.unit);
    if (a >= 1) {
      b.sharpFar = {std::numeric_limits<double>::infinity(), std::string(kInfinityText), {}};
    } else {
      b.sharpFar = Length(s.u / (1 - a), state.unit);
    }
  }
  return b;
}

BestFNumber ComputeBestFNumber(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs) {
  BestFNumber best;
  const Symbols s = SymbolsOf(state, camera);
  const DepthEdges edges = EdgesOf(s, inputs);

  // The advised focus is a property of the depth alone: it needs neither the lens nor the light.
  if (!edges.problem.empty()) {
    best.focusDistance = NotAvailable(edges.problem);
  } else if (!(inputs.depth.value > 0)) {
    best.focusDistance = NotAvailable("Enter a depth above 0");
  } else if (!Positive(s.u)) {
    best.focusDistance = NotAvailable("Enter an object distance above 0 first");
  } else {
    best.focusDistance =
        Length(2 * edges.nearEdge * edges.farEdge / (edges.nearEdge + edges.farEdge), state.unit);
  }

  std::string problem = PlanPrerequisite(state, camera);
  if (problem.empty()) problem = edges.problem;
  if (problem.empty() && !inputs.wavelength.Usable()) problem = inputs.wavelength.problem;
  if (!problem.empty()) {
    best.optimum = best.bestEntry = best.bestEntrySum = best.bestEntryTotal = NotAvailable(problem);
    return best;
  }
  const double D = inputs.depth.value;
  const double A = DefocusTimesN(s, D);
  const double C = 2.44 * inputs.wavelength.value / s.p;
  const double a = C * (1 + s.m);

  best.optimum = D == 0 ? NotAvailable("Enter a depth above 0") : Number(std::sqrt(A / a), "");
  if (best.optimum.Available()) best.optimum.text = FormatG3(best.optimum.value);

  // Only the f-numbers the lens in force offers, when its record says.
  const KitLens* lens = LensInForce(inputs.kit, state.focalLengthMm);
  const FNumberBounds bounds = FNumberBoundsOf(lens);
  std::optional<std::size_t> bestIndex;
  double bestSum = 0;
  for (std::size_t i = 0; i < kFNumberListItems.size(); ++i) {
    const double N = ParseDouble(kFNumberListItems[i]);
    if (!bounds.Allows(N)) continue;
    const double sum = std::sqrt((A / N) * (A / N) + (a * N) * (a * N));
    if (!bestIndex || sum < bestSum) {  // strictly smaller: a tie keeps the smaller f-number
      bestIndex = i;
      bestSum = sum;
    }
  }
  best.focusDistance = Length(2 * edges.nearEdge * edges.farEdge / (edges.nearEdge + edges.farEdge), state.unit);
  if (!bestIndex) {
    best.bestEntry = best.bestEntrySum = best.bestEntryTotal =
        None(kNaN, "No f-number of the list lies within the lens's " + FNumberRangeText(*lens));
    return best;
  }
  const double N = ParseDouble(kFNumberListItems[*bestIndex]);
  best.bestEntry = Number(N, std::string(kFNumberListItems[*bestIndex]));
  best.bestEntrySum = G4(bestSum);
  if (state.frameRate == 0) {
    best.bestEntryTotal = NotAvailable(kZeroFrameRate);
  } else {
    const double mo = std::fabs(state.pixelBlur);
    best.bestEntryTotal = G4(std::sqrt(mo * mo + (A / N) * (A / N) + (a * N) * (a * N)));
  }
  return best;
}

ApertureWindow ComputeApertureWindow(const CalcState& state, const CameraDefinition& camera,
                                     const PlannerInputs& inputs) {
  return detail::ApertureWindowFor(ComputeBudget(state, camera, inputs), state, camera, inputs);
}

ApertureWindow detail::ApertureWindowFor(const SharpnessBudget& budget, const CalcState& state,
                                         const CameraDefinition& camera, const PlannerInputs& inputs) {
  ApertureWindow window;
  std::string problem = budget.total.Available() ? std::string() : budget.total.reason;
  if (problem.empty() && !inputs.blurLimit.Usable()) problem = inputs.blurLimit.problem;
  if (!problem.empty()) {
    window.low = window.high = NotAvailable(problem);
    window.text = kNotAvailableText;
    window.reason = problem;
    return window;
  }
  const Symbols s = SymbolsOf(state, camera);
  const double k = inputs.blurLimit.value;
  const double motion = budget.motion.value;
  const double A = DefocusTimesN(s, inputs.depth.value);
  const double a = 2.44 * inputs.wavelength.value / s.p * (1 + s.m);
  const double c2 = k * k - motion * motion;
  const double discriminant = c2 * c2 - 4 * a * a * A * A;
  if (!(c2 > 0)) {
    window.reason = "Motion alone blurs " + budget.motion.text + " px, over the limit";
  } else if (!(discriminant >= 0)) {
    window.reason = "No f-number keeps the total within the limit";
  } else {
    // Only f-numbers a lens can be set to count: the roots are limited to the f-number list's range,
    // or to the range of the lens in force where its record gives one.
    const KitLens* lens = LensInForce(inputs.kit, state.focalLengthMm);
    const FNumberBounds bounds = FNumberBoundsOf(lens);
    const double first = bounds.low;
    const double last = bounds.high;
    const double root = std::sqrt(discriminant);
    double low = std::sqrt((c2 - root) / (2 * a * a));
    double high = std::sqrt((c2 + root) / (2 * a * a));
    // A huge limit overflows the formula: then every f-number of the range passes.
    if (std::isnan(low) || std::isnan(high) || std::isinf(high)) {
      low = std::isnan(low) ? 0 : low;
      high = last;
    }
    low = std::max(low, first);
    high = std::min(high, last);
    if (low <= high) {
      window.low = G4(low);
      window.high = G4(high);
      window.text = window.low.text + " ... " + window.high.text;
      return window;
    }
    window.reason = lens && (lens->fNumberMin || lens->fNumberMax)
                        ? "No f-number within the lens's " + FNumberRangeText(*lens) + " keeps the total within the limit"
                        : "No f-number from " + FormatG4(first) + " to " + FormatG4(last) +
                              " keeps the total within the limit";
  }
  window.low = window.high = None(kNaN, window.reason);
  window.text = kNoneText;
  return window;
}

ShutterLimit ComputeShutterLimit(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs) {
  ShutterLimit limit;
  std::string problem = PlanPrerequisite(state, camera);
  if (problem.empty() && !inputs.blurLimit.Usable()) problem = inputs.blurLimit.problem;
  if (problem.empty() && state.frameRate == 0) problem = kZeroFrameRate;
  if (!problem.empty()) {
    limit.multiple = limit.blur = limit.exposureUs = NotAvailable(problem);
    return limit;
  }
  EngineBlur blurOf(state, camera);
  const ShutterSearch found = FindShutterLimit(blurOf, state.frameRate, state.fieldRatio, inputs.blurLimit.value);
  limit.blur = G4(found.blur);
  if (!limit.blur.Available()) {
    limit.multiple = limit.exposureUs = limit.blur;
  } else if (found.multiple == 0) {
    limit.multiple = limit.exposureUs =
        None(kNaN, "Even " + FormatInt(kMaxShutterMultiple) + "x blurs " + limit.blur.text + " px");
  } else {
    limit.multiple = Number(found.multiple, FormatInt(found.multiple));
    limit.exposureUs = G4(1e6 / static_cast<double>(std::int64_t{state.frameRate} * found.multiple));
  }
  return limit;
}

Plan ComputePlan(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs,
                 const AttachmentChoices& attachments) {
  Plan plan;
  plan.mounted = MountedState(state, camera, attachments);
  plan.attachmentsIncluded = IncludedAttachments(attachments);
  const CalcState& mounted = plan.mounted;
  plan.prerequisite = PlanPrerequisite(mounted, camera);
  plan.inputs = inputs;
  plan.budget = ComputeBudget(mounted, camera, inputs);
  plan.best = ComputeBestFNumber(mounted, camera, inputs);
  plan.apertureWindow = ApertureWindowFor(plan.budget, mounted, camera, inputs);
  plan.shutterLimit = ComputeShutterLimit(mounted, camera, inputs);
  plan.modes = ComputeModeTable(state, camera, inputs, attachments);
  // The kit compares bare lenses.
  plan.kit = ComputeLensKit(state, camera, inputs);
  plan.charts = ComputeCharts(mounted, camera, inputs);
  plan.light = ComputeLight(inputs.light,
                            {mounted.frameRate, mounted.shutterMultiple, mounted.workingFNumber, plan.prerequisite},
                            mounted.unit);
  plan.envelope = ComputeEnvelope(EnvelopeSceneOf(mounted, camera, inputs), inputs.light);

  plan.state = state;
  plan.cameraName = camera.name;
  plan.cameraFile = camera.filePath;
  plan.frameRate = FormatInt(state.frameRate);
  plan.resolution = ResolutionEntry(state.sensorWidthPx, state.sensorHeightPx);
  if (state.shutterMultiple >= 1 && state.shutterMultiple <= kMaxShutterMultiple) {
    plan.shutter = ShutterEntries(static_cast<std::uint32_t>(state.frameRate))[state.shutterMultiple - 1];
  } else {
    plan.shutter = FormatInt(state.shutterMultiple) + "x";
  }
  plan.results = MakeResultTexts(state);
  plan.attachmentChoices = attachments;
  plan.attachments =
      MakeAttachmentTexts(ComputeAttachments(state, camera.pixelPitchX, camera.pixelPitchY, attachments));
  plan.pixelPitchX = camera.pixelPitchX;
  plan.pixelPitchY = camera.pixelPitchY;
  return plan;
}

}  // namespace korvan::planner
