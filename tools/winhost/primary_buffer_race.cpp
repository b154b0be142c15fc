// primary-buffer-race: three DirectSound objects of the default device, each on a thread
// of its own, ask for the primary buffer at the same moment, without the module; then the
// same one after the other. Under Wine 8 the objects of one device share one primary
// buffer when they ask one after the other, and a round at once now and then gives two
// or three (each released whole: nothing stays). Prints, for each way, in how many of
// the rounds the three got more than one buffer. The system's answer, not a check.
//   primary-buffer-race.exe [ROUNDS]
#include <windows.h>
#include <dsound.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace {

constexpr int32_t kObjects = 3;
constexpr int32_t kDefaultRounds = 20;

struct Asker {
  HWND wnd = nullptr;
  HANDLE go = nullptr;
  IDirectSound* ds = nullptr;
  IDirectSoundBuffer* primary = nullptr;
};

void Ask(Asker& a) {
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (FAILED(a.ds->CreateSoundBuffer(&desc, &a.primary, nullptr))) a.primary = nullptr;
}

DWORD WINAPI AskAtOnce(LPVOID p) {
  auto& a = *static_cast<Asker*>(p);
  WaitForSingleObject(a.go, INFINITE);
  Ask(a);
  return 0;
}

// How many distinct primary buffers the three objects got in one round.
int32_t Round(HWND wnd, bool atOnce) {
  Asker askers[kObjects];
  const HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  for (Asker& a : askers) {
    a.wnd = wnd;
    a.go = go;
    if (FAILED(DirectSoundCreate(nullptr, &a.ds, nullptr)) || FAILED(a.ds->SetCooperativeLevel(wnd, DSSCL_PRIORITY))) {
      std::printf("primary-buffer-race: no sound device\n");
      std::exit(1);
    }
  }
  if (atOnce) {
    HANDLE threads[kObjects];
    for (int32_t i = 0; i < kObjects; ++i) threads[i] = CreateThread(nullptr, 0, AskAtOnce, &askers[i], 0, nullptr);
    Sleep(20);
    SetEvent(go);
    WaitForMultipleObjects(kObjects, threads, TRUE, INFINITE);
    for (HANDLE t : threads) CloseHandle(t);
  } else {
    for (Asker& a : askers) Ask(a);
  }
  CloseHandle(go);
  int32_t distinct = 0;
  for (int32_t i = 0; i < kObjects; ++i) {
    bool seen = false;
    for (int32_t j = 0; j < i; ++j) seen = seen || askers[j].primary == askers[i].primary;
    if (askers[i].primary && !seen) ++distinct;
  }
  for (Asker& a : askers) {
    if (a.primary) a.primary->Release();
    a.ds->Release();
  }
  return distinct;
}

}  // namespace

int main(int argc, char** argv) {
  const int32_t rounds = argc > 1 ? std::atoi(argv[1]) : kDefaultRounds;
  HWND wnd = CreateWindowExA(0, "STATIC", "primary-buffer-race", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  for (bool atOnce : {false, true}) {
    int32_t split = 0;
    for (int32_t r = 0; r < rounds; ++r) split += Round(wnd, atOnce) > 1 ? 1 : 0;
    std::printf("%s: %d of %d rounds gave the %d objects more than one primary buffer\n",
                atOnce ? "at once" : "one after the other", int(split), int(rounds), int(kObjects));
  }
  DestroyWindow(wnd);
  return 0;
}
