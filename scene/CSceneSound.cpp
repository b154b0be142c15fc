// The sound cues. The sound manager locks for itself; the ready flag keeps plays off the
// effect table until the loader has filled it.
#include "scene/CSceneSound.h"

#include <algorithm>

#include "host/PITable.h"
#include "plat/crt.h"
#include "scene/SceneEffects.h"
#include "tables/VocabularyTables.h"

namespace scene_sound {

constexpr int32_t kMale = 0;
constexpr int32_t kFemale = 1;
constexpr int32_t kRobot = 2;
constexpr int32_t kRobotVariants = 2;

bool IsEffectId(int32_t id) { return id >= 0 && id < scene_effects::kCount; }

bool IsSeat(int32_t seat) { return seat >= 0 && seat < PITable::kSeatCount; }

// rand() % count + 1, a count below 1 taken as 1.
int32_t RandomVariant(int32_t count) { return plat::crt::rand() % std::max(count, 1) + 1; }

void ApplyVolume(CGameSoundMgr& mgr, int32_t volume) {
  mgr.SetEffectsVolume(volume);
  mgr.SetChannelsVolume(volume);
}

}  // namespace scene_sound

int32_t CSceneSound::RegisterEffects(HWND deviceWnd) {
  if (!mgr_.Init(deviceWnd, folder_) || !table_.MayRegisterEffects()) return 0;
  // Asked before every file, not between groups: a teardown on the window thread must
  // not wait for the rest of the files to decode.
  for (const int32_t id : scene_effects::LoadOrder) {
    table_.BeforeEffectLoad(id);
    if (!table_.MayRegisterEffects()) return 0;
    mgr_.LoadSound(scene_effects::Files[id], id, 0);
  }
  // The volume is in place before anyone may play.
  ReapplyEffectVolume();
  table_.BeforeEffectLoad(scene_effects::kCount);
  ready_.store(1, std::memory_order_seq_cst);
  // A teardown that stopped registration meanwhile may have missed the flag just set.
  if (!table_.MayRegisterEffects()) {
    ready_.store(0, std::memory_order_seq_cst);
    return 0;
  }
  return 1;
}

void CSceneSound::Release() {
  mgr_.ReleaseAll();
  ready_.store(0, std::memory_order_seq_cst);
}

int32_t CSceneSound::PlayEffect(int32_t id, int32_t loop) {
  using namespace scene_sound;
  if (!IsEffectId(id)) return 0;
  if (trace_) trace_->EffectPlayed(id);
  if (!IsReady()) return 0;
  mgr_.SetVolume(id, EffectVolume());
  mgr_.Play(id, loop, 0, 0);
  return 1;
}

int32_t CSceneSound::StopEffect(int32_t id) {
  using namespace scene_sound;
  if (!IsEffectId(id)) return 0;
  if (trace_) trace_->EffectStopped(id);
  if (mgr_.IsPlaying(id)) mgr_.Stop(id);
  return 1;
}

void CSceneSound::StopLoopingEffects() {
  StopEffect(scene_effects::kThreeGoWin);
  StopEffect(scene_effects::kThreeGoLose);
}

void CSceneSound::SetEffectVolume(int32_t volume) {
  using namespace scene_sound;
  volume = std::min(volume < kQuietestAudible ? kSilentVolume : volume, 0);
  CSoundLockScope scope(volumeLock_);
  effectVolume_.store(volume, std::memory_order_release);
  ApplyVolume(mgr_, volume);
}

void CSceneSound::ReapplyEffectVolume() {
  using namespace scene_sound;
  CSoundLockScope scope(volumeLock_);
  ApplyVolume(mgr_, EffectVolume());
}

void CSceneSound::ReapplyVolumeOnTick() {
  const int32_t volume = EffectVolume();
  if (volumeCountdown_ <= 0 || volume >= 0) return;
  --volumeCountdown_;
  // A change of level is what makes a device that lost its volume take it again.
  SetEffectVolume(volume + 1);
  SetEffectVolume(volume);
}

void CSceneSound::AddMutedUser(int32_t userNo) {
  if (!IsMutedUser(userNo)) mutedUsers_.push_back(userNo);
}

void CSceneSound::RemoveMutedUser(int32_t userNo) { std::erase(mutedUsers_, userNo); }

bool CSceneSound::IsMutedUser(int32_t userNo) const {
  return std::find(mutedUsers_.begin(), mutedUsers_.end(), userNo) != mutedUsers_.end();
}

std::string CSceneSound::VoiceFile(int32_t gender, int32_t voiceSetNumber, const char* cue, int32_t variant) {
  using namespace scene_sound;
  if (gender == kMale) return plat::FormatString("Male%d\\%s%d.ogg", voiceSetNumber, cue, variant);
  if (gender == kFemale) return plat::FormatString("Female%d\\%s%d.ogg", voiceSetNumber, cue, variant);
  return plat::FormatString("Robot\\%s%d.ogg", cue, variant);
}

int32_t CSceneSound::PlayVoice(int32_t id, int32_t seat) {
  using namespace scene_sound;
  if (trace_) trace_->VoicePlayed(id, seat);
  const VoiceCue& line = FindVoiceCue(id);
  if (!IsReady() || !table_.VoicesOn() || line.cue[0] == '\0') return 0;
  if (seat == kTurnSeat) {
    seat = table_.TurnSeat();
    if (!IsSeat(seat)) return 0;
  } else if (!IsSeat(seat) || IsMutedUser(table_.SpeakerAt(seat).userNo)) {
    return 0;
  }
  const Speaker speaker = table_.SpeakerAt(seat);
  const int32_t gender = speaker.robot ? kRobot : speaker.gender;
  const int32_t voiceSet = speaker.voiceSet >= 0 && speaker.voiceSet < kVoiceSetCount ? speaker.voiceSet : 0;
  // Drawn before the robot test, so that a robot's silence still uses up a number.
  int32_t variant = RandomVariant(line.variantCount);
  if (id > kRobotQuietAbove && speaker.robot) return 0;
  if (gender != kMale && gender != kFemale) variant = RandomVariant(kRobotVariants);
  mgr_.PlayFile(VoiceFile(gender, voiceSet + 1, line.cue, variant), EffectVolume());
  return 1;
}

int32_t CSceneSound::PreviewVoice(int32_t id, int32_t voiceSet, int32_t seat) {
  using namespace scene_sound;
  const VoiceCue& line = FindVoiceCue(id);
  if (!IsReady() || !table_.VoicesOn() || line.cue[0] == '\0') return 0;
  if (seat != kTurnSeat && !IsSeat(seat)) return 0;
  const int32_t gender = seat == kTurnSeat ? table_.MyGender() : table_.SpeakerAt(seat).gender;
  mgr_.PlayFile(VoiceFile(gender, voiceSet + 1, line.cue, 1), EffectVolume());
  return 1;
}
