// The conformance run: `seam_tests [--depth=16|32] [GoogleTest flags]`. The depth is the
// display's: the headless layer takes it, the real side must already have it (the run's
// X server is started at it), and a run on a display of another depth fails at once.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

#include "Seam.h"

namespace seam {
namespace {

int runDepth = 32;

struct MarkList {
  std::mutex lock;
  std::set<std::string> seen;
};

MarkList& Marks() {
  static MarkList marks;
  return marks;
}

// Prints every mark the run met after the results, so a reader sees what was not held
// to the same answer on this side.
class MarkPrinter : public testing::EmptyTestEventListener {
  void OnTestProgramEnd(const testing::UnitTest&) override {
    MarkList& marks = Marks();
    std::lock_guard<std::mutex> hold(marks.lock);
    std::printf("seam run on %s at %d bits: %zu marked checks\n", plat::SystemSideName(Side()), runDepth,
                marks.seen.size());
    for (const std::string& mark : marks.seen) std::printf("  %s\n", mark.c_str());
  }
};

}  // namespace

plat::SystemSide Side() { return plat::CurrentSystemSide(); }

bool OnSide(uint32_t sides) {
  switch (Side()) {
    case plat::SystemSide::Headless:
      return (sides & kHeadless) != 0;
    case plat::SystemSide::Windows:
      return (sides & kWindows) != 0;
    case plat::SystemSide::Wine:
      return (sides & kWine) != 0;
  }
  return false;
}

int Depth() { return runDepth; }

void NoteMark(const char* kind, const std::string& reason) {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : std::string("(no test)");
  MarkList& marks = Marks();
  std::lock_guard<std::mutex> hold(marks.lock);
  marks.seen.insert(name + ": " + kind + ": " + reason);
  if (test) testing::Test::RecordProperty(kind, reason);
}

void HeldAsWineAnswers(const std::string& what) { NoteMark("held as Wine answers", what); }

}  // namespace seam

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--depth=", 8) == 0) {
      seam::runDepth = std::atoi(argv[i] + 8);
    } else {
      std::fprintf(stderr, "seam_tests: unknown argument %s\n", argv[i]);
      return 2;
    }
  }
  if (!plat::UseDisplayDepth(seam::runDepth)) {
    std::fprintf(stderr, "seam_tests: the display is not at %d bits on %s\n", seam::runDepth,
                 plat::SystemSideName(plat::CurrentSystemSide()));
    return 2;
  }
  testing::UnitTest::GetInstance()->listeners().Append(new seam::MarkPrinter);
  return RUN_ALL_TESTS();
}
