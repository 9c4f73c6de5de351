#include "ScenePictures.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

#include "SceneWindows.h"
#include "core/Exception.h"
#include "scenes/ZebScene.h"

namespace scenetest {

Shot TakeShot(const zebhost::SceneExports& scene) {
  Shot r;
  ZebSceneBitmap* b = static_cast<ZebSceneBitmap*>(scene.SceneScreenshot());
  if (!b) throw Exception(u"SceneScreenshot gave no picture");
  r.width = b->functions->Width(b);
  r.height = b->functions->Height(b);
  if (const DWORD* p = b->functions->Pixels(b)) r.pixels.assign(p, p + static_cast<size_t>(r.width) * r.height);
  b->functions->Free(b);
  return r;
}

Box BoxOf(const Shot& shot, uint32_t argb) {
  Box b{shot.width, shot.height, 0, 0};
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      if (shot.At(x, y) == argb) {
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x + 1);
        b.bottom = std::max(b.bottom, y + 1);
      }
  return b.right ? b : Box{};
}

std::wstring SizeElement(int left, int top, int width, int height) {
  return L"<Size PosX=\"" + std::to_wstring(left) + L"\" PosY=\"" + std::to_wstring(top) + L"\" Width=\"" +
         std::to_wstring(width) + L"\" Height=\"" + std::to_wstring(height) + L"\"/>";
}

namespace {

constexpr int kStageWidth = 690, kStageHeight = 758;

// Where the stage lies in a window: scaled evenly to fit, centred.
struct Fit {
  double scale, left, top;
};
Fit FitStage(int width, int height) {
  const double s = std::min(static_cast<double>(width) / kStageWidth, static_cast<double>(height) / kStageHeight);
  return {s, (width - kStageWidth * s) / 2, (height - kStageHeight * s) / 2};
}

// The share of a 33 x 33 grid of points (the window's edges and corners among them) at which the
// window's picture is far from the background picture at the same relative place: a picture stretched
// to the window differs only where its own details blur, an unpainted margin everywhere in it.
double StretchMismatch(const Shot& shown, const Shot& background) {
  int points = 0, off = 0;
  for (int j = 0; j <= 32; ++j)
    for (int i = 0; i <= 32; ++i) {
      const int x = std::min(shown.width - 1, i * shown.width / 32), y = std::min(shown.height - 1, j * shown.height / 32);
      const int bx = std::min(background.width - 1, static_cast<int>((x + 0.5) * background.width / shown.width));
      const int by = std::min(background.height - 1, static_cast<int>((y + 0.5) * background.height / shown.height));
      const uint32_t a = shown.At(x, y), b = background.At(bx, by);
      int worst = 0;
      for (int shift = 0; shift < 32; shift += 8)
        worst = std::max(worst, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
      ++points;
      if (worst > 48) ++off;
    }
  return static_cast<double>(off) / points;
}

// Where a picture differs from another of the same size.
struct Mask {
  int width = 0, height = 0;
  std::vector<unsigned char> on;
  bool At(int x, int y) const { return on[static_cast<size_t>(y) * width + x] != 0; }
  size_t Count() const { return static_cast<size_t>(std::count(on.begin(), on.end(), 1)); }
};
Mask Changed(const Shot& shot, const Shot& base) {
  Mask m{shot.width, shot.height, std::vector<unsigned char>(shot.pixels.size())};
  for (size_t i = 0; i < shot.pixels.size(); ++i) m.on[i] = shot.pixels[i] != base.pixels[i];
  return m;
}

struct StageCheck {
  size_t compared = 0;       // window pixels compared
  size_t expectedOn = 0;     // of them, where the stage's changes fall
  size_t wrong = 0;          // where the window's changes and the stage's disagree
  size_t wrongOutside = 0;   // of them, beyond the stage
};

// Each window pixel against the stage pixel under its centre. Where the stage's changes have an edge
// within `reach` stage pixels the scaled drawing blends across it, so such pixels are left out.
StageCheck CompareWithStage(const Mask& window, const Mask& stage) {
  const Fit fit = FitStage(window.width, window.height);
  const int reach = static_cast<int>(std::ceil(2 / fit.scale)) + 1;
  // The stage's changes padded by `reach` (nothing changes beyond the stage), and whether both a change
  // and none lie within reach of each point: the square's maximum and minimum, rows first.
  const int pw = stage.width + 2 * reach, ph = stage.height + 2 * reach;
  auto value = [&](int px, int py) {
    const int x = px - reach, y = py - reach;
    return x >= 0 && y >= 0 && x < stage.width && y < stage.height && stage.At(x, y);
  };
  std::vector<unsigned char> rowMax(static_cast<size_t>(pw) * ph), rowMin(rowMax.size()), edge(rowMax.size());
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      bool any = false, all = true;
      for (int d = -reach; d <= reach; ++d) {
        const bool v = value(x + d, y);
        any = any || v;
        all = all && v;
      }
      rowMax[static_cast<size_t>(y) * pw + x] = any;
      rowMin[static_cast<size_t>(y) * pw + x] = all;
    }
  for (int y = 0; y < ph; ++y)
    for (int x = 0; x < pw; ++x) {
      bool any = false, all = true;
      for (int d = std::max(0, y - reach); d <= std::min(ph - 1, y + reach); ++d) {
        any = any || rowMax[static_cast<size_t>(d) * pw + x];
        all = all && rowMin[static_cast<size_t>(d) * pw + x];
      }
      edge[static_cast<size_t>(y) * pw + x] = any && !all;
    }

  StageCheck c;
  for (int y = 0; y < window.height; ++y)
    for (int x = 0; x < window.width; ++x) {
      const double sx = (x + 0.5 - fit.left) / fit.scale, sy = (y + 0.5 - fit.top) / fit.scale;
      const int px = static_cast<int>(std::floor(sx)) + reach, py = static_cast<int>(std::floor(sy)) + reach;
      const bool padded = px >= 0 && py >= 0 && px < pw && py < ph;
      if (padded && edge[static_cast<size_t>(py) * pw + px]) continue;
      const bool expected = padded && value(px, py);
      const bool inside = sx >= 0 && sy >= 0 && sx < stage.width && sy < stage.height;
      ++c.compared;
      if (expected) ++c.expectedOn;
      if (window.At(x, y) != expected) {
        ++c.wrong;
        if (!inside) ++c.wrongOutside;
      }
    }
  return c;
}

// The first picture with the movie's dish: for a movie that stands still with it, the same picture
// three times running, 300 ms apart (the time a frame takes depends on the window's size and on how
// loaded the machine is); otherwise the first picture other than the bare background. The last one
// taken after 15 s at the latest.
Shot DishShot(const zebhost::SceneExports& scene, const Shot& bare, bool standsStill) {
  Shot last = TakeShot(scene);
  int same = 0;
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 15000) {
    if (last.pixels != bare.pixels && (!standsStill || same == 2)) break;
    zebhost::Wait(standsStill ? 300 : 50);
    Shot next = TakeShot(scene);
    same = next.pixels == last.pixels ? same + 1 : 0;
    last = std::move(next);
  }
  return last;
}

