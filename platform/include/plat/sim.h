// Test control of the platform layer: what a test uses to steer the simulated world
// (clock, display, input, faults). Module code never includes this header.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace plat::sim {

// Fault injection. A fault is named after the function whose failure it forces
// ("CreateThread", "ReadFile", "RegSetValueExA", "SysAllocString", ...). The next
// `count` calls that consult the fault fail, after `skip` calls that succeed.
void FailNext(const std::string& fault, uint32_t count = 1, uint32_t skip = 0);
// Clears every armed fault.
void ClearFaults();
// Number of times a fault fired since the last ClearFaults (for assertions).
uint32_t FaultsFired(const std::string& fault);
// While recording, each consultation of a fault is counted by name, whether it fires
// or not, so that a sweep can find every fallible call a run makes and fail each in
// turn as the layer grows. Starting (or stopping) a recording clears the counts.
void RecordFaultNames(bool on);
std::map<std::string, uint32_t> ConsultedFaults();

}  // namespace plat::sim

// Per-area controls.
#include "plat/sim_kernel.h"
#include "plat/sim_files.h"
#include "plat/sim_sound.h"
#include "plat/sim_user.h"
#include "plat/sim_registry.h"
#include "plat/sim_gdi.h"
#include "plat/sim_crypt.h"
#include "plat/sim_display.h"
