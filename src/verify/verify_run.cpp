#include "verify/verify_run.h"

#include <optional>
#include <ostream>
#include <system_error>
#include <variant>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#endif

#include "alloc/seed_entry.h"
#include "app/batches.h"
#include "app/group_file.h"
#include "app/report_reader.h"
#include "host/platform/text_file.h"
#include "host/text/text_stream.h"
#include "verify/allocation_csv.h"
#include "verify/command_line.h"
#include "verify/public_text.h"
#include "verify/report_check.h"
#include "verify/seed_lookup.h"

namespace lotrano {
namespace {

constexpr std::string_view kHelp =
    "Utilizare: lotrano-verify [--seed FISIER] [--group FISIER] RAPORT.rez [RAPORT.rez ...]\n"
    "       lotrano-verify --csv [--seed FISIER] [--group FISIER] RAPORT.rez\n"
    "       lotrano-verify --public-text TEXT [alte optiuni] RAPORT.rez [RAPORT.rez ...]\n"
    "       lotrano-verify --seed-from-text TEXT\n"
    "\n"
    "Verifica rapoarte lotrano: trage din nou alocarea din fisierul seed al\n"
    "fiecarui raport, scrie raportul din nou si il compara, linie cu linie (fara\n"
    "linia cu data si ora si fara linia de re-alocare), cu cel dat. Nu creeaza,\n"
    "nu schimba si nu sterge niciun fisier.\n"
    "\n"
    "  --seed FISIER   fisierul seed de folosit (cu un singur raport); altfel cel\n"
    "                  numit dupa raport, din dosarul raportului\n"
    "  --group FISIER  verifica si numele studentilor, fata de fisierul grupei;\n"
    "                  altfel numele sunt luate din raport\n"
    "  --public-text TEXT\n"
    "                  verifica si ca fisierul seed vine din textul public TEXT,\n"
    "                  anuntat inainte de tragere: ca intrarile lui, cate una pe\n"
    "                  runda a tragerii, sunt cele scrise de --seed-from-text TEXT\n"
    "  --csv           daca raportul corespunde, scrie alocarea (Nr;Nume;Problema;\n"
    "                  Runda, UTF-8, CR LF) la iesirea standard; verdictul merge\n"
    "                  la iesirea de erori\n"
    "  --seed-from-text TEXT\n"
    "                  scrie la iesirea standard fisierul seed al textului public\n"
    "                  TEXT (de exemplu numerele unei extrageri Loto) si nimic\n"
    "                  altceva; redirectati-o intr-un fisier: > Seed_public.dat\n"
    "  -h, --help      afiseaza acest ajutor\n"
    "  -V, --version   afiseaza versiunea\n"
    "\n"
    "Cod de iesire: 0 daca toate rapoartele corespund (si vin din textul public)\n"
    "sau daca fisierul seed al textului a fost scris; altfel codul primului\n"
    "raport care nu corespunde (2) sau nu a putut fi verificat (numarul erorii);\n"
    "3 pentru o linie de comanda gresita (si pentru un text public gol sau care\n"
    "nu e UTF-8); 128 + numarul semnalului (130 pentru Ctrl-C) la o intrerupere.\n";
constexpr std::string_view kTryHelp = "Incercati 'lotrano-verify --help'.";

constexpr std::string_view kMatch = "POTRIVIRE: ";
constexpr std::string_view kMatchesSeed = " corespunde fisierului seed ";
constexpr std::string_view kNamesNotChecked =
    " (numele studentilor nu au fost verificate: luate din raport)";
constexpr std::string_view kAndGroupFile = " si fisierului grupei ";
constexpr std::string_view kMismatch = "NEPOTRIVIRE: ";
constexpr std::string_view kDoesNotMatchSeed = " nu corespunde fisierului seed ";
constexpr std::string_view kFirstDifferingLine = "  prima linie diferita: ";
constexpr std::string_view kInReport = "  in raport:  ";
constexpr std::string_view kRebuilt = "  refacut:    ";
constexpr std::string_view kNoLine = "(sfarsit de fisier)";
constexpr std::string_view kError = "EROARE: ";
constexpr std::string_view kFromPublicText = "; fisierul seed vine din textul public ";
constexpr std::string_view kNotFromPublicText = "; fisierul seed nu vine din textul public ";
constexpr std::string_view kFirstDifferingEntry = "  prima intrare diferita: ";
// The same width, so that the words of the two entries stand in columns.
constexpr std::string_view kInSeedFile = "  in fisierul seed:  ";
constexpr std::string_view kFromText = "  din textul public: ";

// A line of a report as the verdict quotes it: control characters (a stray
// CR, a NUL) as \xNN, so that the verdict stays one readable line each.
std::string quoted(const std::optional<std::string>& line) {
  if (!line) return std::string(kNoLine);
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown = "\"";
  for (const char c : *line) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) {
      shown += "\\x";
      shown += kHex[code >> 4];
      shown += kHex[code & 0x0F];
    } else {
      shown += c;
    }
  }
  return shown + "\"";
}

