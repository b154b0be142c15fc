// The widget factory: every widget the table shows is made here from its file, so a
// failure is recorded (and the host told) in one place whichever thread builds.
#include <memory>
#include <new>

#include "base/DDSurfaceUtil.h"
#include "host/CHostLink.h"
#include "scene/CDorvik2VWS.h"
#include "widgets/GVAnimWnd.h"
#include "widgets/GVAvatarWnd.h"
#include "widgets/GVBoxWnd.h"
#include "widgets/GVLightTextWnd.h"
#include "widgets/GVPSPNumberWnd.h"
#include "widgets/GVPSPWnd.h"
#include "widgets/GVQLAniWnd.h"
#include "widgets/GVSlideWnd.h"
#include "widgets/GVTextWnd.h"

namespace scene_factory {

// The half-made widget goes through its virtual destructor unless released.
template <class W>
using Making = std::unique_ptr<W>;

template <class W, class... Args>
Making<W> Make(Args&&... args) {
  return Making<W>(new (std::nothrow) W(std::forward<Args>(args)...));
}

SIZE ToSize(const GSize& size) { return SIZE{size.cx, size.cy}; }

}  // namespace scene_factory

using scene_factory::Make;

void CDorvik2VWS::LogLoadError(const std::string& text) { built_.loadErrors.push_back({0, text}); }

void CDorvik2VWS::ReportLoadError(const std::string& text) {
  built_.loadErrors.push_back({1, text});
  // A build told to end tells the host nothing more: the host has let the game go.
  if (BuildCancelled()) return;
  int32_t value = 0;
  HostLink().NotifyEvent(static_cast<uint32_t>(MyUserNo()), kLoadFailedEvent, nullptr, &value);
}

CVHTWnd* CDorvik2VWS::CreateHTWnd(int32_t number, const std::string& relPath, const GSize& size) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<CVHTWnd>(static_cast<void*>(this));
  if (!wnd) return LogLoadError(""), nullptr;
  static_cast<void>(number);  // the widget's number is its place in the card list
  if (!wnd->LoadImage(imageFolder_ + relPath, GVWnd::kNoColorKey)) return ReportLoadError(relPath), nullptr;
  wnd->SetRect(GRect(kDeckPoint, size));
  wnd->home = wnd->GetPos();
  wnd->SetStripFrame(CVHTWnd::kBackFrame);
  wnd->SetColorKey(GVWnd::kNoColorKey);
  wnd->Show(1);
  wnd->Enable(1);
  return wnd.release();
}

GVDDSWnd* CDorvik2VWS::CreateDDSWnd(const std::string& relPath, const GPoint& pos, BOOL useColorKey, BOOL show,
                                    int32_t columns, int32_t rows) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<GVDDSWnd>();
  if (!wnd || columns < 1 || rows < 1) return LogLoadError(""), nullptr;
  const COLORREF key = useColorKey ? static_cast<COLORREF>(ColorKey()) : GVWnd::kNoColorKey;
  if (!wnd->LoadImage(imageFolder_ + relPath, key)) return ReportLoadError(relPath), nullptr;
  const GRect picture = wnd->GetRect();
  const GSize cell(picture.Width() / columns, picture.Height() / rows);
  wnd->SetRect(GRect(pos, cell));
  wnd->SetSourceRect(GRect(GPoint(0, 0), cell));
  wnd->Show(show);
  wnd->Enable(0);
  return wnd.release();
}

namespace scene_factory {

template <class W>
W* MakeText(CDorvik2VWS& scene, const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
            int32_t fontHeight, int32_t fontWeight) {
  auto wnd = Make<W>();
  const auto key = static_cast<COLORREF>(scene.ColorKey());
  if (!wnd || !wnd->Create(ToSize(size), key, fontHeight, fontWeight)) return scene.LogLoadError(""), nullptr;
  wnd->SetPos(pos);
  wnd->SetColorKey(key);
  wnd->SetTextColor(colour);
  wnd->SetText(text);
  wnd->Show(1);
  wnd->Enable(0);
  return wnd.release();
}

}  // namespace scene_factory

