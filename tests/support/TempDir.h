// A fresh folder under the system's temporary folder, removed with everything in it when
// the test ends, plus small helpers to lay out fixture files in it.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's native path, ending with '/'.
  const std::string& path() const { return path_; }
  // Native path of `relative` (UTF-8, '/' separators) inside the folder.
  std::string operator/(const std::string& relative) const { return path_ + relative; }
  // Writes a file (making its folders); `relative` is a native UTF-8 path.
  void Write(const std::string& relative, const std::string& bytes) const;
  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;

 private:
  std::string path_;
};

}  // namespace testing_support
