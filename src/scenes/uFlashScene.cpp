// The scene library frame: unit state, the scene form and the steps of the exports that work on the
// scene. Every step refers to the current scene; a part that an earlier, failed teardown already
// freed is none and its steps are skipped, so that SceneDestroy can run again from its first step.
#include "scenes/uFlashScene.h"

#include <algorithm>
#include <exception>

#include "core/Exception.h"
#include "core/scenes/FlashSceneParameters.h"
#include "flash/StageFit.h"
#include "shared/Logging.h"
#include "ui/Controls.h"
#include "ui/Module.h"
#include "ui/Renderer.h"
#include "win/Handles.h"
#include "win/WinPaths.h"

namespace scenes {
namespace {

SceneUnit* unit = nullptr;
FailHook failHook = nullptr;

constexpr char16_t kStopRequest[] = u"<invoke name=\"stop\" returntype=\"\"><arguments /></invoke>";

std::string ResourceBytes(int id) {
  HMODULE module = ThisModule();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw Exception(u"The scene's background picture is missing");
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

constexpr int kCornerEllipse = 45;

ui::PlainFormOptions FormOptions() {
  ui::PlainFormOptions o;
  o.className = L"ZebFlashScene";
  o.width = kSceneWidth;
  o.height = kSceneHeight;
  return o;
}

}  // namespace

// ---- Unit state ------------------------------------------------------------------------------------

SceneUnit& Unit() {
  if (!unit) {
    auto u = std::make_unique<SceneUnit>();
    u->NameField = u"Name";
    u->FloatFormat = u"0";
    u->PriceText = u"no price";
    u->LogLevel = ReadSettingInteger(L"LOGFILE", L"Log", 1);
    u->MenuDocument = std::make_unique<XmlDocument>();
    u->ItemDocument = XmlDocument::Create(u"Item", u"1.0", u"utf-8");
    unit = u.release();
  }
  return *unit;
}

bool UnitExists() noexcept { return unit != nullptr; }

void ReleaseUnitAtUnload(bool freeLibrary) noexcept {
  // At process end the other threads are gone and Windows takes the windows with the process.
  if (!freeLibrary) return;
  try {
    if (unit && unit->SceneForm && unit->SceneThread == GetCurrentThreadId()) {
      // A host that unloads a live scene: its windows and the player's timer point into this code,
      // so they go now. GDI+ itself is not stopped here (not safe under the loader lock).
      TfmFlashScene* form = unit->SceneForm;
      unit->SceneForm = nullptr;
      delete form;
      unit->BackgroundBitmap.reset();
      ui::Window::UnregisterUnusedClasses();
    }
    delete unit;
    unit = nullptr;
  } catch (...) {
  }
  // The log file is closed, so that the library loaded again can open and write it.
  delete GlobalLog;
  GlobalLog = nullptr;
}

void LogFailure(const wchar_t* where) noexcept {
  try {
    const std::wstring module = kSceneBuild.moduleName;
    InitLog(module, UnitExists() ? unit->LogLevel : ReadSettingInteger(L"LOGFILE", L"Log", 1));
    WriteLogNoRaise(module + L".dll: AV in " + where, 1, true);
  } catch (...) {
    // No log to write to: the failure stays inside the library all the same.
  }
}

void SetFailHook(FailHook hook) noexcept { failHook = hook; }

void FailPoint(const char* step) {
  if (failHook && failHook(step)) throw Exception(u"Failure injected at " + std::u16string(step, step + std::char_traits<char>::length(step)));
}

// ---- The background picture --------------------------------------------------------------------------

const BackgroundPicture& BackgroundPicture::StretchedTo(int width, int height) {
  if ((width == pixels.Width() && height == pixels.Height()) || width <= 0 || height <= 0) return *this;
  if (stretched_ && stretched_->pixels.Width() == width && stretched_->pixels.Height() == height) return *stretched_;
  stretched_.reset();  // the old size's copy goes before the new one is made
  try {
    ui::Image stretch;
    stretch.SetWrapMode(ui::WrapMode::Stretch);
    stretch.SetBounds(0, 0, static_cast<float>(width), static_cast<float>(height));
    stretch.SetBitmap(pixels);
    stretched_ = std::make_unique<BackgroundPicture>(ui::RenderToBitmap(stretch, width, height));
    return *stretched_;
  } catch (...) {
    // No memory for a window this large: the picture shows at its own size, and the copies of the
    // background (teardown's among them) still work.
    return *this;
  }
}

// ---- The scene form --------------------------------------------------------------------------------

TfmFlashScene::TfmFlashScene(const char16_t* movieName) : PlainForm(FormOptions()), movieName_(movieName) {
  FlashPlayer = std::make_unique<flash::TsfFlashPlayer>();
  FlashList = std::make_unique<flash::TsfFlashList>();
  flash::TsfFlashItem& movie = FlashList->Flashs.Add();
  movie.FlashStore = movieName_;
  movie.Tag = 0;
  FlashPlayer->SetFlashList(FlashList.get());
  FlashPlayer->SetSize(kSceneWidth, kSceneHeight);
  FlashPlayer->OnHandleFSCommand = [this](flash::TsfFlashPlayer*, const std::u16string& command,
                                          const std::u16string& args) {
    FlashPlayerHandleFSCommand(command, args);
  };
  FlashPlayer->OnFrame = [this] { DrawFrame(); };
  SceneBGImage = ResourceBytes(kSceneBuild.backgroundResource);
  OnEraseBackground = [this](HDC) -> LRESULT {
    // The background stays what the copies put there; nothing is erased.
    BrushBitmap = UnitExists() ? unit->BackgroundBitmap.get() : nullptr;
    return 0;
  };
}

TfmFlashScene::~TfmFlashScene() = default;

void TfmFlashScene::CreateScene() {
  Create();
  FormCreate();
}

void TfmFlashScene::FormCreate() {
  FailPoint("FormCreate");
  Unit().BackgroundBitmap =
      std::make_unique<BackgroundPicture>(ui::Bitmap::FromMemory(SceneBGImage.data(), SceneBGImage.size()));
  FitPlayerToWindow();
  CopyBackground();
  FlashPlayer->LoadMovie(0, movieName_);
  CopyBackground();
}

LRESULT TfmFlashScene::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  // Every placement of the window ends here, SceneParameters' Size and a fresh window's own size alike.
  if (msg == WM_SIZE) FitPlayerToWindow();
  return PlainForm::HandleMessage(msg, wParam, lParam);
}

void TfmFlashScene::FitPlayerToWindow() {
  if (!FlashPlayer || !HandleAllocated()) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  // The scene's frames are composed at the window's size from the stage's own (UpdateShown); the
  // player is told the new size so that it asks for a frame, which then fills the new size at once.
  FlashPlayer->SetSize(client.right - client.left, client.bottom - client.top);
}

const BackgroundPicture* TfmFlashScene::FrameBackground(int width, int height) const {
  BackgroundPicture* picture = UnitExists() ? unit->BackgroundBitmap.get() : nullptr;
  return picture ? &picture->StretchedTo(width, height) : nullptr;
}

void TfmFlashScene::CopyBackground() {
  if (!HandleAllocated()) return;
  RECT client{};
  GetClientRect(Handle(), &client);
  const BackgroundPicture* picture = FrameBackground(client.right, client.bottom);
  if (!picture) return;
  win::WindowDc dc(Handle());
  if (dc) picture->gdi.CopyTo(dc.Get(), 0, 0, picture->gdi.Width(), picture->gdi.Height());
  // The window shows the bare background now: the next frame goes onto it whole.
  if (shown_) unshown_ = {0, 0, shown_->Width(), shown_->Height()};
}

bool TfmFlashScene::UpdateShown() {
  if (!FlashPlayer || !HandleAllocated()) return false;
  RECT client{};
  GetClientRect(Handle(), &client);
  const int width = client.right - client.left, height = client.bottom - client.top;
  ui::PixelRect drawn;
  const ui::Bitmap& stage = FlashPlayer->StageFrame(&drawn);
  if (stage.Empty() || width <= 0 || height <= 0) return false;
  const flash::StageFit fit = flash::FitStage(stage.Width(), stage.Height(), width, height);
  ui::PixelRect area = flash::WindowArea(fit, drawn);
  if (!shown_ || shown_->Width() != width || shown_->Height() != height) {
    shown_ = std::make_unique<ui::Dib>(width, height);
    shownBackground_ = nullptr;
    if (!*shown_) {
      shown_.reset();
      return false;
    }
  }
  const BackgroundPicture* picture = FrameBackground(width, height);
  if (picture != shownBackground_ || !shownBackground_) {
    area = {0, 0, width, height};  // a new picture or a new size: composed whole
    shownBackground_ = picture;
  }
  if (area.Empty()) return true;
  flash::ComposeStage(shown_->Bits(), fit, stage, picture ? &picture->pixels : nullptr, area);
  unshown_ = unshown_.Empty() ? area
                              : ui::PixelRect{std::min(unshown_.left, area.left), std::min(unshown_.top, area.top),
                                              std::max(unshown_.right, area.right),
                                              std::max(unshown_.bottom, area.bottom)};
  return true;
}

ui::Bitmap TfmFlashScene::ShownFrame() {
  if (!UpdateShown()) return {};
  ui::Bitmap shown(shown_->Width(), shown_->Height());
  GdiFlush();
  std::copy_n(shown_->Bits(), static_cast<size_t>(shown_->Width()) * shown_->Height(), shown.Bits());
  return shown;
}

void TfmFlashScene::DrawFrame() {
  if (!FlashPlayer || !HandleAllocated() || !Visible()) return;
  // The movie's changes, scaled over the background once into the window's picture; only the area
  // they reach goes to the screen, and a frame where nothing changed costs nothing more.
  if (!UpdateShown() || unshown_.Empty()) return;
  const ui::PixelRect r = unshown_;
  GdiFlush();
  win::WindowDc dc(Handle());
  if (!dc) return;
  BitBlt(dc.Get(), r.left, r.top, r.right - r.left, r.bottom - r.top, shown_->Dc(), r.left, r.top, SRCCOPY);
  unshown_ = {};
}

void TfmFlashScene::FlashPlayerHandleFSCommand(const std::u16string& command, const std::u16string&) {
  try {
    FailPoint("callback");
    if (command != u"EndAnimation") return;
    if (HWND host = FindWindowW(nullptr, kHostWindowTitle)) SendNotifyMessageW(host, WM_SCENE_ENDED, 0, 0);
    // The host's handler may have run inside that call: go on only while this scene still exists.
    if (!UnitExists() || unit->SceneForm != this) return;
  } catch (...) {
    LogFailure(L"callback");
  }
}

void PlaceScene(TfmFlashScene& f, const ScenePlacement& p) {
  f.SetLeft(p.left);
  f.SetTop(p.top);
  f.SetWidth(p.width);
  f.SetHeight(p.height);
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  HRGN region = CreateRoundRectRgn(0, 0, r.right - r.left, r.bottom - r.top, kCornerEllipse, kCornerEllipse);
  if (!region) throw Exception(u"Cannot make the scene's rounded region");
  // The window owns the region once it has taken it (and frees the one before).
  if (!SetWindowRgn(f.Handle(), region, TRUE)) {
    DeleteObject(region);
    throw Exception(u"Cannot give the scene its rounded region");
  }
}

// ---- The steps of the exports ------------------------------------------------------------------------

void SceneCreateSteps() {
  SceneUnit& u = Unit();
  if (u.SceneForm) return;
  // Numbers are formatted by the library's own number forms, which always write ".": nothing of the
  // host's regional settings is read or changed.
  const SceneVariant* variant = kSceneBuild.variant;
  std::unique_ptr<TfmFlashScene> form = variant ? variant->newForm() : std::make_unique<TfmFlashScene>();
  try {
    form->CreateScene();
  } catch (...) {
    u.BackgroundBitmap.reset();  // no form, no background
    throw;
  }
  u.SceneForm = form.release();
  u.SceneThread = GetCurrentThreadId();
  FailPoint("SceneCreate");
  HWND h = u.SceneForm->Handle();
  SetWindowTextW(h, kSceneTitle);
  SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

void SceneCreateGuarded() noexcept {
  try {
    SceneCreateSteps();
  } catch (...) {
    LogFailure(L"SceneCreate");
  }
}

void SceneAnimationsStartSteps() {
  SceneUnit& u = Unit();
  if (!u.SceneForm) return;
  TfmFlashScene& f = *u.SceneForm;
  FailPoint("SceneAnimationsStart");
  SetWindowPos(f.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
  f.CopyBackground();
  if (f.FlashPlayer) f.FlashPlayer->Play();
}

void SceneAnimationsStopSteps() {
  SceneUnit& u = Unit();
  if (!u.SceneForm) return;
  TfmFlashScene& f = *u.SceneForm;
  // The scene is hidden even when the movie's "stop" fails; the failure is logged all the same.
  std::exception_ptr failure;
  try {
    FailPoint("SceneAnimationsStop");
    if (f.FlashPlayer) f.FlashPlayer->CallFunction(kStopRequest);
  } catch (...) {
    failure = std::current_exception();
  }
  SetWindowPos(f.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_HIDEWINDOW);
  if (failure) std::rethrow_exception(failure);
}

void SceneDestroySteps() {
  SceneUnit& u = Unit();
  if (!u.SceneForm) return;
  TfmFlashScene& f = *u.SceneForm;
  int step = 0;
  // Each step first passes its fail point ("SceneDestroy.<n>") and skips what is gone.
  auto next = [&] {
    static const char* const names[] = {"SceneDestroy.1", "SceneDestroy.2", "SceneDestroy.3",
                                        "SceneDestroy.4", "SceneDestroy.5", "SceneDestroy.6",
                                        "SceneDestroy.7", "SceneDestroy.8", "SceneDestroy.9",
                                        "SceneDestroy.10", "SceneDestroy.11", "SceneDestroy.12"};
    FailPoint(names[step++]);
  };
  auto unloadMovie = [&] { if (f.FlashPlayer) f.FlashPlayer->LoadMovie(0, u""); };
  auto stopPlay = [&] { if (f.FlashPlayer) f.FlashPlayer->StopPlay(); };
  auto stop = [&] { if (f.FlashPlayer) f.FlashPlayer->Stop(); };
  auto copy = [&] { f.CopyBackground(); };
  auto freeItems = [&] {
    if (!f.FlashList) return;
    auto& items = f.FlashList->Flashs;
    while (items.Count() > 0) items.Delete(items.Count() - 1);
  };
  auto close = [&] { f.Close(); };
  auto freeBackground = [&] { u.BackgroundBitmap.reset(); };
  auto freeForm = [&] {
    u.SceneForm = nullptr;
    delete &f;
    // Nothing of the scene is left: the module's classes and GDI+ can go until the next scene.
    ui::ReleaseModule();
  };

  if (kSceneBuild.teardown == TeardownOrder::Gallery) {
    // The player is freed with the form and stops its own timer then.
    next(); close();
    next(); f.BrushBitmap = nullptr;
    next(); freeBackground();
    next(); freeForm();
  } else if (kSceneBuild.teardown == TeardownOrder::First) {
    next(); unloadMovie();
    next(); stopPlay();
    next(); stop();
    next(); copy();
    next(); freeItems();
    next(); f.BrushBitmap = nullptr;
    next(); close();
    next(); freeBackground();
    next(); freeForm();
  } else {
    next(); copy();
    next(); stopPlay();
    next(); stop();
    next(); copy();
    next(); unloadMovie();
    next(); copy();
    next(); if (f.FlashPlayer) f.FlashPlayer->SetFlashList(nullptr);
    next(); freeItems();
    next(); f.FlashList.reset(); f.FlashPlayer.reset();
    next(); close();
    next(); f.BrushBitmap = nullptr; freeBackground();
    next(); freeForm();
  }
}

}  // namespace scenes
