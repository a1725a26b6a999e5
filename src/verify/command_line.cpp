#include "verify/command_line.h"

#include <string_view>

namespace lotrano {
namespace {

constexpr std::string_view kSeedOption = "--seed";
constexpr std::string_view kGroupOption = "--group";

}  // namespace

std::variant<VerifyOptions, CommandLineError> parseCommandLine(
    const std::vector<std::string>& arguments) {
  VerifyOptions options;
  bool optionsEnded = false;
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    const std::string& argument = arguments[k];
    // A lone "-" is a file name, as GNU tools take it.
    if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
      options.reports.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    if (argument == "--help" || argument == "-h") {
      options.help = true;
      continue;
    }
    if (argument == "--version" || argument == "-V") {
      options.version = true;
      continue;
    }
    if (argument == "--csv") {
      options.csv = true;
      continue;
    }
    // "--seed FILE" or "--seed=FILE", and the same for --group.
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    std::optional<std::string>* target = name == kSeedOption    ? &options.seedFile
                                         : name == kGroupOption ? &options.groupFile
                                                                : nullptr;
    if (target == nullptr) return CommandLineError{"optiune necunoscuta '" + argument + "'"};
    std::string value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (k + 1 < arguments.size()) {
      value = arguments[++k];
    }
    if (value.empty()) return CommandLineError{"optiunea '" + name + "' cere un argument"};
    *target = value;
  }
  if (options.help || options.version) return options;
  if (options.reports.empty()) return CommandLineError{"niciun raport de verificat"};
  if (options.seedFile && options.reports.size() > 1) {
    return CommandLineError{"optiunea '--seed' se poate da doar cu un singur raport"};
  }
  if (options.csv && options.reports.size() > 1) {
    return CommandLineError{"optiunea '--csv' se poate da doar cu un singur raport"};
  }
  return options;
}

}  // namespace lotrano
