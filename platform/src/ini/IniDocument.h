// An INI file's text as lines that can be searched and edited, and written back with every
// untouched line exactly as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plat::detail {

class IniDocument {
 public:
  static IniDocument Parse(std::string_view text);
  std::string Text() const;

  // The value of the first such key in a section of that name; null when missing.
  const std::string* Find(std::string_view section, std::string_view key) const;
  std::vector<std::string> SectionNames() const;
  std::vector<std::string> KeyNames(std::string_view section) const;

  void Set(std::string_view section, std::string_view key, std::string_view value);
  void RemoveKey(std::string_view section, std::string_view key);
  void RemoveSection(std::string_view section);

 private:
  enum class Kind { Section, Key, Other };
  struct Line {
    Kind kind = Kind::Other;
    std::string raw;    // as in the file, without the line end
    std::string name;   // section or key name, trimmed
    std::string value;  // key value, trimmed, enclosing quotes removed
  };
  static Line ParseLine(std::string_view raw);
  // Index of the header of the first section of that name, or npos.
  size_t FindSection(std::string_view section) const;
  // One past the last line of the section whose header is at `header`.
  size_t SectionEnd(size_t header) const;

  std::vector<Line> lines_;
};

}  // namespace plat::detail
