#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "camera/CameraDefinition.h"

// A setup: everything a user entered, in the vocabulary of the command's options, so that a command
// line, a setup file and a link say the same thing. Setups travel by mail: the reader takes any
// bytes and either gives a whole setup or one line saying why not.
namespace korvan::planner {

inline constexpr int kSetupVersion = 1;
// A setup with a 100,000-mode camera and a 1,000-lens kit is well under this; more is refused
// before parsing so that a stray large file costs nothing.
inline constexpr std::size_t kMaxSetupBytes = 8u << 20;
inline constexpr std::string_view kSetupExtension = ".klsetup";

// One option of `korvan-lens plan`: its long name without dashes ("field-width") and the text as
// typed or the list choice.
struct SetupOption {
  std::string name;
  std::string value;
  bool operator==(const SetupOption&) const = default;
};

// A kit record as it was saved: its fields in order, numbers kept as written.
struct SetupLens {
  std::vector<std::pair<std::string, std::string>> fields;
  bool operator==(const SetupLens&) const = default;
};

struct Setup {
  std::vector<SetupOption> options;         // unique names, in the order given
  std::optional<CameraDefinition> camera;   // filePath is the file as loaded ("" for the generic camera)
  std::vector<SetupLens> lenses;
  std::string note;
  bool operator==(const Setup&) const = default;

  const std::string* Find(std::string_view name) const;
  // Replaces the option's value, or adds it at the end.
  void Set(std::string name, std::string value);
};

struct SetupReading {
  std::optional<Setup> setup;
  std::string error;                // one line, when there is no setup
  std::vector<std::string> notes;   // what was left out (unknown keys), one line each
};

// A setup file's text, or a setup sheet's JSON (which holds the same fields beside the plan).
SetupReading ParseSetup(std::string_view text);
// The same from a file; a missing file, a folder or an oversized file gives the error.
SetupReading ReadSetupFile(const std::string& path);

// The setup as JSON: two-space indentation, one line per camera mode.
std::string SetupText(const Setup& setup);
// Its "options", "camera" and "lenses" members alone, indented as members of an object, for a
// document that carries a setup beside other things (a setup sheet).
std::string SetupMembersText(const Setup& setup);
// Writes the file atomically; an empty string on success, else one line naming the file and why.
std::string WriteSetupFile(const std::string& path, const Setup& setup);

// What the setup's camera turns into when it is opened.
struct SetupCamera {
  enum class Source { Generic, File, Embedded } source = Source::Generic;
  std::string path;         // the file, for Source::File
  std::string notice;       // for Source::Embedded: one line telling the user why
};
// The file named by the setup's camera when it exists and reads, as the calculator's load reads it,
// as the same camera; else the embedded camera.
SetupCamera ResolveSetupCamera(const Setup& setup);

// The list choices of the calculator by their option texts, in list order.
inline constexpr std::string_view kComputeModeOptionNames[] = {"focal-length", "magnification", "object-distance",
                                                               "field-width"};
inline constexpr std::string_view kLensInputOptionNames[] = {"focal-length", "magnification"};

// The same cameras: name, pixel pitches and modes (not the path, nor how the rates were written).
bool SameCamera(const CameraDefinition& a, const CameraDefinition& b);

// Words quoted for a POSIX shell where they need it: 'it'\''s'.
std::string ShellQuoted(std::string_view word);
// "korvan-lens plan --distance 2 ..." for the setup's options.
std::string SetupCommandLine(const Setup& setup);

}  // namespace korvan::planner
