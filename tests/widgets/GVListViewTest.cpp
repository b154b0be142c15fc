#include "widgets/GVListView.h"

#include <gtest/gtest.h>

#include "RecordingWnd.h"
#include "ScrollBarTestSupport.h"
#include "plat/sim_kernel.h"
#include "support/GifWriter.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVPushBtn.h"

namespace widget_test {
namespace {

constexpr uint32_t kNone = GVListView::kNoSelection;
constexpr int32_t kCellWidth = 40;
constexpr int32_t kRowHeight = 20;

class GVListViewTest : public ControlTest {
 protected:
  // 200 x 100 under a 20-pixel header with 20-pixel rows: five visible rows.
  static constexpr GRect kViewRect{0, 0, 200, 100};
  void SetUp() override {
    ControlTest::SetUp();
    cellPicture_.SetRect(GRect(0, 0, kCellWidth, kRowHeight));
    Configure(view_, kViewRect);
  }
  void TearDown() override {
    view_.ReleaseImage();
    ControlTest::TearDown();
  }
  void Configure(GVListView& view, GRect rect) {
    view.SetRect(rect);
    auto* header = new SubListItem(SubListItem::kShared);
    headerPicture_.SetRect(GRect(0, 0, 200, 20));
    header->SetSharedWidget(&headerPicture_);
    ASSERT_EQ(view.AddColumn(header), 1);
    ASSERT_EQ(view.SetRowHeight(kRowHeight), 1);
    view.RecalcRows();
  }
  // A row of `cells` shared cells, each kCellWidth wide.
  ListItem* MakeRow(uint32_t id, int cells = 1, GVListView* view = nullptr) {
    auto* row = new ListItem(view ? *view : view_, id);
    for (int i = 0; i < cells; ++i) {
      auto* cell = new SubListItem(SubListItem::kShared);
      cell->SetSharedWidget(&cellPicture_);
      row->AddCell(cell);
    }
    return row;
  }
  void AddRows(uint32_t count) {
    for (uint32_t id = 0; id < count; ++id) ASSERT_EQ(view_.AddRow(MakeRow(id)), 1);
  }
  std::vector<uint32_t> Ids() {
    std::vector<uint32_t> out;
    for (ListItem* r : view_.GetRows()) out.push_back(r->GetId());
    return out;
  }
  // Top index and selected id, with kNone for no selection.
  std::pair<uint32_t, uint32_t> State() { return {view_.GetTopIndex(), view_.GetSelectedId()}; }
  // Puts the top row at `top` and selects `selected` (kNone: no selection).
  void SetState(uint32_t top, uint32_t selected) {
    if (selected == kNone)
      view_.OnScroll(SB_BOTTOM, 0, nullptr);
    else
      view_.SelectRow(selected);
    for (int guard = 0; guard < 50 && view_.GetTopIndex() > top; ++guard) view_.OnScroll(SB_LINEUP, 0, nullptr);
    for (int guard = 0; guard < 50 && view_.GetTopIndex() < top; ++guard) view_.OnScroll(SB_LINEDOWN, 0, nullptr);
    ASSERT_EQ(State(), std::make_pair(top, selected));
  }
  GVDDSWnd cellPicture_;
  GVDDSWnd headerPicture_;
  GVListView view_;
};

TEST_F(GVListViewTest, TheHeaderSetsTheMarginAndRowsBelowItStartTopAndSelected) {
  EXPECT_EQ(std::pair(view_.GetTopMargin(), view_.GetVisibleRows()), std::pair(20, 5));
  for (int32_t h : {0, -1, -20}) EXPECT_EQ(view_.SetRowHeight(h), 0) << h;
  EXPECT_EQ(view_.GetRowHeight(), kRowHeight);
  EXPECT_EQ(view_.GetSelectedRow(), nullptr);
  ASSERT_EQ(view_.AddRow(MakeRow(7)), 1);
  EXPECT_EQ(std::pair(view_.GetSelectedId(), view_.GetTopRow()->GetId()), std::pair(7u, 7u));
  EXPECT_TRUE(view_.GetSelectionBar().IsVisible());
  view_.AddRow(MakeRow(8));
  view_.InsertRow(MakeRow(6), 7);
  view_.InsertRow(MakeRow(9), 12345);
  EXPECT_EQ(Ids(), (std::vector<uint32_t>{6, 7, 8, 9}));
  EXPECT_EQ(view_.GetSelectedId(), 7u);
  EXPECT_EQ(view_.AddRow(nullptr), 0);
  const auto& rows = view_.GetRows();  // row 7 stays on top
  EXPECT_EQ((*std::next(rows.begin(), 1))->GetPos(), GPoint(0, 20));
  EXPECT_EQ((*std::next(rows.begin(), 3))->GetCells()[0]->GetCellRect(), GRect(0, 60, 40, 80));
}

TEST_F(GVListViewTest, AFirstCellTallerThanTheRowsRaisesTheRowHeight) {
  cellPicture_.SetRect(GRect(0, 0, 10, 40));
  ListItem* row = MakeRow(1);
  view_.AddRow(row);
  // 80 / 40 + 1 rows.
  EXPECT_EQ((std::vector<int32_t>{view_.GetRowHeight(), view_.GetVisibleRows(), row->GetHeight()}),
            (std::vector<int32_t>{40, 3, 40}));
}

TEST_F(GVListViewTest, ThumbTrackPicksTheTopRowFromTheScaleOnceAWindowIsFull) {
  AddRows(4);
  EXPECT_EQ(view_.OnScroll(SB_THUMBTRACK, 500, nullptr), 0);
  view_.AddRow(MakeRow(99));
  EXPECT_EQ(view_.OnScroll(SB_THUMBTRACK, 500, nullptr), 1) << "a full window scrolls to its own top";
  EXPECT_EQ(view_.GetTopIndex(), 0u);
  view_.RemoveAllRows();
  AddRows(20);
  // Top (20 - 5) x position / 1000; positions off the scale are refused.
  for (auto [pos, taken, top] : {std::tuple{500, 1, 7u}, {1000, 1, 15u}, {1001, 0, 15u}, {-1, 0, 15u}}) {
    EXPECT_EQ(view_.OnScroll(SB_THUMBTRACK, pos, nullptr), taken) << pos;
    EXPECT_EQ(view_.GetTopIndex(), top) << pos;
  }
}

TEST_F(GVListViewTest, PagingNearBothEnds) {
  AddRows(20);
  struct Case { const char* what; int32_t code; uint32_t top, selected; uint32_t wantTop, wantSelected; };
  const Case cases[] = {
      {"page down from the top", SB_PAGEDOWN, 0, 0, 0, 4},
      {"page down from the middle", SB_PAGEDOWN, 4, 8, 8, 12},
      {"page down with the selection near the end", SB_PAGEDOWN, 14, 17, 15, kNone},
      {"page down with the selection four from the end", SB_PAGEDOWN, 10, 16, 15, kNone},
      {"page down with the selection five from the end", SB_PAGEDOWN, 10, 15, 15, 19},
      {"page down on the last page", SB_PAGEDOWN, 15, 16, 15, kNone},
      {"page up from the middle", SB_PAGEUP, 8, 10, 6, 6},
      {"page up with the selection five from the top", SB_PAGEUP, 3, 5, 1, 1},
      {"page up with the selection near the top", SB_PAGEUP, 0, 3, 0, 0},
      {"page up with no selection", SB_PAGEUP, 15, kNone, 16, 16},
      {"line up at the top", SB_LINEUP, 0, 2, 0, 2},
      {"line down on the last page", SB_LINEDOWN, 15, 2, 15, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetState(c.top, c.selected);
    EXPECT_EQ(view_.OnScroll(c.code, 0, nullptr), 1);
    EXPECT_EQ(State(), std::make_pair(c.wantTop, c.wantSelected));
  }
}

TEST_F(GVListViewTest, SelectingARowKeepsTheWindowFull) {
  AddRows(3);
  EXPECT_EQ(view_.SelectRow(2), 1);
  EXPECT_EQ(State(), std::make_pair(0u, 2u)) << "everything fits: the top stays";
  // The bar sits behind the selected row, inside the selection margins.
  EXPECT_EQ(view_.GetSelectionBar().GetRect().TopLeft(), GPoint(0, 60));
  view_.RemoveAllRows();
  AddRows(20);
  for (auto [id, taken, top, selected] : {std::tuple{10u, 1, 10u, 10u}, {18u, 1, 15u, 18u}, {555u, 0, 15u, 18u}}) {
    EXPECT_EQ(view_.SelectRow(id), taken) << id;
    EXPECT_EQ(State(), std::make_pair(top, selected)) << id;
  }
}

TEST_F(GVListViewTest, RemovingRowsMovesTopAndSelectionToANeighbour) {
  AddRows(3);
  view_.SelectRow(2);
  EXPECT_EQ(view_.RemoveRow(2), 1);
  EXPECT_EQ(view_.GetSelectedId(), 1u) << "the selected last row hands over to the one before";
  EXPECT_EQ(view_.RemoveRow(0), 1);
  // The top row hands over to the one after.
  EXPECT_EQ(std::pair(view_.GetTopRow()->GetId(), view_.GetSelectedId()), std::pair(1u, 1u));
  EXPECT_EQ(view_.RemoveRow(42), 0);
  EXPECT_EQ(view_.RemoveRow(1), 1);
  EXPECT_EQ(std::pair(view_.GetSelectedId(), view_.GetTopRow()), std::pair(kNone, static_cast<ListItem*>(nullptr)));
  EXPECT_FALSE(view_.GetSelectionBar().IsVisible());
}

TEST_F(GVListViewTest, AClickSelectsTheRowUnderItWithinTheSelectionMargins) {
  AddRows(8);
  view_.SetSelectionMargins(5, 2, 5, 2);
  EXPECT_EQ(view_.OnLButtonDown(MK_LBUTTON, GPoint(100, 65)), 1);
  EXPECT_EQ(view_.GetSelectedId(), 2u);
  EXPECT_EQ(view_.GetSelectionBar().GetRect(), GRect(5, 62, 195, 78));
  // In the bottom margin, in the left margin, on the header.
  for (GPoint p : {GPoint(100, 79), GPoint(2, 65), GPoint(100, 10)}) EXPECT_EQ(view_.OnLButtonDown(MK_LBUTTON, p), 0);
  EXPECT_EQ(view_.GetSelectedId(), 2u);
  EXPECT_EQ(view_.OnLButtonDblClk(MK_LBUTTON, GPoint(100, 125)), 0) << "below the window";
  EXPECT_EQ(view_.OnLButtonDblClk(MK_LBUTTON, GPoint(100, 85)), 1);
  EXPECT_EQ(view_.GetSelectedId(), 3u);
}

TEST_F(GVListViewTest, ButtonUpGoesToTheCapturedChildOnlyWhileHovered) {
  Journal journal;
  RecordingWnd child(journal, "child");
  EXPECT_EQ(view_.OnLButtonUp(0, GPoint(5, 5)), 0);
  view_.SetHover(1);
  EXPECT_EQ(view_.OnLButtonUp(0, GPoint(5, 5)), 1) << "no captured child: nothing forwarded, still taken";
  view_.SetCapturedChild(&child);
  EXPECT_EQ(view_.OnLButtonUp(0, GPoint(6, 7)), 1);
  ASSERT_EQ(journal.inputs.size(), 1u);
  EXPECT_EQ(std::pair(journal.inputs[0].what, journal.inputs[0].pt), std::pair(std::string("LButtonUp"), GPoint(6, 7)));
  view_.SetHover(0);
  EXPECT_EQ(view_.OnLButtonUp(0, GPoint(6, 7)), 0);
  EXPECT_EQ(journal.inputs.size(), 1u);
}

TEST_F(GVListViewTest, AViewShorterThanItsHeaderShowsOneRowAndStaysClean) {
  GVListView shortView;
  Configure(shortView, GRect(0, 0, 200, 10));
  EXPECT_EQ(shortView.GetVisibleRows(), 1) << "signed: never billions of rows";
  GVListView shorter;
  Configure(shorter, GRect(0, 0, 200, 10));
  shorter.SetRect(GRect(0, 0, 200, 0));  // (0 - 20) / 20 + 1 = 0 rows, raised to one
  EXPECT_EQ(shorter.GetVisibleRows(), 1);
  for (uint32_t id = 0; id < 4; ++id) shortView.AddRow(MakeRow(id, 1, &shortView));
  EXPECT_EQ(shortView.OnScroll(SB_BOTTOM, 0, nullptr), 1);
  EXPECT_EQ(shortView.GetTopIndex(), 3u);
  DDSurface back = MakeSurface(dd_, 200, 60);
  EXPECT_EQ(shortView.Draw(back.Get(), GRect(0, 0, 200, 60)), 1);
}

class GVListViewDrawTest : public GVListViewTest {
 protected:
  static uint32_t Px(uint32_t rgb) {
    return DevicePixel(DisplayFormat::Xrgb8888, uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb));
  }
  static std::vector<uint32_t> RowAt(const DDSurface& s, int32_t y, std::initializer_list<int32_t> xs) {
    std::vector<uint32_t> out;
    for (int32_t x : xs) out.push_back(PixelAt(s, x, y));
    return out;
  }
};

TEST_F(GVListViewDrawTest, SharedStripCellsDrawTheirOwnCellAndPutTheSourceBack) {
  // A strip of three 10 x 20 cells: red, green, blue.
  std::vector<uint32_t> px;
  for (int y = 0; y < 20; ++y)
    for (uint32_t rgb : {0xFF0000u, 0x00FF00u, 0x0000FFu}) px.insert(px.end(), 10, rgb);
  const std::vector<uint8_t> bytes = WriteBmp(BmpPicture(30, 20, 24, px));
  dir_.Write("strip.bmp", std::string(bytes.begin(), bytes.end()));
  GVDDSWnd strip;
  ASSERT_EQ(strip.LoadImage(dir_ / "strip.bmp"), 1);
  const GRect whole = strip.GetSourceRect();
  auto* row = new ListItem(view_, 1);
  for (int32_t index : {2, 0, 7}) {
    auto* cell = new SubListItem(SubListItem::kShared);
    ASSERT_EQ(cell->SetSharedStrip(&strip, 3, index), 1);
    row->AddCell(cell);
  }
  EXPECT_EQ(row->GetCells()[2]->GetStripIndex(), 0) << "an index out of range shows cell 0";
  EXPECT_EQ(row->GetCells()[0]->GetSourceRect(), GRect(20, 0, 30, 20));
  view_.AddRow(row);
  view_.SetColumnOffsets({GPoint(0, 0), GPoint(10, 0), GPoint(20, 0)});
  DDSurface back = MakeSurface(dd_, 200, 100);
  ClearSurface(back, 0);
  EXPECT_EQ(view_.Draw(back.Get(), kViewRect), 1);
  EXPECT_EQ(RowAt(back, 30, {5, 15, 25, 35}), (std::vector<uint32_t>{Px(0x0000FF), Px(0xFF0000), Px(0xFF0000), 0}));
  EXPECT_EQ(strip.GetSourceRect(), whole);
  auto* bad = new SubListItem(SubListItem::kShared);
  EXPECT_EQ(bad->SetSharedStrip(&strip, 0, 0), 0) << "no cells to divide the strip into";
  delete bad;
}

TEST_F(GVListViewDrawTest, AvatarCellsStepWithTheVisibleViewAndDrawInTheirRow) {
  const uint32_t keptKey = XResEntryMgr::Global().GetColorKey();
  XResEntryMgr::Global().SetColorKey(0xFF00FF);
  // One part of two solid 2 x 2 frames of 100 ms: palette entries 1 and 2.
  testing_support::GifDesc gif;
  gif.width = gif.height = 2;
  gif.globalTable = {0x000000, 0x112233, 0x445566};
  testing_support::GifFrameDesc f;
  f.width = f.height = 2;
  f.control = true;
  f.delay = 10;
  for (uint8_t index : {1, 2}) f.indices.assign(4, index), gif.frames.push_back(f);
  const std::vector<uint8_t> bytes = testing_support::EncodeGif(gif);
  dir_.Write("part.gif", std::string(bytes.begin(), bytes.end()));
  auto* row = new ListItem(view_, 1);
  auto* cell = new SubListItem(SubListItem::kAvatar);
  ASSERT_EQ(cell->SetAvatar({dir_ / "part.gif"}, GPoint(0, 0), GSize(2, 2), 0xFF00FF), 1);
  row->AddCell(cell);
  view_.AddRow(row);
  view_.SetColumnOffsets({GPoint(30, 4)});
  auto* avatar = dynamic_cast<GVAvatarWnd*>(cell->GetWidget());
  ASSERT_NE(avatar, nullptr);
  EXPECT_EQ(cell->GetCellRect().TopLeft(), GPoint(30, 24));
  plat::sim::AdvanceClock(100);
  view_.Show(0);
  view_.TickAvatars();
  EXPECT_EQ(avatar->GetLayerFrames(), std::vector<int32_t>{0}) << "a hidden view does not animate";
  view_.Show(1);
  view_.TickAvatars();
  EXPECT_EQ(avatar->GetLayerFrames(), std::vector<int32_t>{1});
  DDSurface back = MakeSurface(dd_, 200, 100);
  ClearSurface(back, 0);
  EXPECT_EQ(view_.Draw(back.Get(), kViewRect), 1);
  EXPECT_EQ(PixelAt(back, 31, 25), Px(0x445566));
  EXPECT_EQ(cell->SetAvatar({}, GPoint(0, 0), GSize(2, 2), 0xFF00FF), 0) << "no parts, no avatar";
  XResEntryMgr::Global().SetColorKey(keptKey);
}

TEST_F(GVListViewTest, BottomClearsTheSelectionAndHidesTheBar) {
  AddRows(8);
  EXPECT_EQ(view_.OnScroll(SB_BOTTOM, 0, nullptr), 1);
  EXPECT_EQ(State(), std::make_pair(3u, kNone));
  EXPECT_FALSE(view_.GetSelectionBar().IsVisible());
  EXPECT_EQ(view_.OnScroll(SB_TOP, 0, nullptr), 1);
  EXPECT_EQ(State(), std::make_pair(0u, 0u));
  EXPECT_TRUE(view_.GetSelectionBar().IsVisible());
}

TEST_F(GVListViewTest, CodesWithoutRowsOrWithoutAMoveChangeNothing) {
  EXPECT_EQ(view_.OnScroll(SB_LINEDOWN, 0, nullptr), 1);
  EXPECT_EQ(view_.GetTopRow(), nullptr);
  AddRows(10);
  view_.OnScroll(SB_LINEDOWN, 0, nullptr);
  for (int32_t code : {SB_THUMBPOSITION, 8, -1}) {
    EXPECT_EQ(view_.OnScroll(code, 0, nullptr), 1);
    EXPECT_EQ(State(), std::make_pair(1u, 0u));
  }
}

TEST_F(GVListViewTest, TheBarFollowsTheTopRow) {
  auto bar = MakeBar(&view_, GRect(200, 0, 216, 152));  // travel 100
  view_.AttachScrollBar(bar.get());
  AddRows(5);
  EXPECT_TRUE(bar->IsEnabled()) << "the bar is not disabled while rows fit";
  bar->Enable(0);
  AddRows(0);
  view_.AddRow(MakeRow(5));
  EXPECT_TRUE(bar->IsEnabled());
  view_.OnScroll(SB_BOTTOM, 0, nullptr);
  EXPECT_EQ(bar->GetThumb()->GetRect().top, 20 + 100);
  EXPECT_EQ(view_.RemoveRow(5), 1);
  EXPECT_FALSE(bar->IsEnabled());
  view_.AddRow(MakeRow(5));
  ASSERT_TRUE(bar->IsEnabled());
  view_.RemoveAllRows();
  EXPECT_FALSE(bar->IsEnabled());
  EXPECT_TRUE(view_.GetRows().empty());
  EXPECT_EQ(view_.GetSelectedId(), kNone);
  view_.AttachScrollBar(nullptr);
  EXPECT_EQ(view_.UpdateScrollBar(), 0);
}

TEST_F(GVListViewTest, CellFromPointNeedsColumnOffsets) {
  AddRows(2);
  view_.AddRow(MakeRow(2, 2));
  GPoint pt(50, 65);
  EXPECT_EQ(view_.CellFromPoint(pt), nullptr) << "no offsets, no columns";
  EXPECT_EQ(pt, GPoint(50, 65));

  view_.SetColumnOffsets({GPoint(0, 0), GPoint(40, 0)});
  pt = GPoint(50, 65);
  EXPECT_EQ(view_.CellFromPoint(pt), view_.GetRows().back()->GetCells()[1]);
  EXPECT_EQ(pt, GPoint(1, 2));
  pt = GPoint(10, 25);
  EXPECT_EQ(view_.CellFromPoint(pt), view_.GetRows().front()->GetCells()[0]);
  EXPECT_EQ(pt, GPoint(0, 0));

  pt = GPoint(40, 79);  // the first pixel of the second column, the last row's last line
  EXPECT_EQ(view_.CellFromPoint(pt), view_.GetRows().back()->GetCells()[1]);
  EXPECT_EQ(pt, GPoint(1, 2));

  GPoint missing[] = {GPoint(50, 25), GPoint(10, 85), GPoint(10, 10),  GPoint(300, 25),
                      GPoint(-1, 25), GPoint(10, 80), GPoint(40, 25)};
  for (GPoint p : missing) EXPECT_EQ(view_.CellFromPoint(p), nullptr) << p.x << "," << p.y;
}

TEST_F(GVListViewDrawTest, PictureCellsDrawInsideTheInnerMarginsOverTheBackground) {
  const std::string red = WriteSolidBmp(dir_, "red.bmp", 30, 20, 0xFF0000);
  const std::string tile = WriteSolidBmp(dir_, "tile.bmp", 8, 8, 0x003300);
  ASSERT_EQ(view_.LoadBackgroundImage(tile, GVWnd::kNoColorKey), 1);
  EXPECT_TRUE(view_.GetBackground().IsTile());
  view_.SetInnerMargins(4, 0, 4, 0);
  auto* row = new ListItem(view_, 1);
  auto* cell = new SubListItem(SubListItem::kImage);
  ASSERT_EQ(cell->CreateImage(red, GVWnd::kNoColorKey), 1);
  row->AddCell(cell);
  view_.AddRow(row);
  view_.SetColumnOffsets({GPoint(-10, 0)});  // half out past the inner left edge

  DDSurface back = MakeSurface(dd_, 200, 100);
  ClearSurface(back, 0);
  EXPECT_EQ(view_.Draw(back.Get(), kViewRect), 1);
  EXPECT_EQ(PixelAt(back, 2, 30), Px(0x003300)) << "the inner margin shows the background";
  EXPECT_EQ(PixelAt(back, 10, 30), Px(0xFF0000));
  EXPECT_EQ(PixelAt(back, 30, 30), Px(0x003300));

  auto* missing = new SubListItem(SubListItem::kImage);
  EXPECT_EQ(missing->CreateImage(dir_ / "absent.bmp", GVWnd::kNoColorKey), 1) << "a failed load still makes the cell";
  EXPECT_EQ(missing->CreateText("x", SIZE{10, 10}, GVWnd::kNoColorKey, 0, 12, 400), 0) << "not a text cell";
  delete missing;
}

TEST_F(GVListViewDrawTest, ATextHeaderSitsAtTheTopAndSetsTheMargin) {
  GVListView view;
  view.SetRect(GRect(0, 0, 200, 100));
  auto* header = new SubListItem(SubListItem::kText);
  ASSERT_EQ(header->CreateText("WWWW", SIZE{60, 24}, GVWnd::kNoColorKey, 0, 16, 700), 1);
  EXPECT_EQ(header->GetSourceRect(), GRect(0, 0, 60, 24));
  EXPECT_EQ(header->SetText("WWWW"), 1);
  ASSERT_EQ(view.AddColumn(header), 1);
  EXPECT_EQ(view.GetTopMargin(), 24);
  EXPECT_EQ(header->GetCellRect(), GRect(0, 0, 60, 24));

  DDSurface back = MakeSurface(dd_, 200, 100);
  const uint32_t paper = Px(0xFFFFFF);  // the label writes black
  ClearSurface(back, paper);
  EXPECT_EQ(view.Draw(back.Get(), GRect(0, 0, 200, 100)), 1);
  size_t inked = 0;
  const std::vector<uint32_t> pixels = ReadPixels(back);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 200; ++x)
      if (pixels[static_cast<size_t>(y * 200 + x)] != paper) {
        ++inked;
        EXPECT_TRUE(x < 60 && y < 24) << x << "," << y;
      }
  EXPECT_GT(inked, 0u) << "the glyphs are drawn";

  auto* picture = new SubListItem(SubListItem::kImage);
  EXPECT_EQ(picture->SetText("x"), 0) << "only text cells take text";
  delete picture;
}

}  // namespace
}  // namespace widget_test