std::string Describe(int left, int top, int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(left) + ", " +
         std::to_string(top);
}

}  // namespace

void ExpectTheWholeStageAtEverySize(const zebhost::SceneExports& scene, const PlaceScene& place, StageMovie movie) {
  const uint32_t picture = movie.picture;
  struct Case {
    int left, top, width, height;
  } const cases[] = {{0, 0, 690, 758}, {20, 10, 345, 379}, {0, 0, 900, 900}, {0, 0, 1920, 1080}};
  scene.SceneCreate();
  const Shot background = TakeShot(scene);
  ASSERT_EQ(background.width, kStageWidth);
  ASSERT_EQ(background.height, kStageHeight);
  Mask atStage;
  Box pictureAtStage;
  for (const Case& c : cases) {
    SCOPED_TRACE(Describe(c.left, c.top, c.width, c.height));
    place(c.left, c.top, c.width, c.height);
    const std::vector<HWND> windows = SceneWindows();
    ASSERT_EQ(windows.size(), 1u);
    RECT r{};
    GetClientRect(windows[0], &r);
    EXPECT_EQ(r.right, c.width);
    EXPECT_EQ(r.bottom, c.height);
    scene.SceneAnimationsStart(TRUE);
    // Before the movie's first frame has passed it draws nothing: the background alone.
    const Shot bare = TakeShot(scene);
    zebhost::Wait(500);
    const Shot shown = DishShot(scene, bare, movie.standsStill);
    scene.SceneAnimationsStop();
    const Shot hidden = TakeShot(scene);
    EXPECT_TRUE(hidden.width == background.width && hidden.pixels == background.pixels)
        << "hidden: the background at its own size";

    ASSERT_EQ(bare.width, c.width);
    ASSERT_EQ(bare.height, c.height);
    ASSERT_EQ(shown.width, c.width);
    ASSERT_EQ(shown.height, c.height);
    EXPECT_LE(StretchMismatch(bare, background), 0.05) << "the background stretched over the whole window";
    const Mask changed = Changed(shown, bare);
    if (atStage.width == 0) {
      // At the stage's own size: what the movie changed is the reference for the other sizes.
      atStage = changed;
      ASSERT_GT(atStage.Count(), atStage.on.size() / 20) << "the movie shows its dish";
      if (picture) pictureAtStage = BoxOf(shown, picture);
      continue;
    }
    const StageCheck check = CompareWithStage(changed, atStage);
    const size_t pixels = static_cast<size_t>(c.width) * c.height;
    EXPECT_GT(check.compared, pixels * 8 / 10);
    const Fit fit = FitStage(c.width, c.height);
    EXPECT_GT(check.expectedOn, atStage.Count() * fit.scale * fit.scale / 4) << "most of the changes are compared";
    EXPECT_LE(check.wrong, check.compared / 200) << "the movie's changes lie where the scaled, centred stage puts them";
    EXPECT_EQ(check.wrongOutside, 0u) << "beyond the stage the background shows unchanged";
    if (picture) {
      const Box box = BoxOf(shown, picture);
      EXPECT_NEAR(box.left, fit.left + pictureAtStage.left * fit.scale, 2);
      EXPECT_NEAR(box.top, fit.top + pictureAtStage.top * fit.scale, 2);
      EXPECT_NEAR(box.right, fit.left + pictureAtStage.right * fit.scale, 2);
      EXPECT_NEAR(box.bottom, fit.top + pictureAtStage.bottom * fit.scale, 2);
    }
  }
}

}  // namespace scenetest
