// The synthetic data folder against its manifest: every file is there in the shape its
// reader needs, nothing else is, two runs agree, and the art stays legible.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "graphics/KK_LLESprite.h"
#include "graphics/K_Animation_RSC.h"
#include "graphics/K_Dib_Image.h"
#include "graphics/K_Sprite.h"
#include "graphics/K_SpriteRscManager.h"
#include "graphics/XBaseEntry.h"
#include "graphics/XGifEntry.h"
#include "graphics/XResEntryMgr.h"
#include "plat/dsound.h"
#include "plat/gdi.h"
#include "plat/ini.h"
#include "plat/sim.h"
#include "plat/winuser.h"
#include "scene/CDorvik2VWS.h"
#include "scene/SceneEffects.h"
#include "sound/CMusicStream.h"
#include "sound/CSoundSource.h"
#include "support/HostWindowFixture.h"
#include "support/TempDir.h"
#include "tables/PanelPaths.h"
#include "tables/SceneBuildTable.h"
#include "tables/VocabularyTables.h"
#include "tools/gamedata/GameDataArt.h"
#include "tools/gamedata/GameDataWriter.h"
#include "widgets/WidgetTestSupport.h"

namespace game_data_test {

using namespace game_data;
namespace fs = std::filesystem;
namespace rsc = _QLSRsc_MANAGER_;

constexpr const char* kData = "C:\\TestData\\";
constexpr const char* kImage = "C:\\TestData\\GameImage\\";
constexpr const char* kPortal = "C:\\TestPortal\\";
// The contact sheet as people last approved it.
constexpr const char* kSheetHash = "2596f46fdc34f626";

// What the game opens besides the build's own table: the factory's pi counter and
// default avatar, the second robot set, the cursors, the VIP manager, the promotion
// manager, the ticker, the helper popup and the message box.
constexpr const char* kOtherPaths =
    "Hwatoo\\pee_count.bmp Avatar\\default.gif Avatar\\robot2_avatar0.gif Avatar\\robot2_avatar4.gif "
    "Cursor\\sg_normal.ani Cursor\\sg_click.ani "
    "VIP\\jokbo_alert.qla VIP\\vip_alarm.qla Promotion\\banner_default.psp Promotion\\anibanner_default.qla "
    "Promotion\\WinMoneyLimit\\anibanner_winmoneylimit.qla Promotion\\DaonLucky\\DaonLuckyEffect.qla "
    "Promotion\\DaonLucky\\DaonLuckyMission.qla Etc\\CheckNotice.qla Etc\\CheckNotice.psp VIP\\bg_gamehelp.bmp "
    "VIP\\bg_gamehelp_dorvik.bmp VIP\\img_dorvik_option.bmp VIP\\img_dorvik_normal.bmp VIP\\img_torong_robot.bmp "
    "VIP\\img_money_dorvik.bmp VIP\\btn_view_item.bmp VIP\\btn_view_item_normal.bmp VIP\\btn_exit.bmp "
    "VIP\\btn_conform.bmp VIP\\btn_close.bmp MsgBox\\msg0.bmp MsgBox\\msg8.bmp MsgBox\\ok_btn.bmp "
    "MsgBox\\yes_btn.bmp MsgBox\\no_btn.bmp";

std::string Read(const fs::path& p) {
  std::ostringstream s;
  s << std::ifstream(p, std::ios::binary).rdbuf();
  return s.str();
}

// The manifest's spelling of every file under a folder.
std::set<std::string> FilesUnder(const std::string& folder) {
  std::set<std::string> out;
  for (const auto& f : fs::recursive_directory_iterator(folder)) {
    if (!f.is_regular_file()) continue;
    std::string rel = fs::relative(f.path(), folder).string();
    std::replace(rel.begin(), rel.end(), '/', '\\');
    out.insert(rel);
  }
  return out;
}

class GameData : public widget_test::DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    plat::sim::MapPathPrefix(kData, DORVIK_GAME_DATA_DIR);
    plat::sim::MapPathPrefix(kPortal, DORVIK_GAME_PORTAL_DIR);
    mgr_.SetDirectDraw(dd_.Get());
    mgr_.SetColorKey(kKeyColour);
  }
  void TearDown() override {
    mgr_.ReleaseAll();
    plat::sim::ClearPathPrefixes();
    DisplayTest::TearDown();
  }
  // A card strip as 32-bit pixels.
  static Picture Strip(const ManifestEntry& e) {
    K_Dib_Image dib;
    EXPECT_EQ(dib.LoadBMPFile((kData + e.path).c_str(), 32), 1) << e.path;
    Picture p{dib.Width(), dib.Height(), {}};
    for (int32_t y = 0; y < p.height; ++y)
      for (int32_t x = 0; x < p.width; ++x)
        p.px.push_back(*reinterpret_cast<uint32_t*>(dib.PixelAddress(x, y)) & 0xFFFFFF);
    return p;
  }
  XResEntryMgr mgr_;
};

