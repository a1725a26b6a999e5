// The names the program gives its files, written down once: the result file
// of an allocation and its numbered variants, the seed file beside each
// result file (and the older name earlier versions gave it), and the names
// that are refused outright. The result-file naming (result_file.h), the seed
// file writer (seed_file.h) and lotrano-verify's search for a report's seed
// file all name files through these.
//
// A result file is named "Probleme Examen Nr_" + exam digit + " (" + range
// text + ") " + group title (file case) or ") Grupa " + typed group (typed
// case) + ".rez"; its seed file "Seed_" + the same middle + ".dat".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/run_values.h"
#include "host/text/fixed_text.h"

namespace lotrano {

// The length of a file name's field: ResultFileName, the seed file's name.
inline constexpr std::size_t kFileNameLength = 260;

// The numbered variants run from [1] to this one: with the base name they are
// the ten names an allocation may take.
inline constexpr std::int32_t kLastResultFileVariant = 9;

// The name's pieces before the group: "Probleme Examen Nr_", the exam digit,
// " (", the range text, and ") " (file case) or ") Grupa " (typed case).
std::string resultFileNamePrefix(std::string_view examNumberText, std::string_view rangeText,
                                 bool groupFromFile);

// The base name: "Probleme Examen Nr_", the exam digit, " (", the range text,
// ") " and the group title without trailing blanks (file case) or ") Grupa "
// and the typed group (typed case), then ".rez".
std::string resultFileBaseName(const Group& group, const ExamData& exam);

// The k-th numbered variant of a base name (1 <= k <= 9): the base name with
// "[k]" put before its final ".rez", so that every variant keeps the whole
// group title: "... Gr. 311 AC.rez" has "... Gr. 311 AC[1].rez".
std::string resultFileVariant(std::string_view baseName, std::int32_t k);

// True for a name the program could have given a result file: it begins with
// "Probleme Examen Nr_" and ends, after it, with ".rez".
bool isResultFileName(std::string_view name);

// Why no file of the program may take the name, or nullopt when it may: a
// name that would reach outside the current directory ("/" or "\") or that
// holds a control character (a NUL would silently cut it short; a CR or a tab
// from a group file with odd line ends would hide in it) is refused. Windows
// refuses all of these too. The reason names the first such character, as
// the group (the only piece of a name that can hold one) brings it.
std::optional<std::string> refusedNameReason(std::string_view name);

// The seed file of a result file: the result file's name with its leading
// "Probleme Examen Nr_" replaced by "Seed_" and its final ".rez" by ".dat",
// so that every report has a seed file of its own, variants included:
// "Probleme Examen Nr_1 (1-6) Gr. 311 AC[2].rez" has "Seed_1 (1-6) Gr. 311
// AC[2].dat". (A name without that beginning gets "Seed_" put in front, one
// without that end gets ".dat" added.)
FixedText seedFileName(std::string_view resultFileName);

// The name that reports written by earlier versions of the program have for
// their seed file: "Seed_" + exam digit + " (" + range text + ") " + the part
// of the result file's name from its first upper-case "G" up to its first "."
// (empty when the "." comes first; from where the group title begins when
// the name has no "G") + ".dat". Titles such as "Gr. 311" or "Sem. 2, Grupa
// 1231" give several reports one such name, so each seed file there holds
// the draw of the last of them only.
FixedText legacySeedFileName(const std::string& examNumberText, const std::string& rangeText,
                             const FixedText& resultFileName);

}  // namespace lotrano
