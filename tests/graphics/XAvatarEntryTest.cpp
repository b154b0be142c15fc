// The avatar entry and the manager's avatar path: part order and missing parts, the
// colour key, and every part reference given back on each way out.
#include "graphics/XAvatarEntry.h"

#include <gtest/gtest.h>

#include "graphics/GraphicsTestKit.h"
#include "graphics/XResEntryMgr.h"
#include "plat/sim.h"
#include "widgets/WidgetTestSupport.h"

namespace xavatar_entry_test {

constexpr COLORREF kNoKey = 0xFFFFFFFFu;
constexpr uint32_t kMagenta = 0xFF00FF;

class XAvatarEntryTest : public gfx_test::ManagerTest {
 protected:
  // A part file held by the manager under its name, so that GIF requests find it.
  std::string Part(const std::string& name, int32_t& handle) {
    const std::string path = dir_.Put(name, widget_test::WriteBmp(widget_test::BmpPicture(1, 1, 24, {0x404040})));
    handle = m_.LoadEntry(2, path, GSize(), kNoKey);
    EXPECT_NE(handle, -1);
    return path;
  }
  XAvatarEntry* Avatar(int32_t h) { return dynamic_cast<XAvatarEntry*>(m_.EntryAt(h)); }
  uint32_t Refs(int32_t h) { return m_.EntryAt(h) ? m_.EntryAt(h)->refCount : 0; }

  gfx_test::Folder dir_;
};

TEST_F(XAvatarEntryTest, EmptyAndUnopenableNamesKeepMinusOneAndReleaseAllCopes) {
  int32_t a = -1, c = -1;
  const std::string pa = Part("a.gif", a), pc = Part("c.gif", c);
  const int32_t h = m_.CreateAvatar({pa, "", pc}, GSize(2, 2), kMagenta);
  ASSERT_NE(h, -1);
  EXPECT_EQ(Avatar(h)->PartHandles(), (std::vector<int32_t>{c, -1, a}));
  const int32_t g = m_.CreateAvatar({pa, dir_ / "absent.gif"}, GSize(2, 2), kMagenta);
  ASSERT_NE(g, -1);
  EXPECT_EQ(Avatar(g)->PartHandles(), (std::vector<int32_t>{-1, a}));
  // ReleaseAll copes with avatars releasing their parts.
  ASSERT_NE(m_.CreateAvatar({pa, pa}, GSize(2, 2), kMagenta), -1);
  m_.ReleaseAll();
  EXPECT_EQ(m_.EntryAt(a), nullptr);
}

TEST_F(XAvatarEntryTest, SetColorKeyNeedsASurfaceAndKeepsOnlyAcceptedKeys) {
  XAvatarEntry loose(m_);
  EXPECT_EQ((std::vector<int64_t>{loose.SetColorKey(0x123), loose.colorKey}), (std::vector<int64_t>{1, kNoKey}));
  loose.size = GSize(2, 2);
  ASSERT_EQ(loose.Load(DDObject(dd_.Get()), kMagenta), DD_OK);
  EXPECT_EQ((std::vector<int64_t>{loose.colorKey, loose.SetColorKey(0x00FF00), loose.colorKey}),
            (std::vector<int64_t>{kMagenta, DD_OK, 0x00FF00}));
}

TEST_F(XAvatarEntryTest, AFailedDescriptionReadOrSurfaceFreesTheSlotAndTheParts) {
  int32_t a = -1;
  const std::string pa = Part("a.gif", a);
  plat::sim::FailNext("IDirectDrawSurface4::GetSurfaceDesc");
  EXPECT_EQ(m_.CreateAvatar({pa}, GSize(2, 2), kMagenta), -1);
  EXPECT_EQ(Refs(a), 1u);
  // The slot the avatar had is the next one handed out.
  const int32_t next = m_.LoadEntry(0, "", GSize(1, 1), kNoKey);
  EXPECT_EQ(next & 0xFFFF, (a & 0xFFFF) + 1);
  // A failed surface makes no entry and gives the parts back too.
  plat::sim::FailNext("IDirectDraw4::CreateSurface");
  EXPECT_EQ(m_.CreateAvatar({pa}, GSize(2, 2), kMagenta), -1);
  EXPECT_TRUE(FAILED(m_.GetLastResult()));
  EXPECT_EQ(Refs(a), 1u);
}

TEST_F(XAvatarEntryTest, SortPartsRebuildsListsInLayerOrder) {
  struct Case {
    std::vector<int32_t> in, out;
    int result;
  };
  const std::vector<int32_t> nine{0, 1, 2, 3, 4, 5, 6, 7, 8};
  const std::vector<int32_t> many(25, 3);
  const Case cases[] = {
      {{}, {}, 0},
      {{7}, {7}, 1},
      {{10, 11, 12}, {12, 11, 10}, 1},
      {nine, {8, 4, 2, 1, 0, 3, 5, 6, 7}, 1},
      {many, many, 0},
  };
  for (const Case& c : cases) {
    std::vector<int32_t> v = c.in;
    EXPECT_EQ(XAvatarEntry::SortParts(v), c.result) << c.in.size();
    EXPECT_EQ(v, c.out) << c.in.size();
  }
  std::vector<int32_t> all(24);
  for (int32_t i = 0; i < 24; ++i) all[size_t(i)] = i;
  ASSERT_EQ(XAvatarEntry::SortParts(all), 1);
  EXPECT_EQ(all, (std::vector<int32_t>{8, 9, 10, 11, 12, 4, 2, 1, 0, 3, 14, 15, 16, 13, 5, 6, 17, 18, 19, 20, 21, 22, 7,
                                       23}));
}

}  // namespace xavatar_entry_test
