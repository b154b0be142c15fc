// The scene's sound cues: effects registered on the loader thread and played by id, voice
// lines chosen by the speaker's gender, voice set and a random variant, and the effect
// volume. What it needs of the table comes through ITable, so it is built without a scene.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ISceneTrace.h"
#include "plat/types.h"
#include "sound/CGameSoundMgr.h"
#include "sound/SoundLock.h"

class CSceneSound {
 public:
  static constexpr int32_t kRobotQuietAbove = 10020;  // robots say only the ids up to this
  static constexpr int32_t kSilentVolume = -10000;
  static constexpr int32_t kQuietestAudible = -4999;  // anything lower is silence
  static constexpr int32_t kTurnSeat = -1;            // a voice line's seat: the turn user's

  // Who speaks a voice line.
  struct Speaker {
    int32_t userNo = 0;
    int32_t gender = 0;    // 0 male, 1 female, another: a robot voice
    int32_t voiceSet = 0;  // 0..3; another value speaks set 0
    bool robot = false;
  };

  // What the cues ask of the table they play for; the scene implements it.
  class ITable {
   public:
    // Whether registration may go on: the scene still ready and the loader not asked to end.
    virtual bool MayRegisterEffects() const = 0;
    // On the registering thread, before each effect file (its id) and once more with
    // the effect count just before the effects may play.
    virtual void BeforeEffectLoad(int32_t id) = 0;
    // The stored sound-effect option: off silences voice lines, effects keep playing.
    virtual bool VoicesOn() const = 0;
    // The turn user's seat, or -1 when the turn user holds none.
    virtual int32_t TurnSeat() const = 0;
    // Seat 0 or 1.
    virtual Speaker SpeakerAt(int32_t seat) const = 0;
    // This client's own gender (the voice preview's speaker).
    virtual int32_t MyGender() const = 0;

   protected:
    ~ITable() = default;
  };

  explicit CSceneSound(ITable& table) : table_(table) {}
  CSceneSound(const CSceneSound&) = delete;
  CSceneSound& operator=(const CSceneSound&) = delete;

  void SetFolder(std::string folder) { folder_ = std::move(folder); }
  const std::string& Folder() const { return folder_; }
  // Null: nothing is recorded.
  void SetTrace(ISceneTrace* trace) { trace_ = trace; }

  // Loader thread: loads every effect from the folder on the window's device. 1 when it
  // got to the end; 0 when the device cannot be made or the table stopped registration
  // (then the cues stay silent). A file that cannot be loaded is skipped.
  int32_t RegisterEffects(HWND deviceWnd);
  // Every sound released; nothing plays until the effects are registered again.
  void Release();
  // 1 when effect `id` (0..scene_effects::kCount-1) was started at the effect volume; 0
  // before the effects are registered or for another id.
  int32_t PlayEffect(int32_t id, int32_t loop);
  // 0 for an id outside the effects, else 1 (stopped if it was playing).
  int32_t StopEffect(int32_t id);
  void StopLoopingEffects();
  // Seat 0 or 1, or -1 for the turn user's seat. 1 when a file was handed to the sound
  // manager (whether or not it could play it), else 0.
  int32_t PlayVoice(int32_t id, int32_t seat);
  // Variant 1 of a line in the given voice set, for the voice choice; seat -1 speaks
  // with this client's own gender. 1 when a file was handed over, else 0.
  int32_t PreviewVoice(int32_t id, int32_t voiceSet, int32_t seat);
  // "<Male|Female><set>\\<cue><variant>.ogg" or "Robot\\<cue><variant>.ogg".
  static std::string VoiceFile(int32_t gender, int32_t voiceSetNumber, const char* cue, int32_t variant);

  // Below kQuietestAudible becomes silent, above 0 becomes 0; then every effect and
  // file channel takes it.
  void SetEffectVolume(int32_t volume);
  // Every effect and file channel takes the stored volume again.
  void ReapplyEffectVolume();
  // The game tick's part: while the countdown runs and the volume is below 0, one step
  // of the countdown nudges every channel off the volume and back.
  void ReapplyVolumeOnTick();
  // Game ticks until the stored volume is applied again (the window sets it on activation).
  void SetVolumeCountdown(int32_t ticks) { volumeCountdown_ = ticks; }
  int32_t VolumeCountdown() const { return volumeCountdown_; }
  int32_t EffectVolume() const { return effectVolume_.load(std::memory_order_acquire); }
  // Set after the last effect loaded and the volume is in place (release).
  bool IsReady() const { return ready_.load(std::memory_order_acquire) != 0; }
  CGameSoundMgr& Mgr() { return mgr_; }

  // Users whose voice lines are not played (the muted list of the seat menu).
  void AddMutedUser(int32_t userNo);
  void RemoveMutedUser(int32_t userNo);
  bool IsMutedUser(int32_t userNo) const;
  void ClearMutedUsers() { mutedUsers_.clear(); }
  bool HasMutedUsers() const { return !mutedUsers_.empty(); }

 private:
  ITable& table_;
  ISceneTrace* trace_ = nullptr;
  std::atomic<int32_t> ready_{0};
  std::string folder_;
  std::atomic<int32_t> effectVolume_{0};
  // Storing and applying the volume is one step, so that the loader's final apply
  // cannot put back a value the window thread has just replaced.
  CSoundLock volumeLock_;
  int32_t volumeCountdown_ = 0;
  std::vector<int32_t> mutedUsers_;
  CGameSoundMgr mgr_;
};
