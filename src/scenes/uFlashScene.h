#pragma once
// The scene library frame: the library's unit state, the scene form TfmFlashScene with its player,
// in-memory files and background picture, and the steps of the seven exports. Each build (module
// name, teardown order, background picture) supplies a SceneBuild; the exports themselves are in
// SceneExports.cpp.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "core/Xml.h"
#include "flash/FlashList.h"
#include "flash/FlashPlayer.h"
#include "ui/Bitmap.h"
#include "ui/PlainForm.h"
#include "ui/Renderer.h"

namespace scenes {

// The orders in which SceneDestroy frees a scene; each build uses one. The gallery's closes and frees
// the form without touching the player first.
enum class TeardownOrder { First, Second, Gallery };

class TfmFlashScene;

// What a variant of the frame does its own way (the gallery); the Flash scene has none.
struct SceneVariant {
  std::unique_ptr<TfmFlashScene> (*newForm)();
  // The whole of SceneParameters, failures handled inside.
  void (*sceneParameters)(const wchar_t* parameters, const wchar_t* menu) noexcept;
};

struct SceneBuild {
  const wchar_t* moduleName;  // "Sucrelle": log file names, "Sucrelle.dll: AV in ..." texts
  TeardownOrder teardown;
  int backgroundResource;     // RCDATA id of the JPEG or PNG background picture
  const SceneVariant* variant;  // null: the Flash scene
};
// Defined once by each build.
extern const SceneBuild kSceneBuild;

constexpr int kSceneWidth = 690;
constexpr int kSceneHeight = 758;
constexpr const wchar_t* kSceneTitle = L"ZebAnimatedScene";
constexpr const wchar_t* kHostWindowTitle = L"ZebAdvert";
constexpr UINT WM_SCENE_ENDED = 0x40F;

// The background picture decoded once per scene: its pixels (for screenshots) and a GDI copy (for
// the copies onto the window).
struct BackgroundPicture {
  explicit BackgroundPicture(ui::Bitmap picture) : pixels(std::move(picture)), gdi(pixels) {}
  ui::Bitmap pixels;
  ui::GdiBitmap gdi;

  // The picture as a window of this size shows it: itself at its own size, otherwise stretched to the
  // size (made once, and again only when the size changes).
  const BackgroundPicture& StretchedTo(int width, int height);

 private:
  std::unique_ptr<BackgroundPicture> stretched_;
};

class TfmFlashScene : public ui::PlainForm {
 public:
  // The form with its player and the movie of this name as FlashList item 0.
  explicit TfmFlashScene(const char16_t* movieName = u"scene.swf");
  ~TfmFlashScene() override;

  // Components; each is none once teardown has freed it.
  std::unique_ptr<flash::TsfFlashPlayer> FlashPlayer;
  std::unique_ptr<flash::TsfFlashList> FlashList;
  std::string SceneBGImage;  // the build's background picture, encoded as the resource holds it

  // Makes the window (hidden, at 0, 0, 690 x 758) and runs FormCreate.
  void CreateScene();
  // Copies BackgroundBitmap, stretched to the window, onto the whole window; nothing without it.
  void CopyBackground();
  // What the window shows while the movie plays: the movie's current frame over the background (the
  // movie draws transparently over it), at the window's size. Empty while the player has no movie.
  ui::Bitmap ShownFrame();

  // What WM_ERASEBKGND set as the form brush's bitmap; teardown clears it.
  const BackgroundPicture* BrushBitmap = nullptr;

  // The movie's commands; SceneParameters without a dish calls it as if the movie had ended.
  virtual void FlashPlayerHandleFSCommand(const std::u16string& command, const std::u16string& args);

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  // The player takes the window's client size, whatever placed or sized the window, and so asks for
  // a frame at that size.
  void FitPlayerToWindow();
  // The background at the size of the player's frames; null without a background.
  const BackgroundPicture* FrameBackground(int width, int height) const;
  // Brings the window's picture up to date with the movie: the stage, at its own size, drawn anew where
  // it changed, and those areas scaled over the background into shown_. False while there is nothing
  // to show but the background (no movie, no window size).
  bool UpdateShown();
  void DrawFrame();
  std::unique_ptr<ui::Dib> shown_;  // the window's picture, kept between frames
  const BackgroundPicture* shownBackground_ = nullptr;  // what shown_ was composed over
  ui::PixelRect unshown_;  // what changed in shown_ and is not yet on the screen
  const char16_t* movieName_;
};

struct ScenePlacement;
// Places and sizes the window as `Size` says (the player follows the window) and gives it rounded
// corners to its new size.
void PlaceScene(TfmFlashScene& f, const ScenePlacement& p);

// The library's state, once per loaded library.
struct SceneUnit {
  TfmFlashScene* SceneForm = nullptr;
  std::unique_ptr<BackgroundPicture> BackgroundBitmap;
  std::unique_ptr<XmlDocument> MenuDocument;
  std::unique_ptr<XmlDocument> ItemDocument;
  std::u16string PicPath;
  std::u16string NameField;
  std::u16string ImageForMissing;
  std::u16string FloatFormat;
  std::u16string PriceText;
  int32_t LogLevel = 1;
  DWORD SceneThread = 0;  // the thread that made the scene
};

// The unit, made by the first export call (never in DllMain: reading settings loads no library but
// still does more than is safe there) and freed at unload.
SceneUnit& Unit();
bool UnitExists() noexcept;
// At unload: tears down a scene still alive as far as is safe under the loader lock, unregisters the
// classes, closes the log file. Only for FreeLibrary on the scene's thread does it touch windows.
void ReleaseUnitAtUnload(bool freeLibrary) noexcept;

// Writes "<Module>.dll: AV in <where>" after InitLog, never raising.
void LogFailure(const wchar_t* where) noexcept;

// The steps of the exports (the guards are at the exports).
void SceneCreateSteps();
// SceneCreate with its guard, as the export runs it.
void SceneCreateGuarded() noexcept;
// The whole of SceneParameters (its guards included).
void SceneParametersSteps(const std::u16string& parameters, const std::u16string& menu) noexcept;
void SceneDestroySteps();
void SceneAnimationsStartSteps();
void SceneAnimationsStopSteps();

// A point where a test build makes a step fail: raises when the hook says so. Without a hook (every
// shipped build) it does nothing.
using FailHook = bool (*)(const char* step);
void SetFailHook(FailHook hook) noexcept;
void FailPoint(const char* step);

}  // namespace scenes