CVTextShadowWnd* CDorvik2VWS::CreateTextShadowWnd(const GPoint& pos, GSize size, const std::string& text,
                                                  COLORREF colour, int32_t fontHeight, int32_t fontWeight) {
  return scene_factory::MakeText<CVTextShadowWnd>(*this, pos, size, text, colour, fontHeight, fontWeight);
}

GVTextWnd* CDorvik2VWS::CreateTextWnd(const GPoint& pos, GSize size, const std::string& text, COLORREF colour,
                                      int32_t fontHeight, int32_t fontWeight) {
  return scene_factory::MakeText<GVTextWnd>(*this, pos, size, text, colour, fontHeight, fontWeight);
}

GVLightTextWnd* CDorvik2VWS::CreateLightTextWnd(const GPoint& pos, GSize size, const std::string& text,
                                                COLORREF colour, int32_t fontHeight, int32_t fontWeight) {
  return scene_factory::MakeText<GVLightTextWnd>(*this, pos, size, text, colour, fontHeight, fontWeight);
}

GVSlideWnd* CDorvik2VWS::CreateSlideWnd(const GPoint& pos, const GSize& size, const std::string& knobRelPath,
                                        bool vertical, const GPoint& trackOrigin, int32_t length) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<GVSlideWnd>();
  if (!wnd || !wnd->Create(size.cx, size.cy, imageFolder_ + knobRelPath)) return LogLoadError(""), nullptr;
  wnd->SetPos(pos);
  wnd->SetTrack(vertical, trackOrigin.x, trackOrigin.y, length);
  wnd->Enable(1);
  wnd->Show(1);
  return wnd.release();
}

GVAnimWnd* CDorvik2VWS::CreateAnimWnd(const std::string& relPath, const GPoint& pos, GSize frameSize) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<GVAnimWnd>();
  if (!wnd) return nullptr;
  const auto key = static_cast<COLORREF>(ColorKey());
  if (!wnd->LoadGif(imageFolder_ + relPath, frameSize, key)) return ReportLoadError(relPath), nullptr;
  wnd->SetPos(pos);
  wnd->SetStep(CSceneTimers::kTickMs);
  wnd->SetColorKey(key);
  wnd->Show(0);
  wnd->Enable(0);
  return wnd.release();
}

GVAvatarWnd* CDorvik2VWS::CreateAvatarWnd(std::vector<std::string>& parts, const GPoint& pos) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  const std::string fallback = imageFolder_ + "Avatar\\default.gif";
  if (parts.empty()) parts.push_back(fallback);
  auto wnd = Make<GVAvatarWnd>();
  if (!wnd) return nullptr;
  const auto key = static_cast<COLORREF>(ColorKey());
  if (!wnd->Create(parts, kAvatarTrims, kAvatarSize, key)) {
    parts.assign(1, fallback);
    if (!wnd->Create(parts, kAvatarTrims, kAvatarSize, key)) return nullptr;
  }
  wnd->SetPos(pos);
  wnd->SetColorKey(key);
  wnd->Show(1);
  wnd->Enable(0);
  return wnd.release();
}

GVQLAniWnd* CDorvik2VWS::CreateQLAniWnd(const std::string& relPath, const GPoint& pos) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<GVQLAniWnd>();
  if (!wnd) return LogLoadError(""), nullptr;
  if (!wnd->Load(imageFolder_ + relPath, pos.x, pos.y)) return ReportLoadError(relPath), nullptr;
  wnd->Show(0);
  wnd->Enable(0);
  return wnd.release();
}

