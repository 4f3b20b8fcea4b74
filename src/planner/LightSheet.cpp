#include "planner/LightSheet.h"

#include <cmath>
#include <string>

#include "optics/NumberText.h"
#include "optics/Units.h"

namespace korvan::planner {
namespace {

JsonText Json(const PlannerValue& value, double shownScale) {
  JsonText json = JsonText::Object();
  json.Add("value", value.Usable() ? JsonText(value.value) : JsonText());
  json.Add("text", value.Usable() ? FormatG4(value.value * shownScale) : std::string(kNotAvailableText));
  if (!value.Usable()) json.Add("reason", value.problem);
  return json;
}

JsonText Setting(const Envelope& envelope, const std::optional<EnvelopeSetting>& setting) {
  if (!setting) return {};
  const EnvelopeCell& cell = envelope.cells[setting->cell];
  JsonText json = JsonText::Object();
  json.Add("text", setting->text)
      .Add("shutterMultiple", cell.shutter)
      .Add("fNumber", cell.fNumber)
      .Add("verdict", setting->verdict)
      .Add("total", cell.total)
      .Add("headroom", std::isnan(cell.headroom) ? JsonText() : JsonText(cell.headroom))
      .Add("lightNeeded", std::isnan(cell.lightNeeded) ? JsonText() : JsonText(cell.lightNeeded));
  return json;
}

// One array per shutter multiple, one element per f-number.
template <typename Of>
JsonText Grid(const Envelope& envelope, Of of) {
  JsonText grid = JsonText::Array();
  for (std::size_t n = 0; n < static_cast<std::size_t>(envelope.shutters); ++n) {
    JsonText row = JsonText::Array();
    for (std::size_t i = 0; i < envelope.fNumbers.size(); ++i) row.Push(of(envelope.At(n, i)));
    grid.Push(std::move(row));
  }
  return grid;
}

// Sheet rows: the value in the row's unit, so that value and text read alike.
class LightRows {
 public:
  LightRows(std::vector<SheetRow>& rows, std::string section) : rows_(rows), section_(std::move(section)) {}
  void Number(std::string key, std::string label, const PlanNumber& number, std::string unit = {},
              double scale = 1) {
    std::string text = number.reason.empty() ? number.text : number.text + " (" + number.reason + ")";
    std::string value = std::isnan(number.value) ? std::string() : ExactDoubleText(number.value * scale);
    rows_.push_back({section_, std::move(key), std::move(label), std::move(value), std::move(unit), std::move(text)});
  }
  void Input(std::string key, std::string label, const PlannerValue& input, std::string unit = {}, double scale = 1) {
    Number(std::move(key), std::move(label),
           input.Usable() ? PlanNumber{input.value, FormatG4(input.value * scale), {}}
                          : PlanNumber{NAN, std::string(kNotAvailableText), input.problem},
           std::move(unit), scale);
  }
  void Text(std::string key, std::string label, std::string text) {
    rows_.push_back({section_, std::move(key), std::move(label), text, {}, text});
  }