TEST_F(GameData, ManifestHoldsEveryPathTheGameOpensAndTheFolderExactlyTheManifest) {
  std::vector<std::string> wanted(std::begin(AllPanelPaths), std::end(AllPanelPaths));
  wanted.insert(wanted.end(), std::begin(EffectAnimFiles::Combination), std::end(EffectAnimFiles::Combination));
  wanted.insert(wanted.end(), std::begin(EffectAnimFiles::Event), std::end(EffectAnimFiles::Event));
  for (const std::string& p : scene_build::SceneBuildFiles()) wanted.push_back(p);
  std::istringstream others(kOtherPaths);
  for (std::string p; others >> p;) wanted.push_back(p);
  for (const std::string& p : wanted) EXPECT_TRUE(FindEntry("GameImage\\" + p)) << p;
  for (const char* f : scene_effects::Files) EXPECT_TRUE(FindEntry(std::string("GameSound\\") + f)) << f;

  std::set<std::string> data, portal;
  for (const ManifestEntry& e : Manifest())
    EXPECT_TRUE((e.root == Root::Portal ? portal : data).insert(e.path).second) << e.path;
  EXPECT_EQ(FilesUnder(DORVIK_GAME_DATA_DIR), data);
  EXPECT_EQ(FilesUnder(DORVIK_GAME_PORTAL_DIR), portal);
  // Voices: every name the players can form for sets 1..4 (a robot or an unknown
  // gender takes two variants of every cue), and no other.
  std::set<std::string> voices;
  for (int32_t set = 1; set <= 4; ++set)
    for (const VoiceCue& cue : VoiceCueTable)
      for (int32_t gender = 0; gender <= 2; ++gender)
        for (int32_t v = 1; v <= (gender == 2 ? 2 : cue.variantCount); ++v)
          voices.insert("GameSound\\" + CDorvik2VWS::VoiceFile(gender, set, cue.cue, v));
  EXPECT_EQ(voices.size(), size_t(kVoiceFileCount));
  for (const std::string& v : voices) EXPECT_TRUE(data.contains(v)) << v;
  EXPECT_EQ(std::count_if(data.begin(), data.end(),
                          [](const std::string& p) {
                            return p.ends_with(".ogg") &&
                                   (p.starts_with("GameSound\\Male") || p.starts_with("GameSound\\Female") ||
                                    p.starts_with("GameSound\\Robot"));
                          }),
            kVoiceFileCount);
}

