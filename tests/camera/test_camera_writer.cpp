#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "camera/CameraFile.h"
#include "camera/CameraWriter.h"
#include "common/TestFiles.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;

CameraDefinition SmallCamera() {
  CameraDefinition camera;
  camera.name = "Bench Camera 1";
  camera.pixelPitchX = 12 * 1e-6;
  camera.pixelPitchY = 12 * 1e-6;
  camera.rateTexts = {"250", "500"};
  camera.frameRates = {250, 500};
  camera.widthsPx = {1280, 640};
  camera.heightsPx = {1024, 512};
  return camera;
}

CameraReadResult ReadBack(const std::string& text) {
  LineSource source(text);
  return ReadCameraLines(source, "back.cam");
}

[[maybe_unused]] std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Random cameras of every shape the checks allow: names with commas, inner "#", blanks and
// UTF-8 letters; pixel sizes from a thousandth to a million micrometres, plain and with many digits;
// rates and sizes up to the 32-bit limit; modes repeated.
TEST(CameraWriter, RandomCamerasReadBackAsTheSameCamera) {
  std::mt19937_64 random(20261207);
  const std::vector<std::string> pieces = {"Cam", " ", ",", "#", "x", "9", "\xc3\xa9", "\xe2\x80\x94", "-", "Falke"};
  for (int round = 0; round < 3000; ++round) {
    CameraDefinition camera;
    do {
      camera.name.clear();
      const std::size_t parts = 1 + random() % 8;
      for (std::size_t i = 0; i < parts; ++i) camera.name += pieces[random() % pieces.size()];
    } while (CheckCameraName(camera.name));
    const auto pitch = [&] {
      if (random() % 3 == 0) return static_cast<double>(1 + random() % 300) / 10 * 1e-6;
      return std::exp(std::uniform_real_distribution<double>(std::log(1e-3), std::log(1e6))(random)) * 1e-6;
    };
    camera.pixelPitchX = pitch();
    camera.pixelPitchY = random() % 2 ? camera.pixelPitchX : pitch();
    const std::size_t modes = 1 + random() % 40;
    for (std::size_t i = 0; i < modes; ++i) {
      const auto count = [&]() -> std::uint32_t {
        return random() % 10 == 0 ? kMaxModeValue - static_cast<std::uint32_t>(random() % 3)
                                  : static_cast<std::uint32_t>(1 + random() % 20000);
      };
      camera.frameRates.push_back(count());
      camera.widthsPx.push_back(count());
      camera.heightsPx.push_back(count());
      camera.rateTexts.push_back(std::to_string(camera.frameRates.back()));
    }
    const std::optional<std::string> text = WriteCameraText(camera, "the tests");
    ASSERT_TRUE(text) << camera.name;
    const CameraReadResult read = ReadBack(*text);
    ASSERT_EQ(read.status, CameraReadStatus::Loaded) << *text;
    camera.filePath = "back.cam";
    ASSERT_EQ(read.camera, camera) << *text;
  }
}

TEST(CameraWriter, SaysWhatWroteItAndWritesShortPixelSizes) {
  CameraDefinition camera = SmallCamera();
  camera.pixelPitchX = 7.4 * 1e-6;
  camera.pixelPitchY = 5.86 * 1e-6;
  EXPECT_EQ(*WriteCameraText(camera, "the camera editor"),
            "# Written by the camera editor\nBench Camera 1\n7.4,5.86\n250,1280,1024\n500,640,512\n");
  EXPECT_EQ(PixelPitchText(7.4e-6), "7.4");
}

// Multiplying by 1e-6 skips some doubles; those pitches no micrometre text reads back to, so they
// are refused, and every neighbour that has a text reads back to itself.
TEST(CameraWriter, PitchesBetweenMicrometreTextsAreRefused) {
  int unreachable = 0;
  double pitch = 7.4e-6;
  for (int step = 0; step < 200; ++step, pitch = std::nextafter(pitch, 1.0)) {
    CameraDefinition camera = SmallCamera();
    camera.pixelPitchX = pitch;
    const std::optional<std::string> text = PixelPitchText(pitch);
    if (!text) {
      ++unreachable;
      ASSERT_EQ(CheckCameraForWriting(camera).size(), 1u);
      EXPECT_EQ(CheckCameraForWriting(camera)[0].message, kPixelNotExactMessage);
      continue;
    }
    EXPECT_EQ(ReadBack(*WriteCameraText(camera, "t")).camera.pixelPitchX, pitch) << *text;
  }
  EXPECT_GT(unreachable, 0);
}

