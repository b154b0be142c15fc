// The line holder's queue walk. The read position is an index, so removing a line
// from the queue never leaves it pointing at freed memory.
#include "graphics/CScroll_Text.h"

#include <new>

void CScroll_Text::Reset() {
  mode_ = kModeScroll;
  strip_ = K_Rect{};
  settings_[0] = settings_[1] = settings_[2] = 0;
  current_ = 0;
}

void CScroll_Text::Set(int32_t x, int32_t y, int32_t w, int32_t h, int32_t setting1, int32_t setting2,
                       int32_t setting3) {
  strip_ = K_Rect{x, y, x + w, y + h};
  settings_[0] = setting1;
  settings_[1] = setting2;
  settings_[2] = setting3;
}

void CScroll_Text::Clear() {
  for (QueuedLine& l : lines_) l.sprite->Release();
  lines_.clear();
  current_ = 0;
}

void CScroll_Text::Start() {
  current_ = 0;
  if (!lines_.empty()) lines_.front().sprite->Restart();
}

KK_LLESprite_Scroll* CScroll_Text::Line(int32_t i) const {
  return i >= 0 && i < LineCount() ? lines_[static_cast<size_t>(i)].sprite.get() : nullptr;
}

int32_t CScroll_Text::AddSpriteLine(const char* fileName, int32_t sprite, int32_t w, int32_t t) {
  if (!fileName) return -1;
  std::unique_ptr<KK_LLESprite_Scroll> line(new (std::nothrow) KK_LLESprite_Scroll);
  if (!line || !line->Load(fileName, sprite, 1)) return -1;
  const int32_t width = line->FullWidth();
  line->Set(0, width + w, 0);
  line->SetDuration(t, w);
  try {
    lines_.push_back(QueuedLine{std::move(line), width});
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return LineCount() - 1;
}

int32_t CScroll_Text::StepLine(KK_LLESprite_Scroll& line, uint32_t now) {
  if (!line.running) {
    // A stopped move that has run (its clock is set) finished as the entering line.
    if (line.lastTick != 0) return 1;
    line.Restart();
  }
  return line.Update(now, 0);
}

int32_t CScroll_Text::FollowerOf(int32_t index, int32_t repeat) const {
  int32_t next = index + 1;
  if (next >= LineCount()) next = repeat == 1 ? 0 : -1;
  return next == index ? -1 : next;
}

int32_t CScroll_Text::Update(uint32_t now, int32_t repeat, int32_t remove) {
  if (mode_ == kModeStatic || lines_.empty()) return kIdle;
  if (current_ < 0 || current_ >= LineCount()) return kAllDone;
  QueuedLine& q = lines_[static_cast<size_t>(current_)];
  KK_LLESprite_Scroll& line = *q.sprite;
  const int32_t finished = StepLine(line, now);
  // The entering line moves in the same update; as it is never the current line here,
  // no line is moved twice.
  if (line.IsPast(q.startDistance)) {
    const int32_t next = FollowerOf(current_, repeat);
    if (next >= 0) StepLine(*lines_[static_cast<size_t>(next)].sprite, now);
  }
  if (!finished) return kMoving;

  if (repeat == 1) {
    line.Restart();
    current_ = current_ + 1 < LineCount() ? current_ + 1 : 0;
    return kMoving;
  }
  if (remove == 1) {
    q.sprite->Release();
    lines_.erase(lines_.begin() + current_);
    if (lines_.empty()) {
      Clear();
      return kAllDone;
    }
    // The next line has moved into the finished line's place.
    return current_ < LineCount() ? kMoving : kAllDone;
  }
  line.elapsed = 0;
  line.lastTick = 0;
  ++current_;
  return current_ < LineCount() ? kMoving : kAllDone;
}

int32_t CScroll_Text::Draw(K_Dib* target, int32_t frame) {
  if (!target || lines_.empty()) return 0;
  target->SetClipRect(strip_.left, strip_.top, strip_.right, strip_.bottom);
  if (frame == 1) target->DrawFrame(strip_, 0, 0);
  if (mode_ == kModeStatic) {
    if (const KK_LLESprite_Scroll* line = Line(current_)) target->DrawSprite(strip_.left, strip_.top, *line);
  } else {
    for (const QueuedLine& q : lines_) {
      if (q.sprite->current == 0) continue;
      int32_t x = strip_.right, y = strip_.top;
      q.sprite->Position(x, y);
      target->DrawSprite(x, y, *q.sprite);
    }
  }
  target->SetClipRect(0, 0, target->Width(), target->Height());
  return 1;
}
