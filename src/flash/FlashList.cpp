#include "flash/FlashList.h"

#include "core/Ascii.h"
#include "core/Exception.h"

namespace flash {

TsfFlashItem& TsfFlashList::Collection::Add() {
  items_.push_back(std::make_unique<TsfFlashItem>());
  return *items_.back();
}

void TsfFlashList::Collection::Delete(size_t index) {
  Check(index);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

TsfFlashItem& TsfFlashList::Collection::operator[](size_t index) {
  Check(index);
  return *items_[index];
}

const TsfFlashItem& TsfFlashList::Collection::operator[](size_t index) const {
  Check(index);
  return *items_[index];
}

void TsfFlashList::Collection::Check(size_t index) const {
  if (index >= items_.size()) throw Exception(u"List index out of bounds");
}

const TsfFlashItem* TsfFlashList::FindFile(std::u16string_view name) const noexcept {
  for (size_t i = 0; i < Flashs.Count(); ++i) {
    const TsfFlashItem& item = Flashs[i];
    if (AsciiEqualsNoCase(std::u16string_view(item.FlashStore), name)) return &item;
  }
  return nullptr;
}

const TsfFlashItem* TsfFlashList::FindPicture(std::u16string_view name) const noexcept {
  if (name.find(u".jpg") == std::u16string_view::npos && name.find(u".png") == std::u16string_view::npos)
    return nullptr;
  return FindFile(name);
}

}  // namespace flash
