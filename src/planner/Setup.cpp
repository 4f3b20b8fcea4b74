// The reader uses the command's header-only JSON library inside this file only: a strict,
// well-tested parser is what untrusted files need, and the core's interface stays free of it.
#include "planner/Setup.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>

#include <nlohmann/json.hpp>

#include "camera/CameraFile.h"
#include "camera/CameraWriter.h"
#include "camera/Utf8Path.h"
#include "planner/AtomicFile.h"
#include "planner/JsonText.h"

namespace korvan::planner {
namespace {

using Json = nlohmann::json;

constexpr int kMaxDepth = 16;  // a setup nests four deep; deeper input is refused while parsing

// Why a setup is refused; thrown only inside this file and turned into SetupReading::error.
struct Refusal {
  std::string message;
};

[[noreturn]] void Refuse(std::string message) { throw Refusal{std::move(message)}; }

// Tabs and line breaks belong in a note; no other control character belongs in any text.
bool HasControlCharacter(std::string_view text, bool multiline) {
  return std::any_of(text.begin(), text.end(), [multiline](char c) {
    const auto u = static_cast<unsigned char>(c);
    if (multiline && (c == '\n' || c == '\t' || c == '\r')) return false;
    return u < 0x20 || u == 0x7F;
  });
}

std::string Text(const Json& value, const std::string& where, bool multiline = false) {
  if (!value.is_string()) Refuse("In the setup, " + where + " must be a text.");
  std::string text = value.get<std::string>();
  if (HasControlCharacter(text, multiline)) Refuse("In the setup, " + where + " holds a control character.");
  return text;
}

double Number(const Json& value, const std::string& where) {
  if (!value.is_number()) Refuse("In the setup, " + where + " must be a number.");
  const double number = value.get<double>();
  if (!std::isfinite(number)) Refuse("In the setup, " + where + " must be a finite number.");
  return number;
}

// A camera's mode rows as the reader packs them: rate, width, height.
using ModeRow = std::array<std::uint32_t, 3>;
constexpr std::uint8_t kModesRead = 0;     // binary subtype: the rows, packed
constexpr std::uint8_t kModesRefused = 1;  // binary subtype: the refusal of the first bad row

// Builds the document as the library's own DOM parser would (duplicate keys: the last wins), with
// two differences: nesting is bounded as it is read, and the camera's mode rows are checked and
// packed as they stream past instead of becoming four JSON values each, which is what made a
// 100,000-mode camera slow to open. The packed rows go into the tree as a binary value, which no
// JSON text can produce.
class SetupSax {
 public:
  Json document;

  bool null() { return Scalar(nullptr); }
  bool boolean(bool value) { return Scalar(value); }
  bool number_integer(Json::number_integer_t value) { return Scalar(value); }
  bool number_unsigned(Json::number_unsigned_t value) {
    if (!packing_) return Scalar(value);
    Bound(open_);
    const bool fits = value <= std::numeric_limits<std::uint32_t>::max();
    Element(open_, fits ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(value)) : std::nullopt);
    return true;
  }
  bool number_float(Json::number_float_t value, const Json::string_t&) { return Scalar(value); }
  bool string(Json::string_t& value) { return Scalar(std::move(value)); }
  bool binary(Json::binary_t& value) { return Scalar(std::move(value)); }

  bool start_object(std::size_t) { return Open(Json::value_t::object); }
  bool start_array(std::size_t) { return Open(Json::value_t::array); }
  bool end_object() { return Close(); }
  bool end_array() { return Close(); }

  bool key(Json::string_t& key) {
    Bound(open_);
    if (packing_) return true;  // a key inside a mode row, which is refused as a whole
    if (stack_.size() == 1) cameraKey_ = key == "camera";
    if (stack_.size() == 2 && inCamera_) modesKey_ = key == "modes";
    slot_ = &(*stack_.back())[key];
    return true;
  }

  template <typename Exception>
  bool parse_error(std::size_t, const std::string&, const Exception& error) {
    throw error;
  }

 private:
  // The depth bound as a tree parser's callback sees it: the containers open around a key or a
  // value, or before a container opens.
  static void Bound(std::size_t depth) {
    if (depth > static_cast<std::size_t>(kMaxDepth)) throw Refusal{"The setup nests deeper than any setup does."};
  }

