#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "settings/RecentFileList.h"

namespace korvan {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFileList, NewestFirstEachOnceAtMostTen) {
  RecentFileList list;
  for (int i = 0; i < 12; ++i) list.Add("/cams/" + std::to_string(i) + ".cam");
  ASSERT_EQ(list.Entries().size(), 10u);
  EXPECT_EQ(list.Entries().front(), "/cams/11.cam");
  EXPECT_EQ(list.Entries().back(), "/cams/2.cam");
  list.Add("/cams/5.cam");
  EXPECT_EQ(list.Entries().front(), "/cams/5.cam");
  EXPECT_EQ(list.Entries().size(), 10u);
  EXPECT_EQ(std::count(list.Entries().begin(), list.Entries().end(), "/cams/5.cam"), 1);
}

TEST(RecentFileList, LoadSkipsEmptyAndRepeatedEntriesAndKeepsTheCap) {
  RecentFileList list(3);
  list.Load({"", "a.cam", "b.cam", "a.cam", "", "c.cam", "d.cam"});
  EXPECT_EQ(list.Entries(), (Paths{"a.cam", "b.cam", "c.cam"}));
  list.Add("");
  EXPECT_EQ(list.Entries().size(), 3u);
}

TEST(RecentFileList, FileNamesHaveOnePlaceForEachEntryOfTheCapacity) {
  RecentFileList list;
  list.Add("x.cam");
  const Paths names = list.FileNames();
  ASSERT_EQ(names.size(), 10u);
  EXPECT_EQ(names[0], "x.cam");
  EXPECT_TRUE(names[9].empty());
}

TEST(AbsoluteNormalPath, GivesOneFullNameForEveryWayOfNamingAFile) {
  const std::string inHere = (std::filesystem::current_path() / "falke500.cam").string();
  const std::pair<std::string, std::string> cases[] = {
      {"falke500.cam", inHere},
      {"./cams/../falke500.cam", inHere},
#ifndef _WIN32  // a rooted name without a drive names a folder of the current drive there
      {"/cams/./x/../a.cam", "/cams/a.cam"},
      {"/cams//a.cam", "/cams/a.cam"},
      {"/cams/a.cam", "/cams/a.cam"},
#endif
      {"", ""},
  };
  for (const auto& [given, expected] : cases) EXPECT_EQ(AbsoluteNormalPath(given), expected) << given;
}

}  // namespace
}  // namespace korvan
