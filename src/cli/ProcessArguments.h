#pragma once

#include <string>
#include <vector>

namespace korvan::cli {

// The command line as UTF-8 texts, and standard output and error set to write bytes unchanged, the
// same on every platform. On Windows the arguments come from the wide-character command line (the
// narrow one has been through the ANSI code page) and the streams leave text mode, which would
// turn every line feed into CR LF.
class ProcessArguments {
 public:
  ProcessArguments(int argc, char** argv);
  int Count() const { return static_cast<int>(pointers_.size()) - 1; }
  const char* const* Values() const { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<const char*> pointers_;  // into texts_, ending in a null pointer as argv does
};

}  // namespace korvan::cli
