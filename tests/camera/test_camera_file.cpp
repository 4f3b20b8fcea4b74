#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "camera/CameraFile.h"
#include "camera/Utf8Path.h"
#include "common/TestFiles.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

using testing::kBenchCamera;

CameraReadResult Read(std::string_view text) {
  LineSource source(text);
  return ReadCameraLines(source, "test.cam");
}

class TempDir : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, std::string_view content) { return files_.Write(name, content); }
  testing::TempFiles files_;
  const fs::path& dir_ = files_.Dir();
};

TEST(CameraFile, ReadsTheBenchCamera) {
  const CameraReadResult r = Read(kBenchCamera);
  ASSERT_EQ(r.status, CameraReadStatus::Loaded) << r.message;
  EXPECT_EQ(r.camera.name, "Bench Camera 1");
  EXPECT_EQ(r.camera.filePath, "test.cam");
  EXPECT_EQ(r.camera.pixelPitchX, 12 * 1e-6);
  EXPECT_EQ(r.camera.pixelPitchY, 12 * 1e-6);
  EXPECT_EQ(r.camera.frameRates, (std::vector<std::uint32_t>{250, 500, 500, 1000}));
  EXPECT_EQ(r.camera.widthsPx, (std::vector<std::uint32_t>{1280, 1280, 640, 640}));
  EXPECT_EQ(r.camera.heightsPx, (std::vector<std::uint32_t>{1024, 1024, 512, 512}));
  EXPECT_EQ(r.camera.rateTexts, (std::vector<std::string>{"250", "500", "500", "1000"}));
}

TEST(CameraFile, CommentsBlanksAndLineEndingsDoNotMatter) {
  const CameraReadResult plain = Read("Cam\n7.4,7.4\n500,640,512\n");
  const CameraReadResult noisy =
      Read("\r\n# top\r\n\t \r\n  Cam \t\r\n#\r\n 7.4,7.4\r\n\f\v\r\n  # mid\r\n500,640,512\r\n\r\n# end");
  ASSERT_EQ(noisy.status, CameraReadStatus::Loaded);
  EXPECT_EQ(noisy.camera, plain.camera);
  EXPECT_EQ(Read("Cam\n7.4,7.4\n500,640,512").camera, plain.camera) << "the last line needs no line feed";
}

TEST(CameraFile, ModeFieldsFollowTheIntegerRules) {
  const CameraReadResult r = Read("Cam, with comma # not a comment\n7.4;x,7.4,9\n 500, 640, 512 \n500,640,512,extra\n"
                                  "fast,640,512\n-1,99999999999,0\n");
  ASSERT_EQ(r.status, CameraReadStatus::Loaded);
  EXPECT_EQ(r.camera.name, "Cam, with comma # not a comment");
  EXPECT_EQ(r.camera.pixelPitchX, 7.4 * 1e-6);
  EXPECT_EQ(r.camera.pixelPitchY, 7.4 * 1e-6);
  EXPECT_EQ(r.camera.frameRates, (std::vector<std::uint32_t>{500, 500, 0, 0xFFFFFFFFu}));
  EXPECT_EQ(r.camera.widthsPx, (std::vector<std::uint32_t>{640, 640, 640, 2147483647u}));
  EXPECT_EQ(r.camera.heightsPx, (std::vector<std::uint32_t>{512, 512, 512, 0}));
  EXPECT_EQ(r.camera.rateTexts[1], "500");
  EXPECT_EQ(r.camera.rateTexts[2], "fast");
}

