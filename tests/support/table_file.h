// The known-answer tables under tests/data: tab-separated rows, one case
// each, with blank lines and lines starting with # left out.
#pragma once

#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

struct TableRow {
  int line = 0;  // in the file, from 1
  std::vector<std::string> columns;
};

// `text` cut at every `separator`: n separators give n + 1 parts.
inline std::vector<std::string> splitAt(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos;
       from = at + separator.size()) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

// The rows of the table at `path`; a row without exactly `columns` columns
// is a fault of the table, named by its line.
inline std::vector<TableRow> readTableRows(const std::string& path, std::size_t columns) {
  std::ifstream in(path);
  std::vector<TableRow> rows;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (text.empty() || text[0] == '#') continue;
    TableRow row{line, splitAt(text, "\t")};
    if (row.columns.size() != columns) {
      throw std::invalid_argument(path + ", line " + std::to_string(line) + ": " +
                                  std::to_string(row.columns.size()) + " columns, not " +
                                  std::to_string(columns));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}
