#include "verify/allocation_csv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/run_values_of.h"

namespace lotrano {
namespace {

constexpr const char* kHead = "\xEF\xBB\xBFNr;Nume;Problema;Runda\r\n";

TEST(AllocationCsv, OneRowPerStudentWithTheRoundItWasDrawnIn) {
  const Group typed = typedGroup("1234", 8);
  // Eight students over 1..6: batch 1 of six, batch 2 of two.
  EXPECT_EQ(allocationCsv(typed, batchesOf({{1, 3, 5, 6, 4, 2}, {2, 6}, {}})),
            std::string(kHead) +
                "1;;1;1\r\n2;;3;1\r\n3;;5;1\r\n4;;6;1\r\n5;;4;1\r\n6;;2;1\r\n7;;2;2\r\n8;;6;2\r\n");
  // A batch 2 left empty does not hide batch 3's round; negative numbers as
  // they are.
  EXPECT_EQ(allocationCsv(typed, batchesOf({{}, {}, {6}})), std::string(kHead) + "1;;6;3\r\n");
  EXPECT_EQ(allocationCsv(typed, batchesOf({{-5, -3}, {-4}, {-3}})),
            std::string(kHead) + "1;;-5;1\r\n2;;-3;1\r\n3;;-4;2\r\n4;;-3;3\r\n");
  // No student: the header row alone.
  EXPECT_EQ(allocationCsv(typed, batchesOf({{}, {}, {}})), kHead);
}

TEST(AllocationCsv, NamesAreTrimmedQuotedWhenTheyMustBeAndWrittenInUtf8) {
  const struct {
    const char* name;  // as the group holds it
    const char* field;
  } cases[] = {
      {"Alfa Beta", "Alfa Beta"},
      {"\xC8\x98tef\xC4\x83nescu \xC8\x9A\x61ra", "\xC8\x98tef\xC4\x83nescu \xC8\x9A\x61ra"},
      {"Popescu; Ion", "\"Popescu; Ion\""},
      {"Ana \"Mica\" Pop", "\"Ana \"\"Mica\"\" Pop\""},
      {"Pop,Ion", "Pop,Ion"},
      // From a Windows-1250 list: Ş (0xAA), ţ (0xFE), â (0xE2).
      {"\xAA\x65rban \xFEig\xE2nu", "\xC5\x9E\x65rban \xC5\xA3ig\xC3\xA2nu"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(allocationCsv(namedGroup("311", {c.name}), batchesOf({{7}, {}, {}})),
              std::string(kHead) + "1;" + c.field + ";7;1\r\n");
  }
}

}  // namespace
}  // namespace lotrano
