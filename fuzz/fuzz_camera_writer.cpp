// Cameras built from any bytes through the writer and back through the reader: whatever the
// writer accepts must read back as the very same camera, and the writer's checks must accept
// exactly the cameras without a reason against them.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "camera/CameraFile.h"
#include "camera/CameraWriter.h"
#include "optics/NumberText.h"

using namespace korvan;

namespace {

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return size_ == 0; }
  std::uint8_t Byte() { return size_ == 0 ? 0 : (--size_, *data_++); }
  template <typename T>
  T Raw() {
    T value{};
    std::uint8_t bytes[sizeof(T)] = {};
    for (std::uint8_t& b : bytes) b = Byte();
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }
  std::string Text(std::size_t length) {
    std::string text;
    while (length-- > 0 && size_ > 0) text.push_back(static_cast<char>(Byte()));
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// A count that is valid most of the time, and sometimes 0 or beyond the reader's 32-bit range.
std::uint32_t Count(Bytes& in) {
  const std::uint32_t raw = in.Raw<std::uint32_t>();
  return (in.Byte() % 8 == 0) ? raw : raw % 5000 + 1;
}

// A pitch from micrometres as a file gives it, or now and then any bit pattern at all.
double Pitch(Bytes& in) {
  const std::uint8_t how = in.Byte();
  const double raw = in.Raw<double>();
  if (how % 4 == 0) return raw;
  return std::fabs(raw) * 1e-6;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  CameraDefinition camera;
  camera.name = in.Text(in.Byte());
  camera.pixelPitchX = Pitch(in);
  camera.pixelPitchY = in.Byte() % 2 ? camera.pixelPitchX : Pitch(in);
  const std::size_t modes = in.Byte() % 64;
  for (std::size_t i = 0; i < modes && !in.Empty(); ++i) {
    camera.frameRates.push_back(Count(in));
    camera.widthsPx.push_back(Count(in));
    camera.heightsPx.push_back(Count(in));
    camera.rateTexts.push_back(FormatInt(camera.frameRates.back()));
  }

  const bool acceptable = CheckCameraForWriting(camera).empty();
  const std::optional<std::string> text = WriteCameraText(camera, "fuzz_camera_writer");
  FUZZ_CHECK(text.has_value() == acceptable);
  if (!text) return 0;

  LineSource source(*text);
  const CameraReadResult read = ReadCameraLines(source, "fuzz.cam");
  FUZZ_CHECK(read.status == CameraReadStatus::Loaded);
  camera.filePath = "fuzz.cam";
  // Bit for bit: a NaN can never pass the checks, so plain equality is exact here.
  FUZZ_CHECK(std::memcmp(&read.camera.pixelPitchX, &camera.pixelPitchX, sizeof(double)) == 0);
  FUZZ_CHECK(std::memcmp(&read.camera.pixelPitchY, &camera.pixelPitchY, sizeof(double)) == 0);
  FUZZ_CHECK(read.camera == camera);
  return 0;
}