  template <typename Value>
  bool Scalar(Value&& value) {
    Bound(open_);
    if (packing_) {
      Element(open_, std::nullopt);
    } else {
      Place(Json(std::forward<Value>(value)));
    }
    return true;
  }

  bool Open(Json::value_t type) {
    const std::size_t depth = open_;
    Bound(depth);
    ++open_;
    if (packing_) {
      if (depth + 1 == rowDepth_) {  // a row opens
        rowIsList_ = type == Json::value_t::array;
        rowLength_ = 0;
        rowBadElement_ = -1;
      } else {
        Element(depth, std::nullopt);  // a list or object where a number belongs
      }
      return true;
    }
    if (type == Json::value_t::array && stack_.size() == 2 && inCamera_ && modesKey_) {
      packing_ = true;
      rowDepth_ = open_ + 1;
      rows_.clear();
      refusal_.clear();
      return true;
    }
    Json* opened = Place(Json(type));
    if (stack_.size() == 1) inCamera_ = cameraKey_ && type == Json::value_t::object;
    stack_.push_back(opened);
    return true;
  }

  bool Close() {
    --open_;
    if (!packing_) {
      stack_.pop_back();
      return true;
    }
    if (open_ + 1 == rowDepth_) {
      EndRow();
    } else if (open_ + 2 == rowDepth_) {  // the modes list closes
      packing_ = false;
      if (refusal_.empty()) {
        std::vector<std::uint8_t> bytes(rows_.size() * sizeof(ModeRow));
        if (!rows_.empty()) std::memcpy(bytes.data(), rows_.data(), bytes.size());
        Place(Json::binary(std::move(bytes), kModesRead));
      } else {
        Place(Json::binary(std::vector<std::uint8_t>(refusal_.begin(), refusal_.end()), kModesRefused));
      }
    }
    return true;
  }

  // A value or container with `depth` containers around it, while the modes list is open;
  // `value` is set for a whole number that fits a mode.
  void Element(std::size_t depth, std::optional<std::uint32_t> value) {
    if (depth + 1 == rowDepth_) {  // directly in the modes list: a row that is not a list
      rowIsList_ = false;
      EndRow();
      return;
    }
    if (depth != rowDepth_) return;  // deeper inside a row: already counted as its element
    if (rowLength_ < 3) {
      if (value) {
        row_[rowLength_] = *value;
      } else if (rowBadElement_ < 0) {
        rowBadElement_ = static_cast<int>(rowLength_);
      }
    }
    ++rowLength_;
  }

  // The checks on each row, in the order a user is told of them: its shape, then rate, width and
  // height; only the first bad row is reported.
  void EndRow() {
    if (!refusal_.empty()) return;
    static constexpr const char* kElements[] = {"rate", "width", "height"};
    if (!rowIsList_ || rowLength_ != 3) {
      refusal_ = "In the setup, each camera mode must be a list [rate, width, height].";
    } else if (rowBadElement_ >= 0) {
      refusal_ = std::string("In the setup, a camera mode's ") + kElements[rowBadElement_] +
                 " must be a whole number from 0 to 4294967295.";
    } else {
      rows_.push_back(row_);
    }
  }

  Json* Place(Json value) {
    if (stack_.empty()) {
      document = std::move(value);
      return &document;
    }
    if (stack_.back()->is_array()) {
      stack_.back()->push_back(std::move(value));
      return &stack_.back()->back();
    }
    *slot_ = std::move(value);
    return slot_;
  }

  std::vector<Json*> stack_;  // the open containers of the tree
  Json* slot_ = nullptr;      // where the value of the last key goes
  std::size_t open_ = 0;      // containers open, those inside the modes list included
  bool cameraKey_ = false;    // the last key of the document was "camera"
  bool inCamera_ = false;     // the open member of the document is the camera object
  bool modesKey_ = false;     // the last key of the camera object was "modes"

