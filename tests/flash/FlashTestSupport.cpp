#include <gtest/gtest.h>

#include "FlashTestSupport.h"

#include "ui/Color.h"

RecordingMovie::RecordingMovie(flash::MovieHost& host)
    : NativeMovie(host, flash::MovieOptions{.stageWidth = 100, .stageHeight = 50, .frameRate = 50}) {
  ui::Rectangle& red = Stage().Add<ui::Rectangle>();
  red.SetBounds(0, 0, 50, 50);
  red.SetFill(ui::Fill::Solid(ui::Rgb(0xFF0000)));
  red.SetStroke(ui::Stroke::None());
  ui::Rectangle& blue = Stage().Add<ui::Rectangle>();
  blue.SetBounds(50, 0, 50, 50);
  blue.SetFill(ui::Fill::Solid(0x800000FFu));
  blue.SetStroke(ui::Stroke::None());
  picture = &Stage().Add<ui::Image>();
  picture->SetBounds(10, 10, 20, 20);
  picture->SetWrapMode(ui::WrapMode::Stretch);
}

void RecordingMovie::OnLoad() {
  for (const char16_t* name : {u"updateTitle", u"other"}) {
    const std::u16string function = name;
    AddCallback(function, [this, function] {
      events.push_back(u"call " + function);
      return u"done " + function;
    });
  }
  AddCallback(u"emit", [this] {
    FSCommand(u"a", u"1");
    FSCommand(u"b", u"2");
    FSCommand(u"a", u"3");
    return std::u16string();
  });
  AddCallback(u"showPicture", [this] {
    picture->SetBitmap(LoadPicture(Variable(u"Picture")));
    return std::u16string();
  });
  Stop();
}

void RecordingMovie::OnVariableSet(std::u16string_view name) {
  events.push_back(u"set " + std::u16string(name) + u"=" + Variable(name));
}

std::string PngBytes(int width, int height, uint32_t argb) {
  ui::Bitmap b(width, height);
  for (int i = 0; i < width * height; ++i) b.Bits()[i] = argb;
  const std::vector<unsigned char> png = b.EncodePng();
  return std::string(png.begin(), png.end());
}
