#include "planner/PlanSheet.h"

#include <cmath>

#include "optics/ComputeModes.h"
#include "optics/NumberText.h"
#include "optics/Units.h"
#include "planner/JsonText.h"
#include "planner/LightSheet.h"

namespace korvan::planner {

JsonText Json(const PlanNumber& number) {
  JsonText json = JsonText::Object();
  json.Add("value", std::isnan(number.value) ? JsonText() : JsonText(number.value));
  json.Add("text", number.text);
  if (!number.reason.empty()) json.Add("reason", number.reason);
  return json;
}

namespace {

JsonText Json(const PlannerValue& value, const std::string& text) {
  JsonText json = JsonText::Object();
  json.Add("value", value.Usable() ? JsonText(value.value) : JsonText());
  json.Add("text", text);
  if (!value.Usable()) json.Add("reason", value.problem);
  return json;
}

JsonText Strings(const std::vector<std::string>& texts) {
  JsonText json = JsonText::Array();
  for (const std::string& text : texts) json.Push(text);
  return json;
}

JsonText Optional(const std::optional<std::size_t>& index) { return index ? JsonText(*index) : JsonText(); }

std::string_view LengthUnitLabel(const Plan& plan) { return LengthUnitName(plan.state.unit); }

// The planner's inputs as they were read, each with the text they show as.
std::string InputText(const PlannerValue& value, double shownScale) {
  return value.Usable() ? FormatG4(value.value * shownScale) : std::string(kNotAvailableText);
}

JsonText InputsJson(const Plan& plan) {
  const PlannerInputs& in = plan.inputs;
  JsonText json = JsonText::Object();
  json.Add("depth", Json(in.depth, InputText(in.depth, FromMetersFactor(plan.state.unit))));
  json.Add("wavelength", Json(in.wavelength, InputText(in.wavelength, 1e9)));
  json.Add("blurLimit", Json(in.blurLimit, InputText(in.blurLimit, 1)));
  json.Add("eventMs", Json(in.eventMs, InputText(in.eventMs, 1)));
  json.Add("memoryGb", Json(in.memoryGb, InputText(in.memoryGb, 1)));
  json.Add("bitDepth", Json(in.bitDepth, InputText(in.bitDepth, 1)));
  JsonText lenses = JsonText::Array();
  for (const KitLens& lens : in.kit) {
    lenses.Push(JsonText::Object().Add("text", lens.text).Add("focalLengthMm", lens.focalLengthMm));
  }
  json.Add("lenses", std::move(lenses));
  json.Add("kitNotes", Strings(in.kitNotes));
  return json;
}

JsonText ResultsJson(const Plan& plan) {
  const ResultTexts& r = plan.results;
  JsonText json = JsonText::Object();
  json.Add("focalLength", r.focalLength)
      .Add("magnification", r.magnification)
      .Add("objectDistance", r.objectDistance)
      .Add("fieldWidth", r.fieldWidth)
      .Add("objectVelocity", r.velocity)
      .Add("workingFNumber", r.workingFNumber)
      .Add("depthOfField", r.depthOfField)
      .Add("nearFocus", r.nearFocus)
      .Add("farFocus", r.farFocus)
      .Add("hyperFocus", r.hyperFocus)
      .Add("fieldAngle", r.fieldAngle)
      .Add("format", r.format)
      .Add("motionBlur", r.motionBlur)
      .Add("pixelBlur", r.pixelBlur)
      .Add("lengthUnit", std::string(LengthUnitLabel(plan)))
      .Add("speedUnit", std::string(SpeedUnitName(plan.state.unit)));
  return json;
}

JsonText AttachmentsJson(const Plan& plan) {
  const AttachmentTexts& a = plan.attachments;
  JsonText json = JsonText::Object();
  json.Add("included", plan.attachmentsIncluded)
      .Add("focalLength", a.focalLength)
      .Add("magnification", a.magnification)
      .Add("workingFNumber", a.workingFNumber)
      .Add("fieldWidth", a.fieldWidth)
      .Add("focusShift", a.focusShift)
      .Add("unit", a.unit);
  return json;
}

JsonText BudgetJson(const SharpnessBudget& b) {
  JsonText json = JsonText::Object();
  json.Add("motion", Json(b.motion))
      .Add("defocusNear", Json(b.defocusNear))
      .Add("defocusFar", Json(b.defocusFar))
      .Add("defocus", Json(b.defocus))
      .Add("diffraction", Json(b.diffraction))
      .Add("total", Json(b.total))
      .Add("linearSum", Json(b.linearSum))
      .Add("largest", b.largestText)
      .Add("sharpNear", Json(b.sharpNear))
      .Add("sharpFar", Json(b.sharpFar))
      .Add("lightStops", Json(b.lightStops));
  return json;
}

JsonText BestJson(const BestFNumber& b) {
  JsonText json = JsonText::Object();
  json.Add("optimum", Json(b.optimum))
      .Add("bestEntry", Json(b.bestEntry))
      .Add("bestEntrySum", Json(b.bestEntrySum))
      .Add("bestEntryTotal", Json(b.bestEntryTotal))
      .Add("focusDistance", Json(b.focusDistance));
  return json;
}

JsonText ApertureJson(const ApertureWindow& w) {
  JsonText json = JsonText::Object();
  json.Add("low", Json(w.low)).Add("high", Json(w.high)).Add("text", w.text);
  if (!w.reason.empty()) json.Add("reason", w.reason);
  return json;
}

JsonText ModesJson(const ModeTable& table) {
  JsonText rows = JsonText::Array();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const ModeRow row = table.Row(i);
    JsonText json = JsonText::Object();
    json.Add("mode", row.mode)
        .Add("inForce", row.inForce)
        .Add("frameRate", Json(row.frameRate))
        .Add("resolution", row.resolution)
        .Add("fieldWidth", Json(row.fieldWidth))
        .Add("fieldPerPixel", Json(row.fieldPerPixel))
        .Add("exposureUs", Json(row.exposureUs))
        .Add("pixelBlur", Json(row.pixelBlur))
        .Add("shutterLimit", Json(row.shutterLimit))
        .Add("eventFrames", Json(row.eventFrames))
        .Add("crossingFrames", Json(row.crossingFrames));
    if (table.showRecordTime) json.Add("recordTime", Json(row.recordTime));
    if (table.showLight) json.Add("lightNeeded", Json(row.lightNeeded));
    rows.Push(std::move(json));
  }
  JsonText json = JsonText::Object();
  json.Add("inForce", Optional(table.inForce)).Add("showRecordTime", table.showRecordTime)
      .Add("showLight", table.showLight);
  if (!table.reason.empty()) json.Add("reason", table.reason);
  json.Add("rows", std::move(rows));
  return json;
}

JsonText KitJson(const LensKitTable& kit) {
  JsonText rows = JsonText::Array();
  for (const KitRow& row : kit.rows) {
    JsonText json = JsonText::Object();
    json.Add("name", row.lens.name)
        .Add("text", row.lens.text)
        .Add("marked", row.marked)
        .Add("inForce", row.inForce)
        .Add("focalLength", Json(row.focalLength))
        .Add("fieldWidth", Json(row.fieldWidth))
        .Add("fieldAngle", Json(row.fieldAngle))
        .Add("depthOfField", Json(row.depthOfField))
        .Add("nearFocus", Json(row.nearFocus))
        .Add("farFocus", Json(row.farFocus))
        .Add("pixelBlur", Json(row.pixelBlur))
        .Add("distanceForField", Json(row.distanceForField));
    AddLensChecks(json, row.lens, row.checks);
    rows.Push(std::move(json));
  }
  JsonText json = JsonText::Object();
  json.Add("marked", Optional(kit.marked)).Add("inForce", Optional(kit.inForce)).Add("notes", Strings(kit.notes));
  if (!kit.reason.empty()) json.Add("reason", kit.reason);
  json.Add("rows", std::move(rows));
  return json;
}

JsonText StateJson(const Plan& plan) {
  const CalcState& s = plan.state;
  JsonText json = JsonText::Object();
  json.Add("computeMode", static_cast<int>(s.computeMode))
      .Add("direction", static_cast<int>(s.direction))
      .Add("lensInput", static_cast<int>(s.lensInput))
      .Add("unit", static_cast<int>(s.unit))
      .Add("frameRate", s.frameRate)
      .Add("shutterMultiple", s.shutterMultiple)
      .Add("focalLengthMm", s.focalLengthMm)
      .Add("fieldRatio", s.fieldRatio)
      .Add("fNumber", s.fNumber)
      .Add("objectDistance", s.objectDistance)
      .Add("fieldWidth", s.fieldWidth)
      .Add("velocity", s.velocity)
      .Add("computedValue", s.computedValue)
      .Add("workingFNumber", s.workingFNumber)
      .Add("depthOfField", s.depthOfField)
      .Add("nearFocus", s.nearFocus)
      .Add("farFocus", s.farFocus)
      .Add("fieldAngleDeg", s.fieldAngleDeg)
      .Add("hyperfocal", s.hyperfocal)
      .Add("centeredFormatLabel", s.centeredFormatLabel)
      .Add("motionBlur", s.motionBlur)
      .Add("pixelBlur", s.pixelBlur)
      .Add("resultsValid", s.resultsValid)
      .Add("sensorWidthPx", s.sensorWidthPx)
      .Add("sensorHeightPx", s.sensorHeightPx)
      .Add("pixelPitchX", plan.pixelPitchX)
      .Add("pixelPitchY", plan.pixelPitchY);
  return json;
}

JsonText PlanObject(const Plan& plan) {
  JsonText json = JsonText::Object();
  json.Add("camera", plan.cameraName)
      .Add("cameraFile", plan.cameraFile)
      .Add("frameRate", plan.frameRate)
      .Add("resolution", plan.resolution)
      .Add("shutter", plan.shutter);
  if (!plan.prerequisite.empty()) json.Add("reason", plan.prerequisite);
  json.Add("inputs", InputsJson(plan))
      .Add("budget", BudgetJson(plan.budget))
      .Add("bestFNumber", BestJson(plan.best))
      .Add("apertureWindow", ApertureJson(plan.apertureWindow))
      .Add("shutterLimit", JsonText::Object()
                               .Add("multiple", Json(plan.shutterLimit.multiple))
                               .Add("exposureUs", Json(plan.shutterLimit.exposureUs))
                               .Add("blur", Json(plan.shutterLimit.blur)))
      .Add("light", LightJson(plan))
      .Add("envelope", EnvelopeJson(plan))
      .Add("modes", ModesJson(plan.modes))
      .Add("lensKit", KitJson(plan.kit))
      .Add("results", ResultsJson(plan))
      .Add("attachments", AttachmentsJson(plan))
      .Add("state", StateJson(plan));
  return json;
}

// Rows of the sheet, added group by group.
class Rows {
 public:
  explicit Rows(std::vector<SheetRow>& rows) : rows_(rows) {}
  void Section(std::string name) { section_ = std::move(name); }

