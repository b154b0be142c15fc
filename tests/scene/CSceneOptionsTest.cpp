// The stored options alone: the key they live under, the defaults a first read writes,
// and what a read keeps and hands on.
#include "scene/CSceneOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/RegistryValues.h"
#include "plat/crt.h"
#include "plat/registry.h"

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