namespace scene_factory {

template <class W>
W* MakeSprite(CDorvik2VWS& scene, const std::string& relPath, const GPoint& pos, BOOL show) {
  if (scene.BuildCancelled()) return nullptr;
  auto wnd = Make<W>();
  if (!wnd) return scene.LogLoadError(""), nullptr;
  if (!wnd->Load((scene.ImageFolder() + relPath).c_str())) return scene.ReportLoadError(relPath), nullptr;
  wnd->SetPos(pos);
  wnd->Show(show);
  wnd->Enable(0);
  return wnd.release();
}

}  // namespace scene_factory

GVPSPWnd* CDorvik2VWS::CreatePSPWnd(const std::string& relPath, const GPoint& pos, BOOL show) {
  return scene_factory::MakeSprite<GVPSPWnd>(*this, relPath, pos, show);
}

GVQLSWnd* CDorvik2VWS::CreateQLSWnd(const std::string& relPath, const GPoint& pos, BOOL show) {
  return scene_factory::MakeSprite<GVQLSWnd>(*this, relPath, pos, show);
}

GVBoxWnd* CDorvik2VWS::CreateBoxWnd(const GPoint& pos, const GSize& size, COLORREF fill, BOOL show,
                                    int32_t blendLevel) {
  auto wnd = Make<GVBoxWnd>();
  if (!wnd || !wnd->Create(pos.x, pos.y, size.cx, size.cy, fill, blendLevel)) return LogLoadError(""), nullptr;
  wnd->Show(show);
  wnd->Enable(0);
  return wnd.release();
}

GVDDSWnd* CDorvik2VWS::CreateBlankDDSWnd(const GPoint& pos, const GSize& size, BOOL show, BOOL enable) {
  auto wnd = Make<GVDDSWnd>();
  if (!wnd) return LogLoadError(""), nullptr;
  const auto key = static_cast<COLORREF>(ColorKey());
  if (!wnd->CreateBlank(SIZE{size.cx, size.cy}, key)) return ReportLoadError(""), nullptr;
  ClearSurface(wnd->GetSurface(), key);
  wnd->SetPos(pos);
  wnd->Show(show);
  wnd->Enable(enable);
  return wnd.release();
}

GVPSPNumberWnd* CDorvik2VWS::CreatePSPNumberWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                                uint32_t styleFlags, int32_t spacing, BOOL show) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<GVPSPNumberWnd>();
  if (!wnd) return LogLoadError(""), nullptr;
  if (!wnd->Load((imageFolder_ + relPath).c_str(), pos.x, pos.y, size.cx, size.cy))
    return ReportLoadError(relPath), nullptr;
  wnd->SetStyle(styleFlags, spacing);
  wnd->Show(show);
  wnd->Enable(0);
  return wnd.release();
}

CVCountWnd* CDorvik2VWS::CreateCountWnd(int32_t screenPos) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<CVCountWnd>();
  if (!wnd || screenPos < 0 || screenPos >= kSeats) return LogLoadError(""), nullptr;
  if (!wnd->LoadImage(imageFolder_ + kPiCounterPicture, GVWnd::kNoColorKey)) return ReportLoadError(kPiCounterPicture), nullptr;
  if (!wnd->Create(this)) return nullptr;
  wnd->SetPos(kPiCounterPoints[screenPos]);
  wnd->SetColorKey(GVWnd::kNoColorKey);
  wnd->Show(0);
  wnd->Enable(0);
  return wnd.release();
}

CVPSPPushBtn* CDorvik2VWS::CreatePSPPushBtn(const std::string& relPath, const GPoint& pos, BOOL show,
                                            int32_t setCount) {
  if (BuildCancelled()) return nullptr;  // a build told to end opens no more files
  auto wnd = Make<CVPSPPushBtn>();
  if (!wnd) return LogLoadError(""), nullptr;
  if (!wnd->LoadSprite((imageFolder_ + relPath).c_str(), setCount, 4)) return ReportLoadError(relPath), nullptr;
  wnd->SetPos(pos);
  wnd->Show(show);
  wnd->Enable(1);
  return wnd.release();
}

