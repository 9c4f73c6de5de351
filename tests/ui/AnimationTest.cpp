// Animation values over time stepped by hand.
#include <gtest/gtest.h>

#include "ui/Animation.h"

using namespace ui;

namespace {

struct AnimationTest : ::testing::Test {
  double now = 100.0;
  AnimationClock clock{[this] { return now; }};
  Layout target;
  void At(double t) {
    now = 100.0 + t;
    clock.Tick();
  }
};

}  // namespace

TEST_F(AnimationTest, LinearFadeSetsItsStartValueAtStart) {
  auto& fade = clock.Add<FloatAnimation>(target, AnimatedProperty::Opacity);
  fade.Duration = 0.4;
  fade.StartValue = 0;
  fade.StopValue = 1;
  int finished = 0;
  fade.OnFinish = [&] { ++finished; };
  ASSERT_EQ(target.Opacity(), 1.0f);
  fade.Start();
  EXPECT_EQ(target.Opacity(), 0.0f);
  EXPECT_TRUE(fade.Running());
  At(0.1);
  EXPECT_NEAR(target.Opacity(), 0.25, 1e-5);
  At(0.3);
  EXPECT_NEAR(target.Opacity(), 0.75, 1e-5);
  At(0.45);
  EXPECT_EQ(target.Opacity(), 1.0f);
  EXPECT_FALSE(fade.Running());
  EXPECT_FALSE(clock.AnyRunning());
  EXPECT_EQ(finished, 1);
  At(1.0);
  EXPECT_EQ(finished, 1);
}

TEST_F(AnimationTest, QuadraticEaseOutKeyFrames) {
  target.SetY(128);
  auto& slide = clock.Add<FloatKeyAnimation>(target, AnimatedProperty::PositionY);
  slide.Duration = 0.4;
  slide.Keys = {{0, 90}, {1, 128}};
  slide.Interp = Interpolation::Quadratic;
  slide.Ease = EaseKind::Out;
  slide.Start();
  EXPECT_EQ(target.Y(), 90.0f);
  for (double s : {0.1, 0.25, 0.5, 0.9}) {
    At(0.4 * s);
    EXPECT_NEAR(target.Y(), 90 + 38 * (1 - (1 - s) * (1 - s)), 1e-3) << s;
  }
  At(0.4);
  EXPECT_EQ(target.Y(), 128.0f);
  EXPECT_FALSE(slide.Running());
}

TEST_F(AnimationTest, KeyFramesBetweenSeveralKeys) {
  auto& a = clock.Add<FloatKeyAnimation>(target, AnimatedProperty::PositionX);
  a.Duration = 1;
  a.Keys = {{0, 0}, {0.5, 10}, {1, 0}};
  a.Start();
  for (auto [t, x] : {std::pair{0.25, 5.0}, {0.5, 10.0}, {0.75, 5.0}}) {
    At(t);
    EXPECT_NEAR(target.X(), x, 1e-4) << t;
  }
}

TEST_F(AnimationTest, StartFromCurrentStopAndRestart) {
  target.SetScale(2, 2);
  auto& grow = clock.Add<FloatAnimation>(target, AnimatedProperty::Scale);
  grow.Duration = 1;
  grow.StartFromCurrent = true;
  grow.StartValue = 100;  // ignored
  grow.StopValue = 4;
  grow.Start();
  EXPECT_EQ(target.ScaleX(), 2.0f);
  At(0.5);
  EXPECT_NEAR(target.ScaleY(), 3, 1e-5);
  grow.Stop();
  EXPECT_EQ(target.ScaleX(), 4.0f);
  EXPECT_FALSE(grow.Running());
  // A restart runs again from the beginning.
  grow.StartFromCurrent = false;
  grow.StartValue = 1;
  grow.Start();
  EXPECT_EQ(target.ScaleX(), 1.0f);
  At(1.0);  // 0.5 s after the restart
  EXPECT_NEAR(target.ScaleX(), 2.5, 1e-5);
}

TEST(Ease, Curves) {
  EXPECT_DOUBLE_EQ(Ease(Interpolation::Linear, EaseKind::Out, 0.3), 0.3);
  EXPECT_DOUBLE_EQ(Ease(Interpolation::Quadratic, EaseKind::In, 0.5), 0.25);
  EXPECT_DOUBLE_EQ(Ease(Interpolation::Quadratic, EaseKind::Out, 0.5), 0.75);
  EXPECT_DOUBLE_EQ(Ease(Interpolation::Quadratic, EaseKind::InOut, 0.25), 0.125);
  EXPECT_DOUBLE_EQ(Ease(Interpolation::Quadratic, EaseKind::Out, 1.5), 1.0);
}
