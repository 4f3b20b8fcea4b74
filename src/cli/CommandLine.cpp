#include "cli/CommandLine.h"

#include <algorithm>
#include <ctime>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "version/Version.h"
#include "cli/Commands.h"
#include "planner/AtomicFile.h"
#include "optics/Units.h"

namespace korvan::cli {
namespace {

constexpr std::array<std::string_view, 4> kComputeModeNames = {"focal-length", "magnification", "object-distance",
                                                               "field-width"};
constexpr std::array<std::string_view, 2> kLensInputNames = {"focal-length", "magnification"};

template <typename Items>
std::vector<std::string> Names(const Items& items) {
  return std::vector<std::string>(std::begin(items), std::end(items));
}

// The position of `name` among `items`; the validators have made sure it is there.
template <typename Items>
int IndexOf(const Items& items, std::string_view name) {
  const auto found = std::find(std::begin(items), std::end(items), name);
  return found == std::end(items) ? 0 : static_cast<int>(found - std::begin(items));
}

// The tube lengths are given in millimetres, the list entries ("5 mm") without their unit; position
// 0 is "none".
std::string_view TubeName(std::string_view item) { return item.substr(0, item.find(' ')); }

std::vector<std::string> TubeNames() {
  std::vector<std::string> names;
  names.reserve(kTubeItems.size());
  for (std::string_view item : kTubeItems) names.emplace_back(TubeName(item));
  return names;
}

int TubeIndex(std::string_view name) {
  for (std::size_t i = 0; i < kTubeItems.size(); ++i) {
    if (TubeName(kTubeItems[i]) == name) return static_cast<int>(i);
  }
  return 0;
}

class Printer {
 public:
  Printer(bool json, std::ostream& out, std::ostream& err) : json_(json), out_(out), err_(err) {}

  int Error(std::string_view message, int status) const {
    std::string line(message.empty() ? std::string_view("The input was refused.") : message);
    std::replace(line.begin(), line.end(), '\n', ' ');
    err_ << line << '\n';
    if (json_) {
      nlohmann::ordered_json error;
      error["error"] = std::string(message);
      out_ << DumpJson(error) << '\n';
    }
    return status;
  }

  template <typename T, typename ToJson, typename ToTable>
  int Print(const Outcome<T>& outcome, ToJson toJson, ToTable toTable) const {
    if (!outcome.value) return Error(outcome.refusal, kExitRefused);
    if (json_) {
      out_ << DumpJson(toJson(*outcome.value)) << '\n';
    } else {
      out_ << toTable(*outcome.value);
    }
    return kExitOk;
  }

  void Json(const nlohmann::ordered_json& json) const { out_ << DumpJson(json) << '\n'; }
  void Text(const std::string& text) const { out_ << text; }

