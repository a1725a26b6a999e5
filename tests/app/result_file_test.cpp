#include "app/result_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/file_names.h"
#include "app/result_names.h"
#include "host/text/text_layout.h"
#include "support/fatal_matchers.h"
#include "support/scratch_directory.h"
#include "support/tree_snapshot.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

struct MessageRecorder {
  std::vector<std::pair<std::string, std::string>> shown;
  ShowMessage show() {
    return [this](std::string_view caption, std::string_view text) {
      shown.emplace_back(std::string(caption), std::string(text));
    };
  }
};

// Runs each test in a fresh temporary directory that is the current directory.
class ResultFileInDirectory : public ::testing::Test {
 protected:
  void clear() {
    for (const auto& entry : fs::directory_iterator(scratch_.path())) fs::remove_all(entry.path());
  }

  // An earlier result file, with content of its own.
  static void put(const std::string& name) {
    std::ofstream(name, std::ios::binary) << "earlier allocation in " << name << "\r\n";
  }

  // Every entry below the directory, with a file's content or its kind.
  std::map<std::string, std::string> snapshot() const {
    std::map<std::string, std::string> shown;
    for (const auto& [name, entry] : snapshotTree(scratch_.path())) {
      if (entry.type == fs::file_type::symlink) {
        shown[name] = "<link to " + entry.content + ">";
      } else if (entry.type == fs::file_type::directory) {
        shown[name] = "<directory>";
      } else {
        shown[name] = entry.content;
      }
    }
    return shown;
  }

  ScratchDirectory scratch_;
};

