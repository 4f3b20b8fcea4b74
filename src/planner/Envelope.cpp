#include "planner/Envelope.h"

#include <cmath>

#include "optics/ComputeModes.h"
#include "optics/NumberText.h"
#include "planner/PlanValues.h"
#include "planner/Planner.h"

namespace korvan::planner {
namespace {

using namespace detail;

// An amount for a verdict; "n/a" rather than "inf" when the inputs are beyond any finite figure.
std::string Amount(double value) { return std::isfinite(value) ? FormatG4(value) : std::string(kNotAvailableText); }

std::string SettingText(const EnvelopeCell& cell, const std::string& fNumberText) {
  return FormatInt(cell.shutter) + "x at f/" + fNumberText;
}

}  // namespace

EnvelopeScene EnvelopeSceneOf(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs) {
  EnvelopeScene scene;
  const Symbols s = SymbolsOf(state, camera);
  scene.focalLength = s.f;
  scene.magnification = s.m;
  scene.fieldRatio = s.q;
  scene.distance = s.u;
  scene.pitch = s.p;
  scene.frameRate = state.frameRate;
  scene.depth = inputs.depth.value;
  scene.wavelength = inputs.wavelength.value;
  scene.blurLimit = inputs.blurLimit.value;
  scene.shutterInForce = state.shutterMultiple;
  scene.fNumberInForce = state.fNumber;

  scene.problem = PlanPrerequisite(state, camera);
  const auto need = [&scene](bool ok, const std::string& problem) {
    if (scene.problem.empty() && !ok) scene.problem = problem;
  };
  need(s.u > s.f, kInsideFocalLength);
  need(inputs.depth.Usable(), inputs.depth.problem);
  need(s.u - inputs.depth.value / 2 > 0, "The depth reaches the lens");
  need(inputs.wavelength.Usable(), inputs.wavelength.problem);
  need(inputs.blurLimit.Usable(), inputs.blurLimit.problem);
  need(state.frameRate > 0, "The frame rate is 0");
  if (!scene.problem.empty()) return scene;
  EngineBlur blurOf(state, camera);
  for (std::int32_t n = 1; n <= kMaxShutterMultiple; ++n) scene.motion.push_back(blurOf(state.frameRate, n, s.q));
  return scene;
}

Envelope ComputeEnvelope(const EnvelopeScene& scene, const LightInputs& light) {
  Envelope envelope;
  for (const std::string_view entry : kFNumberListItems) {
    const double N = ParseDouble(entry);
    if (scene.fNumberMin > 0 && N < scene.fNumberMin) continue;
    if (scene.fNumberMax > 0 && N > scene.fNumberMax) continue;
    envelope.fNumbers.push_back(N);
    envelope.fNumberTexts.emplace_back(entry);
  }
  envelope.shutters = static_cast<std::int32_t>(scene.motion.size());
  const auto fail = [&envelope](const std::string& reason) {
    envelope.reason = reason;
    envelope.text = kNotAvailableText;
    envelope.total = envelope.headroom = envelope.lightNeeded = NotAvailable(reason);
    return envelope;
  };
  if (!scene.problem.empty()) return fail(scene.problem);
  if (scene.motion.empty()) return fail("No shutter multiple to plan for");
  if (envelope.fNumbers.empty()) return fail("No f-number of the list lies within the lens's range");

  std::string lightProblem = LightNeededProblem(light);
  const Available available = LightAvailable(light);
  if (lightProblem.empty()) lightProblem = available.problem;
  envelope.withLight = lightProblem.empty();
  envelope.lightReason = lightProblem;

  Symbols s;
  s.f = scene.focalLength;
  s.m = scene.magnification;
  s.q = scene.fieldRatio;
  s.u = scene.distance;
  s.p = scene.pitch;
  const double nearEdge = s.u - scene.depth / 2;
  const double farEdge = s.u + scene.depth / 2;
  const double k = scene.blurLimit;

  // Defocus and diffraction depend on the f-number alone, motion on the shutter alone.
  std::vector<double> defocusSquared;
  std::vector<double> diffractionSquared;
  std::vector<double> nw;
  for (const double N : envelope.fNumbers) {
    const double de = std::fmax(DefocusAt(s, N, nearEdge), DefocusAt(s, N, farEdge));
    nw.push_back((1 + s.m) * N);
    const double di = DiffractionAt(s, scene.wavelength, nw.back());
    defocusSquared.push_back(de * de);
    diffractionSquared.push_back(di * di);
  }

  envelope.cells.reserve(static_cast<std::size_t>(envelope.shutters) * envelope.fNumbers.size());
  std::optional<std::size_t> best, bestSharp, bestBright;
  double bestGather = 0;
  for (std::int32_t n = 1; n <= envelope.shutters; ++n) {
    const double mo = scene.motion[static_cast<std::size_t>(n - 1)];
    const double t = 1 / (static_cast<double>(scene.frameRate) * n);
    for (std::size_t i = 0; i < envelope.fNumbers.size(); ++i) {
      EnvelopeCell cell;
      cell.shutter = n;
      cell.fNumber = envelope.fNumbers[i];
      // Summed in the budget's order, so that the cell in force shows the budget's very total.
      cell.total = std::sqrt(mo * mo + defocusSquared[i] + diffractionSquared[i]);
      cell.sharp = cell.total <= k;
      cell.headroom = cell.lightNeeded = kNaN;
      if (envelope.withLight) {
        cell.lightNeeded = LightNeeded(light, nw[i], t);
        cell.headroom = std::log2(available.lux / cell.lightNeeded);
        cell.bright = cell.headroom >= 0;
      }
      const std::size_t index = envelope.cells.size();
      if (n == scene.shutterInForce && cell.fNumber == scene.fNumberInForce) envelope.inForce = index;
      const bool works = cell.sharp && (cell.bright || !envelope.withLight);
      if (works) {
        ++envelope.workable;
        // The most light gathered; a tie keeps the smaller total, then the smaller multiple.
        const double gather = t / (nw[i] * nw[i]);
        if (!best || gather > bestGather || (gather == bestGather && cell.total < envelope.cells[*best].total)) {
          best = index;
          bestGather = gather;
        }
      }
      if (cell.sharp && (!bestSharp || cell.headroom > envelope.cells[*bestSharp].headroom)) bestSharp = index;
      if (cell.bright && (!bestBright || cell.total < envelope.cells[*bestBright].total)) bestBright = index;
      envelope.cells.push_back(cell);
    }
  }

  const auto setting = [&envelope](std::size_t index, std::string verdict) {
    const EnvelopeCell& cell = envelope.cells[index];
    const std::size_t column = index % envelope.fNumbers.size();
    return EnvelopeSetting{index, SettingText(cell, envelope.fNumberTexts[column]), std::move(verdict)};
  };
  if (best) {
    const EnvelopeCell& cell = envelope.cells[*best];
    envelope.recommended = setting(*best, envelope.withLight ? "sharp and bright" : "sharp");
    envelope.total = G4(cell.total);
    envelope.headroom = envelope.withLight ? G4(cell.headroom) : NotAvailable(lightProblem);
    envelope.lightNeeded = envelope.withLight ? G4(cell.lightNeeded) : NotAvailable(lightProblem);
    envelope.text = envelope.recommended->text;
    return envelope;
  }
  const std::string none = envelope.withLight ? "No setting is both sharp and bright" : "No setting is sharp";
  envelope.total = envelope.headroom = envelope.lightNeeded = None(kNaN, none);
  envelope.text = kNoneText;
  envelope.reason = none;
  if (envelope.withLight && bestSharp) {
    envelope.nearestSharp =
        setting(*bestSharp, "sharp, but " + Amount(-envelope.cells[*bestSharp].headroom) + " stops short");
  }
  if (bestBright) {
    envelope.nearestBright =
        setting(*bestBright, "bright, but blurs " + Amount(envelope.cells[*bestBright].total) + " px");
  }
  return envelope;
}

}  // namespace korvan::planner