 private:
  bool json_;
  std::ostream& out_;
  std::ostream& err_;
};

struct CalcArguments {
  CalcOptions options;
  std::string camera;
  std::string frameRate;
  std::string resolution;
  std::string computeMode = "focal-length";
  std::string lensInput = "focal-length";
  std::string unit = "meters";
  std::string direction = "horizontal";
  std::string teleExtender = "none";
  std::string closeUp = "none";
  std::string tubes = "none";
};

void AddCalcOptions(CLI::App& calc, CalcArguments& a) {
  CalcOptions& o = a.options;
  calc.add_option("--camera", a.camera, "Camera file (.cam); default: the built-in generic camera")
      ->type_name("FILE");
  calc.add_option("--frame-rate", a.frameRate, "A frame rate the camera offers; default: the first one")
      ->type_name("N");
  calc.add_option("--resolution", a.resolution,
                  "An image size offered at that rate, 640x512 or \"640 x 512\"; default: the first one")
      ->type_name("WxH");
  calc.add_option("--shutter", o.shutterMultiple, "Shutter multiple")
      ->type_name("N")
      ->check(CLI::Range(1, 20))
      ->capture_default_str();
  calc.add_option("--compute", a.computeMode, "Quantity to compute")
      ->type_name("MODE")
      ->check(CLI::IsMember(Names(kComputeModeNames)))
      ->capture_default_str();
  calc.add_option("--lens-input", a.lensInput, "Which lens quantity is given (object-distance forces focal-length)")
      ->type_name("WHICH")
      ->check(CLI::IsMember(Names(kLensInputNames)))
      ->capture_default_str();
  calc.add_option("--focal-length", o.focalLength, "Text typed into the Focal Length box (mm)")->type_name("TEXT");
  calc.add_option("--magnification", o.magnification, "Text typed into the Magnification box")->type_name("TEXT");
  calc.add_option("--f-number", o.fNumber, "Lens f-number")->type_name("TEXT")->capture_default_str();
  calc.add_option("--distance", o.objectDistance, "Text typed into the Object Distance box, in --unit")
      ->type_name("TEXT");
  calc.add_option("--field-width", o.fieldWidth, "Text typed into the Field Width box, in --unit")
      ->type_name("TEXT");
  calc.add_option("--velocity", o.velocity, "Text typed into the Object Velocity box, in --unit per second")
      ->type_name("TEXT");
  calc.add_option("--unit", a.unit, "Unit of length")
      ->type_name("UNIT")
      ->check(CLI::IsMember(Names(kUnitListItems)))
      ->capture_default_str();
  calc.add_option("--direction", a.direction, "Direction the field width is measured in")
      ->type_name("DIR")
      ->check(CLI::IsMember(Names(kDirectionListItems)))
      ->capture_default_str();
  calc.add_option("--tele-extender", a.teleExtender, "Tele-extender attachment")
      ->type_name("X")
      ->check(CLI::IsMember(Names(kTeleExtenderItems)))
      ->capture_default_str();
  calc.add_option("--close-up", a.closeUp, "Close-up lens attachment, +1D ... +5D")
      ->type_name("D")
      ->check(CLI::IsMember(Names(kCloseUpItems)))
      ->capture_default_str();
  calc.add_option("--tubes", a.tubes, "Extension tubes, 1 ... 10 (millimetres)")
      ->type_name("MM")
      ->check(CLI::IsMember(TubeNames()))
      ->capture_default_str();
}

void AddPlannerOptions(CLI::App& command, planner::PlannerTexts& t) {
  command.add_option("--depth", t.depth, "Depth of the subject along the axis, in --unit, centred on the distance")
      ->type_name("X")
      ->capture_default_str();
  command.add_option("--wavelength", t.wavelength, "Wavelength for the diffraction estimate (nm)")
      ->type_name("NM")
      ->capture_default_str();
  command.add_option("--blur-limit", t.blurLimit, "Blur you accept (pixels)")->type_name("K")->capture_default_str();
  command.add_option("--event-ms", t.eventMs, "Duration of the event (ms)")->type_name("T")->capture_default_str();
  command.add_option("--memory-gb", t.memoryGb, "Camera memory (GB); 0: no record time")
      ->type_name("G")
      ->capture_default_str();
  command.add_option("--bit-depth", t.bitDepth, "Stored bits per pixel")->type_name("B")->capture_default_str();
  command.add_option("--lenses", t.lenses, "Focal lengths of your lenses (mm), comma-separated: \"8,12.5,16\"")
      ->type_name("LIST");
  planner::LightTexts& light = t.light;
  command.add_option("--iso", light.iso, "The camera's ISO rating; 0: no light figures")
      ->type_name("S")
      ->capture_default_str();
  command.add_option("--meter-constant", light.meterConstant, "Incident-light meter constant (lux s)")
      ->type_name("C")
      ->capture_default_str();
  command.add_option("--transmission", light.transmission, "Light the lens passes (%)")
      ->type_name("PCT")
      ->capture_default_str();
  command.add_option("--lux", light.lux, "Measured light at the subject (lux); 0: from the lamps")
      ->type_name("L")
      ->capture_default_str();
  command.add_option("--lamp-lux", light.lampLux, "One lamp's light on its axis at 1 m (lux)")
      ->type_name("E")
      ->capture_default_str();
  command.add_option("--lamp-distance", light.lampDistance, "Lamp to subject, in --unit")
      ->type_name("D")
      ->capture_default_str();
  command.add_option("--lamps", light.lamps, "Lamps of that kind aimed at the subject")
      ->type_name("K")
      ->capture_default_str();
  command.add_option("--mains", light.mains, "Mains frequency of the lamps (Hz): 0 (DC), 50 or 60")
      ->type_name("HZ")
      ->capture_default_str();
}

// The option texts into the selections the window's lists and check boxes would hold.
CalcOptions Resolve(const CLI::App& calc, const CalcArguments& a) {
  CalcOptions o = a.options;
  if (calc.count("--camera") > 0) o.cameraFile = a.camera;
  if (calc.count("--frame-rate") > 0) o.frameRate = a.frameRate;
  if (calc.count("--resolution") > 0) o.resolution = a.resolution;
  o.computeMode = static_cast<ComputeMode>(IndexOf(kComputeModeNames, a.computeMode));
  o.lensInput = static_cast<LensInput>(IndexOf(kLensInputNames, a.lensInput));
  o.unit = LengthUnitFromIndex(IndexOf(kUnitListItems, a.unit));
  o.direction = static_cast<Direction>(IndexOf(kDirectionListItems, a.direction));
  AttachmentChoices& c = o.attachments;
  c.teleExtenderIndex = IndexOf(kTeleExtenderItems, a.teleExtender);
  c.teleExtenderOn = c.teleExtenderIndex != 0;
  c.closeUpIndex = IndexOf(kCloseUpItems, a.closeUp);
  c.closeUpOn = c.closeUpIndex != 0;
  c.tubesIndex = TubeIndex(a.tubes);
  c.tubesOn = c.tubesIndex != 0;
  return o;
}

void AddCameraNewOptions(CLI::App& cameraNew, NewCameraOptions& o) {
  cameraNew.add_option("--name", o.name, "Camera name, as the camera list shows it")->type_name("TEXT")->required();
  cameraNew.add_option("--pixel", o.pixel, "Pixel width and height in micrometres")->type_name("W,H")->required();
  cameraNew.add_option("--mode", o.modes, "A mode: frame rate, image width and height in pixels; repeat for more")
      ->type_name("R,W,H")
      ->required()
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  cameraNew.add_option("-o", o.output, "Camera file to write (replaced if it exists)")->type_name("FILE")->required();
}

bool AsksForJson(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg == "--json") return true;
  }
  return false;
}

}  // namespace

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  CLI::App app{"Korvan Lens Calculator: lens, depth of field and motion blur for high-speed cameras.",
               "korvan-lens"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "korvan-lens " KORVAN_VERSION, "Print the version and exit");
  // "/abs/path.cam" is a file, not an option, on Windows too; the subcommands inherit this.
  app.allow_windows_style_options(false);
  bool json = false;

  CLI::App* calc = app.add_subcommand("calc", "Compute one set-up as the calculator window would");
  CalcArguments calcArguments;
  AddCalcOptions(*calc, calcArguments);
  calc->add_flag("--json", json, "Print JSON instead of a table");

  CLI::App* camera = app.add_subcommand("camera", "Read a camera file and print its modes and lists");
  std::string cameraPath;
  CLI::Option* cameraFileOption = camera->add_option("FILE", cameraPath, "Camera file (.cam)");
  camera->add_flag("--json", json, "Print JSON instead of a table");
  CLI::App* cameraNew = camera->add_subcommand("new", "Write a camera file from a name, a pixel size and modes");
  NewCameraOptions newCamera;
  AddCameraNewOptions(*cameraNew, newCamera);
  cameraNew->add_flag("--json", json, "Print JSON instead of a table");

  CLI::App* launch = app.add_subcommand("launch", "Parse a launch message of the host application");
  std::string message;
  bool models = false;
  CLI::Option* messageOption = launch->add_option("MESSAGE", message, "The launch message, as one argument");
  CLI::Option* modelsOption = launch->add_flag("--models", models, "Print the host camera table instead");
  messageOption->excludes(modelsOption);
  launch->add_flag("--json", json, "Print JSON instead of a table");

  CLI::App* plan = app.add_subcommand("plan", "Plan a shoot: sharpness budget, best f-number, shutter, modes, lenses");
  CalcArguments planArguments;
  PlanOptions planOptions;
  AddCalcOptions(*plan, planArguments);
  AddPlannerOptions(*plan, planOptions.planner);
  plan->add_flag("--json", json, "Print JSON instead of tables");

  CLI::App* sheet = app.add_subcommand("sheet", "Write the setup sheet of a plan (.csv or .json)");
  CalcArguments sheetArguments;
  PlanOptions sheetOptions;
  std::string note;
  std::string output;
  AddCalcOptions(*sheet, sheetArguments);
  AddPlannerOptions(*sheet, sheetOptions.planner);
  sheet->add_option("--note", note, "Free-text note for the sheet")->type_name("TEXT");
  sheet->add_option("-o,--output", output, "Sheet file; .csv or .json")->type_name("FILE")->required();
  sheet->add_flag("--json", json, "Print errors as JSON");

  try {
    app.parse(argc, argv);
    if (launch->parsed() && !models && messageOption->count() == 0) {
      throw CLI::RequiredError("MESSAGE or --models");
    }
    if (camera->parsed() && !cameraNew->parsed() && cameraFileOption->count() == 0) throw CLI::RequiredError("FILE");
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e, out, err);
    return Printer(AsksForJson(argc, argv), out, err).Error(e.what(), kExitUsage);
  }

  const Printer printer(json, out, err);
  if (calc->parsed()) {
    return printer.Print(RunCalc(Resolve(*calc, calcArguments)), CalcJson, CalcTable);
  }
  if (cameraNew->parsed()) {
    return printer.Print(WriteNewCamera(newCamera), CameraJson, CameraTable);
  }
  if (plan->parsed()) {
    planOptions.calc = Resolve(*plan, planArguments);
    const Outcome<planner::Plan> planned = RunPlan(planOptions);
    if (!planned.value) return printer.Error(planned.refusal, kExitRefused);
    printer.Text(json ? planner::PlanJson(*planned.value) + '\n' : PlanTable(*planned.value));
    return kExitOk;
  }
  if (sheet->parsed()) {
    const SheetFormat format = SheetFormatOf(output);
    if (format == SheetFormat::Pdf) {
      return printer.Error("korvan-lens writes no PDF (it has no graphics system); the planner window does. "
                           "Use .csv or .json: " + output, kExitUsage);
    }
    if (format == SheetFormat::Unknown) {
      return printer.Error("The sheet file must end in .csv or .json: " + output, kExitUsage);
    }
    sheetOptions.calc = Resolve(*sheet, sheetArguments);
    const Outcome<planner::Plan> planned = RunPlan(sheetOptions);
    if (!planned.value) return printer.Error(planned.refusal, kExitRefused);
    const planner::SheetInfo info{planner::SheetDateTime(std::time(nullptr)), note};
    const std::string failure = planner::WriteFileAtomically(output, SheetText(*planned.value, info, format));
    if (!failure.empty()) return printer.Error(failure, kExitRefused);
    return kExitOk;
  }
  if (camera->parsed()) {
    return printer.Print(ReadCamera(cameraPath), CameraJson, CameraTable);
  }
  if (models) {
    if (json) {
      printer.Json(HostModelsJson());
    } else {
      printer.Text(HostModelsTable());
    }
    return kExitOk;
  }
  return printer.Print(ParseLaunch(message), LaunchJson, LaunchTable);
}

}  // namespace korvan::cli
