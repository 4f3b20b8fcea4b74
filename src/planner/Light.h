#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "optics/CalcState.h"
#include "planner/PlanNumber.h"
#include "planner/PlannerValue.h"

// Will the shot be bright enough: the incident-light exposure equation N²/t = E × S / C, with the
// working f-number (a close subject needs more light) and the lens's transmission, against the
// light at the subject or the lamps aimed at it.
namespace korvan::planner {

// The light inputs as typed; the defaults are what a fresh planner shows.
struct LightTexts {
  std::string iso = "0";             // saturation-based ISO; 0: no light figures
  std::string meterConstant = "250"; // lux·s, incident-light calibration constant
  std::string transmission = "100";  // % of the light the lens passes
  std::string lux = "0";             // measured light at the subject; 0: from the lamps
  std::string lampLux = "0";         // one lamp's lux on its axis at 1 m
  std::string lampDistance = "0";    // lamp to subject, in the calculator's length unit
  std::string lamps = "1";           // lamps of that kind aimed at the subject
  std::string mains = "0";           // Hz: 0 (DC or flicker-free), 50 or 60
};

struct LightInputs {
  PlannerValue iso;
  PlannerValue meterConstant;
  PlannerValue transmission;  // percent, above 0 and at most 100
  PlannerValue lux;
  PlannerValue lampLux;
  PlannerValue lampDistance;  // meters
  PlannerValue lamps;         // a whole number of at least 1
  PlannerValue mains;         // 0, 50 or 60
};

LightInputs ReadLightInputs(const LightTexts& texts, LengthUnit unit);

inline constexpr std::string_view kNoIsoReason = "Enter the camera's ISO rating";

// The exposure in force, as the light figures need it.
struct ExposureSetting {
  std::int32_t frameRate = 0;
  std::int32_t shutterMultiple = 0;
  double workingFNumber = 0;  // Nw of the optics as mounted
  std::string lensProblem;    // why there is no usable Nw; empty when there is
};

struct LightValues {
  PlanNumber exposure;        // t = 1 / (R × n), seconds; text in µs
  PlanNumber needed;          // lux at the subject the exposure needs
  PlanNumber available;       // lux at the subject: measured, or from the lamps
  PlanNumber headroom;        // stops: above 0 spare light, below 0 short
  PlanNumber lampsNeeded;     // lamps of the kind given for the light needed
  PlanNumber farthestLamp;    // meters, text in the length unit: the lamps given still give enough
  PlanNumber framesPerCycle;  // frames per light cycle of AC lamps
  bool flicker = false;       // the exposure is shorter than the light cycle
  std::string flickerWarning; // the line the window and the command show; empty without flicker
};

LightValues ComputeLight(const LightInputs& inputs, const ExposureSetting& setting, LengthUnit unit);

// Light needed at the subject for an exposure of `seconds` at working f-number `nw` (lux); the
// inputs must be usable.
double LightNeeded(const LightInputs& inputs, double nw, double seconds);

// The light available at the subject (lux), or the reason there is none.
struct Available {
  double lux = 0;
  std::string problem;
};
Available LightAvailable(const LightInputs& inputs);

// The first reason among ISO, meter constant and transmission; empty when the light needed can be computed.
std::string LightNeededProblem(const LightInputs& inputs);

}  // namespace korvan::planner
