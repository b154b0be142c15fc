// The multiplier and the two automatic card choices. Counts from the server (the
// multiplier exponent, go and shake counts) can be anything, so every shift amount is
// clamped and every product taken in unsigned 32 bits, where wrapping is defined.
#include "game/ClientRules.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "plat/crt.h"

namespace client_rules {

constexpr int32_t kMaxShift = 31;
constexpr int32_t kFreeGoes = 2;  // goes up to this add points only
constexpr size_t kYeolBakCount = 7;
constexpr size_t kGwangBakCount = 3;
constexpr int32_t kMissionModeCards = 1;
constexpr int32_t kMissionMultiplierLimit = 11;  // this and above are ignored
constexpr int32_t kPiBakScore = 10;
constexpr int32_t kPiBakLowest = 1;
constexpr int32_t kPiBakHighest = 7;
constexpr int32_t kSeptemberEscapeLowest = 6;  // the September yeol may count as pi from here
constexpr int32_t kTripleCount = 3;
constexpr int32_t kPairCount = 2;
constexpr int32_t kSafePairCaptured = 2;  // a pair is safe when the month's other two are taken
constexpr int32_t kNone = -1;

uint32_t PowerOfTwo(int32_t exponent) { return 1u << std::clamp(exponent, 0, kMaxShift); }

bool IsSeat(int32_t seat) { return seat >= 0 && seat < CGameInfo::kSeats; }

void ScoreSeat(const RulesView& view, int32_t s, int32_t septemberFlag) {
  CHTUser& me = view.seats[static_cast<size_t>(s)];
  CHTUser& other = view.seats[static_cast<size_t>((s + 1) % CGameInfo::kSeats)];
  other.gwangBak = other.yeolBak = other.piBak = 0;
  const int32_t score = static_cast<int32_t>(static_cast<uint32_t>(me.points) + static_cast<uint32_t>(me.goCount));
  uint32_t multiplier = PowerOfTwo(view.multiplierExponent);
  if (me.goCount > kFreeGoes) multiplier *= PowerOfTwo(me.goCount - kFreeGoes);
  if (me.shakeCount > 0) multiplier *= PowerOfTwo(me.shakeCount);
  if (me.captured[kKindYeol].size() >= kYeolBakCount) {
    other.yeolBak = 1;
    multiplier *= 2;
  }
  if (me.missionAchieved != 0 && view.missionMode == kMissionModeCards && view.missionCount > 0 &&
      view.missionMultiplier < kMissionMultiplierLimit) {
    multiplier *= static_cast<uint32_t>(view.missionMultiplier);
  }
  if (view.gwangBakOn != 0 && me.captured[kKindGwang].size() >= kGwangBakCount && other.captured[kKindGwang].empty()) {
    other.gwangBak = 1;
    multiplier *= 2;
  }
  if (me.piScore >= kPiBakScore && other.piScore >= kPiBakLowest && other.piScore <= kPiBakHighest) {
    const bool septemberAsPi = other.piScore >= kSeptemberEscapeLowest && septemberFlag != 0 &&
                               view.PileHasCard(other.captured[kKindYeol], kSeptemberYeol) != 0;
    if (!septemberAsPi) {
      other.piBak = 1;
      multiplier *= 2;
    }
  }
  const bool otherHasNothing =
      std::all_of(other.captured.begin(), other.captured.end(), [](const auto& pile) { return pile.empty(); });
  const uint32_t kept = otherHasNothing || score < 1 ? 0u : static_cast<uint32_t>(score);
  me.multiplier = static_cast<int32_t>(multiplier);
  me.score = static_cast<int32_t>(multiplier * kept);
}

// The one place a choice draws from the generator (see the header for the count).
int32_t RandomEntry(std::vector<int32_t> entries) {
  for (size_t i = 1; i < entries.size(); ++i) {
    const size_t j = static_cast<size_t>(plat::crt::rand()) % (i + 1);
    std::swap(entries[i], entries[j]);
  }
  return entries.front();
}

CardInfo InfoAt(const RulesView& view, int32_t widget) { return CardInfoOf(view.CardAt(widget)); }

bool FloorHasMonth(const RulesView& view, CardMonth month) {
  return std::any_of(view.floor.begin(), view.floor.end(), [&](int32_t f) { return InfoAt(view, f).month == month; });
}

int32_t CapturedOfMonth(const RulesView& view, CardMonth month) {
  const auto index = static_cast<size_t>(month);
  return index < view.capturedPerMonth.size() ? view.capturedPerMonth[index] : 0;
}

// A bomb-dummy turn plays the deck's first card as its widget shows it.
int32_t DummyTurnCard(const RulesView& view) { return view.deck.empty() ? kNone : view.CardAt(view.deck.front()); }

int32_t TimeoutCard(const RulesView& view) {
  if (!IsSeat(view.mySeat)) return kNone;
  const CHTUser& me = view.seats[static_cast<size_t>(view.mySeat)];
  for (int32_t h : me.hand) {
    const CardMonth month = InfoAt(view, h).month;
    if (month == kBonusMonth || FloorHasMonth(view, month)) return view.CardAt(h);
  }
  if (!me.hand.empty()) return view.CardAt(me.hand.front());
  return me.bombDummyCount >= 1 ? DummyTurnCard(view) : kNone;
}

int32_t AutoPlayCard(const RulesView& view) {
  if (!IsSeat(view.mySeat)) return kNone;
  const CHTUser& me = view.seats[static_cast<size_t>(view.mySeat)];
  std::vector<int32_t> gwangMatches, matches;
  for (int32_t h : me.hand) {
    const CardInfo card = InfoAt(view, h);
    for (int32_t f : view.floor) {
      const CardInfo partner = InfoAt(view, f);
      if (partner.month != card.month) continue;
      if (card.set == kSetDouble || partner.set == kSetDouble) return view.CardAt(h);
      (card.set == kSetGwang || partner.set == kSetGwang ? gwangMatches : matches).push_back(view.CardAt(h));
    }
  }
  if (!gwangMatches.empty()) return gwangMatches.front();
  if (!matches.empty()) return RandomEntry(std::move(matches));
  const bool dummyTurns = me.bombDummyCount > 0;
  if (me.hand.empty()) return dummyTurns ? DummyTurnCard(view) : kNone;

  std::vector<int32_t> triples, safePairs, singles;
  for (int32_t h : me.hand) {
    const CardMonth month = InfoAt(view, h).month;
    if (month == kBonusMonth) return view.CardAt(h);
    const auto sameMonth = std::count_if(me.hand.begin(), me.hand.end(),
                                         [&](int32_t other) { return InfoAt(view, other).month == month; });
    if (sameMonth >= kTripleCount) {
      triples.push_back(view.CardAt(h));
    } else if (sameMonth == kPairCount && CapturedOfMonth(view, month) == kSafePairCaptured) {
      safePairs.push_back(view.CardAt(h));
    } else {
      singles.push_back(view.CardAt(h));
    }
  }
  if (!triples.empty()) return RandomEntry(std::move(triples));
  if (!safePairs.empty()) return RandomEntry(std::move(safePairs));
  if (dummyTurns) return DummyTurnCard(view);
  return singles.empty() ? kNone : RandomEntry(std::move(singles));
}

}  // namespace client_rules

FlowerCard RulesView::CardAt(int32_t widget) const {
  return cardOfWidget(widget >= 0 && widget < kCardCount ? widget : kCardCount - 1);
}

int32_t RulesView::PileHasCard(std::span<const int32_t> list, FlowerCard card) const {
  return std::any_of(list.begin(), list.end(), [&](int32_t w) { return CardAt(w) == card; }) ? 1 : 0;
}

void ComputeScoreMultiplier(const RulesView& view, int32_t seat, int32_t septemberFlag) {
  if (client_rules::IsSeat(seat)) {
    client_rules::ScoreSeat(view, seat, septemberFlag);
  } else if (seat == CGameInfo::kSeats) {
    for (int32_t s = 0; s < CGameInfo::kSeats; ++s) client_rules::ScoreSeat(view, s, septemberFlag);
  }
}


int32_t ChooseTimeoutCard(const RulesView& view) { return client_rules::TimeoutCard(view); }

int32_t ChooseAutoPlayCard(const RulesView& view) { return client_rules::AutoPlayCard(view); }
