#include "cli/CommandLine.h"

#include <algorithm>
#include <ctime>
#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "version/Version.h"
#include "cli/Commands.h"
#include "cli/OptionNotes.h"
#include "planner/AtomicFile.h"
#include "optics/Units.h"

namespace korvan::cli {
namespace {

constexpr auto& kComputeModeNames = planner::kComputeModeOptionNames;
constexpr auto& kLensInputNames = planner::kLensInputOptionNames;

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

  void Note(std::string_view note) const { err_ << "note: " << note << '\n'; }
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

void AddLensFileOption(CLI::App& command, std::string& lensFile) {
  command.add_option("--lens-file", lensFile, "Your lenses as a CSV file (" + std::string(planner::kLensKitHeader) + ")")
      ->type_name("KIT.csv")
      ->excludes("--lenses");
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

// The texts a command read by their leading number, as notes on standard error; with --strict the
// first of them is a usage error instead. The kit's reading is only ever a note: "12,5" is valid.
// Returns the exit status when the command must stop.
std::optional<int> NoteReadings(const Printer& printer, const CLI::App& command, const CalcOptions& calc,
                                const planner::PlannerTexts* planner, bool strict) {
  const auto given = [&command](std::string_view option) { return command.count(std::string(option)) > 0; };
  const std::vector<std::string> notes = ReadingNotes(given, calc, planner);
  if (strict && !notes.empty()) {
    return printer.Error(notes.front() + ", which --strict refuses: give a number", kExitUsage);
  }
  for (const std::string& note : notes) printer.Note(note);
  if (planner != nullptr && given("--lenses")) {
    if (const std::optional<std::string> note = KitNote(planner->lenses)) printer.Note(*note);
  }
  return std::nullopt;
}

bool AsksForJson(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    if (arg == "--json") return true;
  }
  return false;
}


// What a setup brings that options cannot carry: its own copy of a camera whose file is gone.
struct SetupContext {
  std::optional<CameraDefinition> camera;
};

// `setup save ARGS -o FILE` is `plan ARGS` whose options are kept instead of planned, so that it
// takes every option `plan` takes.
struct SaveRequest {
  std::string output;
  std::string note;
};

// How to run and print, not what was planned.
constexpr std::string_view kNotRecorded[] = {"json", "strict", "setup", "help", "output", "note", "version"};

// Every option the user gave to `command`, by its long name without dashes, value as typed.
std::vector<planner::SetupOption> GivenOptions(const CLI::App& command) {
  std::vector<planner::SetupOption> given;
  for (const CLI::Option* option : command.get_options()) {
    if (option->count() == 0 || option->get_lnames().empty()) continue;
    const std::string& name = option->get_lnames().front();
    if (std::find(std::begin(kNotRecorded), std::end(kNotRecorded), name) != std::end(kNotRecorded)) continue;
    const std::vector<std::string>& results = option->results();
    given.push_back({name, results.empty() ? std::string() : results.back()});
  }
  return given;
}

// Takes `-o FILE` and `--note TEXT` out of `setup save ...` and turns the rest into `plan ...`.
// Help stays with `setup save`, which describes this.
std::optional<SaveRequest> TakeSaveRequest(std::vector<std::string>& args, std::string& problem) {
  if (args.size() < 3 || args[1] != "setup" || args[2] != "save") return std::nullopt;
  if (std::find_if(args.begin(), args.end(), [](const std::string& a) { return a == "-h" || a == "--help"; }) !=
      args.end()) {
    return std::nullopt;
  }
  SaveRequest request;
  bool hasOutput = false;
  std::vector<std::string> rest{args[0], "plan"};
  for (std::size_t i = 3; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string* target = nullptr;
    if (a == "-o" || a == "--output" || a.rfind("-o=", 0) == 0 || a.rfind("--output=", 0) == 0) {
      target = &request.output;
      hasOutput = true;
    } else if (a == "--note" || a.rfind("--note=", 0) == 0) {
      target = &request.note;
    }
    if (target == nullptr) {
      rest.push_back(a);
      continue;
    }
    const std::size_t equals = a.find('=');
    if (equals != std::string::npos) {
      *target = a.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      *target = args[++i];
    } else {
      problem = a + " needs a value";
      return std::nullopt;
    }
  }
  if (!hasOutput || request.output.empty()) {
    problem = "setup save needs -o FILE";
    return std::nullopt;
  }
  args = std::move(rest);
  return request;
}

// The name of the file that `command`'s `--setup` named, and the arguments without it.
std::vector<std::string> WithoutSetupOption(const std::vector<std::string>& args, std::size_t from) {
  std::vector<std::string> rest;
  for (std::size_t i = from; i < args.size(); ++i) {
    if (args[i] == "--setup") {
      ++i;
      continue;
    }
    if (args[i].rfind("--setup=", 0) == 0) continue;
    rest.push_back(args[i]);
  }
  return rest;
}

// `inherited`: the `setup save` request of the command line that a setup's options were expanded from.
int RunArguments(std::vector<std::string> args, std::ostream& out, std::ostream& err, const SetupContext& context,
                 const std::function<void(const planner::Plan&)>& onPlan = {},
                 const std::optional<SaveRequest>& inherited = std::nullopt);

// Runs `command` again with the setup's options placed before the command line's own, so that what
// the command line gives wins. Options that `command` does not take are left out: calc takes none
// of the planner's, and a setup from a newer version may hold options this one lacks.
int RunWithSetup(const std::vector<std::string>& args, const CLI::App& command, const CLI::App& plan,
                 const std::string& path, const Printer& printer, std::ostream& out, std::ostream& err,
                 const std::function<void(const planner::Plan&)>& onPlan, std::optional<SaveRequest> save) {
  const planner::SetupReading reading = planner::ReadSetupFile(path);
  if (!reading.setup) return printer.Error(reading.error, kExitRefused);
  for (const std::string& note : reading.notes) err << note << '\n';
  const planner::Setup& setup = *reading.setup;

  const std::string name = command.get_name();
  std::vector<std::string> expanded{args[0], name};
  SetupContext context;
  const bool cameraGiven = command.count("--camera") > 0;
  if (setup.camera && !cameraGiven) {
    const planner::SetupCamera camera = planner::ResolveSetupCamera(setup);
    if (camera.source == planner::SetupCamera::Source::File) expanded.push_back("--camera=" + camera.path);
    if (camera.source == planner::SetupCamera::Source::Embedded) {
      context.camera = *setup.camera;
      if (!camera.notice.empty()) err << camera.notice << '\n';
    }
  }
  for (const planner::SetupOption& option : setup.options) {
    if (option.name == "camera" && setup.camera) continue;  // settled above
    const CLI::Option* known = command.get_option_no_throw("--" + option.name);
    if (known == nullptr) {
      if (plan.get_option_no_throw("--" + option.name) == nullptr) {
        err << "The setup's option " << option.name << " is not known here: left out.\n";
      }
      continue;
    }
    if (known->count() > 0) continue;
    expanded.push_back("--" + option.name + "=" + option.value);
  }
  if (name == "sheet" && command.count("--note") == 0 && !setup.note.empty()) {
    expanded.push_back("--note=" + setup.note);
  }
  if (save && save->note.empty()) save->note = setup.note;
  const auto at = std::find(args.begin() + 1, args.end(), name);
  for (std::string& arg : WithoutSetupOption(args, static_cast<std::size_t>(at - args.begin()) + 1)) {
    expanded.push_back(std::move(arg));
  }
  return RunArguments(std::move(expanded), out, err, context, onPlan, save);
}

CalcOptions WithSetupCamera(CalcOptions options, const SetupContext& context) {
  if (!options.cameraFile && context.camera) options.camera = context.camera;
  return options;
}

// Each file's plan as `plan --setup FILE --json` prints it.
int RunCompare(const std::string& program, const std::vector<std::string>& files, const Printer& printer,
               bool json, std::ostream& err) {
  std::vector<ComparedSetup> compared;
  for (const std::string& file : files) {
    std::ostringstream planOut;
    std::ostringstream planErr;
    const int status = RunArguments({program, "plan", "--setup", file, "--json"}, planOut, planErr, {});
    std::string problem = planErr.str();
    if (status != kExitOk) {
      problem = problem.substr(0, problem.find('\n'));
      return printer.Error(problem, kExitRefused);
    }
    err << problem;
    compared.push_back({file, nlohmann::json::parse(planOut.str())});
  }
  if (json) {
    printer.Json(CompareJson(compared));
  } else {
    printer.Text(CompareTable(compared));
  }
  return kExitOk;
}

// What the options of one command line are read into; every member at its default until parsed.
struct ParsedValues {
  bool json = false;
  bool strict = false;
  CalcArguments calcArguments;
  std::string cameraPath;
  NewCameraOptions newCamera;
  std::string message;
  bool models = false;
  CalcArguments planArguments;
  PlanOptions planOptions;
  CalcArguments sheetArguments;
  PlanOptions sheetOptions;
  std::string note;
  std::string output;
  std::string setupFile;
  std::string showPath;
  std::vector<std::string> compareFiles;
};

// The command's option parser. Building it costs far more than a parse (the page parses on every
// keystroke), so each nesting level of RunArguments (a setup runs its expanded command line inside
// the outer one) keeps one and parses again with its values back at their defaults.
struct Parser {
  Parser();
  Parser(const Parser&) = delete;
  Parser& operator=(const Parser&) = delete;

