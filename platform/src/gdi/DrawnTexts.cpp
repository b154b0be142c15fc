// The texts DrawTextA drew into each window, kept for tests that read what a dialog
// says: its pixels alone do not tell.
#include <map>
#include <mutex>

#include "gdi/WindowDC.h"
#include "plat/sim_gdi.h"

namespace plat::detail::gdi {
namespace {

// A window repainting on every tick would otherwise grow its record without end.
constexpr size_t kMostTextsPerWindow = 4096;

struct DrawnTextRecord {
  std::mutex mutex;
  std::map<HWND, std::vector<std::string>> texts;
};

DrawnTextRecord& Record() {
  static DrawnTextRecord record;
  return record;
}

}  // namespace

void NoteDrawnText(HDC hdc, std::string text) {
  const HWND hwnd = WindowOfDC(hdc);
  if (!hwnd) return;
  std::lock_guard<std::mutex> hold(Record().mutex);
  std::vector<std::string>& list = Record().texts[hwnd];
  if (list.size() >= kMostTextsPerWindow) list.erase(list.begin());
  list.push_back(std::move(text));
}

void ForgetDrawnTexts(HWND hwnd) {
  std::lock_guard<std::mutex> hold(Record().mutex);
  Record().texts.erase(hwnd);
}

}  // namespace plat::detail::gdi

namespace plat::sim {

std::vector<std::string> DrawnTexts(HWND hwnd) {
  auto& record = plat::detail::gdi::Record();
  std::lock_guard<std::mutex> hold(record.mutex);
  const auto it = record.texts.find(hwnd);
  return it == record.texts.end() ? std::vector<std::string>{} : it->second;
}

}  // namespace plat::sim
