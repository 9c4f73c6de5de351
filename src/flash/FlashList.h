#pragma once
// The player's in-memory files: an ordered collection of named files (a movie, the pictures it shows),
// and the rules by which the player answers a movie's request for a file by its bare name.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace flash {

struct TsfFlashItem {
  std::u16string FlashStore;  // the file's name, as the movie asks for it
  int Tag = 0;
  std::string Bytes;          // the file's contents, unless Shared holds them
  // Contents held together with other items (the gallery's items of one picture file); Bytes is then
  // empty. The movie reads an item through Contents().
  std::shared_ptr<const std::string> Shared;
  std::string_view Contents() const noexcept { return Shared ? std::string_view(*Shared) : std::string_view(Bytes); }
};

class TsfFlashList {
 public:
  // The items in order. Items live apart from each other: adding an item never moves the others.
  class Collection {
   public:
    // A new empty item at the end (its index is Count() - 1).
    TsfFlashItem& Add();
    // Frees the item; the items behind it move up by one. Raises Exception for an index out of range.
    void Delete(size_t index);
    size_t Count() const noexcept { return items_.size(); }
    // Raises Exception for an index out of range.
    TsfFlashItem& operator[](size_t index);
    const TsfFlashItem& operator[](size_t index) const;

   private:
    void Check(size_t index) const;
    std::vector<std::unique_ptr<TsfFlashItem>> items_;
  };
  Collection Flashs;

  // The file a movie gets for a bare name: the first item, from index 0, whose name equals it without
  // regard to the case of ASCII letters; null when none does.
  const TsfFlashItem* FindFile(std::u16string_view name) const noexcept;
  // The same for a picture: only names that contain ".jpg" or ".png" written in lower case are served
  // ("photo.JPG" never is, whatever the list holds).
  const TsfFlashItem* FindPicture(std::u16string_view name) const noexcept;
};

}  // namespace flash
