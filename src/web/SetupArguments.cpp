#include "web/SetupArguments.h"

#include <nlohmann/json.hpp>

namespace korvan::web {

SetupArguments PlanArguments(std::string_view setupJson) {
  SetupArguments result;
  const nlohmann::json setup = nlohmann::json::parse(setupJson, nullptr, false);
  if (setup.is_discarded() || !setup.is_object()) {
    result.error = "The setup is not a JSON object.";
    return result;
  }
  result.arguments = {"plan", "--json"};
  const auto options = setup.find("options");
  if (options == setup.end()) return result;
  if (!options->is_object()) {
    result.error = "The setup's options are not a JSON object.";
    return result;
  }
  for (const auto& [name, value] : options->items()) {
    // Options only: the command's flags would print something other than a plan.
    if (name.empty() || name.front() == '-' || name == "json" || name == "help" || name == "version") {
      result.error = "The following argument was not expected: " + name;
      return result;
    }
    if (!value.is_string()) {
      result.error = "The value of " + name + " is not a text.";
      return result;
    }
    // One argument, so that a value that begins with a minus stays the option's value; an empty
    // one apart, since the parser reads "--name=" as the option without its value.
    const std::string text = value.get<std::string>();
    if (text.empty()) {
      result.arguments.insert(result.arguments.end(), {"--" + name, ""});
    } else {
      result.arguments.push_back("--" + name + "=" + text);
    }
  }
  return result;
}

}  // namespace korvan::web
