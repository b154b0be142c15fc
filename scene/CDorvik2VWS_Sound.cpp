// The scene's side of the sound cues: what the cues ask of the table, and the test hook
// on the registering thread.
#include <atomic>

#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"

namespace {
std::atomic<CDorvik2VWS::EffectLoadHook> g_effectLoadHook{nullptr};
}  // namespace

void CDorvik2VWS::SetEffectLoadHook(EffectLoadHook hook) { g_effectLoadHook.store(hook); }

int32_t CDorvik2VWS::RegisterEffects() { return sound_.RegisterEffects(HostLink().HostWindow()); }

bool CDorvik2VWS::MayRegisterEffects() const {
  return ready_.load(std::memory_order_seq_cst) != 0 && !(owner_ && owner_->LoaderCancelRequested());
}

void CDorvik2VWS::BeforeEffectLoad(int32_t id) {
  if (auto hook = g_effectLoadHook.load()) hook(*this, id);
}

bool CDorvik2VWS::VoicesOn() const { return options_.soundEffect != 0; }

int32_t CDorvik2VWS::TurnSeat() const { return GetSeatOfUser(model_.turnUserNo); }

CSceneSound::Speaker CDorvik2VWS::SpeakerAt(int32_t seat) const {
  const PlayerInfo& p = model_.room.seats.Player(seat);
  return {p.userNo, p.gender, p.voiceSet, IsRobotSeat(seat) != 0};
}

int32_t CDorvik2VWS::MyGender() const { return model_.myUser.gender; }
