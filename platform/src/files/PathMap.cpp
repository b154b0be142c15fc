// Windows path → file system path. The module builds paths by pasting folder names in
// whatever case its tables use, while the data on disk may be stored in another case;
// each existing component is therefore looked up in its directory.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "plat/codepage.h"
#include "plat/files.h"
#include "plat/sim_files.h"
#include "text/NoCase.h"

namespace {

struct PathConfig {
  std::mutex mutex;
  // (Windows prefix, native folder), longest prefix first.
  std::vector<std::pair<std::string, std::string>> prefixes;
  std::string driveRoot = "/";
};

PathConfig& Config() {
  static PathConfig* config = new PathConfig;
  return *config;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool HasHighBytes(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Length of the input that `prefix` covers, or 0 when it does not match. The match must
// end at a component boundary; the prefix's own trailing separators are optional.
size_t MatchPrefix(std::string_view path, std::string_view prefix) {
  while (!prefix.empty() && IsSeparator(prefix.back())) prefix.remove_suffix(1);
  if (prefix.empty() || path.size() < prefix.size()) return 0;
  if (path.size() > prefix.size() && !IsSeparator(path[prefix.size()])) return 0;
  std::string a(path.substr(0, prefix.size())), b(prefix);
  std::replace(a.begin(), a.end(), '/', '\\');
  std::replace(b.begin(), b.end(), '/', '\\');
  return plat::detail::EqualNoCaseCp949(a, b) ? prefix.size() : 0;
}

bool Exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` that `name` stands for, or empty when there is none.
std::string FindEntry(const std::string& dir, const std::string& name) {
  if (Exists(dir + name)) return name;
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string best;
  while (dirent* e = readdir(d)) {
    std::string_view entry = e->d_name;
    if (plat::detail::EqualNoCaseAscii(entry, name) && (best.empty() || entry < best)) best = entry;
  }
  closedir(d);
  return best;
}

// Appends the components of `rest` to `dir` (empty, or ending with '/').
std::string Resolve(std::string dir, std::string_view rest) {
  bool searching = true;  // false once a component is missing: nothing below it exists
  bool appended = false;
  for (size_t i = 0; i < rest.size();) {
    if (IsSeparator(rest[i])) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string_view raw = rest.substr(i, end - i);
    i = end;
    std::string name(raw);
    if (searching && raw != "." && raw != "..") {
      if (HasHighBytes(raw)) name = plat::Cp949ToUtf8(raw);
      std::string found = FindEntry(dir, name);
      // A name that is already UTF-8 (a native folder handed over by a host) is accepted
      // as it is.
      if (found.empty() && name != raw) found = FindEntry(dir, std::string(raw));
      if (found.empty()) searching = false;
      else name = found;
    } else if (HasHighBytes(raw)) {
      name = plat::Cp949ToUtf8(raw);
    }
    dir += name;
    dir += '/';
    appended = true;
  }
  if (appended && !IsSeparator(rest.back())) dir.pop_back();
  return dir;
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

namespace plat {

std::string MapPath(std::string_view path) {
  if (path.empty()) return {};
  std::string base;
  std::string_view rest = path;
  {
    PathConfig& c = Config();
    std::lock_guard lock(c.mutex);
    size_t covered = 0;
    for (const auto& [prefix, folder] : c.prefixes) {
      covered = MatchPrefix(path, prefix);
      if (covered) {
        base = WithSlash(folder);
        break;
      }
    }
    if (covered) {
      rest = path.substr(covered);
    } else if (path.size() >= 2 && path[1] == ':' && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z')) {
      base = WithSlash(c.driveRoot);
      rest = path.substr(2);
    } else if (IsSeparator(path[0])) {
      base = "/";
    }
  }
  return Resolve(std::move(base), rest);
}

}  // namespace plat

namespace plat::sim {

void MapPathPrefix(const std::string& windowsPrefix, const std::string& nativeFolder) {
  PathConfig& c = Config();
  std::lock_guard lock(c.mutex);
  std::erase_if(c.prefixes, [&](const auto& p) { return p.first == windowsPrefix; });
  c.prefixes.emplace_back(windowsPrefix, nativeFolder);
  std::stable_sort(c.prefixes.begin(), c.prefixes.end(),
                   [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
}

void ClearPathPrefixes() {
  PathConfig& c = Config();
  std::lock_guard lock(c.mutex);
  c.prefixes.clear();
}

void SetDriveRoot(const std::string& nativeFolder) {
  PathConfig& c = Config();
  std::lock_guard lock(c.mutex);
  c.driveRoot = nativeFolder.empty() ? "/" : nativeFolder;
}

}  // namespace plat::sim
