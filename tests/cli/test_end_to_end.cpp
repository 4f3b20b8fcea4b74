#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/ChildProcess.h"
#include "common/TestFiles.h"

// Runs the built korvan-lens binary (its path comes from the build) as a user would.
namespace {

using korvan::testing::TempFiles;
using Json = nlohmann::ordered_json;

using korvan::testing::Ran;

Ran RunBinary(const std::vector<std::string>& args) { return korvan::testing::RunProgram(KORVAN_LENS_PATH, args); }

// Compares leaf by leaf, so that a failure names the key, and in the document's order.
void ExpectSameValues(const Json& actual, const Json& expected) {
  const Json a = actual.flatten();
  const Json e = expected.flatten();
  ASSERT_EQ(a.size(), e.size()) << actual.dump();
  auto next = a.items().begin();
  for (const auto& [key, value] : e.items()) {
    EXPECT_EQ(next.key(), key);
    EXPECT_EQ(next.value(), value) << key;
    ++next;
  }
}

TEST(KorvanLens, CalcPrintsTheDocumentedExample) {
  const Ran ran = RunBinary({"calc", "--shutter", "3", "--f-number", "2.8", "--distance", "2", "--field-width", "0.5",
                             "--velocity", "1", "--json"});
  ASSERT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.err, "");
  const Json expected = Json::parse(R"({
    "camera": "No Camera Selected",
    "frameRate": "60",
    "resolution": "480 x 420",
    "shutter": "3x -- 5555.56 usec",
    "status": "To learn more about Korvan products and software, click on About.",
    "boxes": {
      "focalLength": "13.73", "magnification": "0.006912", "objectDistance": "2", "fieldWidth": "0.5",
      "objectVelocity": "1",
      "resultName": "Focal Length", "result": "13.73", "resultUnit": "mm",
      "sensorWidthMm": "3.46", "sensorHeightMm": "3.02", "widthPx": "480", "heightPx": "420",
      "workingFNumber": "2.819", "depthOfField": "2.202", "nearFocus": "1.386", "farFocus": "3.588",
      "hyperFocus": "4.457", "fieldAngle": "14.25", "format": "1/3\" C",
      "motionBlur": "0.005556", "pixelBlur": "5.3",
      "lengthUnit": "meters", "speedUnit": "m/sec"
    },
    "attachments": {
      "focalLength": "13.73", "magnification": "0.006912", "workingFNumber": "2.819",
      "fieldWidth": "0.5", "focusShift": "0", "unit": "meters"
    },
    "state": {
      "computeMode": 0, "direction": 0, "lensInput": 0, "unit": 1, "frameRate": 60, "shutterMultiple": 3,
      "focalLengthMm": 13.729104430178605, "fieldRatio": 144.67592592592592, "fNumber": 2.8,
      "objectDistance": 2.0, "fieldWidth": 0.5, "velocity": 1.0, "computedValue": 13.729104430178605,
      "workingFNumber": 2.8193536, "depthOfField": 2.2016411095933126, "nearFocus": 1.3863935837398285,
      "farFocus": 3.588034693333141, "fieldAngleDeg": 14.250044734301458, "hyperfocal": 4.457010014748293,
      "centeredFormatLabel": "1/3\" C", "motionBlur": 0.005555555555555556, "pixelBlur": 5.333333333333334,
      "resultsValid": true, "sensorWidthPx": 480, "sensorHeightPx": 420,
      "pixelPitchX": 7.2e-06, "pixelPitchY": 7.2e-06
    }
  })");
  ExpectSameValues(Json::parse(ran.out), expected);
  // Doubles print in their shortest round-trip form, whole numbers with ".0".
  EXPECT_NE(ran.out.find("\"focalLengthMm\": 13.729104430178605,"), std::string::npos);
  EXPECT_NE(ran.out.find("\"objectDistance\": 2.0,"), std::string::npos);
}

TEST(KorvanLens, CameraReadsABenchCameraFile) {
  TempFiles files;
  const std::string path = files.Write("bench.cam", korvan::testing::kBenchCamera);
  const Ran ran = RunBinary({"camera", path, "--json"});
  ASSERT_EQ(ran.status, 0) << ran.err;
  ExpectSameValues(Json::parse(ran.out), Json::parse(R"({
    "name": "Bench Camera 1", "pixelPitchX": 1.2e-05, "pixelPitchY": 1.2e-05,
    "modes": [
      {"rateText": "250", "frameRate": 250, "width": 1280, "height": 1024},
      {"rateText": "500", "frameRate": 500, "width": 1280, "height": 1024},
      {"rateText": "500", "frameRate": 500, "width": 640, "height": 512},
      {"rateText": "1000", "frameRate": 1000, "width": 640, "height": 512}
    ],
    "frameRates": ["250", "500", "1000"],
    "resolutions": {"250": ["1280 x 1024"], "500": ["1280 x 1024", "640 x 512"], "1000": ["640 x 512"]}
  })"));

  const std::string badPath = files.Write("bad.cam", "Bench\n7.4;7.4\n500,640,512\n");
  const Ran bad = RunBinary({"camera", badPath});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "Badly formatted file, 7.4;7.4\n");
}

