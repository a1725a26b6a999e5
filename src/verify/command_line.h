// The command line of lotrano-verify, read the GNU way: options before,
// between or after the reports, "--seed FILE" or "--seed=FILE", and "--"
// before reports whose names begin with "-"; -h and -V are the short forms
// of --help and --version.
//
//   lotrano-verify [--seed FILE] [--group FILE] [--public-text TEXT] REPORT.rez [REPORT.rez ...]
//   lotrano-verify --csv [--seed FILE] [--group FILE] [--public-text TEXT] REPORT.rez
//   lotrano-verify --seed-from-text TEXT
//   lotrano-verify --help | -h | --version | -V
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lotrano {

struct VerifyOptions {
  bool help = false;
  bool version = false;
  bool csv = false;                      // --csv: the matched allocation as CSV
  std::optional<std::string> seedFile;   // --seed: this seed file, for the one report
  std::optional<std::string> groupFile;  // --group: check the names against it
  // --public-text: check that the seed file comes from this text; normalised.
  std::optional<std::string> publicText;
  // --seed-from-text: write the seed file of this text; normalised.
  std::optional<std::string> seedFromText;
  std::vector<std::string> reports;  // in the order given
};

// What is wrong with a command line, for the one diagnostic line.
struct CommandLineError {
  std::string what;
};

// The options of the arguments after the program's name. --help and
// --version need nothing else; --seed-from-text stands alone; otherwise at
// least one report, and --seed and --csv with exactly one. An unknown
// option, an option without its argument, no report, --seed or --csv with
// several reports, --seed-from-text with anything else, and a text of
// --public-text or --seed-from-text that is not UTF-8 or holds nothing but
// white space are errors.
std::variant<VerifyOptions, CommandLineError> parseCommandLine(
    const std::vector<std::string>& arguments);

}  // namespace lotrano
