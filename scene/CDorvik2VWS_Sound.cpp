// The scene's sound: effects registered on the loader thread and played by id, voice
// lines chosen by the speaker's gender, voice set and a random variant, and the effect
// volume. The sound manager locks for itself; the sound-ready flag keeps plays off the
// table until the loader has filled it.
#include <algorithm>

#include "host/CHostLink.h"
#include "plat/crt.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "tables/VocabularyTables.h"

namespace {

constexpr int32_t kMale = 0;
constexpr int32_t kFemale = 1;
constexpr int32_t kRobot = 2;
constexpr int32_t kRobotVariants = 2;
constexpr int32_t kNoSeat = -1;

bool IsEffectId(int32_t id) { return id >= 0 && id < scene_effects::kCount; }

bool IsSeat(int32_t seat) { return seat >= 0 && seat < PITable::kSeatCount; }

// rand() % count + 1, a count below 1 taken as 1.
int32_t RandomVariant(int32_t count) { return plat::crt::rand() % std::max(count, 1) + 1; }

void ApplyVolume(CGameSoundMgr& mgr, int32_t volume) {
  mgr.SetEffectsVolume(volume);
  mgr.SetChannelsVolume(volume);
}

}  // namespace

bool CDorvik2VWS::MayRegister() const {
  return ready_.load(std::memory_order_seq_cst) != 0 && !(owner_ && owner_->LoaderCancelRequested());
}

namespace {
std::atomic<CDorvik2VWS::EffectLoadHook> g_effectLoadHook{nullptr};
}  // namespace

void CDorvik2VWS::SetEffectLoadHook(EffectLoadHook hook) { g_effectLoadHook.store(hook); }

int32_t CDorvik2VWS::RegisterEffects() {
  if (!soundMgr_.Init(CHostLink::Global().HostWindow(), soundFolder_) || !IsReady()) return 0;
  // Asked before every file, not between groups: a teardown on the window thread must
  // not wait for the rest of the files to decode.
  for (const int32_t id : scene_effects::LoadOrder) {
    if (auto hook = g_effectLoadHook.load()) hook(*this, id);
    if (!MayRegister()) return 0;
    soundMgr_.LoadSound(scene_effects::Files[id], id, 0);
  }
  // The volume is in place before anyone may play.
  ReapplyEffectVolume();
  if (auto hook = g_effectLoadHook.load()) hook(*this, kEffectCount);
  soundReady_.store(1, std::memory_order_seq_cst);
  // A teardown that cleared readiness meanwhile may have missed the flag just set.
  if (!MayRegister()) {
    soundReady_.store(0, std::memory_order_seq_cst);
    return 0;
  }
  return 1;
}

int32_t CDorvik2VWS::PlayEffect(int32_t id, int32_t loop) {
  if (IsEffectId(id)) playedEffects_.push_back(id);
  if (!IsSoundReady() || !IsEffectId(id)) return 0;
  soundMgr_.SetVolume(id, EffectVolume());
  soundMgr_.Play(id, loop, 0, 0);
  return 1;
}

int32_t CDorvik2VWS::StopEffect(int32_t id) {
  if (!IsEffectId(id)) return 0;
  stoppedEffects_.push_back(id);
  if (soundMgr_.IsPlaying(id)) soundMgr_.Stop(id);
  return 1;
}

void CDorvik2VWS::StopLoopingEffects() {
  StopEffect(scene_effects::kThreeGoWin);
  StopEffect(scene_effects::kThreeGoLose);
}

void CDorvik2VWS::SetEffectVolume(int32_t volume) {
  if (volume < kQuietestAudible) volume = kSilentVolume;
  if (volume > 0) volume = 0;
  CSoundLockScope scope(volumeLock_);
  effectVolume_.store(volume, std::memory_order_release);
  ApplyVolume(soundMgr_, volume);
}

void CDorvik2VWS::ReapplyEffectVolume() {
  CSoundLockScope scope(volumeLock_);
  ApplyVolume(soundMgr_, EffectVolume());
}

void CDorvik2VWS::ReapplyVolumeOnTick() {
  const int32_t volume = EffectVolume();
  if (volumeCountdown <= 0 || volume >= 0) return;
  --volumeCountdown;
  // A change of level is what makes a device that lost its volume take it again.
  SetEffectVolume(volume + 1);
  SetEffectVolume(volume);
}

void CDorvik2VWS::AddMutedUser(int32_t userNo) {
  if (!IsMutedUser(userNo)) mutedUsers_.push_back(userNo);
}

void CDorvik2VWS::RemoveMutedUser(int32_t userNo) { std::erase(mutedUsers_, userNo); }

bool CDorvik2VWS::IsMutedUser(int32_t userNo) const {
  return std::find(mutedUsers_.begin(), mutedUsers_.end(), userNo) != mutedUsers_.end();
}

std::string CDorvik2VWS::VoiceFile(int32_t gender, int32_t voiceSetNumber, const char* cue, int32_t variant) {
  if (gender == kMale) return plat::FormatString("Male%d\\%s%d.ogg", voiceSetNumber, cue, variant);
  if (gender == kFemale) return plat::FormatString("Female%d\\%s%d.ogg", voiceSetNumber, cue, variant);
  return plat::FormatString("Robot\\%s%d.ogg", cue, variant);
}

int32_t CDorvik2VWS::PlayVoice(int32_t id, int32_t seat) {
  playedVoices_.push_back({id, seat});
  const VoiceCue& line = FindVoiceCue(id);
  if (!IsSoundReady() || !Option_SoundEffect || line.cue[0] == '\0') return 0;
  if (seat == kNoSeat) {
    seat = GetSeatOfUser(model_.turnUserNo);
    if (seat == kNoSeat) return 0;
  } else if (!IsSeat(seat) || IsMutedUser(GetPlayer(seat).userNo)) {
    return 0;
  }
  const PlayerInfo& speaker = GetPlayer(seat);
  const bool robot = IsRobotSeat(seat) != 0;
  const int32_t gender = robot ? kRobot : speaker.gender;
  const int32_t voiceSet = speaker.voiceSet >= 0 && speaker.voiceSet < kVoiceSetCount ? speaker.voiceSet : 0;
  // Drawn before the robot test, so that a robot's silence still uses up a number.
  int32_t variant = RandomVariant(line.variantCount);
  if (id > kRobotQuietAbove && robot) return 0;
  if (gender != kMale && gender != kFemale) variant = RandomVariant(kRobotVariants);
  soundMgr_.PlayFile(VoiceFile(gender, voiceSet + 1, line.cue, variant), EffectVolume());
  return 1;
}

int32_t CDorvik2VWS::PreviewVoice(int32_t id, int32_t voiceSet, int32_t seat) {
  const VoiceCue& line = FindVoiceCue(id);
  if (!IsSoundReady() || !Option_SoundEffect || line.cue[0] == '\0') return 0;
  if (seat != kNoSeat && !IsSeat(seat)) return 0;
  const int32_t gender = seat == kNoSeat ? model_.myUser.gender : GetPlayer(seat).gender;
  soundMgr_.PlayFile(VoiceFile(gender, voiceSet + 1, line.cue, 1), EffectVolume());
  return 1;
}
