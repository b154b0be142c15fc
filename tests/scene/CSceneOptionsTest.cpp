// The stored options alone: the key they live under, the defaults a first read writes,
// and what a read keeps and hands on.
#include "scene/CSceneOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegistryValues.h"
#include "plat/crt.h"
#include "plat/registry.h"
#include "tables/VocabularyTables.h"

namespace scene_options_test {

constexpr const char* kBase = "Acme\\Tables";
constexpr const char* kKey = "Software\\Acme\\Tables\\14";

class CSceneOptionsTest : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
    options_.SetRegistryBase("Acme", "Tables");
  }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
  CSceneOptions options_;
};

TEST_F(CSceneOptionsTest, FirstReadWritesTheDefaultsUnderTheCompanysKey) {
  EXPECT_EQ(options_.Company(), "Acme");
  EXPECT_EQ(options_.RegistryBasePath(), kBase);
  plat::crt::srand(11);
  const int32_t voice = plat::crt::rand() % 4;
  plat::crt::srand(11);
  const CSceneOptions::Handed handed = options_.Read();
  EXPECT_EQ((std::vector<int32_t>{handed.volume, handed.voiceSet, options_.speed, options_.skin, options_.soundEffect}),
            (std::vector<int32_t>{0, voice, 1, 0, 1}));
  std::string text;
  uint32_t value = 0;
  EXPECT_EQ(options_.ReadRegString(CSceneOptions::kSubKey, "Option_Speed", text), 1);
  EXPECT_EQ(text, "1");
  EXPECT_EQ(registry_values::ReadDword(kBase, CSceneOptions::kSubKey, "Option_Voice", value), 1);
  EXPECT_EQ(value, static_cast<uint32_t>(voice));
}

TEST_F(CSceneOptionsTest, StoredValuesAreKeptAndAnUnknownSkinIsTheFirst) {
  const std::string sub = CSceneOptions::kSubKey;
  ASSERT_EQ(options_.SaveRegString(sub, "Option_Volume", "-300"), 1);
  ASSERT_EQ(options_.SaveRegString(sub, "Option_Speed", "-2"), 1);
  ASSERT_EQ(options_.SaveRegDword(sub, "Option_SoundEffect", 0), 1);
  ASSERT_EQ(options_.SaveRegDword(sub, "Option_Voice", 3), 1);
  ASSERT_EQ(options_.SaveRegDword(sub, "Option_Skin", 2), 1);
  CSceneOptions::Handed handed = options_.Read();
  EXPECT_EQ((std::vector<int32_t>{handed.volume, handed.voiceSet, options_.speed, options_.skin, options_.soundEffect}),
            (std::vector<int32_t>{-300, 3, -2, 2, 0}));
  ASSERT_EQ(options_.SaveRegDword(sub, "Option_Skin", 3), 1);
  options_.Read();
  EXPECT_EQ(options_.skin, 0);
}

}  // namespace scene_options_test

namespace scene_options_test {

TEST_F(CSceneOptionsTest, SpeedInWordsAndTheSummaryLine) {
  const std::pair<int32_t, std::string> speeds[] = {{5, "빠름6"},   {0, "빠름1"},       {-1, "보통"},
                                                    {-3, "느림2"},  {INT32_MAX, "빠름2147483648"},
                                                    {INT32_MIN, "느림2147483647"}};
  for (const auto& [speed, text] : speeds) EXPECT_EQ(CSceneOptions::SpeedText(speed), text) << speed;
  options_.speed = -1;
  options_.soundEffect = 0;
  options_.skin = 1;
  EXPECT_EQ(options_.SummaryText(7, 9),
            "게임옵션 : `1111`패속도(`0010`보통`0011`), 목소리(`0010`클래식`0011`), 배경화면(`0010`모포`0011`)`0010`");
  options_.soundEffect = 1;
  EXPECT_NE(options_.SummaryText(7, 9).find(GetVoiceCharacterName(2, 0)), std::string::npos);
}

TEST_F(CSceneOptionsTest, SavesWriteTheValuesTheNextReadFinds) {
  ASSERT_EQ(options_.SaveVolume(-2500), 1);
  ASSERT_EQ(options_.SaveSpeed(-3), 1);
  ASSERT_EQ(options_.SaveSoundEffect(5), 1);
  ASSERT_EQ(options_.SaveVoice(2), 1);
  ASSERT_EQ(options_.SaveSkin(1), 1);
  std::string text;
  ASSERT_EQ(options_.ReadRegString(CSceneOptions::kSubKey, "Option_Speed", text), 1);
  EXPECT_EQ(text, "-3");
  const CSceneOptions::Handed handed = options_.Read();
  EXPECT_EQ((std::vector<int32_t>{handed.volume, handed.voiceSet, options_.speed, options_.skin, options_.soundEffect}),
            (std::vector<int32_t>{-2500, 2, -3, 1, 1}));
}

}  // namespace scene_options_test
