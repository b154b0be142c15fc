#include "core/Faults.h"

#include <map>
#include <mutex>
#include <string>

#include "plat/sim.h"

namespace plat::detail {
namespace {

struct Armed {
  uint32_t skip = 0;
  uint32_t count = 0;
  uint32_t fired = 0;
};

struct FaultTable {
  std::mutex mutex;
  std::map<std::string, Armed> faults;
  bool recording = false;
  std::map<std::string, uint32_t> consulted;
};

// Created on first use and never destroyed: the layer runs no global constructors.
FaultTable& Table() {
  static FaultTable* table = new FaultTable;
  return *table;
}

}  // namespace

bool ShouldFail(const char* fault) {
  FaultTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (t.recording) ++t.consulted[fault];
  if (t.faults.empty()) return false;
  auto it = t.faults.find(fault);
  if (it == t.faults.end() || it->second.count == 0) return false;
  if (it->second.skip > 0) {
    --it->second.skip;
    return false;
  }
  --it->second.count;
  ++it->second.fired;
  return true;
}

}  // namespace plat::detail

namespace plat::sim {

void FailNext(const std::string& fault, uint32_t count, uint32_t skip) {
  auto& t = detail::Table();
  std::lock_guard lock(t.mutex);
  auto& a = t.faults[fault];
  a.count = count;
  a.skip = skip;
}

void ClearFaults() {
  auto& t = detail::Table();
  std::lock_guard lock(t.mutex);
  t.faults.clear();
}

uint32_t FaultsFired(const std::string& fault) {
  auto& t = detail::Table();
  std::lock_guard lock(t.mutex);
  auto it = t.faults.find(fault);
  return it == t.faults.end() ? 0 : it->second.fired;
}

void RecordFaultNames(bool on) {
  auto& t = detail::Table();
  std::lock_guard lock(t.mutex);
  t.recording = on;
  t.consulted.clear();
}

std::map<std::string, uint32_t> ConsultedFaults() {
  auto& t = detail::Table();
  std::lock_guard lock(t.mutex);
  return t.consulted;
}

}  // namespace plat::sim
