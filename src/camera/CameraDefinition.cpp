#include "camera/CameraDefinition.h"

namespace korvan {

CameraDefinition BuildGenericCamera() {
  struct Mode {
    std::uint32_t rate, width, height;
  };
  // The 8000 fps window is taller than wide, unlike all the others.
  static constexpr Mode kModes[] = {{60, 480, 420},   {125, 480, 420},  {250, 480, 420},  {500, 320, 280},
                                    {1000, 240, 210}, {2000, 160, 140}, {4000, 100, 98}, {8000, 60, 68}};
  CameraDefinition camera;
  camera.name = kGenericCameraName;
  for (const Mode& m : kModes) {
    camera.rateTexts.push_back(std::to_string(m.rate));
    camera.frameRates.push_back(m.rate);
    camera.widthsPx.push_back(m.width);
    camera.heightsPx.push_back(m.height);
  }
  camera.pixelPitchX = 7.2e-6;
  camera.pixelPitchY = 7.2e-6;
  return camera;
}

}  // namespace korvan
