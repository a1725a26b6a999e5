// lotrano-verify: checks reports against their seed files and writes one
// verdict per report on standard output, in Romanian like the rest of the
// program. It opens every file read-only and creates, changes or removes
// nothing.
//
//   POTRIVIRE: <report> corespunde fisierului seed <seed> ...
//   NEPOTRIVIRE: <report> nu corespunde fisierului seed <seed>
//     prima linie diferita: <n>
//     in raport:  "<text>"
//     refacut:    "<text>"
//   EROARE: <report>: <diagnostic>
//
// With --public-text the first line goes on with "; fisierul seed vine din
// textul public "<text>"", or "nu vine", and a report matches only when its
// seed file's entries, as many as it has batches, are those of the text; the
// first entry that is not follows:
//     prima intrare diferita: <k>
//     in fisierul seed:    <word>   <word>
//     din textul public:   <word>   <word>
// With --seed-from-text it writes the seed file of the text on standard
// output, and nothing else.
//
// Exit status: 0 when every report matched; otherwise that of the first
// report, in the order given, that did not match (2) or could not be checked
// (the number of its error); 3 for a wrong command line.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "host/text/fatal_error.h"

namespace lotrano {

inline constexpr std::string_view kVerifyProgramName = "lotrano-verify";
inline constexpr int kMismatchStatus = 2;
inline constexpr int kCommandLineStatus = 3;

// Runs lotrano-verify on its arguments (those after the program's name):
// the verdicts, the help or the version on `out`, a wrong command line's
// diagnostic on `err`. Returns the exit status. A failed write to `out` is
// the fatal "error during write" naming the console.
int runVerify(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              std::string_view version);

}  // namespace lotrano