TEST_F(ResultFileInDirectory, CreatesTheFirstFreeNameAndLeavesEveryOtherFileAlone) {
  const std::string p = "Probleme Examen Nr_1 (1-30) ";
  const struct {
    const char* what;
    Group group;
    ExamData exam;
    std::vector<std::string> files;
    std::vector<std::string> directories;
    std::vector<std::string> danglingLinks;
    std::string expected;
  } cases[] = {
      {"first allocation", fileGroup("Grupa 1231"), exam(1, "1-30"), {}, {}, {}, kBase},
      {"base taken", fileGroup("Grupa 1231"), exam(1, "1-30"), {kBase}, {}, {}, variant(1)},
      {"base and [1] to [8] taken",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {kBase, variant(1), variant(2), variant(3), variant(4), variant(5), variant(6), variant(7),
        variant(8)},
       {},
       {},
       variant(9)},
      {"gap at [2]",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {kBase, variant(1), variant(3)},
       {},
       {},
       variant(2)},
      {"variants exist, base free",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {variant(1), variant(2)},
       {},
       {},
       kBase},
      {"a directory takes the name",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {},
       {kBase},
       {},
       variant(1)},
      {"a dangling link takes the name",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {},
       {},
       {kBase},
       variant(1)},
      {"typed group, first allocation", typedGroup("1231"), exam(1, "1-30"), {}, {}, {}, kBase},
      {"typed group, base taken", typedGroup("1231"), exam(1, "1-30"), {kBase}, {}, {}, variant(1)},
      {"title with a dot, first allocation",
       fileGroup("Grupa 1231. anul II"),
       exam(1, "1-30"),
       {},
       {},
       {},
       p + "Grupa 1231. anul II.rez"},
      {"title with a dot, base taken: the variant keeps the whole title",
       fileGroup("Grupa 1231. anul II"),
       exam(1, "1-30"),
       {p + "Grupa 1231. anul II.rez"},
       {},
       {},
       p + "Grupa 1231. anul II[1].rez"},
      // Variants of the older naming (cut at the title's first ".") belong
      // to no name of today: they neither take this name's numbers nor are
      // touched.
      {"title with a dot, older variants of another group around",
       fileGroup("Gr. 312 AC"),
       exam(1, "1-30"),
       {p + "Gr. 311 AC.rez", p + "Gr[1].rez", p + "Gr[2].rez", p + "Gr. 312 AC.rez",
        "Seed_1 (1-30) Gr[1].dat"},
       {},
       {},
       p + "Gr. 312 AC[1].rez"},
      {"title with [ and a digit: the title stays as it is",
       fileGroup("Grupa [3 anul II"),
       exam(1, "1-30"),
       {p + "Grupa [3 anul II.rez"},
       {},
       {},
       p + "Grupa [3 anul II[1].rez"},
      {"exam 2, range 5 to 9",
       fileGroup("Grupa 331"),
       exam(2, "5-9"),
       {"Probleme Examen Nr_2 (5-9) Grupa 331.rez"},
       {},
       {},
       "Probleme Examen Nr_2 (5-9) Grupa 331[1].rez"},
      // A report gone while its seed file stays: the name is not free, or
      // the run would replace that seed file.
      {"the base name's seed file without its report",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {"Seed_1 (1-30) Grupa 1231.dat"},
       {},
       {},
       variant(1)},
      {"a gap whose seed file stays is no gap",
       typedGroup("1231"),
       exam(1, "1-30"),
       {kBase, variant(1), "Seed_1 (1-30) Grupa 1231[2].dat", variant(3)},
       {},
       {},
       variant(4)},
      {"a folder of the seed file's name",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {},
       {"Seed_1 (1-30) Grupa 1231.dat"},
       {},
       variant(1)},
      {"a dangling link of the seed file's name",
       fileGroup("Grupa 1231"),
       exam(1, "1-30"),
       {},
       {},
       {"Seed_1 (1-30) Grupa 1231.dat"},
       variant(1)},
      {"title with a dot, its seed file without its report",
       fileGroup("Gr. 311 AC"),
       exam(1, "1-30"),
       {"Seed_1 (1-30) Gr. 311 AC.dat"},
       {},
       {},
       p + "Gr. 311 AC[1].rez"},
      // Seed files of the older naming are never written again, so they
      // leave the name free.
      {"a seed file of the older naming",
       fileGroup("Gr. 311 AC"),
       exam(1, "1-30"),
       {"Seed_1 (1-30) Gr.dat", "Seed_1 (1-30) .dat"},
       {},
       {},
       p + "Gr. 311 AC.rez"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    clear();
    for (const auto& name : c.files) put(name);
    for (const auto& name : c.directories) fs::create_directory(name);
    for (const auto& name : c.danglingLinks) fs::create_symlink("nowhere/at all", name);
    auto expectedEntries = snapshot();

    MessageRecorder messages;
    std::optional<ResultFile> result =
        openResultFile(c.group, c.exam, currentDirectoryFileSystem(), messages.show());

    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(result->ResultFileName.length(), kFileNameLength);
    EXPECT_EQ(result->ResultFileName.trimmed(), c.expected);
    EXPECT_EQ(result->ResultFileName.str().size(), kFileNameLength);
    ASSERT_TRUE(result->file.isOpen());
    EXPECT_EQ(result->file.name(), c.expected);

    // The caller writes its report through the file it was handed.
    TextSink sink = fileSink(result->file);
    writeLine(sink, {item::text()}, {std::string(" report")});
    result->file.close();

    expectedEntries[c.expected] = " report\r\n";
    EXPECT_EQ(snapshot(), expectedEntries);
  }
}

TEST_F(ResultFileInDirectory, TenTakenNamesShowTheMessageBoxAndCreateNothing) {
  const std::string p = "Probleme Examen Nr_1 (1-30) ";
  std::vector<std::string> ten = {kBase};
  for (int k = 1; k <= 9; ++k) ten.push_back(variant(k));
  std::vector<std::string> tenWithDot;
  for (int k = 0; k <= 9; ++k) {
    const std::string base = p + "Gr. 311 AC.rez";
    tenWithDot.push_back(k == 0 ? base : resultFileVariant(base, k));
  }

  const struct {
    const char* what;
    Group group;
    std::vector<std::string> files;
  } cases[] = {
      {"base and [1] to [9]", fileGroup("Grupa 1231"), ten},
      {"typed group", typedGroup("1231"), ten},
      {"title with a dot, its own ten", fileGroup("Gr. 311 AC"), tenWithDot},
      {"reports, and seed files of reports filed away",
       fileGroup("Grupa 1231"),
       {kBase, variant(1), variant(2), variant(3), "Seed_1 (1-30) Grupa 1231[4].dat",
        "Seed_1 (1-30) Grupa 1231[5].dat", variant(6), "Seed_1 (1-30) Grupa 1231[7].dat",
        "Seed_1 (1-30) Grupa 1231[8].dat", "Seed_1 (1-30) Grupa 1231[9].dat"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    clear();
    for (const auto& name : c.files) put(name);
    const auto before = snapshot();

    MessageRecorder messages;
    const std::optional<ResultFile> result =
        openResultFile(c.group, exam(1, "1-30"), currentDirectoryFileSystem(), messages.show());

    EXPECT_FALSE(result.has_value());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, "Lotrano Message");
    EXPECT_EQ(messages.shown[0].second,
              "Sunt deja 10 fisiere de rezultate.\nSterge unele din ele!");
    EXPECT_EQ(snapshot(), before);
  }
}

TEST_F(ResultFileInDirectory, NameWithASeparatorOrControlCharacterIsRefusedAndNothingIsCreated) {
  // The directory a slash would lead into exists, so that an unguarded open
  // would succeed there.
  fs::create_directory("Probleme Examen Nr_1 (1-30) Grupa 12");
  fs::create_directory("Probleme Examen Nr_1 (1-30) Grupa 12/3");
  const auto before = snapshot();
  const struct {
    Group group;
    std::string name;
  } cases[] = {
      {fileGroup("Grupa 12/3"), "Probleme Examen Nr_1 (1-30) Grupa 12/3.rez"},
      {fileGroup("Grupa 12\\3"), "Probleme Examen Nr_1 (1-30) Grupa 12\\3.rez"},
      {fileGroup("Grupa 12/3/../x"), "Probleme Examen Nr_1 (1-30) Grupa 12/3/../x.rez"},
      {typedGroup("12/3"), "Probleme Examen Nr_1 (1-30) Grupa 12/3.rez"},
      {fileGroup(std::string("Grupa 12\0x", 10)),
       std::string("Probleme Examen Nr_1 (1-30) Grupa 12\0x.rez", 42)},
      // A group file with CR-only line ends reads as one long title.
      {fileGroup("Grupa 12\r1 Ana\r2 Bob"),
       "Probleme Examen Nr_1 (1-30) Grupa 12\r1 Ana\r2 Bob.rez"},
      {fileGroup("Grupa\t12"), "Probleme Examen Nr_1 (1-30) Grupa\t12.rez"},
      {fileGroup("Grupa 12\x7F"), "Probleme Examen Nr_1 (1-30) Grupa 12\x7F.rez"},
  };
  for (const auto& c : cases) {
    MessageRecorder messages;
    EXPECT_FATAL(
        openResultFile(c.group, exam(1, "1-30"), currentDirectoryFileSystem(), messages.show()),
        ErrorCode::kOpenFailure, c.name);
    // The diagnostic says why, as the system's reason would.
    try {
      openResultFile(c.group, exam(1, "1-30"), currentDirectoryFileSystem(), messages.show());
    } catch (const FatalError& error) {
      EXPECT_EQ(error.detail(), refusedNameReason(c.name)) << c.name;
      EXPECT_TRUE(error.detail().starts_with("the group holds ")) << error.detail();
    }
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(snapshot(), before) << c.name;
  }
}

// The real directory, except that the existence test misses the names in
// `appearing`: as if their files were made between the test and the creation.
struct RacingFileSystem {
  std::vector<std::string> appearing;
  std::vector<std::string> created;  // every name a creation was tried for
  ResultFileSystem seam() {
    const ResultFileSystem real = currentDirectoryFileSystem();
    return {[this, real](const std::string& name) {
              for (const auto& late : appearing) {
                if (late == name) return false;
              }
              return real.exists(name);
            },
            [this, real](const std::string& name, std::error_code& error) {
              created.push_back(name);
              return real.createNew(name, error);
            }};
  }
};

TEST_F(ResultFileInDirectory, FileAppearingBeforeTheCreationIsLeftAloneAndTheNextNameTaken) {
  put(kBase);
  auto expectedEntries = snapshot();
  RacingFileSystem racing{{kBase}, {}};
  MessageRecorder messages;

  std::optional<ResultFile> result =
      openResultFile(fileGroup("Grupa 1231"), exam(1, "1-30"), racing.seam(), messages.show());

  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->ResultFileName.trimmed(), variant(1));
  EXPECT_EQ(racing.created, (std::vector<std::string>{kBase, variant(1)}));
  EXPECT_TRUE(messages.shown.empty());
  result->file.close();
  expectedEntries[variant(1)] = "";
  EXPECT_EQ(snapshot(), expectedEntries);
}

TEST_F(ResultFileInDirectory, TenFilesAppearingBeforeTheirCreationsEndInTheMessageBox) {
  std::vector<std::string> ten = {kBase};
  for (int k = 1; k <= 9; ++k) ten.push_back(variant(k));
  for (const auto& name : ten) put(name);
  const auto before = snapshot();
  RacingFileSystem racing{ten, {}};
  MessageRecorder messages;

  EXPECT_FALSE(openResultFile(typedGroup("1231"), exam(1, "1-30"), racing.seam(), messages.show()));

  // Each name is tried once, in order, and the naming stops after the tenth.
  EXPECT_EQ(racing.created, ten);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].first, "Lotrano Message");
  EXPECT_EQ(snapshot(), before);
}