  bool packing_ = false;
  std::size_t rowDepth_ = 0;  // containers open around a row's elements
  ModeRow row_{};
  std::size_t rowLength_ = 0;
  int rowBadElement_ = -1;
  bool rowIsList_ = false;
  std::vector<ModeRow> rows_;
  std::string refusal_;
};

// A key from the file as a message may show it: short, and without line breaks or other control
// characters, so that a message stays one line.
std::string Shown(const std::string& key) {
  std::string shown = key.substr(0, 64);
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return shown;
}

bool IsOptionName(std::string_view name) {
  return !name.empty() && name.size() <= 64 && name.front() != '-' &&
         std::all_of(name.begin(), name.end(), [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'; });
}

std::vector<SetupOption> ReadOptions(const Json& options) {
  if (!options.is_object()) Refuse("In the setup, options must be an object.");
  std::vector<SetupOption> read;
  read.reserve(options.size());
  for (const auto& [name, value] : options.items()) {
    if (!IsOptionName(name)) Refuse("In the setup, \"" + Shown(name) + "\" is not an option name.");
    read.push_back({name, Text(value, "option " + name)});
  }
  return read;
}

double PitchMeters(const Json& value, const std::string& where) {
  const double micrometres = Number(value, where);
  const double meters = micrometres * 1e-6;  // as the camera file reader scales it
  if (!(meters > 0)) Refuse("In the setup, " + where + " must be above 0.");
  return meters;
}

CameraDefinition ReadCamera(const Json& camera, std::vector<std::string>& notes) {
  if (!camera.is_object()) Refuse("In the setup, camera must be an object.");
  CameraDefinition read;
  bool hasModes = false;
  bool hasName = false;
  bool hasWidth = false;
  bool hasHeight = false;
  for (const auto& [key, value] : camera.items()) {
    if (key == "file") {
      read.filePath = Text(value, "camera.file");
    } else if (key == "name") {
      read.name = Text(value, "camera.name");
      hasName = true;
    } else if (key == "pixelWidthUm") {
      read.pixelPitchX = PitchMeters(value, "camera.pixelWidthUm");
      hasWidth = true;
    } else if (key == "pixelHeightUm") {
      read.pixelPitchY = PitchMeters(value, "camera.pixelHeightUm");
      hasHeight = true;
    } else if (key == "modes") {
      // The reader hands the rows over packed (see SetupSax); anything but a list stays a value.
      if (!value.is_binary()) Refuse("In the setup, camera.modes must be a list.");
      hasModes = true;
      const auto& packed = value.get_binary();
      if (packed.subtype() == kModesRefused) Refuse(std::string(packed.begin(), packed.end()));
      const std::size_t count = packed.size() / sizeof(ModeRow);
      read.frameRates.resize(count);
      read.widthsPx.resize(count);
      read.heightsPx.resize(count);
      read.rateTexts.resize(count);
      for (std::size_t i = 0; i < count; ++i) {
        ModeRow row;
        std::memcpy(&row, packed.data() + i * sizeof(ModeRow), sizeof(ModeRow));
        read.frameRates[i] = row[0];
        read.widthsPx[i] = row[1];
        read.heightsPx[i] = row[2];
        read.rateTexts[i] = std::to_string(row[0]);
      }
    } else {
      notes.push_back("Unknown key camera." + Shown(key) + " left out.");
    }
  }
  if (!hasName || !hasWidth || !hasHeight || !hasModes) {
    Refuse("In the setup, camera needs file, name, pixelWidthUm, pixelHeightUm and modes.");
  }
  if (read.ModeCount() == 0) Refuse("In the setup, the camera has no mode.");
  return read;
}

std::vector<SetupLens> ReadLenses(const Json& lenses) {
  if (!lenses.is_array()) Refuse("In the setup, lenses must be a list.");
  std::vector<SetupLens> read;
  read.reserve(lenses.size());
  for (const Json& lens : lenses) {
    if (!lens.is_object()) Refuse("In the setup, each lens must be an object.");
    SetupLens record;
    for (const auto& [key, value] : lens.items()) {
      const std::string where = "lens field " + Shown(key);
      if (value.is_number()) {
        record.fields.emplace_back(key, ExactDoubleText(Number(value, where)));
      } else if (value.is_null()) {
        record.fields.emplace_back(key, std::string());
      } else {
        record.fields.emplace_back(key, Text(value, where));
      }
      if (HasControlCharacter(key, false)) Refuse("In the setup, a lens field name holds a control character.");
    }
    read.push_back(std::move(record));
  }
  return read;
}

Setup ReadDocument(const Json& document, std::vector<std::string>& notes) {
  if (!document.is_object()) Refuse("The file is not a setup: it holds no JSON object.");
  const bool isSheet = document.contains("sheetVersion");
  if (!isSheet) {
    const auto version = document.find("setupVersion");
    if (version == document.end()) Refuse("The file is not a setup: setupVersion is missing.");
    if (!version->is_number_integer() || version->get<std::int64_t>() < 1) {
      Refuse("In the setup, setupVersion must be a whole number from 1.");
    }
    if (version->get<std::int64_t>() > kSetupVersion) {
      Refuse("The setup was written by a newer version (setupVersion " + std::to_string(version->get<std::int64_t>()) +
             "); this one reads setupVersion " + std::to_string(kSetupVersion) + ".");
    }
  } else if (!document.contains("options")) {
    Refuse("The sheet holds no setup: it was written without its options.");
  }
  Setup setup;
  for (const auto& [key, value] : document.items()) {
    if (key == "options") {
      setup.options = ReadOptions(value);
    } else if (key == "camera" && !(isSheet && value.is_string())) {
      setup.camera = ReadCamera(value, notes);
    } else if (key == "lenses") {
      setup.lenses = ReadLenses(value);
    } else if (key == "note") {
      setup.note = Text(value, "note", true);
    } else if (key != "setupVersion" && !isSheet) {
      // A sheet holds the plan beside the setup: only a setup's own strangers are worth a note.
      notes.push_back("Unknown key " + Shown(key) + " left out.");
    }
  }
  return setup;
}

// Without a temporary string: a camera may have 100,000 modes.
void AppendCount(std::string& out, std::uint32_t value) {
  char digits[10];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void AppendQuoted(std::string& out, const std::string& text) {
  out += Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

const std::string* Setup::Find(std::string_view name) const {
  const auto found = std::find_if(options.begin(), options.end(), [&](const SetupOption& o) { return o.name == name; });
  return found == options.end() ? nullptr : &found->value;
}

void Setup::Set(std::string name, std::string value) {
  const auto found = std::find_if(options.begin(), options.end(), [&](const SetupOption& o) { return o.name == name; });
  if (found != options.end()) {
    found->value = std::move(value);
  } else {
    options.push_back({std::move(name), std::move(value)});
  }
}

SetupReading ParseSetup(std::string_view text) {
  SetupReading reading;
  if (text.size() > kMaxSetupBytes) {
    reading.error = "The setup is too large (over " + std::to_string(kMaxSetupBytes >> 20) + " MB).";
    return reading;
  }
  try {
    SetupSax sax;
    Json::sax_parse(text.begin(), text.end(), &sax);
    std::vector<std::string> notes;
    reading.setup = ReadDocument(sax.document, notes);
    reading.notes = std::move(notes);
  } catch (const Refusal& refusal) {
    reading.error = refusal.message;
  } catch (const Json::exception& e) {
    std::string what = e.what();
    std::replace(what.begin(), what.end(), '\n', ' ');
    reading.error = "The file is not a setup: it is not valid JSON (" + what.substr(0, 160) + ").";
  }
  return reading;
}

SetupReading ReadSetupFile(const std::string& path) {
  SetupReading reading;
  const std::filesystem::path file = PathFromUtf8(path);
  std::error_code error;
  if (std::filesystem::is_directory(file, error)) {
    reading.error = "The setup " + path + " is a folder, not a file.";
    return reading;
  }
  const auto size = std::filesystem::file_size(file, error);
  if (error) {
    reading.error = "The setup " + path + " cannot be read: it does not exist or cannot be opened.";
    return reading;
  }
  if (size > kMaxSetupBytes) {
    reading.error = "The setup " + path + " is too large (over " + std::to_string(kMaxSetupBytes >> 20) + " MB).";
    return reading;
  }
  std::FILE* stream = OpenForReadingBytes(file);
  if (stream == nullptr) {
    reading.error = "The setup " + path + " cannot be read: it does not exist or cannot be opened.";
    return reading;
  }
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  const std::size_t got = std::fread(text.data(), 1, text.size(), stream);
  const bool failed = std::ferror(stream) != 0;
  std::fclose(stream);
  if (failed) {
    reading.error = "The setup " + path + " cannot be read.";
    return reading;
  }
  text.resize(got);
  reading = ParseSetup(text);
  if (!reading.setup) reading.error = path + ": " + reading.error;
  return reading;
}

std::string SetupText(const Setup& setup) {
  std::string out = "{\n  \"setupVersion\": " + std::to_string(kSetupVersion) + ",\n" + SetupMembersText(setup);
  out += ",\n  \"note\": ";
  AppendQuoted(out, setup.note);
  out += "\n}\n";
  return out;
}

std::string SetupMembersText(const Setup& setup) {
  std::string out = "  \"options\": {";
  for (std::size_t i = 0; i < setup.options.size(); ++i) {
    out += i == 0 ? "\n    " : ",\n    ";
    AppendQuoted(out, setup.options[i].name);
    out += ": ";
    AppendQuoted(out, setup.options[i].value);
  }
  out += setup.options.empty() ? "}" : "\n  }";
  if (setup.camera) {
    const CameraDefinition& camera = *setup.camera;
    out += ",\n  \"camera\": {\n    \"file\": ";
    AppendQuoted(out, camera.filePath);
    out += ",\n    \"name\": ";
    AppendQuoted(out, camera.name);
    out += ",\n    \"pixelWidthUm\": " + PixelPitchText(camera.pixelPitchX).value_or("0");
    out += ",\n    \"pixelHeightUm\": " + PixelPitchText(camera.pixelPitchY).value_or("0");
    out += ",\n    \"modes\": [";
    out.reserve(out.size() + camera.ModeCount() * 28 + setup.lenses.size() * 160 + setup.note.size() + 64);
    for (std::size_t i = 0; i < camera.ModeCount(); ++i) {
      out += i == 0 ? "\n      [" : ",\n      [";
      AppendCount(out, camera.frameRates[i]);
      out += ", ";
      AppendCount(out, camera.widthsPx[i]);
      out += ", ";
      AppendCount(out, camera.heightsPx[i]);
      out += ']';
    }
    out += camera.ModeCount() == 0 ? "]\n  }" : "\n    ]\n  }";
  }
  out += ",\n  \"lenses\": [";
  for (std::size_t i = 0; i < setup.lenses.size(); ++i) {
    out += i == 0 ? "\n    {" : ",\n    {";
    const auto& fields = setup.lenses[i].fields;
    for (std::size_t j = 0; j < fields.size(); ++j) {
      if (j > 0) out += ", ";
      AppendQuoted(out, fields[j].first);
      out += ": ";
      AppendQuoted(out, fields[j].second);
    }
    out += '}';
  }
  out += setup.lenses.empty() ? "]" : "\n  ]";
  return out;
}

std::string WriteSetupFile(const std::string& path, const Setup& setup) {
  return WriteFileAtomically(path, SetupText(setup));
}

bool SameCamera(const CameraDefinition& a, const CameraDefinition& b) {
  return a.name == b.name && a.pixelPitchX == b.pixelPitchX && a.pixelPitchY == b.pixelPitchY &&
         a.frameRates == b.frameRates && a.widthsPx == b.widthsPx && a.heightsPx == b.heightsPx;
}

SetupCamera ResolveSetupCamera(const Setup& setup) {
  SetupCamera resolved;
  if (!setup.camera) return resolved;
  const CameraDefinition& embedded = *setup.camera;
  if (embedded.filePath.empty() && SameCamera(embedded, BuildGenericCamera())) return resolved;
  if (!embedded.filePath.empty()) {
    const CameraReadResult read = ReadCameraFile(embedded.filePath);
    if (read.status == CameraReadStatus::Loaded && SameCamera(read.camera, embedded)) {
      resolved.source = SetupCamera::Source::File;
      resolved.path = embedded.filePath;
      return resolved;
    }
    resolved.notice = read.status == CameraReadStatus::CannotOpen
                          ? "Camera file " + embedded.filePath + " not found: the setup's own copy of " +
                                embedded.name + " is used."
                          : "Camera file " + embedded.filePath + " has changed: the setup's own copy of " +
                                embedded.name + " is used.";
  }
  resolved.source = SetupCamera::Source::Embedded;
  return resolved;
}

std::string ShellQuoted(std::string_view word) {
  const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("+-./:=@_,%").find(c) != std::string_view::npos;
  });
  if (plain) return std::string(word);
  std::string quoted = "'";
  for (char c : word) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::string SetupCommandLine(const Setup& setup) {
  std::string line = "korvan-lens plan";
  for (const SetupOption& option : setup.options) {
    line += " --" + option.name + ' ' + ShellQuoted(option.value);
  }
  return line;
}

}  // namespace korvan::planner
