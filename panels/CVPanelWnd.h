// The base of the table's panels: a widget that owns a group of children, draws them
// in list order and hands presses to the child under the point. Panels reach their
// scene only through IPanelScene.
#pragma once

#include <cstdint>

#include "panels/IPanelScene.h"
#include "widgets/GVWnd.h"

class CVPanelWnd : public GVWnd {
 public:
  explicit CVPanelWnd(IPanelScene* scene = nullptr);
  ~CVPanelWnd() override;
  CVPanelWnd(const CVPanelWnd&) = delete;
  CVPanelWnd& operator=(const CVPanelWnd&) = delete;

  // Hidden: 1 and nothing drawn. Else each child in list order; the first 0 stops the
  // walk with 0 (a hidden child answers 1, so it never stops it).
  BOOL Draw(IDirectDrawSurface4* target, const GRect& clip) override;
  // Enabled: the visible, enabled child under the point takes the press; 1 when it did.
  BOOL OnLButtonDown(UINT keyFlags, GPoint pt) override;
  // Hides every child and marks the panel dirty; 1.
  int32_t HideAll();
  // Deletes every child, then the members go back to their defaults.
  void Clear();
  // The front-most child whose HitTest(point, flags) answers non-zero: the last in
  // list order, as children draw in list order.
  GVWnd* ChildFromPoint(GPoint pt, uint32_t flags);
  IPanelScene* Scene() const { return scene_; }

  // A release as the panels with hover tracking route it: the previous tracked child
  // lets go first when the release is not over it; the child under the point (visible
  // and enabled, now tracked) gets the release and tells whether it was a click.
  struct Release {
    GVWnd* child = nullptr;  // under the point; null when none
    BOOL clicked = 0;
    bool releasedOther = false;  // a previous tracked child other than `child` let go
  };
  Release RouteRelease(GVWnd*& tracked, UINT keyFlags, GPoint pt);
  // The hover tracking of the panels with buttons: with the left button held only the
  // tracked child follows; else the child under the point takes the move and becomes
  // the tracked one (a different child only when it reports hover). 1 when a child
  // took the move.
  BOOL TrackHover(GVWnd*& tracked, UINT keyFlags, GPoint pt);
  // The common press, remembering the child that took it as the tracked one.
  BOOL PressTracked(GVWnd*& tracked, UINT keyFlags, GPoint pt);

 protected:
  // The scene pointer null, the child list emptied (the widgets are not deleted), and
  // what a panel adds back to its defaults.
  virtual void InitMembers();
  // For Create: a made child joins the list with its first visibility; a null one
  // (the factory recorded why) makes Create give up.
  template <class W>
  bool Adopt(W* child, W*& member, BOOL show) {
    member = child;
    return Adopt(child, show);
  }
  bool Adopt(GVWnd* child, BOOL show);
  void SetScene(IPanelScene* scene) { scene_ = scene; }
  // Mouse moves with no button held: the tracked child and the child under the point
  // each see the move; the tracked child follows the pointer while the new one reports
  // hover, and is dropped off every child. 0 when no child is tracked or pointed at.
  BOOL TrackHover(GVWnd*& tracked, GVWnd* child, UINT keyFlags, GPoint pt);

 private:
  IPanelScene* scene_ = nullptr;
};
