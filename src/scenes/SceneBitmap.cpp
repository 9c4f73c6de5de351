// The host's picture object: a table of functions first, then the size and the pixels, all of it
// allocated by this library and freed by its own Free, so that a host built with another runtime can
// free it.
#include "scenes/SceneBitmap.h"

#include <cstring>
#include <memory>
#include <new>

#include "core/Xml.h"

namespace scenes {
namespace {

struct SceneBitmapObject : ZebSceneBitmap {
  int width;
  int height;
  DWORD* pixels;
};

const SceneBitmapObject* Self(const ZebSceneBitmap* b) { return static_cast<const SceneBitmapObject*>(b); }

void __stdcall Free(ZebSceneBitmap* b) {
  if (!b) return;
  auto* o = static_cast<SceneBitmapObject*>(b);
  delete[] o->pixels;
  delete o;
}
int __stdcall Width(const ZebSceneBitmap* b) { return b ? Self(b)->width : 0; }
int __stdcall Height(const ZebSceneBitmap* b) { return b ? Self(b)->height : 0; }
const DWORD* __stdcall Pixels(const ZebSceneBitmap* b) { return b ? Self(b)->pixels : nullptr; }

const ZebSceneBitmapFunctions kFunctions = {&Free, &Width, &Height, &Pixels};

}  // namespace

ZebSceneBitmap* NewSceneBitmap(int width, int height, const uint32_t* pixels) noexcept {
  if (width <= 0 || height <= 0 || !pixels) width = height = 0;
  auto* o = new (std::nothrow) SceneBitmapObject;
  if (!o) return nullptr;
  o->functions = &kFunctions;
  o->width = width;
  o->height = height;
  o->pixels = nullptr;
  if (width > 0) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    o->pixels = new (std::nothrow) DWORD[count];
    if (!o->pixels) {
      delete o;
      return nullptr;
    }
    std::memcpy(o->pixels, pixels, count * sizeof(DWORD));
  }
  return o;
}

const std::u16string& DefaultParametersText() {
  static const std::u16string text = [] {
    auto doc = XmlDocument::Create(u"SceneParameters", u"1.0", u"UTF-8");
    XmlNode* size = doc->Root()->AppendElement(u"Size");
    size->SetAttrInt(u"PosX", 0);
    size->SetAttrInt(u"PosY", 0);
    size->SetAttrInt(u"Width", 690);
    size->SetAttrInt(u"Height", 758);
    XmlNode* parameters = doc->Root()->AppendElement(u"parameters");
    parameters->SetAttrInt(u"DishCode", 0);
    parameters->SetAttr(u"ShowText", u"СЫРНОЕ ОБОСТРЕНИЕ!");
    parameters->SetAttr(u"CurrencyText", u"РУБ.");
    parameters->SetAttr(u"PlateText", u"ВСЕГО ЗА");
    return doc->Xml();
  }();
  return text;
}

}  // namespace scenes
