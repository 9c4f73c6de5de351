// The base of the native movies and the module's registry of them.
#include "flash/NativeMovie.h"

#include <algorithm>

#include "core/Ascii.h"
#include "core/Exception.h"
#include "core/PictureSize.h"
#include "core/ScopeExit.h"
#include "flash/FlashList.h"
#include "flash/MovieXml.h"
#include "ui/Renderer.h"

namespace flash {

NativeMovie::NativeMovie(MovieHost& host, MovieOptions options) : host_(host), options_(options) {
  stage_.SetSize(static_cast<float>(options_.stageWidth), static_cast<float>(options_.stageHeight));
  // Placing the stage for a frame is no change of the movie's look. The area comes in the stage's
  // placement of the last frame and is kept in the stage's own coordinates.
  stage_.SetChangeSink([this](const ui::RectF& area) {
    if (rendering_) return;
    const float sx = stage_.ScaleX() > 0 ? stage_.ScaleX() : 1, sy = stage_.ScaleY() > 0 ? stage_.ScaleY() : 1;
    changed_ = changed_.Union({(area.X - stage_.X()) / sx, (area.Y - stage_.Y()) / sy, area.Width / sx, area.Height / sy});
    host_.FrameChanged();
  });
}

NativeMovie::~NativeMovie() = default;

void NativeMovie::Start() {
  OnLoad();
  wholeStageChanged_ = true;
  host_.FrameChanged();
}

void NativeMovie::SetVariable(std::u16string_view name, std::u16string_view value) {
  auto it = std::find_if(variables_.begin(), variables_.end(), [&](const auto& v) { return v.first == name; });
  if (it == variables_.end())
    variables_.emplace_back(std::u16string(name), std::u16string(value));
  else
    it->second.assign(value);
  OnVariableSet(name);
}

const std::u16string& NativeMovie::Variable(std::u16string_view name) const {
  static const std::u16string none;
  for (const auto& v : variables_)
    if (v.first == name) return v.second;
  return none;
}

std::u16string NativeMovie::Call(std::u16string_view function) {
  for (const auto& f : functions_) {
    if (f.first != function) continue;
    // A copy: the function may register functions itself.
    const auto run = f.second;
    return run();
  }
  throw Exception(u"The movie has no function " + std::u16string(function));
}

std::vector<std::u16string> NativeMovie::FunctionNames() const {
  std::vector<std::u16string> names;
  for (const auto& f : functions_) names.push_back(f.first);
  return names;
}

void NativeMovie::AddCallback(std::u16string name, std::function<std::u16string()> function) {
  for (auto& f : functions_) {
    if (f.first == name) {
      f.second = std::move(function);
      return;
    }
  }
  functions_.emplace_back(std::move(name), std::move(function));
}

void NativeMovie::FSCommand(std::u16string command, std::u16string args) {
  host_.PostCommand(std::move(command), std::move(args));
}

std::unique_ptr<XmlDocument> NativeMovie::VariableXml(std::u16string_view name) const {
  try {
    return ParseMovieXml(Variable(name));
  } catch (const std::exception&) {
    return std::make_unique<XmlDocument>();
  }
}

ui::Bitmap NativeMovie::LoadPicture(std::u16string_view name) const {
  const TsfFlashItem* file = host_.PictureFile(name);
  if (!file) return {};
  // Measured from its header before it is decoded: a decoder sizes its buffers from the header alone,
  // so a picture that claims more pixels than the budget counts as one that does not decode.
  const std::string_view bytes = file->Contents();
  if (!WithinPixelBudget(bytes)) return {};
  try {
    return ui::Bitmap::FromMemory(bytes.data(), bytes.size());
  } catch (...) {
    return {};  // a file that does not decode is no picture
  }
}

void NativeMovie::EnterFrame() {
  if (playing_) OnEnterFrame();
}

void NativeMovie::Play() {
  if (playing_) return;
  playing_ = true;
  host_.PlayingChanged();
}

void NativeMovie::Stop() {
  if (!playing_) return;
  playing_ = false;
  host_.PlayingChanged();
}

ui::Bitmap NativeMovie::Render(int width, int height) {
  ui::Bitmap frame;
  RenderInto(frame, width, height);
  return frame;
}

void NativeMovie::RenderInto(ui::Bitmap& frame, int width, int height) {
  if (width <= 0 || height <= 0) {
    frame = ui::Bitmap();
    return;
  }
  if (frame.Width() != width || frame.Height() != height) frame = ui::Bitmap(width, height);
  rendering_ = true;
  auto done = ScopeExit([&] { rendering_ = false; });
  const float sw = static_cast<float>(std::max(options_.stageWidth, 1));
  const float sh = static_cast<float>(std::max(options_.stageHeight, 1));
  const float scale = std::min(width / sw, height / sh);
  stage_.SetScale(scale, scale);
  stage_.SetPosition((width - sw * scale) / 2, (height - sh * scale) / 2);
  ui::RenderInto(stage_, frame.Bits(), width, height, width * 4);
}

ui::PixelRect NativeMovie::RenderStage(ui::Bitmap& frame) {
  const int width = options_.stageWidth, height = options_.stageHeight;
  if (width <= 0 || height <= 0) {
    frame = ui::Bitmap();
    return {};
  }
  if (frame.Width() != width || frame.Height() != height) {
    frame = ui::Bitmap(width, height);
    wholeStageChanged_ = true;
  }
  rendering_ = true;
  auto done = ScopeExit([&] { rendering_ = false; });
  stage_.SetScale(1, 1);
  stage_.SetPosition(0, 0);
  ui::PixelRect drawn;
  if (wholeStageChanged_)
    drawn = ui::RenderInto(stage_, frame.Bits(), width, height, width * 4);
  else if (!changed_.Empty())
    drawn = ui::RenderInto(stage_, frame.Bits(), width, height, width * 4, &changed_);
  // The changes are forgotten only once drawn: after a failure they are drawn next time.
  changed_ = {};
  wholeStageChanged_ = false;
  return drawn;
}

// --- Registry ------------------------------------------------------------------------------------

namespace {

struct Registered {
  unsigned id;
  std::u16string name;
  MovieFactory factory;
};

std::vector<Registered>& Registry() {
  static std::vector<Registered> registry;
  return registry;
}

}  // namespace

MovieRegistration::MovieRegistration(std::u16string name, MovieFactory factory) {
  static unsigned lastId = 0;
  id_ = ++lastId;
  Registry().push_back({id_, std::move(name), std::move(factory)});
}

MovieRegistration::~MovieRegistration() {
  auto& r = Registry();
  r.erase(std::remove_if(r.begin(), r.end(), [this](const Registered& e) { return e.id == id_; }), r.end());
}

std::unique_ptr<NativeMovie> CreateNativeMovie(std::u16string_view name, MovieHost& host) {
  const auto& r = Registry();
  for (auto it = r.rbegin(); it != r.rend(); ++it) {
    if (AsciiEqualsNoCase(std::u16string_view(it->name), name)) {
      // A copy: the factory may register or unregister movies itself.
      const MovieFactory factory = it->factory;
      return factory(host);
    }
  }
  return nullptr;
}

}  // namespace flash
