#include "app/seed_file.h"

#include "app/result_file.h"
#include "host/platform/text_file.h"
#include "host/text/characters.h"
#include "host/text/text_layout.h"
#include "host/text/text_stream.h"

namespace lotrano {
namespace {

constexpr std::string_view kResultPrefix = "Probleme Examen Nr_";
constexpr std::string_view kResultExtension = ".rez";
constexpr std::string_view kSeedPrefix = "Seed_";
constexpr std::string_view kSeedExtension = ".dat";
constexpr std::size_t kSeedNameLength = 260;

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
  name += " (";
  name += rangeText;
  name += ") ";
  name += legacyGroupPart(resultFileName, examNumberText, rangeText);
  name += kSeedExtension;
  return FixedText(kSeedNameLength, name);
}

std::string writeSeedFile(const FixedText& resultFileName, const BatchSizes& sizes,
                          const std::array<SeedPair, 3>& seedUsed, std::ostream& diagnostics) {
  const std::string name(seedFileName(resultFileName.str()).trimmed());
  // Written whole or not at all: an earlier seed file of this name (one that
  // appeared after the result file was named) must not be lost to a write
  // that fails midway.
  replaceWholeFile(name, [&](TextFile& file) {
    TextSink sink = fileSink(file, diagnostics);
    const bool drawn[] = {true, sizes.s2 > 0, sizes.s3 > 0};
    for (std::size_t k = 0; k < seedUsed.size(); ++k) {
      if (!drawn[k]) continue;
      writeLine(sink, {item::text()}, {" seed_" + std::to_string(k + 1) + ":"});
      writeLine(sink, {item::defaultInteger(), item::defaultInteger()},
                {seedUsed[k].first, seedUsed[k].second});
    }
  });
  return name;
}

}  // namespace lotrano
