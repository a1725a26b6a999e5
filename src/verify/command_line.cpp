#include "verify/command_line.h"

#include <string_view>

#include "verify/public_text.h"

namespace lotrano {
namespace {

constexpr std::string_view kSeedOption = "--seed";
constexpr std::string_view kGroupOption = "--group";
constexpr std::string_view kPublicTextOption = "--public-text";
constexpr std::string_view kSeedFromTextOption = "--seed-from-text";

// A text given with --public-text or --seed-from-text, normalised; or what
// is wrong with it.
std::variant<std::string, CommandLineError> publicTextOf(const std::string& given) {
  const auto normalized = normalizePublicText(given);
  if (const auto* fault = std::get_if<PublicTextFault>(&normalized)) {
    return CommandLineError{*fault == PublicTextFault::kEmpty
                                ? "textul public este gol sau are doar spatii"
                                : "textul public nu este text UTF-8 valid"};
  }
  return std::get<std::string>(normalized);
}

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
    // "--seed FILE" or "--seed=FILE", and the same for --group and the texts.
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const bool isText = name == kPublicTextOption || name == kSeedFromTextOption;
    std::optional<std::string>* target = name == kSeedOption           ? &options.seedFile
                                         : name == kGroupOption        ? &options.groupFile
                                         : name == kPublicTextOption   ? &options.publicText
                                         : name == kSeedFromTextOption ? &options.seedFromText
                                                                       : nullptr;
    if (target == nullptr) return CommandLineError{"optiune necunoscuta '" + argument + "'"};
    std::optional<std::string> value;
    if (equals != std::string::npos) {
      value = argument.substr(equals + 1);
    } else if (k + 1 < arguments.size()) {
      value = arguments[++k];
    }
    // An empty text is given, and refused as a text; an empty file name is
    // no argument.
    if (!value || (value->empty() && !isText)) {
      return CommandLineError{"optiunea '" + name + "' cere un argument"};
    }
    if (isText) {
      auto text = publicTextOf(*value);
      if (auto* wrong = std::get_if<CommandLineError>(&text)) return std::move(*wrong);
      value = std::move(std::get<std::string>(text));
    }
    *target = std::move(value);
  }
  if (options.help || options.version) return options;
  if (options.seedFromText) {
    if (!options.reports.empty() || options.seedFile || options.groupFile || options.csv ||
        options.publicText) {
      return CommandLineError{
          "optiunea '--seed-from-text' se da singura, fara rapoarte si fara alte optiuni"};
    }
    return options;
  }
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
