#include "app/seed_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "run_values_of.h"
#include "support/fatal_matchers.h"
#include "support/scratch_directory.h"
#include "support/tree_snapshot.h"

namespace lotrano {
namespace {

namespace fs = std::filesystem;

FixedText resultName(const std::string& name) { return FixedText(260, name); }

const AllocationBatches kSeeds = batchesStartedFrom(
    {SeedPair{123456789, 1987654321}, SeedPair{2147483562, 500}, SeedPair{1, 2147483398}});

TEST(SeedFile, WritesOneEntryPerBatchDrawn) {
  const struct {
    BatchSizes sizes;
    const char* content;
  } cases[] = {
      {{4, 0, 0}, " seed_1:\r\n   123456789  1987654321\r\n"},
      {{6, 2, 0},
       " seed_1:\r\n   123456789  1987654321\r\n seed_2:\r\n  2147483562         500\r\n"},
      {{6, 6, 3},
       " seed_1:\r\n   123456789  1987654321\r\n seed_2:\r\n  2147483562         500\r\n"
       " seed_3:\r\n           1  2147483398\r\n"},
      {{0, 0, 0}, " seed_1:\r\n   123456789  1987654321\r\n"},
      // An empty range: the one student falls to batch 3, batch 2 is empty.
      {{0, 0, 1},
       " seed_1:\r\n   123456789  1987654321\r\n seed_3:\r\n           1  2147483398\r\n"},
  };
  for (const auto& c : cases) {
    ScratchDirectory scratch;
    const std::string name =
        writeSeedFile(resultName("Probleme Examen Nr_1 (1-6) Gr. 311 AC[3].rez"), c.sizes, kSeeds);
    EXPECT_EQ(name, "Seed_1 (1-6) Gr. 311 AC[3].dat");
    EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{name});
    EXPECT_EQ(readWholeFile(scratch.path() / name), c.content);
  }
}

TEST(SeedFile, AnEarlierSeedFileOfTheSameNameIsRewritten) {
  ScratchDirectory scratch;
  writeWholeFile("Seed_1 (1-6) Grupa 1.x.dat", std::string(500, 'x'));
  writeWholeFile("Seed_1 (1-6) Grupa 1.dat", "the older name's file");
  writeSeedFile(resultName("Probleme Examen Nr_1 (1-6) Grupa 1.x.rez"), {3, 0, 0},
                batchesStartedFrom({SeedPair{5, 6}, {}, {}}));
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 1.x.dat"),
            " seed_1:\r\n           5           6\r\n");
  EXPECT_EQ(readWholeFile("Seed_1 (1-6) Grupa 1.dat"), "the older name's file");
}

// Lowers the largest size a file may grow to for the life of the object; a
// write beyond it fails (EFBIG) instead of ending the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit lowered = previous_;
    lowered.rlim_cur = bytes;
    set_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool set() const { return set_; }

 private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
  bool set_ = false;
};

TEST(SeedFile, AFailedWriteLeavesTheEarlierSeedFileAndNoPartFile) {
  const std::string name = "Seed_1 (1-6) Grupa 1.dat";
  const std::string earlier = " seed_1:\r\n          11          22\r\n";
  const FixedText result = resultName("Probleme Examen Nr_1 (1-6) Grupa 1.rez");
  {
    SCOPED_TRACE("a file-size limit below the three entries");
    ScratchDirectory scratch;
    writeWholeFile(name, earlier);
    const TreeSnapshot before = snapshotTree(scratch.path());
    {
      FileSizeLimit limit(40);
      ASSERT_TRUE(limit.set());
      EXPECT_FATAL(writeSeedFile(result, {6, 6, 3}, kSeeds), ErrorCode::kWriteError, name);
    }
    EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path()), {}), "");
  }
  {
    // Refused whoever runs the program, as Windows refuses to replace a
    // read-only file.
    SCOPED_TRACE("a read-only earlier seed file");
    ScratchDirectory scratch;
    writeWholeFile(name, earlier);
    fs::permissions(name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const TreeSnapshot before = snapshotTree(scratch.path());
    EXPECT_FATAL(writeSeedFile(result, {6, 0, 0}, kSeeds), ErrorCode::kPermissionDenied, name);
    EXPECT_EQ(treeChanges(before, snapshotTree(scratch.path()), {}), "");
  }
}

TEST(SeedFile, ASeedFileThatCannotBeWrittenIsFatal) {
  ScratchDirectory scratch;
  fs::create_directory("Seed_1 (1-6) Grupa 1.dat");  // the name is taken by a folder
  EXPECT_FATAL(writeSeedFile(resultName("Probleme Examen Nr_1 (1-6) Grupa 1.rez"), {3, 0, 0}, {}),
               ErrorCode::kOpenFailure, "Seed_1 (1-6) Grupa 1.dat");
  EXPECT_EQ(entries(scratch.path()), std::vector<std::string>{"Seed_1 (1-6) Grupa 1.dat/"});
}

}  // namespace
}  // namespace lotrano
