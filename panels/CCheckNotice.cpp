// Reading the host's notice text into the ticker's state, and the ticker's resources.
#include "panels/CCheckNotice.h"

#include "base/TextUtil.h"
#include "tables/PanelPaths.h"

namespace {

constexpr char kFieldSeparator = '#';
constexpr char kValueSeparator = '=';

constexpr GRect kStripRect(0, 0, 800, 17);
constexpr GPoint kHeadPos(0, 0);
// The first of two digits stands left of the second.
constexpr GPoint kFirstDigitPos(-7, 0);
constexpr GPoint kSecondDigitPos(0, 0);
// The line scrolls through (96, 5)-(274, 17).
constexpr GRect kLineRect(96, 5, 274, 17);
constexpr int32_t kScrollMs = 4000;
constexpr int32_t kLineSprite = 0;

}  // namespace

int32_t CCheckNotice::Create(IPanelScene* scene) {
  scene_ = scene;
  SetRect(kStripRect);
  Show(1);
  Enable(0);
  return 1;
}

int32_t CCheckNotice::LoadCheckNotice(std::string imageFolder) {
  const int32_t animations = animations_.Load((imageFolder + CheckNoticeAnimPath).c_str());
  headPos_ = kHeadPos;
  firstDigitPos_ = kFirstDigitPos;
  secondDigitPos_ = kSecondDigitPos;
  line_.Clear();
  line_.Set(kLineRect.left, kLineRect.top, kLineRect.Width(), kLineRect.Height(), kScrollMs, 0, 0);
  const int32_t line =
      line_.AddSpriteLine((imageFolder + CheckNoticeLinePath).c_str(), kLineSprite, kLineRect.Width(), kScrollMs);
  return animations && line >= 0 ? 1 : 0;
}

std::string CCheckNotice::FieldValue(std::string_view notice, std::string_view name) {
  size_t start = 0;
  while (start < notice.size()) {
    const size_t end = notice.find(kFieldSeparator, start);
    const std::string_view field = notice.substr(start, end == std::string_view::npos ? end : end - start);
    if (!field.empty()) {
      const size_t eq = field.find(kValueSeparator);
      const std::string_view namePart = eq == std::string_view::npos ? field : field.substr(0, eq);
      if (namePart.find(name) != std::string_view::npos) {
        return std::string(eq == std::string_view::npos ? field : field.substr(eq + 1));
      }
    }
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return std::string();
}

std::string CCheckNotice::ParseNoticeText(std::string notice) {
  shown_ = 0;
  stage_ = kStageNone;
  time_ = 0;
  timeDigits_ = 0;
  const std::string type = FieldValue(notice, "TYPE");
  if (type.empty()) return std::string();
  const std::string time = FieldValue(notice, "TIME");
  if (time.empty()) return std::string();
  type_ = LeadingInt32(type);
  time_ = LeadingInt32(time);
  timeDigits_ = static_cast<int32_t>(time.size());
  stage_ = time_ <= kWarningTimeLimit ? kStageHeadWithWarning : kStageHeadOnly;
  shown_ = 1;
  return FieldValue(notice, "MSG");
}

void CCheckNotice::Stop() {
  shown_ = 0;
  stage_ = kStageNone;
}
