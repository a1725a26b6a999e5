#include "app/file_names.h"

#include <algorithm>
#include <optional>

#include "host/text/characters.h"

namespace lotrano {
namespace {

// The pieces of a result file's name, in order.
constexpr std::string_view kResultPrefix = "Probleme Examen Nr_";
constexpr std::string_view kBeforeRange = " (";
constexpr std::string_view kAfterRangeFileCase = ") ";
constexpr std::string_view kAfterRangeTypedCase = ") Grupa ";
constexpr std::string_view kResultExtension = ".rez";

// A seed file's name: the result file's, with these at its ends.
constexpr std::string_view kSeedPrefix = "Seed_";
constexpr std::string_view kSeedExtension = ".dat";
constexpr std::size_t kSeedNameLength = kFileNameLength;

// The older rule's group part: from the name's first "G" to its first ".".
std::string_view legacyGroupPart(const FixedText& resultFileName, const std::string& examNumberText,
                                 const std::string& rangeText) {
  const std::string& name = resultFileName.str();
  std::size_t start = findAnyOf(name, "G");
  const std::size_t dot = findAnyOf(name, ".");
  // Only a group title can lack the "G" (the typed case has ") Grupa "): its
  // first character follows the name's prefix.
  if (start == 0) start = characterCount(resultFileNamePrefix(examNumberText, rangeText, true)) + 1;
  if (dot < start) return {};
  return characterRange(name, start, dot - 1);
}

}  // namespace

std::string resultFileNamePrefix(std::string_view examNumberText, std::string_view rangeText,
                                 bool groupFromFile) {
  std::string prefix(kResultPrefix);
  prefix += examNumberText;
  prefix += kBeforeRange;
  prefix += withoutTrailingBlanks(rangeText);
  prefix += groupFromFile ? kAfterRangeFileCase : kAfterRangeTypedCase;
  return prefix;
}

std::string resultFileBaseName(const Group& group, const ExamData& exam) {
  std::string name = resultFileNamePrefix(exam.ExamNumberText, exam.RangeText, group.GroupFromFile);
  name += group.GroupFromFile ? group.GroupTitle.trimmed() : withoutTrailingBlanks(group.GroupText);
  name += kResultExtension;
  return name;
}

std::string resultFileVariant(std::string_view baseName, std::int32_t k) {
  std::string_view stem = baseName;
  if (stem.ends_with(kResultExtension)) stem.remove_suffix(kResultExtension.size());
  std::string name(stem);
  name += '[';
  name += std::to_string(k);
  name += ']';
  name += kResultExtension;
  return name;
}

bool isResultFileName(std::string_view name) {
  return name.starts_with(kResultPrefix) && name.ends_with(kResultExtension) &&
         name.size() >= kResultPrefix.size() + kResultExtension.size();
}

std::optional<std::string> refusedNameReason(std::string_view name) {
  const auto refused = std::find_if(name.begin(), name.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return c == '/' || c == '\\' || code < 0x20 || code == 0x7F;
  });
  if (refused == name.end()) return std::nullopt;
  constexpr std::string_view kWhy = ", which no file name may hold";
  if (*refused == '/' || *refused == '\\') {
    return "the group holds \"" + std::string(1, *refused) + "\"" + std::string(kWhy);
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  const auto code = static_cast<unsigned char>(*refused);
  const std::string hex = {'0', 'x', kHex[code >> 4], kHex[code & 0x0F]};
  const std::string what = code == '\t' ? "a tab" : code == '\r' ? "a CR" : "a control character";
  return "the group holds " + what + " (" + hex + ")" + std::string(kWhy);
}

FixedText seedFileName(std::string_view resultFileName) {
  std::string_view rest = withoutTrailingBlanks(resultFileName);
  if (rest.starts_with(kResultPrefix)) rest.remove_prefix(kResultPrefix.size());
  if (rest.ends_with(kResultExtension)) rest.remove_suffix(kResultExtension.size());
  std::string name(kSeedPrefix);
  name += rest;
  name += kSeedExtension;
  return FixedText(kSeedNameLength, name);
}

FixedText legacySeedFileName(const std::string& examNumberText, const std::string& rangeText,
                             const FixedText& resultFileName) {
  std::string name(kSeedPrefix);
  name += examNumberText;
  name += kBeforeRange;
  name += rangeText;
  name += kAfterRangeFileCase;
  name += legacyGroupPart(resultFileName, examNumberText, rangeText);
  name += kSeedExtension;
  return FixedText(kSeedNameLength, name);
}

}  // namespace lotrano
