// Reading the tests' own transcription of the vocabulary: UTF-8 text blocks (u8
// literals keep UTF-8 under the CP949 build) cut into entries and turned into CP949
// through the layer, then compared byte for byte with the module's constants.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plat/codepage.h"
#include "support/Cp949Printer.h"

namespace tables_test {

inline std::string_view Chars(std::u8string_view s) { return {reinterpret_cast<const char*>(s.data()), s.size()}; }

inline std::string Cp949Of(std::u8string_view utf8) { return plat::Utf8ToCp949(Chars(utf8)); }

// Entries separated by spaces or line breaks.
inline std::vector<std::string> Words(std::u8string_view block) {
  std::vector<std::string> out;
  std::string word;
  for (char c : Chars(block)) {
    if (c == ' ' || c == '\n') {
      if (!word.empty()) out.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) out.push_back(word);
  return out;
}

// Entries separated by `separator`, with the spaces around each entry dropped;
// empty entries are kept.
inline std::vector<std::string> Fields(std::string_view line, char separator) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    size_t end = line.find(separator, start);
    std::string_view field = line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    while (!field.empty() && field.front() == ' ') field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ') field.remove_suffix(1);
    out.emplace_back(field);
    if (end == std::string_view::npos) return out;
    start = end + 1;
  }
}

inline std::vector<std::string> Lines(std::u8string_view block) {
  std::vector<std::string> out;
  for (std::string& line : Fields(Chars(block), '\n')) {
    if (!line.empty()) out.push_back(std::move(line));
  }
  return out;
}

// Compares every entry of a module table, in order, with the transcribed UTF-8
// entries.
inline void ExpectTableMatches(std::string_view name, std::span<const char* const> actual,
                               const std::vector<std::string>& utf8Expected) {
  ASSERT_EQ(actual.size(), utf8Expected.size()) << name;
  for (size_t i = 0; i < actual.size(); ++i) {
    ASSERT_NE(actual[i], nullptr) << name << '[' << i << ']';
    EXPECT_EQ(testing_support::Cp949(actual[i]), testing_support::Cp949(plat::Utf8ToCp949(utf8Expected[i])))
        << name << '[' << i << ']';
  }
}

}  // namespace tables_test