// The group file named with --group, read by the program's own reader; its
// console lines go nowhere.
Group groupFromFile(const std::string& path) {
  TextSink console([](std::string_view) { return true; }, std::string(kConsoleName), "\n");
  if (auto group = readGroupFile(path, console)) return std::move(*group);
  std::error_code error;
  if (!openForReading(path, error)) throwOpenError(error, path);
  // It opens now but did not a moment ago.
  throwOpenError(std::make_error_code(std::errc::io_error), path);
}

// The number of entries that the allocation of `students` over the report's
// range takes from its seed file: one per batch drawn.
std::size_t entriesTaken(std::int32_t students, const ExamData& exam) {
  const BatchSizes sizes = batchSizes(students, exam.range.ProblemCount);
  std::size_t taken = 0;
  for (std::size_t k = 0; k < kBatchCount; ++k) {
    if (batchIsDrawn(sizes, k)) ++taken;
  }
  return taken;
}

// The report written again for `group`, drawn from the seed file. A group
// file with more students than the report asks the seed file for entries
// that the report never took: when the seed file ends before them, the
// fault is the group file's, and the error names it.
std::vector<std::string> rebuiltFor(const ReadReport& report, const Group& group,
                                    const VerifyOptions& options, LineSource& seedLines,
                                    AllocationBatches& drawn, std::vector<SeedPair>& entries) {
  try {
    return rebuildReport(report, group, seedLines, &drawn, &entries);
  } catch (const FatalError& error) {
    if (!options.groupFile || error.code() != ErrorCode::kEndOfFile ||
        error.file() != seedLines.name() ||
        entriesTaken(group.StudentCount, report.exam) <=
            entriesTaken(report.group.StudentCount, report.exam)) {
      throw;
    }
    throw FatalError(ErrorCode::kEndOfFile, *options.groupFile,
                     "it lists " + std::to_string(group.StudentCount) + " students, the report " +
                         std::to_string(report.group.StudentCount) +
                         ", and the seed file ends before the entries they need");
  }
}

// The seed file, opened read-only: the one named with --seed, or the first of
// the report's own that exists.
TextFile openSeedFile(const std::string& reportPath, const ReadReport& report,
                      const VerifyOptions& options) {
  const std::vector<std::string> candidates = options.seedFile
                                                  ? std::vector<std::string>{*options.seedFile}
                                                  : seedFileCandidates(reportPath, report.exam);
  std::error_code firstError;
  for (const std::string& candidate : candidates) {
    std::error_code error;
    if (auto file = openForReading(candidate, error)) return std::move(*file);
    if (error != std::errc::no_such_file_or_directory) throwOpenError(error, candidate);
    if (!firstError) firstError = error;
  }
  std::string detail = firstError.message();
  for (std::size_t k = 1; k < candidates.size(); ++k) detail += "; nor " + candidates[k];
  throw FatalError(ErrorCode::kFileNotFound, candidates.front(), detail);
}

// Bytes of a file (a CSV, a seed file) as they are: on Windows the standard
// output is switched out of text mode for them, which would turn each CR LF
// into CR CR LF.
void writeBytes(std::ostream& out, const std::string& bytes) {
#ifdef _WIN32
  const bool toStandardOutput = &out == &std::cout;
  if (toStandardOutput) {
    out.flush();
    _setmode(_fileno(stdout), _O_BINARY);
  }
#endif
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
#ifdef _WIN32
  if (toStandardOutput) _setmode(_fileno(stdout), _O_TEXT);
#endif
  if (!out) throw FatalError(ErrorCode::kWriteError, std::string(kConsoleName));
}

// The first entry the draws took (brought into range) that is not the
// public text's entry at its place.
struct EntryDifference {
  std::size_t entry = 0;  // from 1
  SeedPair inSeedFile;
  SeedPair fromText;
};

