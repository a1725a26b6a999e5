#include "verify/command_line.h"

#include <gtest/gtest.h>

namespace lotrano {
namespace {

TEST(VerifyCommandLine, OptionsMayStandAnywhereAndTakeTheirArgumentEitherWay) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<std::string> seed;
    std::optional<std::string> group;
    std::vector<std::string> reports;
  } cases[] = {
      {{"a.rez"}, std::nullopt, std::nullopt, {"a.rez"}},
      {{"a.rez", "b.rez", "c.rez"}, std::nullopt, std::nullopt, {"a.rez", "b.rez", "c.rez"}},
      {{"--seed", "s.dat", "a.rez"}, "s.dat", std::nullopt, {"a.rez"}},
      {{"a.rez", "--seed=s.dat"}, "s.dat", std::nullopt, {"a.rez"}},
      {{"--group", "g.txt", "a.rez", "b.rez"}, std::nullopt, "g.txt", {"a.rez", "b.rez"}},
      {{"a.rez", "--group=g.txt", "--seed", "s.dat"}, "s.dat", "g.txt", {"a.rez"}},
      // The option's argument is taken whatever it looks like.
      {{"--seed", "--group", "a.rez"}, "--group", std::nullopt, {"a.rez"}},
      // After "--", and a lone "-", names of files.
      {{"--", "--seed", "-"}, std::nullopt, std::nullopt, {"--seed", "-"}},
      {{"-"}, std::nullopt, std::nullopt, {"-"}},
  };
  for (const auto& c : cases) {
    const auto parsed = parseCommandLine(c.arguments);
    const auto* options = std::get_if<VerifyOptions>(&parsed);
    ASSERT_NE(options, nullptr) << std::get<CommandLineError>(parsed).what;
    EXPECT_FALSE(options->help);
    EXPECT_FALSE(options->version);
    EXPECT_EQ(options->seedFile, c.seed);
    EXPECT_EQ(options->groupFile, c.group);
    EXPECT_EQ(options->reports, c.reports);
  }
}

TEST(VerifyCommandLine, CsvGoesWithOneReport) {
  const auto parsed = parseCommandLine({"--group", "g.txt", "a.rez", "--csv"});
  const auto* options = std::get_if<VerifyOptions>(&parsed);
  ASSERT_NE(options, nullptr) << std::get<CommandLineError>(parsed).what;
  EXPECT_TRUE(options->csv);
  EXPECT_EQ(options->reports, std::vector<std::string>{"a.rez"});
  const auto plain = parseCommandLine({"a.rez", "b.rez"});
  ASSERT_TRUE(std::holds_alternative<VerifyOptions>(plain));
  EXPECT_FALSE(std::get<VerifyOptions>(plain).csv);
}

// The texts are normalised as they are read; one that begins with "-" is a
// text too.
TEST(VerifyCommandLine, PublicTextsAreTakenNormalised) {
  const struct {
    std::vector<std::string> arguments;
    std::optional<std::string> publicText;
    std::optional<std::string> seedFromText;
    std::vector<std::string> reports;
  } cases[] = {
      {{"--public-text", "Loto  6/49\r\n", "a.rez"}, "Loto 6/49", std::nullopt, {"a.rez"}},
      {{"a.rez", "--public-text=\u015etefan", "--seed", "s.dat"},
       "\u0218tefan",
       std::nullopt,
       {"a.rez"}},
      {{"--public-text", "-5 3", "a.rez", "b.rez"}, "-5 3", std::nullopt, {"a.rez", "b.rez"}},
      {{"--seed-from-text", " 1234\t5678 "}, std::nullopt, "1234 5678", {}},
      {{"--seed-from-text=--csv"}, std::nullopt, "--csv", {}},
  };
  for (const auto& c : cases) {
    const auto parsed = parseCommandLine(c.arguments);
    const auto* options = std::get_if<VerifyOptions>(&parsed);
    ASSERT_NE(options, nullptr) << std::get<CommandLineError>(parsed).what;
    EXPECT_EQ(options->publicText, c.publicText) << c.arguments.front();
    EXPECT_EQ(options->seedFromText, c.seedFromText) << c.arguments.front();
    EXPECT_EQ(options->reports, c.reports) << c.arguments.front();
  }
}

