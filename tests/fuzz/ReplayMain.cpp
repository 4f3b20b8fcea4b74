// Runs a fuzz target's entry point over saved inputs, outside libFuzzer: every file named on the
// command line, and every file inside each folder named there. A broken invariant aborts the
// program, so ctest reports the input that broke it (its path is printed before it runs).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool Replay(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::fprintf(stderr, "%s\n", path.c_str());
  // A buffer of exactly the input's size, as libFuzzer hands it over, so reads past the end stay visible.
  std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path place(argv[i]);
    if (std::filesystem::is_directory(place)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(place)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
      for (const auto& file : files) replayed += Replay(file);
    } else if (!Replay(place)) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
  }
  std::printf("%zu inputs replayed\n", replayed);
  // A run over no input at all tests nothing: a folder that lost its files must not pass unnoticed.
  return replayed > 0 ? 0 : 1;
}
