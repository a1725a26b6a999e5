#include "host/text/path_split.h"

#include <gtest/gtest.h>

namespace lotrano {
namespace {

TEST(PathSplit, SplitsDriveDirectoryNameAndExtension) {
  const struct {
    const char* path;
    const char* cwd;
    const char* drive;
    const char* directory;
    const char* name;
    const char* extension;
    std::size_t result;
  } cases[] = {
      {"D:\\Dat\\Seed_1 (2) 3.dat", "", "D:", "\\Dat\\", "Seed_1 (2) 3", ".dat", 5},
      {"/home/prof/Dat/Seed_1 (1-6) Grupa 311 AC.dat   ", "", "", "/home/prof/Dat/",
       "Seed_1 (1-6) Grupa 311 AC", ".dat", 15},
      {"Seed_2 (1-6) Grupa 1234.dat", "/exams", "", "/exams/", "Seed_2 (1-6) Grupa 1234", ".dat",
       7},
      {"Dat/a.b.dat", "/x/", "", "/x/Dat/", "a.b", ".dat", 7},
      {"/x/noext", "", "", "/x/", "noext", "", 3},
      {"relative.dat", "", "", "", "", "", 0},  // cannot be made absolute
  };
  for (const auto& c : cases) {
    FixedText drive(3), directory(256), name(256), extension(5);
    EXPECT_EQ(splitPath(c.path, c.cwd, drive, directory, name, extension), c.result) << c.path;
    EXPECT_EQ(drive.trimmed(), c.drive) << c.path;
    EXPECT_EQ(directory.trimmed(), c.directory) << c.path;
    EXPECT_EQ(name.trimmed(), c.name) << c.path;
    EXPECT_EQ(extension.trimmed(), c.extension) << c.path;
  }
  FixedText drive(3), directory(4), name(3), extension(2);
  EXPECT_EQ(splitPath("/long/dir/abcdef.dat", "", drive, directory, name, extension), 10u);
  EXPECT_EQ(directory.str(), "/lon");
  EXPECT_EQ(name.str(), "abc");
  EXPECT_EQ(extension.str(), ".d");
}

}  // namespace
}  // namespace lotrano