TEST(VerifyCommandLine, HelpAndVersionInEitherFormNeedNoReport) {
  const struct {
    std::vector<std::string> arguments;
    bool help;
    bool version;
  } cases[] = {
      {{"--help"}, true, false},
      {{"-h"}, true, false},
      {{"--version"}, false, true},
      {{"-V"}, false, true},
      {{"a.rez", "b.rez", "--seed", "s.dat", "--version"}, false, true},
      {{"a.rez", "-h", "--seed", "s.dat", "b.rez"}, true, false},
      // After "--" they are names of reports.
      {{"--", "-h", "-V"}, false, false},
  };
  for (const auto& c : cases) {
    const auto parsed = parseCommandLine(c.arguments);
    const auto* options = std::get_if<VerifyOptions>(&parsed);
    ASSERT_NE(options, nullptr) << std::get<CommandLineError>(parsed).what;
    EXPECT_EQ(options->help, c.help) << c.arguments.front();
    EXPECT_EQ(options->version, c.version) << c.arguments.front();
  }
  const auto ended = parseCommandLine({"--", "-h", "-V"});
  EXPECT_EQ(std::get<VerifyOptions>(ended).reports, (std::vector<std::string>{"-h", "-V"}));
}

TEST(VerifyCommandLine, WrongCommandLinesSayWhatIsWrong) {
  const struct {
    std::vector<std::string> arguments;
    const char* what;
  } cases[] = {
      {{}, "niciun raport de verificat"},
      {{"--group", "g.txt"}, "niciun raport de verificat"},
      {{"--verbose", "a.rez"}, "optiune necunoscuta '--verbose'"},
      {{"a.rez", "-s"}, "optiune necunoscuta '-s'"},
      // Only the two short forms, each on its own.
      {{"-v"}, "optiune necunoscuta '-v'"},
      {{"-hV"}, "optiune necunoscuta '-hV'"},
      {{"-H", "a.rez"}, "optiune necunoscuta '-H'"},
      {{"--help=all"}, "optiune necunoscuta '--help=all'"},
      {{"a.rez", "--seed"}, "optiunea '--seed' cere un argument"},
      {{"a.rez", "--group="}, "optiunea '--group' cere un argument"},
      {{"--seed", "s.dat", "a.rez", "b.rez"},
       "optiunea '--seed' se poate da doar cu un singur raport"},
      {{"--csv", "a.rez", "b.rez"}, "optiunea '--csv' se poate da doar cu un singur raport"},
      {{"--csv=da", "a.rez"}, "optiune necunoscuta '--csv=da'"},
      {{"a.rez", "--public-text"}, "optiunea '--public-text' cere un argument"},
      {{"--seed-from-text"}, "optiunea '--seed-from-text' cere un argument"},
      {{"--public-text", "", "a.rez"}, "textul public este gol sau are doar spatii"},
      {{"--public-text", " \t\u00a0\ufeff\u3000", "a.rez"},
       "textul public este gol sau are doar spatii"},
      {{"--seed-from-text="}, "textul public este gol sau are doar spatii"},
      {{"--public-text", "Loto \xAA", "a.rez"}, "textul public nu este text UTF-8 valid"},
      {{"--seed-from-text", "\xC8"}, "textul public nu este text UTF-8 valid"},
      {{"--public-text", "Loto"}, "niciun raport de verificat"},
      {{"--seed-from-text", "Loto", "a.rez"},
       "optiunea '--seed-from-text' se da singura, fara rapoarte si fara alte optiuni"},
      {{"--csv", "--seed-from-text", "Loto"},
       "optiunea '--seed-from-text' se da singura, fara rapoarte si fara alte optiuni"},
      {{"--seed-from-text", "Loto", "--public-text", "Loto"},
       "optiunea '--seed-from-text' se da singura, fara rapoarte si fara alte optiuni"},
  };
  for (const auto& c : cases) {
    const auto parsed = parseCommandLine(c.arguments);
    const auto* wrong = std::get_if<CommandLineError>(&parsed);
    ASSERT_NE(wrong, nullptr) << c.what;
    EXPECT_EQ(wrong->what, c.what);
  }
}

}  // namespace
}  // namespace lotrano
