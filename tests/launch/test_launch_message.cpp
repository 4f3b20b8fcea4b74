#include <gtest/gtest.h>

#include <ostream>

#include <cstring>
#include <set>
#include <string>

#include "launch/LaunchMessage.h"

namespace korvan {
namespace {

constexpr const char* kModel = "Korvan Falke 500";

TEST(HostCameraTable, HasTheFixedShape) {
  std::set<std::string> models;
  std::set<std::string> files;
  int withFile = 0;
  for (std::size_t i = 0; i < kHostCameraRows; ++i) {
    const HostCameraEntry& row = hostCameraTable[i];
    ASSERT_NE(row.modelName[0], '\0') << "row " << i;
    EXPECT_NE(std::strchr(row.modelName, ' '), nullptr) << row.modelName;
    EXPECT_TRUE(models.insert(row.modelName).second) << "twice: " << row.modelName;
    if (row.cameraFileName[0] != '\0') {
      ++withFile;
      files.insert(row.cameraFileName);
      EXPECT_TRUE(std::string(row.cameraFileName).ends_with(".cam"));
    }
  }
  EXPECT_EQ(hostCameraTable[kHostCameraRows].modelName[0], '\0');
  EXPECT_EQ(hostCameraTable[kHostCameraRows].cameraFileName[0], '\0');
  EXPECT_EQ(withFile, 12);
  EXPECT_EQ(files.size(), 9u);
}

TEST(ParseLaunchMessage, AcceptsAWellFormedMessage) {
  const LaunchParseResult r = ParseLaunchMessage(std::string("X,") + kModel + ",500,320,280,4");
  ASSERT_EQ(r.status, LaunchParseStatus::Accepted);
  EXPECT_TRUE(r.message.empty());
  EXPECT_TRUE(r.request.valid);
  EXPECT_EQ(r.request.cameraName, kModel);
  EXPECT_EQ(r.request.cameraFile, "falke500.cam");
  EXPECT_EQ(r.request.frameRate, 500);
  EXPECT_EQ(r.request.imageWidth, 320);
  EXPECT_EQ(r.request.imageHeight, 280);
  EXPECT_EQ(r.request.shutterMultiple, 4);
}

TEST(ParseLaunchMessage, FieldsFollowTheIntegerRules) {
  const LaunchParseResult r = ParseLaunchMessage(std::string(",") + kModel + ", 500fps,abc,-7,25,9,extra");
  ASSERT_EQ(r.status, LaunchParseStatus::Accepted);
  EXPECT_EQ(r.request.frameRate, 500);
  EXPECT_EQ(r.request.imageWidth, 0);
  EXPECT_EQ(r.request.imageHeight, -7);
  EXPECT_EQ(r.request.shutterMultiple, 25) << "commas after the fifth are ignored with what follows";
}

struct RejectCase {
  const char* name;
  std::string message;
  LaunchParseStatus status;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const RejectCase& c, std::ostream* os) { *os << c.name; }

class LaunchRejection : public ::testing::TestWithParam<RejectCase> {};

TEST_P(LaunchRejection, LeavesTheRequestInvalid) {
  const LaunchParseResult r = ParseLaunchMessage(GetParam().message);
  EXPECT_EQ(r.status, GetParam().status);
  EXPECT_FALSE(r.request.valid);
  switch (GetParam().status) {
    case LaunchParseStatus::FormatError: EXPECT_EQ(r.message, kLaunchFormatError); break;
    case LaunchParseStatus::UnknownCamera: EXPECT_EQ(r.message, kLaunchUnknownCamera); break;
    default: EXPECT_TRUE(r.message.empty()); break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaunchRejection,
    ::testing::Values(
        RejectCase{"noComma", "C:\\cameras\\falke.cam", LaunchParseStatus::NotALaunchMessage},
        RejectCase{"oneComma", "abcdefgh,ijk", LaunchParseStatus::FormatError},
        RejectCase{"emptyShutter", std::string("X,") + kModel + ",500,320,280,", LaunchParseStatus::FormatError},
        RejectCase{"noHeightComma", std::string("X,") + kModel + ",500,320,280", LaunchParseStatus::FormatError},
        RejectCase{"caseDiffers", "X,korvan falke 500,500,320,280,4", LaunchParseStatus::UnknownCamera},
        RejectCase{"trailingBlank", std::string("X,") + kModel + " ,500,320,280,4", LaunchParseStatus::UnknownCamera},
        RejectCase{"modelWithoutFile", "X,Korvan Adler 100,garbage", LaunchParseStatus::UnknownCamera},
        RejectCase{"emptyModel", "X,,500,320,280,4", LaunchParseStatus::UnknownCamera}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostShutter, IsClampedToTheList) {
  EXPECT_EQ(ClampHostShutter(0), 1);
  EXPECT_EQ(ClampHostShutter(-3), 1);
  EXPECT_EQ(ClampHostShutter(7), 7);
  EXPECT_EQ(ClampHostShutter(25), 20);
}

TEST(HostCameraLookup, IsExactAndStopsAtTheClosingRow) {
  EXPECT_EQ(LookUpHostCamera("Korvan Falke 250 Mono"), "falke250.cam");
  EXPECT_EQ(LookUpHostCamera("Korvan Adler 100"), "");
  EXPECT_EQ(LookUpHostCamera(""), "");
  EXPECT_EQ(LookUpHostCamera(std::string_view("Korvan Falke 500\0x", 18)), "");
}

}  // namespace
}  // namespace korvan
