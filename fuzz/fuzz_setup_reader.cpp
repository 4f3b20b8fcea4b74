// Any bytes as a setup file: the reader gives a whole setup or one line saying why not, and a setup
// it gives writes out to a text that reads back as the same setup.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "planner/Setup.h"

using namespace korvan::planner;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const SetupReading reading = ParseSetup(text);
  if (!reading.setup) {
    FUZZ_CHECK(!reading.error.empty());
    FUZZ_CHECK(reading.error.find('\n') == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(reading.error.empty());
  for (const std::string& note : reading.notes) FUZZ_CHECK(note.find('\n') == std::string::npos);

  const std::string written = SetupText(*reading.setup);
  const SetupReading again = ParseSetup(written);
  FUZZ_CHECK(again.setup.has_value());
  FUZZ_CHECK(again.notes.empty());
  // Options are read in the file's order; a repeated key keeps its last value, as JSON readers do.
  FUZZ_CHECK(SetupText(*again.setup) == written);
  const std::string line = SetupCommandLine(*reading.setup);
  FUZZ_CHECK(line.rfind("korvan-lens plan", 0) == 0);
  FUZZ_CHECK(line.find('\n') == std::string::npos);
  return 0;
}