  void Text(std::string key, std::string label, std::string text, std::string unit = {}) {
    rows_.push_back({section_, std::move(key), std::move(label), text, std::move(unit), text});
  }
  void Value(std::string key, std::string label, double value, std::string text, std::string unit = {}) {
    rows_.push_back({section_, std::move(key), std::move(label), ExactDoubleText(value), std::move(unit),
                     std::move(text)});
  }
  // `toUnit` turns the number's value (SI, as in the JSON) into the row's unit, so that value and
  // text read alike.
  void Number(std::string key, std::string label, const PlanNumber& number, std::string unit = {},
              double toUnit = 1) {
    std::string text = number.reason.empty() ? number.text : number.text + " (" + number.reason + ")";
    std::string value = std::isnan(number.value) ? std::string() : ExactDoubleText(number.value * toUnit);
    rows_.push_back({section_, std::move(key), std::move(label), std::move(value), std::move(unit), std::move(text)});
  }

 private:
  std::vector<SheetRow>& rows_;
  std::string section_;
};

std::string_view Choice(bool on, int index, const auto& items) {
  if (!on || index < 0 || static_cast<std::size_t>(index) >= items.size()) return items.front();
  return items[static_cast<std::size_t>(index)];
}

std::string CsvField(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string PlanJson(const Plan& plan) { return PlanObject(plan).Dump(); }

std::string SheetJson(const Plan& plan, const SheetInfo& info) {
  JsonText json = PlanObject(plan);
  json.Add("dateTime", info.dateTime).Add("note", info.note).Add("sheetVersion", kSheetVersion);
  return json.Dump();
}

std::vector<SheetRow> MakeSheetRows(const Plan& plan, const SheetInfo& info) {
  std::vector<SheetRow> sheet;
  Rows rows(sheet);
  const CalcState& s = plan.state;
  const ResultTexts& r = plan.results;
  const std::string length(LengthUnitLabel(plan));
  const double toUnit = FromMetersFactor(s.unit);

  rows.Section("Shoot");
  rows.Text("dateTime", "Date and Time", info.dateTime);

  rows.Section("Camera");
  rows.Text("camera.name", "Camera", plan.cameraName);
  rows.Text("camera.file", "Camera File", plan.cameraFile);
  rows.Value("camera.frameRate", "Frame Rate", s.frameRate, plan.frameRate, "fps");
  rows.Text("camera.resolution", "Resolution", plan.resolution, "pixels");
  rows.Text("camera.shutter", "Shutter", plan.shutter);
  const double exposureUs = 1e6 / static_cast<double>(std::int64_t{s.frameRate} * s.shutterMultiple);
  rows.Value("camera.exposure", "Exposure", exposureUs, FormatFixed2(exposureUs), "usec");

  rows.Section("Lens");
  rows.Value("lens.focalLength", "Focal Length", s.focalLengthMm, r.focalLength, "mm");
  rows.Value("lens.fNumber", "Lens f/#", s.fNumber, FormatG4(s.fNumber));
  rows.Value("lens.workingFNumber", "Working f/#", s.workingFNumber, r.workingFNumber);

  rows.Section("Lens Attachments");
  const AttachmentChoices& c = plan.attachmentChoices;
  rows.Text("attachments.teleExtender", "Tele-extender",
            std::string(Choice(c.teleExtenderOn, c.teleExtenderIndex, kTeleExtenderItems)));
  rows.Text("attachments.closeUp", "Close-up Lens", std::string(Choice(c.closeUpOn, c.closeUpIndex, kCloseUpItems)));
  rows.Text("attachments.tubes", "Extension Tubes", std::string(Choice(c.tubesOn, c.tubesIndex, kTubeItems)));
  rows.Text("attachments.inPlan", "Planned With", plan.attachmentsIncluded.empty() ? "the bare lens" : plan.attachmentsIncluded);
  rows.Text("attachments.focalLength", "Adjusted Focal Length", plan.attachments.focalLength, "mm");
  rows.Text("attachments.magnification", "Adjusted Magnification", plan.attachments.magnification, "x");
  rows.Text("attachments.workingFNumber", "Adjusted Working f/#", plan.attachments.workingFNumber);
  rows.Text("attachments.fieldWidth", "Adjusted Field Width", plan.attachments.fieldWidth, plan.attachments.unit);
  rows.Text("attachments.focusShift", "Toward Lens", plan.attachments.focusShift, plan.attachments.unit);

  rows.Section("Scene");
  rows.Value("scene.objectDistance", "Object Distance", s.objectDistance * toUnit, r.objectDistance, length);
  rows.Value("scene.fieldWidth", "Field Width", s.fieldWidth * toUnit, r.fieldWidth, length);
  rows.Value("scene.velocity", "Object Velocity", s.velocity * toUnit, r.velocity,
             std::string(SpeedUnitName(s.unit)));
  rows.Text("scene.unit", "Units", length);
  rows.Text("scene.direction", "Direction",
            std::string(kDirectionListItems[s.direction == Direction::Horizontal ? 0 : 1]));

  rows.Section("Results");
  const bool farAtInfinity = !(s.farFocus >= 0);
  rows.Value("results.depthOfField", "Depth of Field", farAtInfinity ? INFINITY : s.depthOfField * toUnit,
             r.depthOfField, length);
  rows.Value("results.nearFocus", "Near Focus", s.nearFocus * toUnit, r.nearFocus, length);
  rows.Value("results.farFocus", "Far Focus", farAtInfinity ? INFINITY : s.farFocus * toUnit, r.farFocus, length);
  rows.Value("results.hyperFocus", "Hyper Focus", s.hyperfocal * toUnit, r.hyperFocus, length);
  rows.Value("results.fieldAngle", "Field Angle", s.fieldAngleDeg, r.fieldAngle, "deg");
  rows.Text("results.format", "Format-Centered", r.format, "mount");
  rows.Value("results.motionBlur", "Motion Blur", s.motionBlur * toUnit, r.motionBlur, length);
  rows.Value("results.pixelBlur", "Pixel Blur", s.pixelBlur, r.pixelBlur, "pixels");

  rows.Section("Planner");
  const PlannerInputs& in = plan.inputs;
  const auto input = [&](std::string key, std::string label, const PlannerValue& value, double scale,
                         std::string unit) {
    if (value.Usable()) {
      rows.Value(std::move(key), std::move(label), value.value * scale, FormatG4(value.value * scale), std::move(unit));
    } else {
      rows.Number(std::move(key), std::move(label), {NAN, std::string(kNotAvailableText), value.problem},
                  std::move(unit));
    }
  };
  input("planner.depth", "Depth", in.depth, toUnit, length);
  input("planner.wavelength", "Wavelength", in.wavelength, 1e9, "nm");
  input("planner.blurLimit", "Blur Limit", in.blurLimit, 1, "pixels");
  input("planner.eventMs", "Event", in.eventMs, 1, "ms");
  input("planner.memoryGb", "Memory", in.memoryGb, 1, "GB");
  input("planner.bitDepth", "Bit Depth", in.bitDepth, 1, "bits");
  std::string kit;
  for (const KitLens& lens : in.kit) kit += (kit.empty() ? "" : ", ") + lens.text;
  rows.Text("planner.lenses", "Lens Kit", kit, "mm");

  rows.Section("Sharpness Budget");
  const SharpnessBudget& b = plan.budget;
  rows.Number("budget.motion", "Motion", b.motion, "pixels");
  rows.Number("budget.defocusNear", "Defocus, Near Edge", b.defocusNear, "pixels");
  rows.Number("budget.defocusFar", "Defocus, Far Edge", b.defocusFar, "pixels");
  rows.Number("budget.diffraction", "Diffraction", b.diffraction, "pixels");
  rows.Number("budget.total", std::string(kTotalLabel), b.total, "pixels");
  rows.Number("budget.linearSum", std::string(kLinearSumLabel), b.linearSum, "pixels");
  rows.Text("budget.largest", "Largest Term", b.largestText);
  rows.Number("budget.sharpNear", "Pixel-Sharp Near", b.sharpNear, length, toUnit);
  rows.Number("budget.sharpFar", "Pixel-Sharp Far", b.sharpFar, length, toUnit);
  rows.Number("budget.lightStops", "Light", b.lightStops, "stops");

  rows.Section("Best f-Number");
  rows.Number("best.optimum", "Optimum f/#", plan.best.optimum);
  rows.Number("best.entry", "Best List Entry", plan.best.bestEntry);
  rows.Number("best.entrySum", "Defocus and Diffraction There", plan.best.bestEntrySum, "pixels");
  rows.Number("best.entryTotal", "Total There", plan.best.bestEntryTotal, "pixels");
  rows.Number("best.focusDistance", "Advised Focus Distance", plan.best.focusDistance, length, toUnit);
  const ApertureWindow& w = plan.apertureWindow;
  rows.Text("apertureWindow", "Apertures Within the Limit", w.reason.empty() ? w.text : w.text + " (" + w.reason + ")");

  rows.Section("Shutter Limit");
  rows.Number("shutterLimit.multiple", "Longest Exposure Within the Limit", plan.shutterLimit.multiple, "x");
  rows.Number("shutterLimit.exposure", "Exposure There", plan.shutterLimit.exposureUs, "usec");
  rows.Number("shutterLimit.blur", "Pixel Blur There", plan.shutterLimit.blur, "pixels");

  AddLightRows(plan, sheet);

  rows.Section("Note");
  rows.Text("note", "Note", info.note);
  return sheet;
}

std::string SheetCsv(const std::vector<SheetRow>& rows) {
  std::string csv = "key,value,unit,text\n";
  for (const SheetRow& row : rows) {
    csv += CsvField(row.key) + ',' + CsvField(row.value) + ',' + CsvField(row.unit) + ',' + CsvField(row.text) + '\n';
  }
  return csv;
}

std::string SheetDateTime(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char text[32];
  const std::size_t size = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, size);
}

}  // namespace korvan::planner
