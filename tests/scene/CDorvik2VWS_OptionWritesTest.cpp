// The option panel's OK when the registry refuses a write or a cloth's picture is
// missing: the old value stays, in the scene, in the registry and on the panel; and
// the summary's chat runs with the voice character's name.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "panels/CVJumsuInfoWnd.h"
#include "plat/sim.h"
#include "support/GameTable.h"

namespace {

using testing_support::GameTableTest;
using testing_support::HostSlot;

class OptionWritesTest : public GameTableTest {
 protected:
  void SetUp() override {
    GameTableTest::SetUp();
    MakeTable();
    SeatMe(0);
    host.Clear();
    trace.Clear();
  }
  void TearDown() override {
    plat::sim::ClearFaults();
    GameTableTest::TearDown();
  }
  CVUserOptionWnd* Panel() { return scene->Widgets().optionPanel; }
  std::string Stored(const char* name) {
    std::string text;
    return scene->ReadRegString(CSceneOptions::kSubKey, name, text) ? text : "(none)";
  }
  uint32_t StoredDword(const char* name) {
    uint32_t value = 0xFFFFFFFFu;
    scene->ReadOptionDword(name, &value);
    return value;
  }
  // What the scene keeps of each option, the panel's choices, and the registry's values.
  struct Snapshot {
    int32_t volume, speed, sound, voice, skin;
    int32_t panelVolume, panelSpeed, panelSound, panelVoice, panelSkin;
    std::string storedVolume, storedSpeed;
    uint32_t storedSound, storedVoice, storedSkin;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot Take() {
    CVUserOptionWnd* p = Panel();
    return {scene->EffectVolume(), scene->Options().speed, scene->Options().soundEffect, scene->Model().myVoiceSet,
            scene->Options().skin, p->Volume(), p->SpeedChoice(), p->SoundEffect(), p->Voice(), p->Skin(),
            Stored("Option_Volume"), Stored("Option_Speed"), StoredDword("Option_SoundEffect"),
            StoredDword("Option_Voice"), StoredDword("Option_Skin")};
  }
  // The whole table drawn: the cloth among it.
  std::string Frame() {
    scene->SetFullRedraw();
    scene->Draw(nullptr, GRect());
    return plat::sim::HashImage(plat::sim::CaptureWindow(wnd->Handle()));
  }
};

// One choice changed per row, its save refused (or, for the cloth, its picture
// missing): nothing of it changes anywhere, the voice is not announced to the server,
// and OK still ends as OK does.
TEST_F(OptionWritesTest, ARefusedSaveKeepsTheOldValueEverywhere) {
  struct Row {
    const char* what;
    std::function<void(CVUserOptionWnd&, const CDorvik2VWS&)> choose;
    bool pictureMissing;
  };
  const Row rows[] = {
      {"volume", [](CVUserOptionWnd& p, const CDorvik2VWS&) { p.SetVolume(-3000); }, false},
      {"speed", [](CVUserOptionWnd& p, const CDorvik2VWS&) { p.SetSpeedChoice(0); }, false},
      {"sound", [](CVUserOptionWnd& p, const CDorvik2VWS&) { p.SetSoundEffect(0); }, false},
      {"voice", [](CVUserOptionWnd& p, const CDorvik2VWS& s) { p.SetVoice((s.Model().myVoiceSet + 1) % 4); }, false},
      {"skin", [](CVUserOptionWnd& p, const CDorvik2VWS&) { p.SetSkin(2); }, false},
      // Last: the cloths stay hidden for the rest of the test.
      {"skin picture", [](CVUserOptionWnd& p, const CDorvik2VWS&) { p.SetSkin(1); }, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string frame = Frame();
    ASSERT_EQ(scene->OpenOptionPanel(), 1);
    const Snapshot before = Take();
    host.Clear();
    trace.Clear();
    row.choose(*Panel(), *scene);
    if (row.pictureMissing)
      HideImages("Back");
    else
      plat::sim::FailNext("RegSetValueExA", 10);
    scene->ApplyUserOptions();
    plat::sim::ClearFaults();
    EXPECT_EQ(Take(), before);
    EXPECT_EQ(Frame(), frame) << "the same cloth";
    EXPECT_TRUE(host.SentBytes().empty()) << "no option change for the server";
    EXPECT_EQ(trace.effects, std::vector<int32_t>{19});
    EXPECT_FALSE(Panel()->IsOpen());
  }
}

// Sound on: the voice column names the character of my gender's row (7 is the
// anybody-else row) and of my voice set (9, unknown, is the first column); the tags
// make the runs' weights and colours.
TEST_F(OptionWritesTest, SummaryWithSoundOnNamesTheVoiceCharacter) {
  scene->MyUser().gender = 7;
  scene->Model().myVoiceSet = 9;
  scene->Options().soundEffect = 1;
  scene->Options().speed = -1;
  scene->Options().skin = 1;
  scene->OptionsSummaryText();
  std::vector<std::string> runs;
  for (const auto& c : host.CallsTo(HostSlot::AddText)) runs.push_back(c.line);
  const std::vector<std::string> want = {
      Utf8(u8R"x(AddText("게임옵션 : ", 700, 0x10001, 0, "", 1))x"),
      Utf8(u8R"x(AddText("패속도(", 400, 0x10000, 0, "", 0))x"),
      Utf8(u8R"x(AddText("보통", 400, 0x10001, 0, "", 0))x"),
      Utf8(u8R"x(AddText("), 목소리(", 400, 0x10000, 0, "", 0))x"),
      Utf8(u8R"x(AddText("성우1", 400, 0x10001, 0, "", 0))x"),
      Utf8(u8R"x(AddText("), 배경화면(", 400, 0x10000, 0, "", 0))x"),
      Utf8(u8R"x(AddText("모포", 400, 0x10001, 0, "", 0))x"),
      Utf8(u8R"x(AddText(")", 400, 0x10000, 0, "", 0))x"),
  };
  EXPECT_EQ(runs, want);
}

}  // namespace

namespace {

// A new cloth goes to both sides' score panels, which are drawn again over it.
TEST_F(OptionWritesTest, ANewClothRedrawsBothScorePanels) {
  for (CVJumsuInfoWnd* panel : scene->Widgets().scorePanels) panel->SetDirty(0);
  ASSERT_EQ(scene->SetSkinBackground(1, 0), 1);
  for (CVJumsuInfoWnd* panel : scene->Widgets().scorePanels) EXPECT_TRUE(panel->IsDirty());
}

}  // namespace