struct NameCase {
  const char* label;
  std::string name;
  std::string_view message;  // empty: accepted
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class CameraNameCheck : public ::testing::TestWithParam<NameCase> {};

TEST_P(CameraNameCheck, RefusesWhatWouldNotReadBack) {
  const NameCase& c = GetParam();
  CameraDefinition camera = SmallCamera();
  camera.name = c.name;
  const std::vector<CameraIssue> issues = CheckCameraForWriting(camera);
  if (c.message.empty()) {
    EXPECT_TRUE(issues.empty());
    EXPECT_EQ(ReadBack(*WriteCameraText(camera, "t")).camera.name, c.name);
    return;
  }
  ASSERT_EQ(issues.size(), 1u);
  EXPECT_EQ(issues[0].field, CameraField::Name);
  EXPECT_EQ(issues[0].message, c.message);
  EXPECT_FALSE(WriteCameraText(camera, "t"));
}

INSTANTIATE_TEST_SUITE_P(Names, CameraNameCheck,
                         ::testing::Values(NameCase{"empty", "", kNameMissingMessage},
                                           NameCase{"line feed", "Cam\nera", kNameLineBreakMessage},
                                           NameCase{"carriage return", "Cam\r", kNameLineBreakMessage},
                                           NameCase{"nul", std::string("Cam\0era", 7), kNameControlMessage},
                                           NameCase{"tab", "Cam\tera", kNameControlMessage},
                                           NameCase{"latin-1", "Kamera M\xfcller", kNameEncodingMessage},
                                           NameCase{"overlong utf-8", "\xc0\xaf", kNameEncodingMessage},
                                           NameCase{"cut utf-8", "Cam\xe2\x80", kNameEncodingMessage},
                                           NameCase{"10000 characters", std::string(10000, 'a'), kNameLengthMessage},
                                           NameCase{"255 letters of two bytes",
                                                    [] {
                                                      std::string s;
                                                      for (int i = 0; i < 255; ++i) s += "\xc3\xa9";
                                                      return s;
                                                    }(),
                                                    {}},
                                           NameCase{"leading blank", " Cam", kNameSpaceMessage},
                                           NameCase{"trailing blank", "Cam ", kNameSpaceMessage},
                                           NameCase{"comment", "# Cam", kNameHashMessage},
                                           NameCase{"the generic camera's", "no camera SELECTED", kNameGenericMessage},
                                           NameCase{"hash inside, commas", "Cam #2, fast", {}}));

struct TextCase {
  const char* label;
  CameraDraft draft;
  std::string firstIssue;  // empty: none
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << c.label; }

CameraDraft Draft(std::string pixelWidth, std::string rate, std::string width = "640") {
  return CameraDraft{"Cam", std::move(pixelWidth), "7.4", {{std::move(rate), std::move(width), "512"}}};
}

class CameraDraftCheck : public ::testing::TestWithParam<TextCase> {};

TEST_P(CameraDraftCheck, NamesTheFieldAndTheReason) {
  const TextCase& c = GetParam();
  const DraftReading reading = ReadCameraDraft(c.draft);
  EXPECT_EQ(reading.issues.empty() ? std::string() : DescribeIssue(reading.issues.front()), c.firstIssue);
  if (reading.issues.empty()) {
    EXPECT_TRUE(CheckCameraForWriting(reading.camera).empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CameraDraftCheck,
    ::testing::Values(
        TextCase{"valid with blanks", Draft(" 5.5 ", " 500 "), ""}, TextCase{"exponent", Draft("7.4e0", "+500"), ""},
        TextCase{"empty pixel", Draft("", "500"), "Pixel width: Enter the pixel size in micrometres."},
        TextCase{"decimal comma", Draft("7,4", "500"), "Pixel width: The pixel size must be a number, such as 7.4."},
        TextCase{"unit after", Draft("7.4um", "500"), "Pixel width: The pixel size must be a number, such as 7.4."},
        TextCase{"zero pixel", Draft("0", "500"), "Pixel width: The pixel size must be greater than 0."},
        TextCase{"negative pixel", Draft("-7.4", "500"), "Pixel width: The pixel size must be greater than 0."},
        TextCase{"underflowing pixel", Draft("1e-320", "500"), "Pixel width: The pixel size must be greater than 0."},
        TextCase{"out of range small", Draft("1e-400", "500"), "Pixel width: The pixel size must be greater than 0."},
        TextCase{"tiny without exponent", Draft("0." + std::string(400, '0') + "1", "500"),
                 "Pixel width: The pixel size must be greater than 0."},
        TextCase{"infinite pixel", Draft("inf", "500"), "Pixel width: The pixel size must be a finite number."},
        TextCase{"not a number", Draft("nan", "500"), "Pixel width: The pixel size must be a finite number."},
        TextCase{"out of range large", Draft("1e400", "500"), "Pixel width: The pixel size must be a finite number."},
        TextCase{"empty rate", Draft("7.4", ""), "Frame rate of mode 1: Enter a whole number."},
        TextCase{"fraction", Draft("7.4", "500.5"), "Frame rate of mode 1: Must be a whole number."},
        TextCase{"word", Draft("7.4", "fast"), "Frame rate of mode 1: Must be a whole number."},
        TextCase{"zero rate", Draft("7.4", "0"), "Frame rate of mode 1: Must be between 1 and 2147483647."},
        TextCase{"negative width", Draft("7.4", "500", "-640"), "Width of mode 1: Must be between 1 and 2147483647."},
        TextCase{"past 32 bits", Draft("7.4", "2147483648"), "Frame rate of mode 1: Must be between 1 and 2147483647."},
        TextCase{"many digits", Draft("7.4", "99999999999999999999999"),
                 "Frame rate of mode 1: Must be between 1 and 2147483647."},
        TextCase{"largest", Draft("7.4", "2147483647"), ""},
        TextCase{"no modes", CameraDraft{"Cam", "7.4", "7.4", {}}, "Modes: Add at least one mode."},
        TextCase{"name first", CameraDraft{"#", "", "7.4", {}},
                 "Name: The name must not begin with \"#\": the line would be a comment."}));

TEST(CameraWriter, RefusesPitchesAndCountsTheReaderWouldNotGiveBack) {
  struct Case {
    const char* label;
    void (*change)(CameraDefinition&);
    CameraField field;
    std::string_view message;
  };
  const Case cases[] = {
      {"zero pitch", [](CameraDefinition& c) { c.pixelPitchX = 0; }, CameraField::PixelWidth, kPixelNotPositiveMessage},
      {"nan pitch", [](CameraDefinition& c) { c.pixelPitchY = std::nan(""); }, CameraField::PixelHeight,
       kPixelNotFiniteMessage},
      {"infinite pitch", [](CameraDefinition& c) { c.pixelPitchY = HUGE_VAL; }, CameraField::PixelHeight,
       kPixelNotFiniteMessage},
      {"no modes", [](CameraDefinition& c) { c = CameraDefinition{c.name, "", {}, {}, {}, {}, 1e-5, 1e-5}; },
       CameraField::Modes, kNoModeMessage},
      {"lists differ", [](CameraDefinition& c) { c.heightsPx.pop_back(); }, CameraField::Modes, kModeListsMessage},
      {"zero height", [](CameraDefinition& c) { c.heightsPx[1] = 0; }, CameraField::Height, kModeRangeMessage},
      {"rate past int32", [](CameraDefinition& c) { c.frameRates[1] = 3000000000u; }, CameraField::FrameRate,
       kModeRangeMessage},
  };
  for (const Case& c : cases) {
    CameraDefinition camera = SmallCamera();
    c.change(camera);
    const std::vector<CameraIssue> issues = CheckCameraForWriting(camera);
    ASSERT_EQ(issues.size(), 1u) << c.label;
    EXPECT_EQ(issues[0].field, c.field) << c.label;
    EXPECT_EQ(issues[0].message, c.message) << c.label;
    EXPECT_FALSE(WriteCameraText(camera, "t")) << c.label;
  }
}

TEST(CameraWriter, PastedRowsSplitAtTabsCommasOrBlanks) {
  using Mode = CameraDraft::Mode;
  const auto modes = ModesFromText(
      "Frame rate\tWidth\tHeight\r\n500\t640\t512\t9\r\n\r\n 1000 , 320 ,256\n2000   160 128\n4000\t80\n"
      "8000,,64");
  const std::vector<Mode> expected = {
      {"500", "640", "512"}, {"1000", "320", "256"}, {"2000", "160", "128"}, {"4000", "80", ""}, {"8000", "", "64"}};
  ASSERT_EQ(modes.size(), expected.size());
  for (std::size_t i = 0; i < modes.size(); ++i) {
    EXPECT_EQ(modes[i].rate, expected[i].rate) << i;
    EXPECT_EQ(modes[i].width, expected[i].width) << i;
    EXPECT_EQ(modes[i].height, expected[i].height) << i;
  }
}

class CameraFileWriting : public ::testing::Test {
 protected:
  testing::TempFiles files_;
};

TEST_F(CameraFileWriting, ReplacesTheFileAndLeavesNothingElseBehind) {
  const std::string path = files_.Write("cam.cam", "old content\n");
#ifndef _WIN32
  ::chmod(path.c_str(), 0640);
#endif
  const CameraWriteResult result = WriteCameraFile(SmallCamera(), path, "the tests");
  ASSERT_TRUE(result.written) << result.message;
  const CameraReadResult read = ReadCameraFile(path);
  ASSERT_EQ(read.status, CameraReadStatus::Loaded);
  EXPECT_EQ(read.camera.frameRates, SmallCamera().frameRates);
#ifndef _WIN32
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, static_cast<fs::perms>(0640));
#endif
  EXPECT_EQ(std::distance(fs::directory_iterator(files_.Dir()), fs::directory_iterator()), 1);
}

TEST_F(CameraFileWriting, AFailedWriteNamesTheFileAndKeepsTheOldOne) {
  const std::string old = files_.Write("old.cam", testing::kBenchCamera);
  fs::create_directory(files_.Path("folder.cam"));
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {files_.Path("missing/cam.cam"), std::generic_category().message(ENOENT)},
      {files_.Path("folder.cam"), std::generic_category().message(EISDIR)},
  };
  for (const Case& c : cases) {
    const CameraWriteResult result = WriteCameraFile(SmallCamera(), c.path, "t");
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.message, "Could not write camera file " + c.path + ": " + c.reason);
  }

#ifndef _WIN32
  // A disk that fills up part way: the file size limit fails the write as a full disk would.
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit tight = saved;
  tight.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
  const CameraWriteResult full =
      WriteCameraFile(SmallCamera(), old, "a writer with a name long enough to pass 64 bytes");
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(full.written);
  EXPECT_EQ(full.message, "Could not write camera file " + old + ": " + std::generic_category().message(EFBIG));
  EXPECT_EQ(Slurp(old), testing::kBenchCamera);
#endif
  EXPECT_EQ(std::distance(fs::directory_iterator(files_.Dir()), fs::directory_iterator()), 2);
}

#ifndef _WIN32
TEST_F(CameraFileWriting, AReadOnlyFolderIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write into any folder";
  const std::string old = files_.Write("old.cam", testing::kBenchCamera);
  fs::permissions(files_.Dir(), fs::perms::owner_read | fs::perms::owner_exec);
  const CameraWriteResult result = WriteCameraFile(SmallCamera(), old, "t");
  fs::permissions(files_.Dir(), fs::perms::owner_all);
  EXPECT_EQ(result.message, "Could not write camera file " + old + ": " + std::generic_category().message(EACCES));
  EXPECT_EQ(Slurp(old), testing::kBenchCamera);
}
#endif

}  // namespace
}  // namespace korvan
