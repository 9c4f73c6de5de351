// The player and its hidden window. The window is a message-only window of the UI layer's window
// machinery: it belongs to the thread that made the player and carries the player's two private
// messages, one for the next movie command and one for a new frame.
#include "flash/FlashPlayer.h"

#include <windows.h>

#include <algorithm>

#include "flash/MovieXml.h"
#include "ui/Window.h"

namespace flash {
namespace {

constexpr UINT kCommandMessage = WM_APP + 1;
constexpr UINT kFrameMessage = WM_APP + 2;

}  // namespace

class TsfFlashPlayer::CommandWindow : public ui::Window {
 public:
  explicit CommandWindow(TsfFlashPlayer& player) : player_(player) {
    ui::WindowParams params;
    params.className = L"ZebFlashPlayer";
    params.style = 0;
    params.owner = HWND_MESSAGE;
    CreateHandle(params);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    switch (msg) {
      case kCommandMessage: player_.DeliverCommand(); return 0;
      case kFrameMessage: player_.DeliverFrame(); return 0;
      default: return DefaultProc(msg, wParam, lParam);
    }
  }

 private:
  TsfFlashPlayer& player_;
};

TsfFlashPlayer::TsfFlashPlayer() : window_(std::make_unique<CommandWindow>(*this)) {
  timer_.OnTimer = [this] {
    if (movie_) movie_->EnterFrame();
  };
}

// The members go in reverse order: the timer stops before the movie goes, the window (with the
// messages still posted to it) last.
TsfFlashPlayer::~TsfFlashPlayer() = default;

void TsfFlashPlayer::LoadMovie(int layer, std::u16string_view name) {
  if (layer != 0) return;
  timer_.SetEnabled(false);
  movie_.reset();
  FrameChanged();  // without a movie the next frame is empty
  const TsfFlashItem* file = list_ ? list_->FindFile(name) : nullptr;
  if (!file) return;
  std::unique_ptr<NativeMovie> movie = CreateNativeMovie(file->FlashStore, *this);
  if (!movie) return;
  movie_ = std::move(movie);
  try {
    movie_->Start();
  } catch (...) {
    movie_.reset();  // a movie that failed to start is no movie
    throw;
  }
  PlayingChanged();
}

void TsfFlashPlayer::SetVariable(std::u16string_view name, std::u16string_view value) {
  if (movie_) movie_->SetVariable(name, value);
}

std::u16string TsfFlashPlayer::CallFunction(std::u16string_view request) {
  if (!movie_) return {};
  return movie_->Call(InvokeFunctionName(request));
}

void TsfFlashPlayer::Play() {
  if (movie_) movie_->Play();
}

void TsfFlashPlayer::Stop() {
  if (movie_) movie_->Stop();
}

void TsfFlashPlayer::StopPlay() { Stop(); }

bool TsfFlashPlayer::IsPlaying() const noexcept { return movie_ && movie_->Playing(); }

void TsfFlashPlayer::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  if (movie_) FrameChanged();
}

const ui::Bitmap& TsfFlashPlayer::CurrentFrame() {
  if (!movie_) {
    frame_ = ui::Bitmap();
    return frame_;
  }
  const bool own = width_ > 0 && height_ > 0;
  const int w = own ? width_ : movie_->StageWidth();
  const int h = own ? height_ : movie_->StageHeight();
  if (frameDirty_ || frame_.Width() != w || frame_.Height() != h) {
    movie_->RenderInto(frame_, w, h);
    frameDirty_ = false;
  }
  return frame_;
}

const ui::Bitmap& TsfFlashPlayer::StageFrame(ui::PixelRect* drawn) {
  if (drawn) *drawn = {};
  if (!movie_) {
    stageFrame_ = ui::Bitmap();
    return stageFrame_;
  }
  const ui::PixelRect r = movie_->RenderStage(stageFrame_);
  if (drawn) *drawn = r;
  return stageFrame_;
}

ui::Bitmap TsfFlashPlayer::TakeFrame() {
  CurrentFrame();
  ui::Bitmap frame = std::move(frame_);
  DropFrame();
  return frame;
}

void TsfFlashPlayer::DropFrame() {
  frame_ = ui::Bitmap();
  frameDirty_ = true;
}

const TsfFlashItem* TsfFlashPlayer::PictureFile(std::u16string_view name) const {
  return list_ ? list_->FindPicture(name) : nullptr;
}

void TsfFlashPlayer::PostCommand(std::u16string command, std::u16string args) {
  commands_.emplace_back(std::move(command), std::move(args));
  Post(kCommandMessage, commandPosted_);
}

void TsfFlashPlayer::FrameChanged() {
  frameDirty_ = true;
  Post(kFrameMessage, framePosted_);
}

void TsfFlashPlayer::PlayingChanged() {
  if (!movie_) return;
  timer_.SetInterval(std::max(1u, 1000u / std::max(1u, movie_->FrameRate())));
  timer_.SetEnabled(movie_->Playing());
}

// One message at a time is on its way; a message that could not be posted is tried again with the
// next command or change.
void TsfFlashPlayer::Post(unsigned message, bool& posted) {
  if (posted || !window_->HandleAllocated()) return;
  posted = PostMessageW(window_->Handle(), message, 0, 0) != 0;
}

void TsfFlashPlayer::DeliverCommand() {
  commandPosted_ = false;
  if (commands_.empty()) return;
  const auto [command, args] = std::move(commands_.front());
  commands_.pop_front();
  if (!commands_.empty()) Post(kCommandMessage, commandPosted_);
  // The handler may destroy the player: nothing of it is touched after the call.
  if (const auto handler = OnHandleFSCommand) handler(this, command, args);
}

void TsfFlashPlayer::DeliverFrame() {
  framePosted_ = false;
  if (const auto handler = OnFrame) handler();
}

}  // namespace flash