 private:
  std::vector<SheetRow>& rows_;
  std::string section_;
};

}  // namespace

JsonText LightJson(const Plan& plan) {
  const LightInputs& in = plan.inputs.light;
  const LightValues& l = plan.light;
  JsonText inputs = JsonText::Object();
  inputs.Add("iso", Json(in.iso, 1))
      .Add("meterConstant", Json(in.meterConstant, 1))
      .Add("transmission", Json(in.transmission, 1))
      .Add("lux", Json(in.lux, 1))
      .Add("lampLux", Json(in.lampLux, 1))
      .Add("lampDistance", Json(in.lampDistance, FromMetersFactor(plan.state.unit)))
      .Add("lamps", Json(in.lamps, 1))
      .Add("mains", Json(in.mains, 1));
  JsonText json = JsonText::Object();
  json.Add("inputs", std::move(inputs))
      .Add("exposureSeconds", Json(l.exposure))
      .Add("needed", Json(l.needed))
      .Add("available", Json(l.available))
      .Add("headroom", Json(l.headroom))
      .Add("lampsNeeded", Json(l.lampsNeeded))
      .Add("farthestLampDistance", Json(l.farthestLamp))
      .Add("framesPerLightCycle", Json(l.framesPerCycle))
      .Add("flicker", l.flicker)
      .Add("flickerWarning", l.flickerWarning);
  return json;
}

JsonText EnvelopeJson(const Plan& plan) {
  const Envelope& e = plan.envelope;
  JsonText json = JsonText::Object();
  json.Add("text", e.text);
  if (!e.reason.empty()) json.Add("reason", e.reason);
  json.Add("withLight", e.withLight);
  if (!e.lightReason.empty()) json.Add("lightReason", e.lightReason);
  json.Add("workable", e.workable)
      .Add("recommended", Setting(e, e.recommended))
      .Add("total", Json(e.total))
      .Add("headroom", Json(e.headroom))
      .Add("lightNeeded", Json(e.lightNeeded))
      .Add("nearestSharp", Setting(e, e.nearestSharp))
      .Add("nearestBright", Setting(e, e.nearestBright));
  JsonText shutters = JsonText::Array();
  for (std::int32_t n = 1; n <= e.shutters && !e.cells.empty(); ++n) shutters.Push(n);
  JsonText fNumbers = JsonText::Array();
  for (const double N : e.fNumbers) fNumbers.Push(N);
  const auto finite = [](double x) { return std::isfinite(x) ? JsonText(x) : JsonText(); };
  JsonText grid = JsonText::Object();
  grid.Add("shutterMultiples", std::move(shutters))
      .Add("fNumbers", std::move(fNumbers))
      .Add("sharp", Grid(e, [](const EnvelopeCell& c) { return JsonText(c.sharp); }))
      .Add("bright", Grid(e, [](const EnvelopeCell& c) { return JsonText(c.bright); }))
      .Add("total", Grid(e, [&](const EnvelopeCell& c) { return finite(c.total); }))
      .Add("headroom", Grid(e, [&](const EnvelopeCell& c) { return finite(c.headroom); }));
  json.Add("grid", std::move(grid));
  return json;
}

void AddLightRows(const Plan& plan, std::vector<SheetRow>& sheet) {
  const LightInputs& in = plan.inputs.light;
  const LightValues& l = plan.light;
  const std::string length(LengthUnitName(plan.state.unit));
  const double toUnit = FromMetersFactor(plan.state.unit);

  LightRows light(sheet, "Light");
  light.Input("light.iso", "ISO", in.iso);
  light.Input("light.meterConstant", "Meter Constant", in.meterConstant, "lux s");
  light.Input("light.transmission", "Transmission", in.transmission, "%");
  light.Input("light.lux", "Light at the Subject", in.lux, "lux");
  light.Input("light.lampLux", "Lamp at 1 m", in.lampLux, "lux");
  light.Input("light.lampDistance", "Lamp Distance", in.lampDistance, length, toUnit);
  light.Input("light.lamps", "Lamps", in.lamps);
  light.Input("light.mains", "Mains", in.mains, "Hz");
  light.Number("light.exposure", "Exposure", l.exposure, "usec", 1e6);
  light.Number("light.needed", "Light Needed", l.needed, "lux");
  light.Number("light.available", "Light Available", l.available, "lux");
  light.Number("light.headroom", "Headroom", l.headroom, "stops");
  light.Number("light.lampsNeeded", "Lamps Needed", l.lampsNeeded);
  light.Number("light.farthestLamp", "Farthest Lamp Distance", l.farthestLamp, length, toUnit);
  light.Number("light.framesPerCycle", "Frames per Light Cycle", l.framesPerCycle);
  light.Text("light.flicker", "Flicker", l.flicker ? l.flickerWarning : "none");

  const Envelope& e = plan.envelope;
  LightRows envelope(sheet, "Shooting Envelope");
  envelope.Text("envelope.recommended", "Recommended Setting", e.reason.empty() ? e.text : e.text + " (" + e.reason + ")");
  envelope.Number("envelope.total", "Total There", e.total, "pixels");
  envelope.Number("envelope.headroom", "Headroom There", e.headroom, "stops");
  envelope.Number("envelope.lightNeeded", "Light Needed There", e.lightNeeded, "lux");
  envelope.Text("envelope.workable", "Settings That Work", FormatInt(static_cast<std::int64_t>(e.workable)));
  if (e.nearestSharp) {
    envelope.Text("envelope.nearestSharp", "Nearest Sharp", e.nearestSharp->text + ": " + e.nearestSharp->verdict);
  }
  if (e.nearestBright) {
    envelope.Text("envelope.nearestBright", "Nearest Bright", e.nearestBright->text + ": " + e.nearestBright->verdict);
  }
}

}  // namespace korvan::planner
