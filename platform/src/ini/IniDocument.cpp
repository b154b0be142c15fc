#include "ini/IniDocument.h"

#include "text/NoCase.h"

namespace plat::detail {
namespace {

constexpr std::string_view kBlanks = " \t\r";

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(kBlanks);
  return s.substr(b, e - b + 1);
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

IniDocument::Line IniDocument::ParseLine(std::string_view raw) {
  Line line;
  line.raw = raw;
  std::string_view t = Trim(raw);
  if (t.empty() || t.front() == ';') return line;
  if (t.front() == '[') {
    size_t close = t.find(']');
    line.kind = Kind::Section;
    line.name = Trim(t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return line;
  }
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  line.kind = Kind::Key;
  line.name = Trim(t.substr(0, eq));
  line.value = Unquote(Trim(t.substr(eq + 1)));
  return line;
}

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument doc;
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view raw = text.substr(0, nl);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    doc.lines_.push_back(ParseLine(raw));
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  return doc;
}

std::string IniDocument::Text() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.raw;
    out += "\r\n";
  }
  return out;
}

const std::string* IniDocument::Find(std::string_view section, std::string_view key) const {
  bool inside = false;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) inside = EqualNoCaseCp949(line.name, section);
    else if (inside && line.kind == Kind::Key && EqualNoCaseCp949(line.name, key)) return &line.value;
  }
  return nullptr;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> out;
  for (const Line& line : lines_)
    if (line.kind == Kind::Section) out.push_back(line.name);
  return out;
}

std::vector<std::string> IniDocument::KeyNames(std::string_view section) const {
  std::vector<std::string> out;
  bool inside = false;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section) inside = EqualNoCaseCp949(line.name, section);
    else if (inside && line.kind == Kind::Key) out.push_back(line.name);
  }
  return out;
}

size_t IniDocument::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Section && EqualNoCaseCp949(lines_[i].name, section)) return i;
  return std::string::npos;
}

size_t IniDocument::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  Line line = ParseLine(std::string(key) + "=" + std::string(value));
  size_t header = FindSection(section);
  if (header == std::string::npos) {
    lines_.push_back(ParseLine("[" + std::string(section) + "]"));
    lines_.push_back(std::move(line));
    return;
  }
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Key && EqualNoCaseCp949(lines_[i].name, key)) {
      lines_[i] = std::move(line);
      return;
    }
  }
  // After the section's last key, so blank lines between sections stay between them.
  size_t at = end;
  while (at > header + 1 && lines_[at - 1].kind == Kind::Other && Trim(lines_[at - 1].raw).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniDocument::RemoveKey(std::string_view section, std::string_view key) {
  size_t header = FindSection(section);
  if (header == std::string::npos) return;
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Key && EqualNoCaseCp949(lines_[i].name, key)) {
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
  }
}

void IniDocument::RemoveSection(std::string_view section) {
  size_t header = FindSection(section);
  if (header == std::string::npos) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(header),
               lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(header)));
}

}  // namespace plat::detail