  CLI::App app{"Korvan Lens Calculator: lens, depth of field and motion blur for high-speed cameras.", "korvan-lens"};
  ParsedValues v;
  CLI::App* calc = nullptr;
  CLI::App* camera = nullptr;
  CLI::Option* cameraFileOption = nullptr;
  CLI::App* cameraNew = nullptr;
  CLI::App* launch = nullptr;
  CLI::Option* messageOption = nullptr;
  CLI::App* plan = nullptr;
  CLI::App* sheet = nullptr;
  CLI::App* setupShow = nullptr;
  CLI::App* compare = nullptr;
};

Parser::Parser() {
  app.require_subcommand(1);
  app.set_version_flag("--version", "korvan-lens " KORVAN_VERSION, "Print the version and exit");
  // "/abs/path.cam" is a file, not an option, on Windows too; the subcommands inherit this.
  app.allow_windows_style_options(false);
  const char* const strictHelp = "Refuse option texts that are not wholly a number instead of reading their "
                                 "leading number";

  calc = app.add_subcommand("calc", "Compute one set-up as the calculator window would");
  AddCalcOptions(*calc, v.calcArguments);
  calc->add_flag("--json", v.json, "Print JSON instead of a table");
  calc->add_flag("--strict", v.strict, strictHelp);

  camera = app.add_subcommand("camera", "Read a camera file and print its modes and lists");
  cameraFileOption = camera->add_option("FILE", v.cameraPath, "Camera file (.cam)");
  camera->add_flag("--json", v.json, "Print JSON instead of a table");
  cameraNew = camera->add_subcommand("new", "Write a camera file from a name, a pixel size and modes");
  AddCameraNewOptions(*cameraNew, v.newCamera);
  cameraNew->add_flag("--json", v.json, "Print JSON instead of a table");

  launch = app.add_subcommand("launch", "Parse a launch message of the host application");
  messageOption = launch->add_option("MESSAGE", v.message, "The launch message, as one argument");
  CLI::Option* modelsOption = launch->add_flag("--models", v.models, "Print the host camera table instead");
  messageOption->excludes(modelsOption);
  launch->add_flag("--json", v.json, "Print JSON instead of a table");

  plan = app.add_subcommand("plan", "Plan a shoot: sharpness budget, best f-number, shutter, modes, lenses");
  AddCalcOptions(*plan, v.planArguments);
  AddPlannerOptions(*plan, v.planOptions.planner);
  AddLensFileOption(*plan, v.planOptions.lensFile);
  plan->add_flag("--json", v.json, "Print JSON instead of tables");
  plan->add_flag("--strict", v.strict, strictHelp);

  sheet = app.add_subcommand("sheet", "Write the setup sheet of a plan (.csv or .json)");
  AddCalcOptions(*sheet, v.sheetArguments);
  AddPlannerOptions(*sheet, v.sheetOptions.planner);
  AddLensFileOption(*sheet, v.sheetOptions.lensFile);
  sheet->add_option("--note", v.note, "Free-text note for the sheet")->type_name("TEXT");
  sheet->add_option("-o,--output", v.output, "Sheet file; .csv or .json")->type_name("FILE")->required();
  sheet->add_flag("--json", v.json, "Print errors as JSON");
  sheet->add_flag("--strict", v.strict, strictHelp);

  for (CLI::App* command : {calc, plan, sheet}) {
    command->add_option("--setup", v.setupFile, "Setup file (.klsetup) read first; options given here override it")
        ->type_name("FILE");
  }
  CLI::App* setupCommand = app.add_subcommand("setup", "Save a plan's options as a setup, or show one");
  setupCommand->require_subcommand(1);
  CLI::App* setupSave = setupCommand->add_subcommand(
      "save", "Write a setup file from every option of plan (all of them are taken here)");
  setupSave->add_option("-o,--output", v.output, "Setup file to write (.klsetup)")->type_name("FILE")->required();
  setupSave->add_option("--note", v.note, "Free-text note kept in the setup")->type_name("TEXT");
  setupSave->allow_extras();
  setupShow = setupCommand->add_subcommand("show", "Print a setup and the plan command line it stands for");
  setupShow->add_option("FILE", v.showPath, "Setup file (.klsetup) or a setup sheet's JSON")->required();
  setupShow->add_flag("--json", v.json, "Print JSON instead of a table");
  compare = app.add_subcommand("compare", "Print set-ups side by side, one column per setup file");
  compare->add_option("FILE", v.compareFiles, "Setup files (.klsetup)")->required();
  compare->add_flag("--json", v.json, "Print JSON instead of a table");
}

// A parser borrowed from the idle ones (or built, when every one is in use: a setup runs its
// expanded command line inside the outer one), cleared of the last command line, and given back.
// The idle parsers are one process-wide pool rather than one per thread: a thread_local with a
// destructor is freed before it is destroyed on a thread's exit in mingw's runtime.
class ParserInUse {
 public:
  ParserInUse() {
    {
      const std::lock_guard<std::mutex> lock(Mutex());
      std::vector<std::unique_ptr<Parser>>& idle = Idle();
      if (!idle.empty()) {
        parser_ = std::move(idle.back());
        idle.pop_back();
      }
    }
    if (!parser_) {
      parser_ = std::make_unique<Parser>();
    } else {
      parser_->app.clear();
      parser_->v = ParsedValues{};
    }
  }
  ~ParserInUse() {
    const std::lock_guard<std::mutex> lock(Mutex());
    Idle().push_back(std::move(parser_));
  }
  ParserInUse(const ParserInUse&) = delete;
  ParserInUse& operator=(const ParserInUse&) = delete;

