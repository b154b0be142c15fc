// The tables must be ready before any code runs at load, so no object of tables/ may
// carry a static initialiser. Reads the symbols of the built objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string Symbols(const std::filesystem::path& object) {
  std::string out;
  FILE* pipe = popen(("nm -C '" + object.string() + "' 2>&1").c_str(), "r");
  if (!pipe) return out;
  char buf[512];
  while (fgets(buf, sizeof buf, pipe)) out += buf;
  pclose(pipe);
  return out;
}

bool HasStaticInitialiser(const std::string& symbols) {
  // Sanitizer builds register their globals through initialisers of priority 99;
  // those run no code of ours.
  for (size_t at = 0; (at = symbols.find("_GLOBAL__sub_I_", at)) != std::string::npos; ++at) {
    if (symbols.compare(at, 21, "_GLOBAL__sub_I_00099_") != 0) return true;
  }
  return false;
}

// The build tree: from the environment when given, else two levels above this
// executable (<build>/tests/tables_tests).
std::filesystem::path BuildDir() {
  if (const char* dir = std::getenv("DORVIK_BUILD_DIR")) return dir;
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
}

TEST(TableInitialisation, NoTableObjectRunsCodeAtLoad) {
  const std::filesystem::path dir = BuildDir() / "CMakeFiles/dorvik2_objects.dir/tables";
  ASSERT_TRUE(std::filesystem::is_directory(dir)) << dir;
  int objects = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".o") continue;
    ++objects;
    const std::string symbols = Symbols(entry.path());
    // A table object defines data; no data means nm did not read it.
    const bool definesData = symbols.find(" D ") != std::string::npos || symbols.find(" R ") != std::string::npos;
    EXPECT_TRUE(definesData) << entry.path() << '\n' << symbols;
    EXPECT_FALSE(HasStaticInitialiser(symbols)) << entry.path() << '\n' << symbols;
  }
  EXPECT_GT(objects, 0);
}

}  // namespace
