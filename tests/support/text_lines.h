// A text's lines and back: what the tests compare reports, dialogues and
// diagnostics by.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The lines of `text`, each without the `lineEnd` that ends it; a last line
// without one counts too (an empty text has none).
inline std::vector<std::string> linesOf(std::string_view text, std::string_view lineEnd = "\n") {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(lineEnd, start)) != std::string_view::npos;
       start = end + lineEnd.size()) {
    lines.emplace_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

// A file's bytes for these lines, each ended with CR LF, as the program
// writes its files.
inline std::string fileText(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}
