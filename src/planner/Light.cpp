#include "planner/Light.h"

#include <cmath>

#include "optics/NumberText.h"
#include "optics/Units.h"
#include "planner/PlannerInputs.h"
#include "planner/PlanValues.h"

namespace korvan::planner {
namespace {

using namespace detail;

// Reads one light text with the planner's number rules: empty reads 0, a text without a leading
// number is refused, and so is a negative or non-finite value. Ranges beyond that are the caller's.
PlannerValue ReadNumber(const std::string& text, std::string_view name, double scale = 1) {
  PlannerValue read;
  if (text.find_first_not_of(" \t\n\v\f\r") != std::string::npos && !BeginsWithNumber(text)) {
    read.problem = "The " + std::string(name) + " is not a number";
    return read;
  }
  const double value = ParseDouble(text);
  if (!std::isfinite(value)) {
    read.problem = "The " + std::string(name) + " is not a finite number";
  } else if (value < 0) {
    read.problem = "The " + std::string(name) + " cannot be negative";
  } else {
    read.value = value * scale;
  }
  return read;
}

void Refuse(PlannerValue& value, std::string problem) {
  if (!value.Usable()) return;
  value.value = 0;
  value.problem = std::move(problem);
}

std::string ExposureProblem(const ExposureSetting& setting) {
  if (setting.frameRate <= 0) return "The frame rate is 0";
  if (setting.shutterMultiple < 1) return "The shutter multiple is below 1";
  return {};
}

// Lamp counts stay whole numbers as long as they fit 64 bits; beyond that only their size matters.
PlanNumber Whole(double count) {
  if (std::isfinite(count) && count < 9.2e18) return Number(count, FormatInt(static_cast<std::int64_t>(count)));
  return G4(count);
}

}  // namespace

LightInputs ReadLightInputs(const LightTexts& texts, LengthUnit unit) {
  LightInputs in;
  in.iso = ReadNumber(texts.iso, "ISO");
  in.meterConstant = ReadNumber(texts.meterConstant, "meter constant");
  if (in.meterConstant.value == 0) Refuse(in.meterConstant, "Enter a meter constant above 0");
  in.transmission = ReadNumber(texts.transmission, "transmission");
  if (in.transmission.value == 0) Refuse(in.transmission, "Enter a transmission above 0 %");
  if (in.transmission.value > 100) Refuse(in.transmission, "The transmission cannot be above 100 %");
  in.lux = ReadNumber(texts.lux, "light at the subject");
  in.lampLux = ReadNumber(texts.lampLux, "lamp's lux at 1 m");
  in.lampDistance = ReadNumber(texts.lampDistance, "lamp distance", ToMetersFactor(unit));
  in.lamps = ReadNumber(texts.lamps, "lamp count");
  if (in.lamps.value < 1) Refuse(in.lamps, "Enter a lamp count of 1 or more");
  if (in.lamps.value != std::floor(in.lamps.value)) Refuse(in.lamps, "The lamp count is not a whole number");
  in.mains = ReadNumber(texts.mains, "mains frequency");
  if (in.mains.value != 0 && in.mains.value != 50 && in.mains.value != 60) {
    Refuse(in.mains, "The mains frequency must be 0, 50 or 60 Hz");
  }
  return in;
}

std::string LightNeededProblem(const LightInputs& in) {
  if (!in.iso.Usable()) return in.iso.problem;
  if (in.iso.value == 0) return std::string(kNoIsoReason);
  if (!in.meterConstant.Usable()) return in.meterConstant.problem;
  if (!in.transmission.Usable()) return in.transmission.problem;
  return {};
}

double LightNeeded(const LightInputs& in, double nw, double seconds) {
  const double tau = in.transmission.value / 100;
  return (in.meterConstant.value * (nw * nw)) / ((in.iso.value * seconds) * tau);
}

Available LightAvailable(const LightInputs& in) {
  if (!in.lux.Usable()) return {0, in.lux.problem};
  if (in.lux.value > 0) return {in.lux.value, {}};
  if (!in.lampLux.Usable()) return {0, in.lampLux.problem};
  if (in.lampLux.value == 0) return {0, "Enter the light at the subject or a lamp's lux at 1 m"};
  if (!in.lampDistance.Usable()) return {0, in.lampDistance.problem};
  if (in.lampDistance.value == 0) return {0, "Enter a lamp distance above 0"};
  if (!in.lamps.Usable()) return {0, in.lamps.problem};
  const double d = in.lampDistance.value;
  return {in.lamps.value * in.lampLux.value / (d * d), {}};
}

LightValues ComputeLight(const LightInputs& in, const ExposureSetting& setting, LengthUnit unit) {
  LightValues light;
  const std::string exposureProblem = ExposureProblem(setting);
  const double t = exposureProblem.empty()
                       ? 1 / (static_cast<double>(setting.frameRate) * static_cast<double>(setting.shutterMultiple))
                       : kNaN;
  light.exposure = exposureProblem.empty() ? Number(t, FormatG4(t * 1e6)) : NotAvailable(exposureProblem);

  std::string neededProblem = LightNeededProblem(in);
  if (neededProblem.empty()) neededProblem = setting.lensProblem;
  if (neededProblem.empty()) neededProblem = exposureProblem;
  light.needed = neededProblem.empty() ? G4(LightNeeded(in, setting.workingFNumber, t)) : NotAvailable(neededProblem);
  if (!light.needed.Available()) neededProblem = light.needed.reason;

  const Available available = LightAvailable(in);
  light.available = available.problem.empty() ? G4(available.lux) : NotAvailable(available.problem);

  if (!neededProblem.empty()) {
    light.headroom = NotAvailable(neededProblem);
  } else if (!light.available.Available()) {
    light.headroom = NotAvailable(light.available.reason);
  } else {
    light.headroom = G4(std::log2(available.lux / light.needed.value));
  }

  // What the lamps of the kind given can do, whether or not a measured light is entered.
  std::string lampProblem = neededProblem;
  if (lampProblem.empty() && !in.lampLux.Usable()) lampProblem = in.lampLux.problem;
  if (lampProblem.empty() && in.lampLux.value == 0) lampProblem = "Enter a lamp's lux at 1 m";
  std::string countProblem = lampProblem;
  if (countProblem.empty() && !in.lampDistance.Usable()) countProblem = in.lampDistance.problem;
  if (countProblem.empty() && in.lampDistance.value == 0) countProblem = "Enter a lamp distance above 0";
  if (countProblem.empty()) {
    const double d = in.lampDistance.value;
    light.lampsNeeded = Whole(std::fmax(1, std::ceil(light.needed.value / (in.lampLux.value / (d * d)))));
  } else {
    light.lampsNeeded = NotAvailable(countProblem);
  }
  if (lampProblem.empty() && !in.lamps.Usable()) lampProblem = in.lamps.problem;
  light.farthestLamp = lampProblem.empty()
                           ? Length(std::sqrt((in.lamps.value * in.lampLux.value) / light.needed.value), unit)
                           : NotAvailable(lampProblem);

  std::string mainsProblem = in.mains.problem;
  if (mainsProblem.empty() && in.mains.value == 0) mainsProblem = "DC or flicker-free lamps (mains 0 Hz) do not flicker";
  if (mainsProblem.empty() && setting.frameRate <= 0) mainsProblem = "The frame rate is 0";
  if (!mainsProblem.empty()) {
    light.framesPerCycle = NotAvailable(mainsProblem);
    return light;
  }
  const double flickerHz = 2 * in.mains.value;
  light.framesPerCycle = G4(setting.frameRate / flickerHz);
  if (exposureProblem.empty() && t < 1 / flickerHz) {
    light.flicker = true;
    light.flickerWarning = "The lamps flicker at " + FormatG4(flickerHz) + " Hz: each frame (" + light.exposure.text +
                           " \xC2\xB5s) sees another part of the " + FormatG4(1000 / flickerHz) +
                           " ms light cycle; use DC or flicker-free lamps";
  }
  return light;
}

}  // namespace korvan::planner
