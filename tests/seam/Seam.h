// What every seam check shares: the side it runs on, the depth of the run, and the
// marks a check carries when it holds on some sides only or when Wine answers other
// than Windows. A mark stands beside its check with its reason, and a run lists every
// mark it met, so a difference is never silent.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "plat/system_side.h"

namespace seam {

// Sides as a set, for checks that hold on some of them only.
enum Sides : uint32_t {
  kHeadless = 1u << 0,
  kWindows = 1u << 1,
  kWine = 1u << 2,
  kReal = kWindows | kWine,
  kEverySide = kHeadless | kReal,
};

plat::SystemSide Side();
bool OnSide(uint32_t sides);
// The display depth of this run: 16 or 32.
int Depth();

// Notes a mark once per test in the run's list (printed at the end) and in the test's
// record.
void NoteMark(const char* kind, const std::string& reason);

// The value a check expects on this side: Windows' (which the headless layer follows)
// everywhere, but Wine's under Wine, where Wine is known to differ.
template <class T>
T WineDiffers(T windowsValue, std::type_identity_t<T> wineValue, const std::string& reason) {
  if (Side() != plat::SystemSide::Wine) return windowsValue;
  NoteMark("wine differs", reason);
  return wineValue;
}

// Notes that the check holds an answer Windows does not document, as Wine gives it (or
// as the font face's own data decides it): the headless layer follows it from there.
void HeldAsWineAnswers(const std::string& what);

}  // namespace seam

// The rest of the test holds only on the sides named; elsewhere it is skipped with
// the reason.
#define SEAM_ONLY_ON(sides, reason)                        \
  do {                                                     \
    if (!::seam::OnSide(sides)) {                          \
      ::seam::NoteMark("skipped on this side", (reason));  \
      GTEST_SKIP() << (reason);                            \
    }                                                      \
  } while (0)

// The rest of the test holds only at the display depth named.
#define SEAM_ONLY_AT_DEPTH(bits)                                        \
  do {                                                                  \
    if (::seam::Depth() != (bits)) GTEST_SKIP() << "a " #bits "-bit check"; \
  } while (0)
