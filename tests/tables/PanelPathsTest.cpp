#include "tables/PanelPaths.h"

#include <gtest/gtest.h>

#include <string_view>

#include "TranscriptionSupport.h"
#include "tables/VocabularyTables.h"

using tables_test::ExpectTableMatches;
using tables_test::Words;

namespace {

// Declaration order, one line per reader.
constexpr char8_t kPanelPaths[] = u8R"(
  Hwatoo\normal.bmp Hwatoo\hold.bmp Hwatoo\small.bmp Hwatoo\shadow.bmp
  Userinfo\sun_owner.psp Userinfo\sun_owner.psp Userinfo\reserved.qla
  Jumsu\jumsu1.psp Jumsu\jumsu2.psp Jumsu\jumtext.psp Jumsu\jumsu_effect0.psp Jumsu\jumsu_effect1.psp
  Jumsu\x.psp Jumsu\mul.psp Jumsu\totaljumsu_back.psp Jumsu\totaljumsu_empty.psp Jumsu\totaljumsu.psp
  Jumsu\alert_jumsu.psp Jumsu\alert_back.qls
  Icon\go.qla Icon\shake.qla Icon\bbuck.qla
  Icon\bak.psp Icon\bak.psp
  Mission\arrow.psp Mission\special.psp Mission\mul.qla Mission\status.psp Mission\sudda.qla
  Notify\back.qla Notify\hwatoo_side.qls Notify\effect.qla Notify\yes_btn.psp Notify\no_btn.psp
  Notify\sidemoneymark.qls
  Result\back.qla Result\winlose_icon.psp Result\autostart.psp Result\expand_btn.psp Result\ok_btn.psp
  Item\back.qls Item\safe_choice.psp Item\safe_btn.psp
  Item\chance.psp
  ObserveSystem\back.qls ObserveSystem\gamejoin_btn.psp ObserveSystem\assa_btn.psp
  ObserveSystem\karpen_btn.psp ObserveSystem\refill_btn.psp ObserveSystem\gamemall_btn.psp
  ObserveSystem\safe_btn.psp ObserveSystem\payment_btn.psp ObserveSystem\item_tooltip.psp
  ObserveSystem\min_btn.psp ObserveSystem\text.psp ObserveSystem\text_btn.psp
  GameRule\Restrict\back.qls
  Option\back.qls Option\slidebtn.bmp Option\soundoff.qls Option\radio_btn.psp
  Option\checkbox.psp Option\radio_btn.psp Option\radio_btn.psp Option\gameroomoption.qla Option\ok_btn.psp
  PCRefill\btn.psp PCRefill\gauge.bmp PCRefill\alert.qla
  Ranking\back.qls Ranking\level.psp
  Bijou\back.psp Bijou\back_success.psp Promotion\banner.psp Bijou\bijou.qla Bijou\bijou.psp
  Bijou\bijoucnt.psp Bijou\getbijou.qla Bijou\getbijou.qla
  GameRule\MoneyLimit\explain.qla GameRule\MoneyLimit\tooltip.qla GameRule\MoneyLimit\tooltip.psp
)";

constexpr char8_t kSeatIcons[] = u8R"(Icon\go.qla Icon\shake.qla Icon\bbuck.qla)";

TEST(PanelPaths, EveryPathMatchesTheTranscriptionInOrder) {
  EXPECT_EQ(std::size(AllPanelPaths), 82u);
  ExpectTableMatches("AllPanelPaths", AllPanelPaths, Words(kPanelPaths));
  ExpectTableMatches("SeatIconFiles", SeatIconFiles, Words(kSeatIcons));
}

TEST(PanelPaths, SeatIconsAnswerEmptyOutsideTheThreeKinds) {
  for (int32_t kind = 0; kind < kSeatIconCount; ++kind) EXPECT_EQ(GetSeatIconFile(kind), SeatIconFiles[kind]);
  EXPECT_STREQ(GetSeatIconFile(-1), "");
  EXPECT_STREQ(GetSeatIconFile(3), "");
}

TEST(PanelPaths, PathsDeclaredTwiceAreSeparateConstantsWithEqualText) {
  struct Pair {
    const char* const* a;
    const char* const* b;
  };
  const Pair pairs[] = {
      {&UserInfoLeaderMarkAPath, &UserInfoLeaderMarkBPath}, {&BakIconFramePath, &BakIconMarksPath},
      {&OptionSpeedRadioPath, &OptionVoiceRadioPath},       {&OptionVoiceRadioPath, &OptionSkinRadioPath},
      {&BijouGainAnimPath, &BijouGainTextPath},
  };
  for (const Pair& p : pairs) {
    EXPECT_NE(p.a, p.b);
    EXPECT_STREQ(*p.a, *p.b);
  }
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

void ExpectWellFormedPath(std::string_view path) {
  SCOPED_TRACE(path);
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.front(), '\\');
  EXPECT_EQ(path.find(':'), std::string_view::npos);
  EXPECT_EQ(path.find('/'), std::string_view::npos);
  EXPECT_EQ(path.find("\\\\"), std::string_view::npos);
  EXPECT_NE(path.find('\\'), std::string_view::npos);
  EXPECT_NE(path.front(), ' ');
  EXPECT_NE(path.back(), ' ');
  EXPECT_TRUE(EndsWith(path, ".psp") || EndsWith(path, ".qla") || EndsWith(path, ".qls") || EndsWith(path, ".bmp"));
}

TEST(PanelPaths, EveryPathIsRelativeWithBackslashesAndAKnownExtension) {
  for (const char* path : AllPanelPaths) ExpectWellFormedPath(path);
  for (const char* path : EffectAnimFiles::Combination) ExpectWellFormedPath(path);
  for (const char* path : EffectAnimFiles::Event) ExpectWellFormedPath(path);
}

}  // namespace