std::optional<EntryDifference> entryNotFromText(const std::vector<SeedPair>& taken,
                                                std::string_view text) {
  const auto fromText = publicTextEntries(text);
  for (std::size_t k = 0; k < taken.size() && k < fromText.size(); ++k) {
    if (taken[k] != fromText[k].pair) return EntryDifference{k + 1, taken[k], fromText[k].pair};
  }
  return std::nullopt;
}

// Checks one report and writes its verdict; returns its status. With `csv`,
// a matching report's allocation goes there as CSV. With a public text, the
// report matches only when its seed file's entries, as many as it has
// batches, are those of the text too.
int verifyReport(const std::string& reportPath, const VerifyOptions& options, TextSink& out,
                 std::ostream* csv) {
  try {
    const ReadReport report = readReportFile(reportPath);
    const Group group = options.groupFile ? groupFromFile(*options.groupFile) : report.group;
    TextFile seedFile = openSeedFile(reportPath, report, options);
    LineSource seedLines = fileSource(seedFile);
    AllocationBatches drawn;
    std::vector<SeedPair> entries;
    const Verdict verdict =
        compareWithRebuilt(report, rebuiltFor(report, group, options, seedLines, drawn, entries));
    seedFile.close();
    const std::optional<EntryDifference> notFromText =
        options.publicText ? entryNotFromText(entries, *options.publicText) : std::nullopt;
    const bool matches = verdict.matches && !notFromText;

    std::string line = reportPath;
    line += verdict.matches ? kMatchesSeed : kDoesNotMatchSeed;
    line += seedFile.name();
    if (verdict.matches && options.groupFile) {
      line += std::string(kAndGroupFile) + *options.groupFile;
    } else if (verdict.matches && report.group.GroupFromFile) {
      line += kNamesNotChecked;
    }
    if (options.publicText) {
      line += notFromText ? kNotFromPublicText : kFromPublicText;
      line += quoted(*options.publicText);
    }
    if (matches && csv != nullptr) writeBytes(*csv, allocationCsv(group, drawn));
    out.write(std::string(matches ? kMatch : kMismatch) + line, true);
    if (!verdict.matches) {
      out.write(std::string(kFirstDifferingLine) + std::to_string(verdict.line), true);
      out.write(std::string(kInReport) + quoted(verdict.inReport), true);
      out.write(std::string(kRebuilt) + quoted(verdict.rebuilt), true);
    }
    if (notFromText) {
      out.write(std::string(kFirstDifferingEntry) + std::to_string(notFromText->entry), true);
      out.write(std::string(kInSeedFile) + seedWordsText(notFromText->inSeedFile), true);
      out.write(std::string(kFromText) + seedWordsText(notFromText->fromText), true);
    }
    return matches ? 0 : kMismatchStatus;
  } catch (const FatalError& error) {
    // A failed write of the verdicts or of the CSV ends the run.
    if (error.code() == ErrorCode::kWriteError && error.file() == out.name()) throw;
    out.write(std::string(kError) + reportPath + ": " + error.what(), true);
    return error.number();
  }
}

}  // namespace

int runVerify(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              std::string_view version) {
  TextSink console = streamSink(out, std::string(kConsoleName), kConsoleLineEnd);
  const auto parsed = parseCommandLine(arguments);
  if (const auto* wrong = std::get_if<CommandLineError>(&parsed)) {
    err << kVerifyProgramName << ": " << wrong->what << '\n' << kTryHelp << '\n';
    err.flush();
    return kCommandLineStatus;
  }
  const auto& options = std::get<VerifyOptions>(parsed);
  if (options.help) {
    console.write(kHelp.substr(0, kHelp.size() - 1), true);
    return 0;
  }
  if (options.version) {
    console.write(std::string(kVerifyProgramName) + " " + std::string(version), true);
    return 0;
  }
  if (options.seedFromText) {
    writeBytes(out, publicTextSeedFile(*options.seedFromText));
    return 0;
  }
  // With --csv the standard output holds the CSV alone, and the verdict goes
  // to the standard error stream.
  TextSink verdicts = streamSink(err, std::string(kConsoleName), kConsoleLineEnd);
  int status = 0;
  for (const std::string& report : options.reports) {
    const int reportStatus = options.csv ? verifyReport(report, options, verdicts, &out)
                                         : verifyReport(report, options, console, nullptr);
    if (status == 0) status = reportStatus;
  }
  return status;
}

}  // namespace lotrano
