#pragma once
// A native movie: a C++ object in place of a movie file, drawing its frames with the UI layer's
// controls. It has what the programs talk to in a movie (named text variables, functions registered
// by name, commands sent back to the player's owner, a timeline that plays or stands still) and gets
// its pictures from the player's in-memory files.
//
// Its look is the control tree under Stage(), laid out at the movie's stage size; a frame shows all of
// the stage, scaled evenly to fit the frame and centred in it. Every change to the tree tells the
// player that a new frame is due.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Xml.h"
#include "ui/Bitmap.h"
#include "ui/Controls.h"
#include "ui/Renderer.h"

namespace flash {

struct TsfFlashItem;

// What a movie gets from the player that runs it.
class MovieHost {
 public:
  // The picture file served for this bare name, or null (FlashList.h gives the rules).
  virtual const TsfFlashItem* PictureFile(std::u16string_view name) const = 0;
  // Keeps a command for the player's owner; it is delivered later, from the message loop.
  virtual void PostCommand(std::u16string command, std::u16string args) = 0;
  // The movie's look changed, or it started or stopped playing.
  virtual void FrameChanged() = 0;
  virtual void PlayingChanged() = 0;

 protected:
  ~MovieHost() = default;
};

struct MovieOptions {
  int stageWidth = 550;
  int stageHeight = 400;
  unsigned frameRate = 24;  // frames per second while playing
};

class NativeMovie {
 public:
  NativeMovie(MovieHost& host, MovieOptions options);
  virtual ~NativeMovie();
  NativeMovie(const NativeMovie&) = delete;
  NativeMovie& operator=(const NativeMovie&) = delete;

  // --- The player's side ---
  // Runs the movie's start (OnLoad) once, after construction. A movie plays from its start unless it
  // stops itself there.
  void Start();
  void SetVariable(std::u16string_view name, std::u16string_view value);
  // Runs the function registered under this name (names are case-sensitive) to its end and returns
  // its text. Raises Exception when the movie registered no such function.
  std::u16string Call(std::u16string_view function);
  // One frame of the timeline; the player calls it at the frame rate while the movie plays.
  void EnterFrame();
  // The current frame at this size.
  ui::Bitmap Render(int width, int height);
  // The same into `frame`, whose pixels are reused when it has this size already (a new picture costs
  // more than drawing a frame).
  void RenderInto(ui::Bitmap& frame, int width, int height);
  // The stage at its own size into `frame`, kept by the caller between frames: only the areas of the
  // stage that changed since the last call are drawn anew (all of it into a frame of another size).
  // Returns the stage pixels drawn; empty when nothing changed.
  ui::PixelRect RenderStage(ui::Bitmap& frame);

  void Play();
  void Stop();
  bool Playing() const noexcept { return playing_; }
  unsigned FrameRate() const noexcept { return options_.frameRate; }
  int StageWidth() const noexcept { return options_.stageWidth; }
  int StageHeight() const noexcept { return options_.stageHeight; }

  // A variable's text; empty when it was never set.
  const std::u16string& Variable(std::u16string_view name) const;
  // The names of the registered functions, in the order first registered.
  std::vector<std::u16string> FunctionNames() const;

 protected:
  // --- The movie's side ---
  virtual void OnLoad() {}
  virtual void OnEnterFrame() {}
  // After SetVariable from the player has replaced the text.
  virtual void OnVariableSet(std::u16string_view name) {}

  // A function that the player can call by name; a second registration of a name replaces the first.
  void AddCallback(std::u16string name, std::function<std::u16string()> function);
  // A command to the player's owner (delivered later, from the message loop).
  void FSCommand(std::u16string command, std::u16string args = {});
  // The variable's text read as XML; a text that does not parse gives an empty document.
  std::unique_ptr<XmlDocument> VariableXml(std::u16string_view name) const;
  // The picture served for this bare name, decoded into a copy of the movie's own (it stays when the
  // file leaves the player's list). Empty when the name is not served, the file is no picture, or its
  // header claims more pixels than the pixel budget (core/PictureSize.h).
  ui::Bitmap LoadPicture(std::u16string_view name) const;

  ui::Layout& Stage() noexcept { return stage_; }

 private:
  MovieHost& host_;
  MovieOptions options_;
  bool playing_ = true;
  bool rendering_ = false;
  ui::Layout stage_;
  // What changed since the last RenderStage, in stage coordinates; the whole stage at first.
  ui::RectF changed_;
  bool wholeStageChanged_ = true;
  std::vector<std::pair<std::u16string, std::u16string>> variables_;
  std::vector<std::pair<std::u16string, std::function<std::u16string()>>> functions_;
};

// The native movies a module carries, by the file name each stands in for ("check.swf"). A
// registration lasts as long as its object; the latest living registration of a name wins. Names are
// matched without regard to the case of ASCII letters, as the player matches file names.
using MovieFactory = std::function<std::unique_ptr<NativeMovie>(MovieHost& host)>;

class MovieRegistration {
 public:
  MovieRegistration(std::u16string name, MovieFactory factory);
  ~MovieRegistration();
  MovieRegistration(const MovieRegistration&) = delete;
  MovieRegistration& operator=(const MovieRegistration&) = delete;

 private:
  unsigned id_;
};

// A new movie of this name, or null when no native movie implements it.
std::unique_ptr<NativeMovie> CreateNativeMovie(std::u16string_view name, MovieHost& host);

}  // namespace flash