// The arguments arrive as UTF-8 whatever the platform, an absolute path is not taken for an
// option, and every line ends in a bare line feed.
TEST(KorvanLens, ReadsACameraFileUnderANonAsciiNameAndWritesBareLineFeeds) {
  TempFiles files;
  const std::string name = "Kamera \xc3\x86r\xc3\xb8 \xe6\x97\xa5\xe6\x9c\xac.cam";
  const std::string path = files.Write("bench.cam", korvan::testing::kBenchCamera);
  const std::filesystem::path renamed = files.Dir() / std::filesystem::path(std::u8string(name.begin(), name.end()));
  std::filesystem::rename(path, renamed);
  const std::u8string utf8 = renamed.generic_u8string();
  std::string absolute(utf8.begin(), utf8.end());
  // Without its drive, the path begins with "/" as an absolute path on Unix does: that is where a
  // Windows-style option parser would take it for an option.
  const std::u8string here = std::filesystem::current_path().root_name().generic_u8string();
  if (!here.empty() && utf8.starts_with(here)) absolute.erase(0, here.size());
  const Ran ran = RunBinary({"camera", absolute});
  ASSERT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.out.find('\r'), std::string::npos);
  EXPECT_EQ(ran.out.substr(0, ran.out.find('\n') + 1), "Camera            Bench Camera 1\n");

  const Ran missing = RunBinary({"camera", absolute + "x"});
  EXPECT_EQ(missing.status, 1);
  // The system's reason follows the name; its wording is the platform's.
  const std::string named = "Error accessing camera file " + absolute + "x: ";
  EXPECT_EQ(missing.err.substr(0, named.size()), named);
  EXPECT_GT(missing.err.size(), named.size() + 1);
}

TEST(KorvanLens, LaunchParsesGoodMessagesAndRefusesMalformedOnes) {
  const Ran good = RunBinary({"launch", "X,Korvan Falke 500,500,320,280,4", "--json"});
  ASSERT_EQ(good.status, 0) << good.err;
  ExpectSameValues(Json::parse(good.out), Json::parse(R"({"cameraName": "Korvan Falke 500",
      "cameraFile": "falke500.cam", "frameRate": 500, "imageWidth": 320, "imageHeight": 280,
      "shutterMultiple": 4, "valid": true})"));

  const Ran ignored = RunBinary({"launch", "C:\\cameras\\x.cam", "--json"});
  EXPECT_EQ(ignored.status, 0);
  EXPECT_EQ(Json::parse(ignored.out), Json::parse(R"({"valid": false})"));

  const Ran malformed = RunBinary({"launch", "X,Korvan Falke 500,500", "--json"});
  EXPECT_EQ(malformed.status, 1);
  EXPECT_EQ(malformed.err, "Improperly formatted message from Korvan.  Unable to load current settings.\n");
  EXPECT_EQ(Json::parse(malformed.out)["error"],
            "Improperly formatted message from Korvan.  Unable to load current settings.");

  const Ran models = RunBinary({"launch", "--models", "--json"});
  ASSERT_EQ(models.status, 0) << models.err;
  const Json rows = Json::parse(models.out);
  ASSERT_EQ(rows.size(), 41u);
  for (const Json& row : rows) {
    EXPECT_NE(row["modelName"], "");
    EXPECT_NE(row["modelName"].get<std::string>().find(' '), std::string::npos);
  }
}

TEST(KorvanLens, ExitStatusSaysWhatWentWrong) {
  EXPECT_EQ(RunBinary({"calc"}).status, 0);
  EXPECT_EQ(RunBinary({"calc", "--frame-rate", "59"}).status, 1);
  const Ran usage = RunBinary({"calc", "--unit", "furlongs", "--json"});
  EXPECT_EQ(usage.status, 2);
  EXPECT_TRUE(Json::parse(usage.out).contains("error"));
}

TEST(KorvanLens, PlanPrintsTheWorkedExample) {
  const Ran ran = RunBinary({"plan", "--shutter", "3", "--f-number", "2.8", "--distance", "2", "--field-width", "0.5",
                             "--velocity", "1", "--depth", "0.2", "--json"});
  ASSERT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.err, "");
  const Json plan = Json::parse(ran.out);
  const Json& budget = plan["budget"];
  EXPECT_EQ(budget["motion"]["value"].get<double>(), 5.333333333333334);
  EXPECT_EQ(budget["defocusNear"]["value"].get<double>(), 0.24774323783780966);
  EXPECT_EQ(budget["defocusFar"]["value"].get<double>(), 0.22414864375801824);
  EXPECT_EQ(budget["diffraction"]["value"].get<double>(), 0.5254961848888888);
  EXPECT_EQ(budget["total"]["value"].get<double>(), 5.364882794308892);
  EXPECT_EQ(budget["sharpNear"]["value"].get<double>(), 1.6495606421958502);
  EXPECT_EQ(budget["sharpFar"]["value"].get<double>(), 2.539502141970123);
  EXPECT_EQ(plan["bestFNumber"]["optimum"]["value"].get<double>(), 1.9225345455019325);
  EXPECT_EQ(plan["bestFNumber"]["bestEntry"]["text"], "2.0");
  EXPECT_EQ(plan["bestFNumber"]["bestEntrySum"]["value"].get<double>(), 0.5110668197586721);
  EXPECT_EQ(plan["apertureWindow"]["text"], "none");
  EXPECT_EQ(plan["shutterLimit"]["multiple"]["text"], "16");
  EXPECT_EQ(plan["modes"]["rows"][0]["inForce"], true);

  const Ran table = RunBinary({"plan", "--distance", "2", "--field-width", "0.5", "--velocity", "1", "--lenses", "8, x"});
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("\nLongest Exposure Within the Limit  16      x\nExposure There                     1042    usec"),
            std::string::npos)
      << table.out;
  EXPECT_NE(table.out.find("  Skipped \"x\": not a number\n"), std::string::npos) << table.out;
}

