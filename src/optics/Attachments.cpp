#include "optics/Attachments.h"

#include <cmath>

#include "optics/Engine.h"
#include "optics/NumberText.h"
#include "optics/Units.h"

namespace korvan {
namespace {

// A ticked box only applies with a real entry selected; "none" and a missing selection change nothing.
bool Applies(bool on, int index, std::size_t itemCount) {
  return on && index >= 1 && static_cast<std::size_t>(index) < itemCount;
}

}  // namespace

AdjustedOptics ApplyTeleExtender(const AdjustedOptics& in, const AttachmentChoices& choices) {
  if (!Applies(choices.teleExtenderOn, choices.teleExtenderIndex, kTeleExtenderItems.size())) return in;
  const double x = choices.teleExtenderIndex + 1;
  return {x * in.focalLengthMm, in.objectDistance, in.fieldWidth / x, in.fieldRatio / x, x * in.workingFNumber};
}

AdjustedOptics ApplyCloseUpLens(const AdjustedOptics& in, const AttachmentChoices& choices, double s) {
  if (!Applies(choices.closeUpOn, choices.closeUpIndex, kCloseUpItems.size())) return in;
  const double diopters = choices.closeUpIndex;
  AdjustedOptics out;
  out.focalLengthMm = 1000 / (1000 / in.focalLengthMm + diopters);
  out.objectDistance = in.objectDistance / (1 + in.objectDistance * diopters);
  out.fieldWidth = s * out.objectDistance / (0.001 * out.focalLengthMm) - s;
  out.fieldRatio = out.fieldWidth / s;
  out.workingFNumber = in.workingFNumber;
  return out;
}

AdjustedOptics ApplyExtensionTubes(const AdjustedOptics& in, const AttachmentChoices& choices, double s,
                                   double lensFNumber) {
  if (!Applies(choices.tubesOn, choices.tubesIndex, kTubeItems.size())) return in;
  const double tube = 0.001 * choices.tubesIndex;
  const double f = 0.001 * in.focalLengthMm;
  const double imageDistance = f + f * f / (in.objectDistance - f);
  AdjustedOptics out;
  out.focalLengthMm = in.focalLengthMm;
  out.objectDistance = f + f * f / (imageDistance + tube - f);
  out.fieldWidth = s * out.objectDistance / f - s;
  out.fieldRatio = out.fieldWidth / s;
  // From the lens's own f-number: a tele-extender's change of the working f-number does not carry over.
  out.workingFNumber = lensFNumber * (1 / out.fieldRatio + 1);
  return out;
}

double RoundTo4Significant(double value) {
  if (!std::isfinite(value)) return value;
  return ParseDouble(PrintfG4(value));
}

AttachmentResult ComputeAttachments(const CalcState& st, double pixelPitchX, double pixelPitchY,
                                    const AttachmentChoices& choices) {
  AttachmentResult r;
  r.unitLabel = LengthUnitName(st.unit);
  const double k = FromMetersFactor(st.unit);
  r.base = {st.focalLengthMm, st.objectDistance, st.fieldWidth, st.fieldRatio, st.workingFNumber};
  if (!st.resultsValid) return r;

  const double s = SensorDimension(st, pixelPitchX, pixelPitchY);
  r.afterTeleExtender = ApplyTeleExtender(r.base, choices);
  r.afterCloseUp = ApplyCloseUpLens(r.afterTeleExtender, choices, s);
  r.adjusted = ApplyExtensionTubes(r.afterCloseUp, choices, s, st.fNumber);

  const AdjustedOptics& a = r.adjusted;
  r.shownFocalLengthMm = RoundTo4Significant(a.focalLengthMm);
  r.shownMagnification = a.fieldRatio == 0 ? 0 : RoundTo4Significant(1 / a.fieldRatio);
  r.shownWorkingFNumber = RoundTo4Significant(a.workingFNumber);
  r.shownFieldWidth = RoundTo4Significant(k * a.fieldWidth);
  r.shownFocusShift = -RoundTo4Significant(k * (a.objectDistance - r.base.objectDistance));
  return r;
}

AttachmentTexts MakeAttachmentTexts(const AttachmentResult& r) {
  return {FormatG15(r.shownFocalLengthMm), FormatG15(r.shownMagnification), FormatG15(r.shownWorkingFNumber),
          FormatG15(r.shownFieldWidth),   FormatG15(r.shownFocusShift),    std::string(r.unitLabel)};
}

}  // namespace korvan
