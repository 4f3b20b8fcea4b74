#pragma once

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace korvan::testing {

// What a program's --help says it accepts, read from the help text itself, so that a check built
// on it follows every option and subcommand the program gains.
struct HelpOption {
  std::vector<std::string> names;   // "-o", "--output"
  std::vector<std::string> values;  // the listed choices, {mm,meters,...}; empty when any text goes
};

struct HelpText {
  std::vector<HelpOption> options;
  std::vector<std::string> subcommands;
};

// Reads the sections "Options:" and "Subcommands:" of a help text laid out as CLI11 lays it out:
// a heading at the left margin, entries indented by two, the entry's names first.
inline HelpText ParseHelpText(const std::string& text) {
  HelpText help;
  std::string section;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    if (!std::isspace(static_cast<unsigned char>(line[0]))) {
      section.clear();
      for (char c : line) section += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      continue;
    }
    if (line.size() < 3 || line.compare(0, 2, "  ") != 0 || std::isspace(static_cast<unsigned char>(line[2]))) {
      continue;  // a description carried over to its own line
    }
    const std::string entry = line.substr(2, line.find(' ', 2) - 2);
    if (section == "subcommands:") {
      help.subcommands.push_back(entry);
    } else if (section == "options:" && entry.front() == '-') {
      HelpOption option;
      std::istringstream names(entry);
      for (std::string name; std::getline(names, name, ',');) option.names.push_back(name);
      const std::size_t open = line.find(":{");
      const std::size_t close = line.find('}', open);
      if (open != std::string::npos && close != std::string::npos) {
        std::istringstream values(line.substr(open + 2, close - open - 2));
        for (std::string value; std::getline(values, value, ',');) option.values.push_back(value);
      }
      help.options.push_back(option);
    }
  }
  return help;
}

}  // namespace korvan::testing
