// Animations set their property on every clock tick from the time since they started; the clock's
// timer runs only while at least one of them runs, so an idle form costs nothing.
#include "ui/Animation.h"

#include <windows.h>

#include <algorithm>

namespace ui {

float GetProperty(const Control& c, AnimatedProperty p) {
  switch (p) {
    case AnimatedProperty::Opacity: return c.Opacity();
    case AnimatedProperty::PositionX: return c.X();
    case AnimatedProperty::PositionY: return c.Y();
    case AnimatedProperty::ScaleX:
    case AnimatedProperty::Scale: return c.ScaleX();
    case AnimatedProperty::ScaleY: return c.ScaleY();
  }
  return 0;
}

void SetProperty(Control& c, AnimatedProperty p, float v) {
  switch (p) {
    case AnimatedProperty::Opacity: c.SetOpacity(v); break;
    case AnimatedProperty::PositionX: c.SetX(v); break;
    case AnimatedProperty::PositionY: c.SetY(v); break;
    case AnimatedProperty::ScaleX: c.SetScale(v, c.ScaleY()); break;
    case AnimatedProperty::ScaleY: c.SetScale(c.ScaleX(), v); break;
    case AnimatedProperty::Scale: c.SetScale(v, v); break;
  }
}

double Ease(Interpolation i, EaseKind e, double t) {
  t = std::clamp(t, 0.0, 1.0);
  if (i == Interpolation::Linear) return t;
  switch (e) {
    case EaseKind::In: return t * t;
    case EaseKind::Out: return 1 - (1 - t) * (1 - t);
    case EaseKind::InOut: return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
  }
  return t;
}

// --- Animation -----------------------------------------------------------------------------------

Animation::Animation(AnimationClock& clock, Control& target, AnimatedProperty property)
    : clock_(clock), target_(target), property_(property) {}

Animation::~Animation() {
  if (running_) clock_.Stopped(*this);
}

void Animation::Start() {
  Starting();
  startTime_ = clock_.Now();
  running_ = true;
  Apply(0);
  clock_.Started(*this);
}

void Animation::Stop() {
  if (!running_) return;
  Apply(1);
  running_ = false;
  clock_.Stopped(*this);
  if (OnFinish) OnFinish();
}

void Animation::Advance(double now) {
  const double t = Duration > 0 ? (now - startTime_) / Duration : 1.0;
  if (t < 1) {
    Apply(t);
    return;
  }
  Stop();
}

void Animation::Apply(double t) { SetProperty(target_, property_, ValueAt(ui::Ease(Interp, Ease, t))); }

float FloatAnimation::ValueAt(double s) const { return static_cast<float>(from_ + (StopValue - from_) * s); }

void FloatAnimation::Starting() { from_ = StartFromCurrent ? GetProperty(Target(), Property()) : StartValue; }

float FloatKeyAnimation::ValueAt(double s) const {
  if (Keys.empty()) return GetProperty(Target(), Property());
  if (s <= Keys.front().key) return Keys.front().value;
  for (size_t i = 1; i < Keys.size(); ++i) {
    const FloatKey& a = Keys[i - 1];
    const FloatKey& b = Keys[i];
    if (s <= b.key) {
      const double span = b.key - a.key;
      const double f = span > 0 ? (s - a.key) / span : 1.0;
      return static_cast<float>(a.value + (b.value - a.value) * f);
    }
  }
  return Keys.back().value;
}

// --- AnimationClock ------------------------------------------------------------------------------

namespace {
double PerformanceSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / frequency;
}
}  // namespace

AnimationClock::AnimationClock() : now_(&PerformanceSeconds) {
  timer_.SetInterval(16);  // about 60 frames a second
  timer_.OnTimer = [this] { Tick(); };
}

AnimationClock::AnimationClock(TimeSource now) : AnimationClock() {
  now_ = std::move(now);
  manual_ = true;
}

AnimationClock::~AnimationClock() {
  timer_.SetEnabled(false);
  running_.clear();
  for (auto& a : owned_) a->running_ = false;
  owned_.clear();
}

void AnimationClock::Tick() {
  const double now = Now();
  // A finishing animation may start or stop others: walk a copy.
  const std::vector<Animation*> snapshot = running_;
  for (Animation* a : snapshot) {
    if (std::find(running_.begin(), running_.end(), a) != running_.end()) a->Advance(now);
  }
  if (running_.empty()) timer_.SetEnabled(false);
}

void AnimationClock::Started(Animation& a) {
  if (std::find(running_.begin(), running_.end(), &a) == running_.end()) running_.push_back(&a);
  if (!manual_) timer_.SetEnabled(true);
}

void AnimationClock::Stopped(Animation& a) { running_.erase(std::remove(running_.begin(), running_.end(), &a), running_.end()); }

}  // namespace ui
