#include <cmath>
#include <limits>

#include "optics/Engine.h"
#include "planner/PlanValues.h"
#include "planner/Planner.h"

namespace korvan::planner {
namespace {

using namespace detail;

// A far limit at infinity is kept as +infinity beside the text "Infinity" the calculator shows.
PlanNumber FarLimit(double meters, const std::string& text) {
  if (!(meters >= 0)) return {std::numeric_limits<double>::infinity(), std::string(kInfinityText), {}};
  return Number(meters, text);
}

}  // namespace

LensKitTable ComputeLensKit(const CalcState& state, const CameraDefinition& camera, const PlannerInputs& inputs) {
  LensKitTable kit;
  kit.notes = inputs.kitNotes;
  // A kit row needs only its own lens, the distance and the pitch.
  if (!(state.objectDistance > 0 && std::isfinite(state.objectDistance))) {
    kit.reason = "Enter an object distance above 0 first";
  } else if (!(PitchAlong(state, camera) > 0)) {
    kit.reason = "The camera's pixel pitch is not above 0";
  }
  kit.rows.reserve(inputs.kit.size());
  double markedField = 0;
  for (const KitLens& lens : inputs.kit) {
    KitRow row;
    row.lens = lens;
    row.focalLength = G4(lens.focalLengthMm);
    if (!kit.reason.empty()) {
      for (PlanNumber* n : {&row.fieldWidth, &row.fieldAngle, &row.depthOfField, &row.nearFocus, &row.farFocus,
                            &row.pixelBlur, &row.distanceForField}) {
        *n = NotAvailable(kit.reason);
      }
      kit.rows.push_back(std::move(row));
      continue;
    }
    // The calculator itself, as if the user chose Field Width with this lens at the current distance.
    CalcState run = state;
    run.computeMode = ComputeMode::FieldWidth;
    run.lensInput = LensInput::FocalLength;
    run.focalLengthMm = lens.focalLengthMm;
    ComputeAll(run, camera.pixelPitchX, camera.pixelPitchY);
    const ResultTexts texts = MakeResultTexts(run);
    row.fieldAngle = Number(run.fieldAngleDeg, texts.fieldAngle);
    if (state.objectDistance > 0.001 * lens.focalLengthMm) {
      row.fieldWidth = Number(run.fieldWidth, texts.fieldWidth);
      row.depthOfField = FarLimit(run.farFocus < 0 ? -1 : run.depthOfField, texts.depthOfField);
      row.nearFocus = Number(run.nearFocus, texts.nearFocus);
      row.farFocus = FarLimit(run.farFocus, texts.farFocus);
      // "%.4g" as every blur of the planner; the calculator's own box shows fewer digits.
      row.pixelBlur = G4(std::fabs(run.pixelBlur));
    } else {
      // The object lies inside the focal length: the lens makes no image of it.
      for (PlanNumber* n : {&row.fieldWidth, &row.depthOfField, &row.nearFocus, &row.farFocus, &row.pixelBlur}) {
        *n = NotAvailable(kInsideFocalLength);
      }
    }

    // And as if it chose Object Distance for the wanted field width.
    CalcState place = state;
    place.computeMode = ComputeMode::ObjectDistance;
    place.lensInput = LensInput::FocalLength;
    place.focalLengthMm = lens.focalLengthMm;
    ComputeGeometry(place, camera.pixelPitchX, camera.pixelPitchY);
    row.distanceForField = state.fieldWidth > 0 ? Length(place.objectDistance, state.unit)
                                                : NotAvailable("Enter a field width above 0");

    // Only a lens whose field can be shown can be the one advised.
    const bool covers = row.fieldWidth.Available() && run.fieldWidth >= state.fieldWidth;
    if (covers && (!kit.marked || run.fieldWidth < markedField)) {
      kit.marked = kit.rows.size();
      markedField = run.fieldWidth;
    }
    kit.rows.push_back(std::move(row));
  }
  if (kit.marked) kit.rows[*kit.marked].marked = true;
  return kit;
}

}  // namespace korvan::planner
