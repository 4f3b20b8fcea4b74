#pragma once

#include <vector>

#include "planner/JsonText.h"
#include "planner/PlanSheet.h"
#include "planner/Planner.h"

// The light and the shooting envelope of a plan, as `plan --json` and the setup sheet give them.
namespace korvan::planner {

JsonText LightJson(const Plan& plan);
JsonText EnvelopeJson(const Plan& plan);

// The "Light" and "Shooting Envelope" sections of the sheet, appended to `rows`.
void AddLightRows(const Plan& plan, std::vector<SheetRow>& rows);

}  // namespace korvan::planner
