#include "verify/allocation_csv.h"

#include <string_view>

#include "host/text/characters.h"
#include "host/text/code_page.h"
#include "host/text/fixed_text.h"

namespace lotrano {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "Nr;Nume;Problema;Runda";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kSeparator = ';';

std::string field(std::string_view value) {
  if (value.find_first_of(";\"\r\n") == std::string_view::npos) return std::string(value);
  std::string quoted = "\"";
  for (const char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string nameOf(const Group& group, std::size_t row) {
  if (!group.GroupFromFile || row >= group.StudentNames.size()) return {};
  const std::string_view name = group.StudentNames[row].trimmed();
  return isValidUtf8(name) ? std::string(name) : windows1250ToUtf8(name);
}

}  // namespace

std::string allocationCsv(const Group& group, const AllocationBatches& batches) {
  std::string csv(kByteOrderMark);
  csv += kHeader;
  csv += kLineEnd;
  std::size_t row = 0;
  for (std::size_t batch = 0; batch < batches.size(); ++batch) {
    for (const std::int32_t problem : batches[batch].problems) {
      csv += std::to_string(row + 1);
      csv += kSeparator;
      csv += field(nameOf(group, row));
      csv += kSeparator;
      csv += std::to_string(problem);
      csv += kSeparator;
      csv += std::to_string(batch + 1);
      csv += kLineEnd;
      ++row;
    }
  }
  return csv;
}

}  // namespace lotrano
