#pragma once

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace korvan::testing {

// The options and subsections an mdoc manual page documents: every flag written with the Fl macro
// (".It Fl -unit Ar unit" documents "--unit", "Fl o" documents "-o") and every ".Ss" heading.
struct ManualPage {
  std::set<std::string> flags;
  std::set<std::string> subsections;
  bool read = false;
};

inline ManualPage ReadManualPage(const std::string& path) {
  ManualPage page;
  std::ifstream file(path);
  page.read = file.good();
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] != '.') continue;
    if (line.rfind(".Ss ", 0) == 0) {
      page.subsections.insert(line.substr(4));
      continue;
    }
    std::istringstream words(line.substr(1));
    for (std::string word, previous; words >> word; previous = word) {
      if (previous == "Fl") page.flags.insert("-" + word);
    }
  }
  return page;
}

}  // namespace korvan::testing
