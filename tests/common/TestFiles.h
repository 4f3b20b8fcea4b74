#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace korvan::testing {

// The camera of the file-format example: 12 micrometre pixels, 1280 x 1024 at 250 and 500 fps,
// 640 x 512 at 500 and 1000 fps.
inline constexpr std::string_view kBenchCamera =
    "# bench camera, calibrated\n"
    "\n"
    "Bench Camera 1\n"
    "12, 12\n"
    "250,1280,1024\n"
    "500,1280,1024\n"
    "  # reduced image from 500 fps\n"
    "500,640,512\n"
    "1000,640,512\n";

// A fresh directory for the files one test writes, removed with it.
class TempFiles {
 public:
  // Portable mkdtemp: create_directory fails on a name that exists, so the folder is ours alone.
  TempFiles() {
    std::random_device seed;
    std::mt19937_64 random((std::uint64_t{seed()} << 32) ^ seed());
    for (;;) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() / ("korvan-test-" + std::to_string(random() % 1000000000000));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) {
        dir_ = candidate;
        return;
      }
      if (std::filesystem::exists(candidate)) continue;
      throw std::filesystem::filesystem_error("cannot create a temporary folder", candidate, error);
    }
  }
  ~TempFiles() { std::filesystem::remove_all(dir_); }
  TempFiles(const TempFiles&) = delete;
  TempFiles& operator=(const TempFiles&) = delete;

  std::string Write(const std::string& name, std::string_view content) const {
    const std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

}  // namespace korvan::testing