struct RefusalCase {
  const char* name;
  const char* text;
  CameraReadStatus status;
  const char* message;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class CameraFileRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(CameraFileRefusal, SaysWhatIsWrong) {
  const CameraReadResult r = Read(GetParam().text);
  EXPECT_EQ(r.status, GetParam().status);
  EXPECT_EQ(r.message, GetParam().message);
  EXPECT_EQ(r.camera, CameraDefinition{}) << "nothing of a refused file is kept";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CameraFileRefusal,
    ::testing::Values(
        RefusalCase{"empty", "", CameraReadStatus::Empty, "Empty file, test.cam"},
        RefusalCase{"onlyComments", "# a\n\n  # b\n", CameraReadStatus::Empty, "Empty file, test.cam"},
        RefusalCase{"onlyName", "Cam\n", CameraReadStatus::NoPixelLine, "Error reading from file, test.cam"},
        RefusalCase{"pixelWithoutComma", "Cam\n7.4;7.4\n500,1,1\n", CameraReadStatus::BadPixelLine,
                    "Badly formatted file, 7.4;7.4"},
        RefusalCase{"modeWithOneComma", "Cam\n7,7\n500,640,512\n500,640\n1000,1,1\n", CameraReadStatus::BadModeLine,
                    "Badly formatted camera file.\nUsing generic camera data."},
        RefusalCase{"modeWithoutComma", "Cam\n7,7\n500\n", CameraReadStatus::BadModeLine,
                    "Badly formatted camera file.\nUsing generic camera data."},
        RefusalCase{"noModes", "Cam\n7,7\n# none\n", CameraReadStatus::NoModes, "No camera modes in file, test.cam"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CameraFile, OddPixelSizesAreReadAsWritten) {
  CameraReadResult r = Read("Cam\nnan,inf\n1,1,1\n");
  ASSERT_EQ(r.status, CameraReadStatus::Loaded);
  EXPECT_TRUE(std::isnan(r.camera.pixelPitchX));
  EXPECT_TRUE(std::isinf(r.camera.pixelPitchY));
  r = Read("Cam\n-5,,\n1,1,1\n");
  EXPECT_EQ(r.camera.pixelPitchX, -5 * 1e-6);
  EXPECT_EQ(r.camera.pixelPitchY, 0);
}

TEST(CameraFile, NulBytesAndGarbageNeverBreakTheReader) {
  const std::string withNul("Cam\0era\n7\0.4,7.4\n500,6\0" "40,512\n", 28);
  const CameraReadResult r = Read(withNul);
  ASSERT_EQ(r.status, CameraReadStatus::Loaded);
  EXPECT_EQ(r.camera.name, std::string("Cam\0era", 7));
  EXPECT_EQ(r.camera.pixelPitchX, 7 * 1e-6);
  EXPECT_EQ(r.camera.widthsPx[0], 6u);

  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  const CameraReadResult g = Read(garbage);
  EXPECT_FALSE(g.message.empty() && g.status != CameraReadStatus::Loaded);
}

TEST_F(TempDir, ReadsFromDiskWithTheSameRules) {
  const std::string path = Write("bench.cam", kBenchCamera);
  const CameraReadResult r = ReadCameraFile(path);
  ASSERT_EQ(r.status, CameraReadStatus::Loaded);
  EXPECT_EQ(r.camera.filePath, path);
  EXPECT_EQ(r.camera, [&] {
    CameraDefinition c = Read(kBenchCamera).camera;
    c.filePath = path;
    return c;
  }());
}

TEST_F(TempDir, AHundredMegabyteLineIsReadWhole) {
  std::string content = "Cam\n7,7\n500,640," + std::string(100 * 1024 * 1024, '5') + "\n1000,1,2\n";
  const CameraReadResult r = ReadCameraFile(Write("long.cam", content));
  content.clear();
  ASSERT_EQ(r.status, CameraReadStatus::Loaded);
  EXPECT_EQ(r.camera.heightsPx, (std::vector<std::uint32_t>{2147483647u, 2}));
}

TEST_F(TempDir, MissingDirectoryAndEmptyPathsCannotBeOpened) {
  for (const std::string& path : {(dir_ / "missing.cam").string(), dir_.string(), std::string()}) {
    const CameraReadResult r = ReadCameraFile(path);
    EXPECT_EQ(r.status, CameraReadStatus::CannotOpen);
    EXPECT_EQ(r.message, "Error accessing camera file " + path);
  }
  EXPECT_FALSE(ReadCameraName(dir_.string()).opened);
}

// Names are UTF-8 texts; on Windows they must reach the file system as UTF-16, not through the
// ANSI code page, which has none of these characters.
TEST_F(TempDir, NamesOutsideTheAnsiCodePageAreReadAndRefusedByName) {
  const std::string path = Utf8FromPath(dir_) + "/Kamera \xc3\x86r\xc3\xb8 \xe6\x97\xa5\xe6\x9c\xac \xce\xb5.cam";
  std::ofstream(PathFromUtf8(path), std::ios::binary) << kBenchCamera;
  const CameraReadResult r = ReadCameraFile(path);
  ASSERT_EQ(r.status, CameraReadStatus::Loaded) << r.message;
  EXPECT_EQ(r.camera.filePath, path);
  EXPECT_EQ(ReadCameraName(path).name, "Bench Camera 1");
  EXPECT_EQ(Utf8FromPath(PathFromUtf8(path)), path);

  const std::string missing = Utf8FromPath(dir_) + "/fehlt \xc3\xb8.cam";
  EXPECT_EQ(ReadCameraFile(missing).message, "Error accessing camera file " + missing);
}

TEST_F(TempDir, CameraNameIsTheFirstSignificantLine) {
  CameraNameResult n = ReadCameraName(Write("a.cam", "# c\n\n  Falke 250 \nrest\n"));
  EXPECT_TRUE(n.opened);
  EXPECT_EQ(n.name, "Falke 250");
  n = ReadCameraName(Write("b.cam", "# only a comment\n"));
  EXPECT_TRUE(n.opened);
  EXPECT_FALSE(n.name.has_value());
}

TEST(GenericCamera, HasEightModesAndSevenPointTwoMicronPixels) {
  const CameraDefinition g = BuildGenericCamera();
  EXPECT_EQ(g.name, "No Camera Selected");
  EXPECT_EQ(g.filePath, "");
  EXPECT_EQ(g.frameRates, (std::vector<std::uint32_t>{60, 125, 250, 500, 1000, 2000, 4000, 8000}));
  EXPECT_EQ(g.widthsPx, (std::vector<std::uint32_t>{480, 480, 480, 320, 240, 160, 100, 60}));
  EXPECT_EQ(g.heightsPx, (std::vector<std::uint32_t>{420, 420, 420, 280, 210, 140, 98, 68}));
  EXPECT_EQ(g.rateTexts.back(), "8000");
  EXPECT_EQ(g.pixelPitchX, 7.2e-6);
  EXPECT_EQ(g.pixelPitchY, 7.2e-6);
}

}  // namespace
}  // namespace korvan