  Parser& operator*() const { return *parser_; }

  static void ForgetIdle() {
    const std::lock_guard<std::mutex> lock(Mutex());
    Idle().clear();
  }

 private:
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  static std::vector<std::unique_ptr<Parser>>& Idle() {
    static std::vector<std::unique_ptr<Parser>> idle;
    return idle;
  }
  std::unique_ptr<Parser> parser_;
};

int RunArguments(std::vector<std::string> args, std::ostream& out, std::ostream& err, const SetupContext& context,
                 const std::function<void(const planner::Plan&)>& onPlan, const std::optional<SaveRequest>& inherited) {
  std::string saveProblem;
  std::optional<SaveRequest> save = TakeSaveRequest(args, saveProblem);
  if (!save) save = inherited;
  std::vector<const char*> pointers;
  for (const std::string& arg : args) pointers.push_back(arg.c_str());
  const int argc = static_cast<int>(pointers.size());
  const char* const* argv = pointers.data();
  if (!saveProblem.empty()) return Printer(AsksForJson(argc, argv), out, err).Error(saveProblem, kExitUsage);

  const ParserInUse inUse;
  Parser& parser = *inUse;
  CLI::App& app = parser.app;
  ParsedValues& v = parser.v;
  const bool& json = v.json;
  const bool& strict = v.strict;
  const CalcArguments& calcArguments = v.calcArguments;
  const std::string& cameraPath = v.cameraPath;
  const NewCameraOptions& newCamera = v.newCamera;
  const std::string& message = v.message;
  const bool& models = v.models;
  const CalcArguments& planArguments = v.planArguments;
  PlanOptions& planOptions = v.planOptions;
  const CalcArguments& sheetArguments = v.sheetArguments;
  PlanOptions& sheetOptions = v.sheetOptions;
  const std::string& note = v.note;
  const std::string& output = v.output;
  const std::string& setupFile = v.setupFile;
  const std::string& showPath = v.showPath;
  const std::vector<std::string>& compareFiles = v.compareFiles;
  CLI::App* const calc = parser.calc;
  CLI::App* const camera = parser.camera;
  CLI::Option* const cameraFileOption = parser.cameraFileOption;
  CLI::App* const cameraNew = parser.cameraNew;
  CLI::App* const launch = parser.launch;
  CLI::Option* const messageOption = parser.messageOption;
  CLI::App* const plan = parser.plan;
  CLI::App* const sheet = parser.sheet;
  CLI::App* const setupShow = parser.setupShow;
  CLI::App* const compare = parser.compare;

  try {
    app.parse(argc, argv);
    if (launch->parsed() && !models && messageOption->count() == 0) {
      throw CLI::RequiredError("MESSAGE or --models");
    }
    if (camera->parsed() && !cameraNew->parsed() && cameraFileOption->count() == 0) throw CLI::RequiredError("FILE");
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(e, out, err);
    const int status = Printer(AsksForJson(argc, argv), out, err).Error(e.what(), kExitUsage);
    // Without a subcommand the user needs to know which there are, not only that one is missing.
    if (app.get_subcommands().empty()) err << '\n' << app.help();
    return status;
  }

  const Printer printer(json, out, err);
  for (const CLI::App* command : {calc, plan, sheet}) {
    if (command->parsed() && command->count("--setup") > 0) {
      return RunWithSetup(args, *command, *plan, setupFile, printer, out, err, onPlan, save);
    }
  }
  if (calc->parsed()) {
    if (const auto stop = NoteReadings(printer, *calc, calcArguments.options, nullptr, strict)) return *stop;
    return printer.Print(RunCalc(WithSetupCamera(Resolve(*calc, calcArguments), context)), CalcJson, CalcTable);
  }
  if (calc->parsed()) {
    return printer.Print(RunCalc(WithSetupCamera(Resolve(*calc, calcArguments), context)), CalcJson, CalcTable);
  }
  if (setupShow->parsed()) {
    const planner::SetupReading reading = planner::ReadSetupFile(showPath);
    if (!reading.setup) return printer.Error(reading.error, kExitRefused);
    for (const std::string& line : reading.notes) err << line << '\n';
    if (json) {
      printer.Json(SetupJson(*reading.setup));
    } else {
      printer.Text(SetupTable(*reading.setup));
    }
    return kExitOk;
  }
  if (compare->parsed()) return RunCompare(args[0], compareFiles, printer, json, err);
  if (cameraNew->parsed()) {
    return printer.Print(WriteNewCamera(newCamera), CameraJson, CameraTable);
  }
  if (plan->parsed()) {
    planOptions.calc = WithSetupCamera(Resolve(*plan, planArguments), context);
    if (const auto stop = NoteReadings(printer, *plan, planOptions.calc, &planOptions.planner, strict)) return *stop;
    const Outcome<planner::Plan> planned = RunPlan(planOptions);
    if (!planned.value) return printer.Error(planned.refusal, kExitRefused);
    if (save) {
      const Outcome<CalcReport> report = RunCalc(planOptions.calc);
      const planner::Setup setup = SetupOfPlan(GivenOptions(*plan), *report.value, *planned.value, save->note);
      const std::string failure = planner::WriteSetupFile(save->output, setup);
      return failure.empty() ? kExitOk : printer.Error(failure, kExitRefused);
    }
    if (onPlan) onPlan(*planned.value);
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
    sheetOptions.calc = WithSetupCamera(Resolve(*sheet, sheetArguments), context);
    if (const auto stop = NoteReadings(printer, *sheet, sheetOptions.calc, &sheetOptions.planner, strict)) {
      return *stop;
    }
    const Outcome<planner::Plan> planned = RunPlan(sheetOptions);
    if (!planned.value) return printer.Error(planned.refusal, kExitRefused);
    const planner::SheetInfo info{planner::SheetDateTime(std::time(nullptr)), note};
    std::string text = SheetText(*planned.value, info, format);
    if (format == SheetFormat::Json) {
      // The sheet carries its setup, so that it opens as one.
      const Outcome<CalcReport> report = RunCalc(sheetOptions.calc);
      const planner::Setup setup = SetupOfPlan(GivenOptions(*sheet), *report.value, *planned.value, note);
      const std::size_t end = text.rfind("\n}");
      if (end != std::string::npos) text = text.substr(0, end) + ",\n" + planner::SetupMembersText(setup) + "\n}\n";
    }
    const std::string failure = planner::WriteFileAtomically(output, text);
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

}  // namespace

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
        const std::function<void(const planner::Plan&)>& onPlan) {
  return RunArguments(std::vector<std::string>(argv, argv + argc), out, err, {}, onPlan);
}

void ForgetIdleParsers() { ParserInUse::ForgetIdle(); }

}  // namespace korvan::cli
