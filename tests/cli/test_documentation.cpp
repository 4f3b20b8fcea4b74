// The manual page and the bash completion against the command itself: every subcommand and option
// its --help lists must be documented and completed, so an option added without them fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "common/HelpText.h"
#include "common/ManualPage.h"
#include "common/TestFiles.h"

namespace {

using korvan::testing::HelpText;
using korvan::testing::ParseHelpText;

struct Command {
  std::vector<std::string> path;  // {"camera", "new"}; empty for korvan-lens itself
  HelpText help;

  std::string Name() const {
    std::string name;
    for (const std::string& word : path) name += (name.empty() ? "" : " ") + word;
    return name;
  }
};

std::string HelpOf(const std::vector<std::string>& path) {
  std::vector<std::string> args{"korvan-lens"};
  args.insert(args.end(), path.begin(), path.end());
  args.push_back("--help");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out;
  std::ostringstream err;
  korvan::cli::Run(static_cast<int>(argv.size()), argv.data(), out, err);
  return out.str();
}

// The command and all its subcommands, nested ones included, as their help texts give them.
void Collect(const std::vector<std::string>& path, std::vector<Command>& commands) {
  commands.push_back({path, ParseHelpText(HelpOf(path))});
  const std::vector<std::string> subcommands = commands.back().help.subcommands;
  for (const std::string& subcommand : subcommands) {
    std::vector<std::string> longer = path;
    longer.push_back(subcommand);
    Collect(longer, commands);
  }
}

std::vector<Command> AllCommands() {
  std::vector<Command> commands;
  Collect({}, commands);
  return commands;
}

TEST(Documentation, HelpTextsAreReadWhole) {
  // The reading itself: without it every check below would pass on nothing.
  const std::vector<Command> commands = AllCommands();
  std::set<std::string> names;
  for (const Command& command : commands) names.insert(command.Name());
  for (const char* name : {"", "calc", "camera", "launch"}) EXPECT_EQ(names.count(name), 1u) << name;
  const Command& calc = *std::find_if(commands.begin(), commands.end(), [](auto& c) { return c.Name() == "calc"; });
  ASSERT_GE(calc.help.options.size(), 18u);
  const auto unit = std::find_if(calc.help.options.begin(), calc.help.options.end(),
                                 [](auto& o) { return o.names == std::vector<std::string>{"--unit"}; });
  ASSERT_NE(unit, calc.help.options.end());
  EXPECT_EQ(unit->values, (std::vector<std::string>{"mm", "meters", "inches", "feet"}));
  EXPECT_EQ(calc.help.options.front().names, (std::vector<std::string>{"-h", "--help"}));
}

TEST(Documentation, ManualPageHasEverySubcommandAndOption) {
  const korvan::testing::ManualPage page = korvan::testing::ReadManualPage(KORVAN_SOURCE_DIR "/doc/korvan-lens.1");
  ASSERT_TRUE(page.read);
  for (const Command& command : AllCommands()) {
    if (!command.path.empty()) {
      EXPECT_EQ(page.subsections.count(command.Name()), 1u) << "no subsection \".Ss " << command.Name() << "\"";
    }
    for (const auto& option : command.help.options) {
      for (const std::string& name : option.names) {
        EXPECT_EQ(page.flags.count(name), 1u) << "korvan-lens " << command.Name() << " " << name;
      }
    }
  }
}

// One bash run answers every query: each is the words on the line with the cursor on the last.
class Completion {
 public:
  void Ask(const std::string& key, const std::vector<std::string>& words) { queries_.push_back({key, words}); }