CVQLATextWnd* CDorvik2VWS::CreateQLATextWnd(const std::string& relPath, const GPoint& pos, const GSize& size,
                                            const GSize& charSize, int32_t spacing, int32_t alignment) {
  auto wnd = Make<CVQLATextWnd>();
  if (!wnd) return LogLoadError(""), nullptr;
  if (!wnd->Create(this, relPath, pos, size, charSize.cx, charSize.cy, spacing, alignment)) return nullptr;
  wnd->Show(0);
  wnd->Enable(0);
  return wnd.release();
}

namespace scene_factory {

template <class P, class... Args>
P* MakePanel(CDorvik2VWS& scene, Args... args) {
  auto panel = Make<P>(&scene);
  if (!panel) return scene.LogLoadError(""), nullptr;
  if (!panel->Create(&scene, args...)) return nullptr;
  return panel.release();
}

}  // namespace scene_factory

CVItemWnd* CDorvik2VWS::CreateItemWnd() { return scene_factory::MakePanel<CVItemWnd>(*this); }
CVGFPlayCountWnd* CDorvik2VWS::CreateGFPlayCountWnd() { return scene_factory::MakePanel<CVGFPlayCountWnd>(*this); }
CVUserInfoWnd* CDorvik2VWS::CreateUserInfoWnd(int32_t screenPos) {
  return scene_factory::MakePanel<CVUserInfoWnd>(*this, screenPos);
}
CVJumsuInfoWnd* CDorvik2VWS::CreateJumsuInfoWnd(int32_t screenPos) {
  return scene_factory::MakePanel<CVJumsuInfoWnd>(*this, screenPos);
}
CVHTIconWnd* CDorvik2VWS::CreateHTIconWnd(int32_t screenPos) {
  return scene_factory::MakePanel<CVHTIconWnd>(*this, screenPos);
}
CVBakIconWnd* CDorvik2VWS::CreateBakIconWnd(int32_t screenPos) {
  return scene_factory::MakePanel<CVBakIconWnd>(*this, screenPos);
}
CVRestrictOptionWnd* CDorvik2VWS::CreateRestrictOptionWnd() { return scene_factory::MakePanel<CVRestrictOptionWnd>(*this); }
CVRankingPointWnd* CDorvik2VWS::CreateRankingPointWnd() { return scene_factory::MakePanel<CVRankingPointWnd>(*this); }
CVMissionWnd* CDorvik2VWS::CreateMissionWnd() { return scene_factory::MakePanel<CVMissionWnd>(*this); }
CVGoBakAlertUIWnd* CDorvik2VWS::CreateGoBakAlertUIWnd() { return scene_factory::MakePanel<CVGoBakAlertUIWnd>(*this); }
CVObserveSystemWnd* CDorvik2VWS::CreateObserveSystemWnd() { return scene_factory::MakePanel<CVObserveSystemWnd>(*this); }
CVNotifyWnd* CDorvik2VWS::CreateNotifyWnd() { return scene_factory::MakePanel<CVNotifyWnd>(*this); }
CVResultWnd* CDorvik2VWS::CreateResultWnd() { return scene_factory::MakePanel<CVResultWnd>(*this); }
CVDorvik2BijouWnd* CDorvik2VWS::CreateBijouWnd() { return scene_factory::MakePanel<CVDorvik2BijouWnd>(*this); }
CVUserOptionWnd* CDorvik2VWS::CreateUserOptionWnd() { return scene_factory::MakePanel<CVUserOptionWnd>(*this); }
CCheckNotice* CDorvik2VWS::CreateCheckNotice() { return scene_factory::MakePanel<CCheckNotice>(*this); }

void CDorvik2VWS::AddAnimation(GVQLAniWnd* animation) {
  if (animation) built_.animations.push_back(animation);
}
