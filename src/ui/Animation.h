#pragma once
// Float and key-frame animations of control properties, driven by one animation clock per form. The
// clock runs a ~60 Hz timer only while an animation runs and stops it when none does. Its time source
// can be replaced so that tests step time by hand (then no timer is used: call Tick()).
#include <functional>
#include <memory>
#include <vector>

#include "ui/Controls.h"
#include "ui/Timer.h"

namespace ui {

enum class AnimatedProperty { Opacity, PositionX, PositionY, ScaleX, ScaleY, Scale };

// Reads and writes one property of a control (Scale writes both directions, reads the x one).
float GetProperty(const Control& c, AnimatedProperty p);
void SetProperty(Control& c, AnimatedProperty p, float value);

enum class Interpolation { Linear, Quadratic };
enum class EaseKind { In, Out, InOut };

// The eased fraction for a time fraction t in 0..1 (Linear ignores the ease kind; Quadratic Out is
// 1 - (1 - t)^2).
double Ease(Interpolation i, EaseKind e, double t);

class AnimationClock;

class Animation {
 public:
  Animation(AnimationClock& clock, Control& target, AnimatedProperty property);
  virtual ~Animation();
  Animation(const Animation&) = delete;
  Animation& operator=(const Animation&) = delete;

  double Duration = 0.2;  // seconds
  Interpolation Interp = Interpolation::Linear;
  EaseKind Ease = EaseKind::In;
  std::function<void()> OnFinish;

  // Applies the value at time 0 and runs from now on. Starting a running animation restarts it.
  void Start();
  // Stops and applies the end value.
  void Stop();
  bool Running() const { return running_; }

  Control& Target() const { return target_; }
  AnimatedProperty Property() const { return property_; }

 protected:
  // The value at eased fraction s (0..1).
  virtual float ValueAt(double s) const = 0;
  // Called by Start before the first value is applied.
  virtual void Starting() {}

 private:
  friend class AnimationClock;
  void Advance(double now);  // applies the value for `now`; ends the run at the duration
  void Apply(double t);
  AnimationClock& clock_;
  Control& target_;
  AnimatedProperty property_;
  bool running_ = false;
  double startTime_ = 0;
};

// From StartValue (or the property's value at Start, with StartFromCurrent) to StopValue.
class FloatAnimation : public Animation {
 public:
  using Animation::Animation;
  float StartValue = 0;
  float StopValue = 0;
  bool StartFromCurrent = false;

 protected:
  float ValueAt(double s) const override;
  void Starting() override;

 private:
  float from_ = 0;
};

struct FloatKey {
  double key;  // time fraction 0..1
  float value;
};

// Through key frames (sorted by key); linear between neighbouring keys, after easing the time.
class FloatKeyAnimation : public Animation {
 public:
  using Animation::Animation;
  std::vector<FloatKey> Keys;

 protected:
  float ValueAt(double s) const override;
};

class AnimationClock {
 public:
  // Seconds from any fixed origin; the default is the performance counter.
  using TimeSource = std::function<double()>;
  AnimationClock();
  // With a time source of its own the clock never starts a timer: the caller calls Tick().
  explicit AnimationClock(TimeSource now);
  ~AnimationClock();
  AnimationClock(const AnimationClock&) = delete;
  AnimationClock& operator=(const AnimationClock&) = delete;

  // Makes an animation of this clock, owned by the clock.
  template <class T>
  T& Add(Control& target, AnimatedProperty property) {
    auto a = std::make_unique<T>(*this, target, property);
    T& ref = *a;
    owned_.push_back(std::move(a));
    return ref;
  }

  double Now() const { return now_(); }
  // Advances every running animation to Now(); stops the timer when none runs any more.
  void Tick();
  bool AnyRunning() const { return !running_.empty(); }
  bool TimerActive() const { return timer_.Enabled(); }

 private:
  friend class Animation;
  void Started(Animation& a);
  void Stopped(Animation& a);
  TimeSource now_;
  bool manual_ = false;
  Timer timer_;
  std::vector<Animation*> running_;
  std::vector<std::unique_ptr<Animation>> owned_;
};

}  // namespace ui