  std::map<std::string, std::set<std::string>> Run(const std::string& folder) const {
    korvan::testing::TempFiles files;
    std::ostringstream script;
    script << "source '" << KORVAN_SOURCE_DIR << "/packaging/completion/korvan-lens' || exit 1\n"
           << "cd '" << folder << "' || exit 1\n";
    for (const auto& [key, words] : queries_) {
      script << "COMP_WORDS=(";
      for (const std::string& word : words) script << " '" << word << "'";
      script << "); COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMPREPLY=(); _korvan_lens\n"
             << "printf '#%s\\n' '" << key << "'; printf '%s\\n' \"${COMPREPLY[@]}\"\n";
    }
    const std::string path = files.Write("queries.sh", script.str());
    std::map<std::string, std::set<std::string>> answers;
    FILE* bash = popen(("bash --norc --noprofile '" + path + "'").c_str(), "r");
    if (!bash) return answers;
    std::string key;
    for (char line[4096]; std::fgets(line, sizeof line, bash);) {
      std::string text(line);
      if (!text.empty() && text.back() == '\n') text.pop_back();
      if (!text.empty() && text[0] == '#') {
        key = text.substr(1);
        answers[key];
      } else if (!text.empty()) {
        answers[key].insert(text);
      }
    }
    EXPECT_EQ(pclose(bash), 0);
    return answers;
  }

 private:
  std::vector<std::pair<std::string, std::vector<std::string>>> queries_;
};

TEST(Documentation, CompletionOffersEverySubcommandOptionAndListedValue) {
  Completion completion;
  const std::vector<Command> commands = AllCommands();
  for (const Command& command : commands) {
    std::vector<std::string> words{"korvan-lens"};
    words.insert(words.end(), command.path.begin(), command.path.end());
    std::vector<std::string> subcommands = words;
    subcommands.push_back("");
    completion.Ask(command.Name() + " <word>", subcommands);
    std::vector<std::string> options = words;
    options.push_back("-");
    completion.Ask(command.Name() + " -", options);
    for (const auto& option : command.help.options) {
      if (option.values.empty()) continue;
      std::vector<std::string> value = words;
      value.push_back(option.names.back());
      value.push_back("");
      completion.Ask(command.Name() + " " + option.names.back(), value);
    }
  }
  const std::map<std::string, std::set<std::string>> answers = completion.Run(KORVAN_SOURCE_DIR);
  ASSERT_FALSE(answers.empty());
  for (const Command& command : commands) {
    const std::string name = command.Name();
    for (const std::string& subcommand : command.help.subcommands) {
      EXPECT_EQ(answers.at(name + " <word>").count(subcommand), 1u) << "korvan-lens " << name << " " << subcommand;
    }
    for (const auto& option : command.help.options) {
      for (const std::string& optionName : option.names) {
        EXPECT_EQ(answers.at(name + " -").count(optionName), 1u) << "korvan-lens " << name << " " << optionName;
      }
      for (const std::string& value : option.values) {
        EXPECT_EQ(answers.at(name + " " + option.names.back()).count(value), 1u)
            << "korvan-lens " << name << " " << option.names.back() << " " << value;
      }
    }
  }
}

TEST(Documentation, CompletionOffersCameraFilesAndFolders) {
  korvan::testing::TempFiles files;
  files.Write("falke.cam", "Falke\n7.4,7.4\n500,640,480\n");
  files.Write("notes.txt", "");
  files.Write("sheet.csv", "");
  std::filesystem::create_directory(files.Path("more"));
  Completion completion;
  completion.Ask("camera", {"korvan-lens", "camera", ""});
  completion.Ask("calc --camera", {"korvan-lens", "calc", "--camera", ""});
  completion.Ask("camera new -o", {"korvan-lens", "camera", "new", "-o", ""});
  completion.Ask("sheet -o", {"korvan-lens", "sheet", "-o", ""});
  const auto answers = completion.Run(files.Path(""));
  EXPECT_EQ(answers.at("camera"), (std::set<std::string>{"new", "falke.cam", "more"}));
  EXPECT_EQ(answers.at("calc --camera"), (std::set<std::string>{"falke.cam", "more"}));
  EXPECT_EQ(answers.at("camera new -o"), (std::set<std::string>{"falke.cam", "more"}));
  EXPECT_EQ(answers.at("sheet -o"), (std::set<std::string>{"sheet.csv", "more"}));
}

}  // namespace