// Each file through the loader the game opens it with.
TEST_F(GameData, EveryFileLoadsThroughItsReaderInTheShapeItNeeds) {
  ASSERT_EQ(rsc::InitSpriteResourceManager(512, kImage), 1);
  ComPtr<IDirectSound> ds;
  ASSERT_EQ(DirectSoundCreate(nullptr, ds.ReleaseAndGetAddressOf(), nullptr), DS_OK);
  ASSERT_EQ(ds->SetCooperativeLevel(reinterpret_cast<HWND>(uintptr_t{0x10}), DSSCL_PRIORITY), DS_OK);
  for (const ManifestEntry& e : Manifest()) {
    SCOPED_TRACE(e.path);
    const std::string path = (e.root == Root::Portal ? kPortal : kData) + e.path;
    const bool strip = e.look == Look::Strip || e.look == Look::PlainStrip;
    const bool cards = e.look == Look::CardStrip || e.look == Look::BoardStrip;
    const GSize size(strip ? e.width * e.count : e.width, cards ? e.height * e.count : e.height);
    switch (e.kind) {
      case FileKind::Bmp:
        if (e.reader.starts_with("CMsgBoxSkin") || e.reader == "SkinnedPopup") {
          HBITMAP bmp = HBITMAP(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
          BITMAP info{};
          ASSERT_TRUE(bmp && GetObjectA(bmp, sizeof info, &info));
          EXPECT_EQ(GSize(info.bmWidth, info.bmHeight), size);
          // The system's loader and the game's decoder see the same rows at the top and
          // the bottom (the files are written bottom-up, the form every loader reads).
          const Picture own = Strip(e);
          HDC dc = CreateCompatibleDC(nullptr);
          HGDIOBJ old = SelectObject(dc, bmp);
          for (int32_t y : {0, info.bmHeight - 1}) {
            const COLORREF c = GetPixel(dc, 1, y);
            EXPECT_EQ(uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c), own.At(1, y)) << y;
          }
          SelectObject(dc, old);
          DeleteDC(dc);
          DeleteObject(bmp);
        } else {
          XBaseEntry* entry = mgr_.EntryAt(mgr_.LoadEntry(2, path, GSize(), kKeyColour));
          ASSERT_TRUE(entry);
          EXPECT_EQ(entry->size, size);
        }
        break;
      case FileKind::Gif: {
        const bool avatar = e.reader == "XResEntryMgr::CreateAvatar";
        const int32_t h = avatar ? mgr_.CreateAvatar({path}, GSize(e.width, e.height), kKeyColour)
                                 : mgr_.LoadEntry(kGifSelector, path, GSize(e.width, e.height), kKeyColour);
        ASSERT_TRUE(mgr_.EntryAt(h));
        EXPECT_EQ(mgr_.EntryAt(h)->size, size);
        if (!avatar) {
          EXPECT_EQ(EntryFrameCount(mgr_.EntryAt(h)), e.frames);
        }
        break;
      }
      case FileKind::Qls: {
        const KK_LLESprite* s = rsc::GetLLESprite(rsc::LoadSpriteResourceByName(path.c_str()));
        ASSERT_TRUE(s);
        EXPECT_EQ(GSize(s->FullWidth(), s->FullHeight()), size);
        break;
      }
      case FileKind::Psp: {
        const K_Sprite* set = rsc::GetSpriteSet(rsc::LoadSpriteResourceByName(path.c_str()));
        ASSERT_TRUE(set);
        EXPECT_EQ(set->GetFrameCount(), e.look == Look::Button ? e.count * e.frames : e.count);
        break;
      }
      case FileKind::Qla: {
        K_Animation_RSC* a = rsc::GetAnimationRsc(rsc::LoadSpriteResourceByName(path.c_str()));
        ASSERT_TRUE(a);
        ASSERT_EQ(a->GetAnimationCount(), e.count);
        for (int32_t i = 0; i < e.count; ++i) EXPECT_GE(a->GetSubAnimation(i)->FrameCount(), std::max(2, e.frames));
        for (const std::string& name : e.names) EXPECT_TRUE(a->FindByName(name, nullptr)) << name;
        break;
      }
      case FileKind::Ani: {
        HCURSOR c = LoadCursorFromFileA(path.c_str());
        EXPECT_TRUE(c);
        DestroyCursor(c);
        break;
      }
      case FileKind::Ogg:
      case FileKind::Wav: {
        CSoundSource s;
        s.Open(path);
        EXPECT_EQ(s.GetFormat().nChannels, e.channels);
        EXPECT_EQ(s.GetSize(), s.GetFormat().nAvgBytesPerSec * uint32_t(e.count) / 1000);
        break;
      }
      case FileKind::Psn: {
        CMusicStream m;
        m.Open(ds.Get(), path);
        EXPECT_EQ(m.TotalBytes(), 4u * kSoundRate * uint32_t(e.count) / 1000);
        break;
      }
      case FileKind::Ini: {
        char value[32];
        for (const auto& [key, text] : {std::pair("sDllVer", "1"), {"sCompany", "Varnet"}, {"sDomainName", "Quell"}}) {
          GetPrivateProfileStringA("SERVICEINFO", key, "", value, sizeof value, path.c_str());
          EXPECT_STREQ(value, text) << key;
        }
        break;
      }
    }
  }
}