TEST(KorvanLens, PlanPrintsTheLightAndEnvelopeExamples) {
  const Ran ran = RunBinary({"plan", "--shutter", "3", "--f-number", "2.8", "--distance", "2", "--field-width", "0.5",
                             "--velocity", "1", "--depth", "0.2", "--iso", "1600", "--lamp-lux", "5000",
                             "--lamp-distance", "1.5", "--mains", "50", "--json"});
  ASSERT_EQ(ran.status, 0) << ran.err;
  const Json plan = Json::parse(ran.out);
  const Json& light = plan["light"];
  EXPECT_EQ(light["exposureSeconds"]["value"].get<double>(), 0.005555555555555556);
  EXPECT_EQ(light["needed"]["value"].get<double>(), 223.55872655155198);
  EXPECT_EQ(light["needed"]["text"], "223.6");
  EXPECT_EQ(light["available"]["value"].get<double>(), 2222.222222222222);
  EXPECT_EQ(light["headroom"]["value"].get<double>(), 3.3132773261605304);
  EXPECT_EQ(light["lampsNeeded"]["text"], "1");
  EXPECT_EQ(light["farthestLampDistance"]["value"].get<double>(), 4.729216418023385);
  EXPECT_EQ(light["framesPerLightCycle"]["value"].get<double>(), 0.6);
  EXPECT_EQ(light["flicker"], true);
  const Json& envelope = plan["envelope"];
  EXPECT_EQ(envelope["workable"], 4);
  EXPECT_EQ(envelope["recommended"]["text"], "20x at f/1.4");
  EXPECT_EQ(envelope["total"]["value"].get<double>(), 0.977007373391133);
  EXPECT_EQ(envelope["headroom"]["value"].get<double>(), 2.5763117319943243);
  EXPECT_EQ(envelope["lightNeeded"]["value"].get<double>(), 372.59787758591995);

  const Ran refused = RunBinary({"plan", "--distance", "2", "--field-width", "0.5", "--mains", "55", "--iso", "x"});
  ASSERT_EQ(refused.status, 0) << refused.err;
  EXPECT_NE(refused.out.find("(The mains frequency must be 0, 50 or 60 Hz)"), std::string::npos) << refused.out;
  const std::size_t needed = refused.out.find("\nLight Needed ");
  ASSERT_NE(needed, std::string::npos) << refused.out;
  EXPECT_EQ(refused.out.substr(refused.out.find_first_not_of(' ', needed + 13), 29), "n/a (The ISO is not a number)");
}

TEST(KorvanLens, SheetWritesAFileOrNothingAtAll) {
  TempFiles files;
  const std::string path = files.Path("shoot.json");
  const Ran ran = RunBinary({"sheet", "--distance", "2", "--field-width", "0.5", "--f-number", "2.8", "--depth", "0.2", "--note", "take 1",
                             "-o", path});
  ASSERT_EQ(ran.status, 0) << ran.err;
  EXPECT_EQ(ran.out + ran.err, "");
  const Json sheet = Json::parse(korvan::testing::ReadAllBytes(path));
  EXPECT_EQ(sheet["note"], "take 1");
  EXPECT_EQ(sheet["sheetVersion"], 1);
  EXPECT_EQ(sheet["budget"]["defocusNear"]["text"], "0.2477");

  const std::string missing = files.Path("gone/shoot.csv");
  const Ran refused = RunBinary({"sheet", "--distance", "2", "-o", missing});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "Cannot write " + missing + ": No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(files.Dir() / "gone"));

  const Ran pdf = RunBinary({"sheet", "-o", files.Path("shoot.pdf"), "--json"});
  EXPECT_EQ(pdf.status, 2);
  EXPECT_TRUE(Json::parse(pdf.out).contains("error"));
  EXPECT_EQ(RunBinary({"sheet", "-o", files.Path("shoot.txt")}).status, 2);
  EXPECT_EQ(RunBinary({"sheet"}).status, 2);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(files.Dir())) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"shoot.json"});
}

}  // namespace
