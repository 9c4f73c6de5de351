#pragma once
// The movie player: takes a movie by name from its in-memory file list and runs it. A native movie
// (NativeMovie.h) stands in for each movie file the programs carry. Without a movie (the name is not
// in the list, or no native movie implements it) the player is inert: every call does nothing and
// CallFunction returns an empty text, as the programs expect of a computer without the player.
//
// Movie commands are never delivered inside a call into the movie: the player keeps them, posts a
// message to its own hidden window, and OnHandleFSCommand runs later from the message loop of the
// thread that made the player, one command per message, all of them, in the order sent. A player
// that is destroyed drops the commands it still keeps.
//
// Frames: the movie's look is drawn at the player's size (the movie's stage size until one is set).
// After the movie's look changes (or the movie goes), OnFrame runs from the message loop once for the
// changes made meanwhile; CurrentFrame then gives the new frame.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "flash/FlashList.h"
#include "flash/NativeMovie.h"
#include "ui/Bitmap.h"
#include "ui/Timer.h"

namespace flash {

class TsfFlashPlayer : private MovieHost {
 public:
  // Makes the player's hidden window on the calling thread; raises Exception when it cannot.
  TsfFlashPlayer();
  ~TsfFlashPlayer();
  TsfFlashPlayer(const TsfFlashPlayer&) = delete;
  TsfFlashPlayer& operator=(const TsfFlashPlayer&) = delete;

  // The in-memory files that movies and pictures come from; none by default. The list must outlive
  // its use by the player.
  TsfFlashList* FlashList() const noexcept { return list_; }
  void SetFlashList(TsfFlashList* list) noexcept { list_ = list; }

  // Unloads the movie there is and starts the movie of this name from the list (layer 0 only; another
  // layer changes nothing). Without such a movie the player is inert from now on.
  void LoadMovie(int layer, std::u16string_view name);
  // Replaces a movie variable's text.
  void SetVariable(std::u16string_view name, std::u16string_view value);
  // Runs the movie function that the request `<invoke name="..." returntype="..."><arguments />
  // </invoke>` names, to its end, and returns its text. Raises Exception for a request that does not
  // parse or names no function of the movie.
  std::u16string CallFunction(std::u16string_view request);
  void Play();
  // Both stop the timeline where it stands; Play goes on from there.
  void Stop();
  void StopPlay();
  bool IsPlaying() const noexcept;

  // The loaded movie, or null when the player is inert.
  NativeMovie* Movie() const noexcept { return movie_.get(); }

  // The size of the frames; 0 for the movie's stage size.
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  void SetSize(int width, int height);
  // The frame as the movie looks now (drawn when something changed since the last); empty when inert.
  const ui::Bitmap& CurrentFrame();
  // A new picture of the current frame.
  ui::Bitmap GrabToBmp() { return CurrentFrame(); }
  // The current frame handed over: the player keeps no copy, and the next frame is drawn anew.
  ui::Bitmap TakeFrame();
  // Lets the kept frame go (the next one is drawn anew).
  void DropFrame();
  // The movie's frame at its own stage size, kept between calls and drawn anew only where the movie
  // changed since the last call; `drawn` gets those stage pixels (empty when nothing changed, the
  // whole stage after a new movie). Empty when inert. Independent of CurrentFrame.
  const ui::Bitmap& StageFrame(ui::PixelRect* drawn = nullptr);

  std::function<void(TsfFlashPlayer* sender, const std::u16string& command, const std::u16string& args)>
      OnHandleFSCommand;
  std::function<void()> OnFrame;

 private:
  class CommandWindow;
  // MovieHost
  const TsfFlashItem* PictureFile(std::u16string_view name) const override;
  void PostCommand(std::u16string command, std::u16string args) override;
  void FrameChanged() override;
  void PlayingChanged() override;

  void DeliverCommand();
  void DeliverFrame();
  void Post(unsigned message, bool& posted);

  TsfFlashList* list_ = nullptr;
  std::unique_ptr<CommandWindow> window_;
  std::unique_ptr<NativeMovie> movie_;
  ui::Timer timer_;
  std::deque<std::pair<std::u16string, std::u16string>> commands_;
  bool commandPosted_ = false;
  bool framePosted_ = false;
  bool frameDirty_ = true;
  ui::Bitmap frame_;
  ui::Bitmap stageFrame_;
  int width_ = 0, height_ = 0;
};

}  // namespace flash