TEST_F(GameData, TwoRunsWriteTheSameFilesAndThePicturesByteForByte) {
  testing_support::TempDir out;
  WriteOptions options;
  options.dataFolder = out / "data/";
  options.portalFolder = out / "portal/";
  fs::create_directories(options.dataFolder);
  fs::create_directories(options.portalFolder);
  ASSERT_EQ(WriteGameData(options), int32_t(Manifest().size()));
  EXPECT_EQ(FilesUnder(options.dataFolder), FilesUnder(DORVIK_GAME_DATA_DIR));
  for (const ManifestEntry& e : Manifest()) {
    if (e.look == Look::Tone) continue;
    std::string rel = e.path;
    std::replace(rel.begin(), rel.end(), '\\', '/');
    const std::string a = (e.root == Root::Portal ? options.portalFolder : options.dataFolder) + rel;
    const std::string b = std::string(e.root == Root::Portal ? DORVIK_GAME_PORTAL_DIR : DORVIK_GAME_DATA_DIR) + rel;
    EXPECT_EQ(Read(a), Read(b)) << e.path;
  }
}

// A picture opened as text loses its pixels on the real system (a 0x1A ends the read,
// a CR LF shrinks to one byte): every bitmap holds both, and every other byte value.
TEST_F(GameData, EveryBitmapHoldsEveryByteValueAndALineEnd) {
  for (const ManifestEntry& e : Manifest()) {
    if (e.kind != FileKind::Bmp) continue;
    std::string rel = e.path;
    std::replace(rel.begin(), rel.end(), '\\', '/');
    const std::string bytes =
        Read(std::string(e.root == Root::Portal ? DORVIK_GAME_PORTAL_DIR : DORVIK_GAME_DATA_DIR) + rel);
    std::set<unsigned char> values(bytes.begin(), bytes.end());
    EXPECT_EQ(values.size(), 256u) << e.path;
    EXPECT_NE(bytes.find("\r\n"), std::string::npos) << e.path;
  }
}

// A recording names each sound by its shape over its first 100 ms: two tones a few hertz
// apart look alike there, so only the variants of one voice line (which the module draws
// at random) may lie that near, and never an effect by a voice.
TEST_F(GameData, EverySoundButAVoiceLinesVariantsHasAPitchOfItsOwn) {
  constexpr int32_t kApartHz = 3;
  const auto line = [](const std::string& path) {
    std::string stem = path.substr(0, path.rfind('.'));
    while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back()))) stem.pop_back();
    return stem;
  };
  std::vector<const ManifestEntry*> tones;
  for (const ManifestEntry& e : Manifest())
    if (e.look == Look::Tone) tones.push_back(&e);
  ASSERT_GT(tones.size(), size_t(kVoiceFileCount));
  int near = 0;
  for (size_t i = 0; i < tones.size(); ++i)
    for (size_t j = i + 1; j < tones.size(); ++j) {
      const bool variants = tones[i]->reader == "CDorvik2VWS::PlayVoice" && line(tones[i]->path) == line(tones[j]->path);
      if (variants || std::abs(tones[i]->hz - tones[j]->hz) >= kApartHz) continue;
      if (++near <= 5)
        ADD_FAILURE() << tones[i]->path << " " << tones[i]->hz << " Hz, " << tones[j]->path << " " << tones[j]->hz << " Hz";
    }
  EXPECT_EQ(near, 0);
}