TEST(ResultFileOpen, FailedCreationIsTheFatalDiagnosticOfItsReason) {
  const struct {
    std::errc error;
    ErrorCode expected;
  } cases[] = {
      {std::errc::permission_denied, ErrorCode::kPermissionDenied},
      {std::errc::read_only_file_system, ErrorCode::kPermissionDenied},
      {std::errc::no_such_file_or_directory, ErrorCode::kFileNotFound},
      {std::errc::no_space_on_device, ErrorCode::kOpenFailure},
      {std::errc::invalid_argument, ErrorCode::kOpenFailure},
  };
  for (const auto& c : cases) {
    std::vector<std::string> tried;
    const ResultFileSystem failing{
        [](const std::string&) { return false; },
        [&tried, reason = c.error](const std::string& name,
                                   std::error_code& error) -> std::optional<TextFile> {
          tried.push_back(name);
          error = std::make_error_code(reason);
          return std::nullopt;
        }};
    MessageRecorder messages;
    EXPECT_FATAL(openResultFile(fileGroup("Grupa 1231"), exam(1, "1-30"), failing, messages.show()),
                 c.expected, kBase);
    EXPECT_EQ(tried, std::vector<std::string>{kBase}) << std::make_error_code(c.error).message();
    EXPECT_TRUE(messages.shown.empty());
  }
}

}  // namespace
}  // namespace lotrano
