// The sides' names, as a conformance run reports where it ran.
#include "plat/system_side.h"

namespace plat {

const char* SystemSideName(SystemSide side) {
  switch (side) {
    case SystemSide::Headless:
      return "headless";
    case SystemSide::Windows:
      return "Windows";
    case SystemSide::Wine:
      return "Wine";
  }
  return "?";
}

}  // namespace plat