TEST_F(GameData, CardsShowTheirMonthAndDifferAndTheSheetKeepsItsLook) {
  for (const char* name :
       {"GameImage\\Hwatoo\\normal.bmp", "GameImage\\Hwatoo\\small.bmp", "GameImage\\Hwatoo\\hold.bmp"}) {
    const ManifestEntry& e = *FindEntry(name);
    const Picture strip = Strip(e);
    ASSERT_EQ(strip.height, e.height * kCardCells) << name;
    auto cell = [&](int32_t c) {
      return std::vector<uint32_t>(strip.px.begin() + c * e.width * e.height,
                                   strip.px.begin() + (c + 1) * e.width * e.height);
    };
    std::set<std::vector<uint32_t>> distinct;
    for (int32_t c = 0; c < kCardCells; ++c) distinct.insert(cell(c));
    EXPECT_EQ(distinct.size(), size_t(kCardCells)) << name;
    for (int32_t c = 0; c + 1 < kCardCells; ++c) {
      int32_t ink = 0;
      for (int32_t y = 2; y < e.height / 2; ++y)
        for (int32_t x = 2; x < e.width - 2; ++x) ink += strip.At(x, c * e.height + y) == kInkColour;
      EXPECT_GT(ink, 8) << name << " card " << c << ": no month number in the top half";
    }
  }
  // The remaining-cards board's picture: the 48 month cards, each its own, then the back.
  const ManifestEntry& board = *FindEntry(std::string("GameImage\\") + scene_build::kCardBoardPicture);
  const Picture cells = Strip(board);
  ASSERT_EQ(cells.height, board.height * scene_build::kCardBoardCells);
  const int32_t cellPixels = board.width * board.height;
  auto boardCell = [&](int32_t c) {
    return std::vector<uint32_t>(cells.px.begin() + c * cellPixels, cells.px.begin() + (c + 1) * cellPixels);
  };
  const Picture normal = Strip(*FindEntry("GameImage\\Hwatoo\\normal.bmp"));
  std::set<std::vector<uint32_t>> faces;
  for (int32_t c = 0; c + 1 < scene_build::kCardBoardCells; ++c) faces.insert(boardCell(c));
  EXPECT_EQ(faces.size(), size_t(scene_build::kCardBoardCells - 1));
  const std::vector<uint32_t> back = boardCell(scene_build::kCardBoardCells - 1);
  EXPECT_EQ(faces.count(back), 0u);
  const int32_t normalBackTop = (kCardCells - 1) * 55;
  EXPECT_EQ(back[size_t(3 * board.width + 3)], normal.At(3, normalBackTop + 3)) << "the cards' back, small";
  const Picture sheet = ContactSheet();
  plat::sim::RgbImage rgb{sheet.width, sheet.height, {}};
  for (uint32_t v : sheet.px) rgb.rgb.insert(rgb.rgb.end(), {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
  const auto check = plat::sim::CheckFrame(rgb, "game_data_sheet", kSheetHash);
  EXPECT_TRUE(check.matches) << "hash " << check.actualHash << ", sheet in " << check.actualPath;
}

// The build half: the real scene built on this folder in each desktop format, and
// every file it (and Init, and the sound set-up after it) asked the layer for listed.
class GameDataBuild : public testing_support::HostWindowFixture,
                      public testing::WithParamInterface<plat::sim::DisplayFormat> {};

TEST_P(GameDataBuild, SceneBuildLoadsEverythingAndAsksOnlyForManifestFiles) {
  plat::sim::ResetDisplay(GetParam());
  plat::sim::RecordOpenedFiles(true);
  CDorvik2Wnd* wnd = Open(0);
  ASSERT_NE(wnd, nullptr);
  WaitForLoader(wnd);
  EXPECT_TRUE(wnd->Scene()->IsReady());
  EXPECT_TRUE(wnd->Scene()->LoadErrors().empty()) << wnd->Scene()->LoadErrors().front().text;
  const std::vector<std::string> asked = plat::sim::RequestedFiles();
  plat::sim::RecordOpenedFiles(false);
  EXPECT_GT(asked.size(), scene_build::SceneBuildFiles().size() / 2);
  for (const std::string& path : asked) {
    const std::string data = kGameFolder, portal = "D:\\portal\\";
    if (path.starts_with(data)) {
      EXPECT_TRUE(FindEntry(path.substr(data.size()))) << path;
    } else {
      ASSERT_TRUE(path.starts_with(portal)) << path;
      const ManifestEntry* e = FindEntry(path.substr(portal.size()));
      EXPECT_TRUE(e && e->root == Root::Portal) << path;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Desktops, GameDataBuild,
                         testing::Values(plat::sim::DisplayFormat::Rgb565, plat::sim::DisplayFormat::Xrgb8888),
                         [](const testing::TestParamInfo<plat::sim::DisplayFormat>& info) {
                           return info.index ? "f32" : "f565";
                         });

}  // namespace game_data_test
