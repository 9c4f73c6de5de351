#pragma once
// Storage of one XML document, private to the XML layer: nodes, their child and attribute lists and
// their texts are carved from large blocks. A load fills the blocks front to back; lists, texts and
// nodes that the programs later outgrow or remove go to free lists by size, so that a rebuilt part of
// a document reuses the memory. The nodes own nothing else, so clearing a document frees the blocks
// and visits no node.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "core/Xml.h"

struct XmlArena {
  static_assert(std::is_trivially_destructible_v<XmlNode>, "nodes are dropped with their blocks");
  static_assert(std::is_trivially_copyable_v<XmlNode::Attribute>, "attribute lists are copied as bytes");
  static constexpr size_t Grain = 8;  // every piece is aligned to, and a multiple of, this many bytes
  static_assert(alignof(XmlNode) <= Grain && sizeof(void*) <= Grain, "pieces hold nodes and links");
  static constexpr size_t FirstBlock = 4096;
  static constexpr size_t LargestBlock = size_t{4} << 20;

  // Two streams fill the blocks: texts apart from the rest, so that a list being read (the attributes
  // of a start tag) can grow in place while its names and values are decoded.
  enum Stream { Items, Texts };

  // Room for at least `bytes`, aligned to Grain, taken from the front of the stream's block.
  void* Bump(size_t bytes, Stream stream = Items) {
    if (bytes > SIZE_MAX - Grain) throw std::bad_alloc();
    bytes = (bytes + Grain - 1) & ~(Grain - 1);
    Cursor& c = cursors_[stream];
    if (static_cast<size_t>(c.end - c.next) < bytes) return NewBlock(bytes, c);
    void* p = c.next;
    c.next += bytes;
    return p;
  }
  // Gives back the end of the latest Bump(bumped, stream) at p that stayed unused.
  void Trim(void* p, size_t bumped, size_t used, Stream stream) noexcept {
    auto* start = static_cast<std::byte*>(p);
    Cursor& c = cursors_[stream];
    if (start + ((bumped + Grain - 1) & ~(Grain - 1)) == c.next) c.next = start + ((used + Grain - 1) & ~(Grain - 1));
  }
  template <typename T>
  T* BumpArray(size_t count, Stream stream = Items) {
    if (count > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(Bump(count * sizeof(T), stream));
  }
  // Room for one more T after the `count` at `list` (room for `capacity`), a list of the items
  // stream that grows while nothing else is taken from it: in place while it ends at the front of
  // the stream, else moved to a new list of twice the room.
  template <typename T>
  T* Extend(T* list, size_t count, size_t& capacity) {
    static_assert(sizeof(T) % Grain == 0 && std::is_trivially_copyable_v<T>);
    if (count < capacity) return list;
    Cursor& c = cursors_[Items];
    if (list && reinterpret_cast<std::byte*>(list + count) == c.next &&
        static_cast<size_t>(c.end - c.next) >= sizeof(T)) {
      c.next += sizeof(T);
      ++capacity;
      return list;
    }
    const size_t room = std::max<size_t>(4, 2 * count);
    T* moved = BumpArray<T>(room);
    if (count) std::memcpy(static_cast<void*>(moved), list, count * sizeof(T));
    capacity = room;
    return moved;
  }

  // A piece of at least `bytes` (its whole size in `granted`), reused from the free lists when one is
  // there; Release takes back any piece, whatever its origin, by the bytes known to be in it.
  void* Allocate(size_t bytes, size_t& granted) {
    size_t k = 0;
    while ((Grain << k) < bytes) {
      if (++k == Classes) throw std::bad_alloc();
    }
    granted = Grain << k;
    if (void* p = free_[k]) {
      std::memcpy(&free_[k], p, sizeof(void*));
      return p;
    }
    return Bump(granted, Texts);
  }
  void Release(void* p, size_t bytes) noexcept {
    if (!p || bytes < Grain) return;
    size_t k = 0;
    while (k + 1 < Classes && (Grain << (k + 1)) <= bytes) ++k;
    std::memcpy(p, &free_[k], sizeof(void*));
    free_[k] = p;
  }

  XmlNode* NewNode(XmlNodeType type, XmlDocument* document, XmlNode* parent) {
    void* slot = freeNodes_;
    if (slot) std::memcpy(&freeNodes_, slot, sizeof(void*));
    else slot = Bump(sizeof(XmlNode));
    return new (slot) XmlNode(type, document, parent);
  }
  // The node's lists and own texts go to the free lists, then the node itself.
  void ReleaseNode(XmlNode* node) noexcept {
    for (uint32_t i = 0; i < node->attrCount_; ++i) {
      ReleaseText(node->attrs_[i].name);
      ReleaseText(node->attrs_[i].value);
    }
    Release(node->attrs_, size_t{node->attrCapacity_} * sizeof(XmlNode::Attribute));
    Release(node->children_, size_t{node->childCapacity_} * sizeof(XmlNode*));
    ReleaseText(node->name_);
    ReleaseText(node->text_);
    std::memcpy(static_cast<void*>(node), &freeNodes_, sizeof(void*));
    freeNodes_ = node;
  }
  void ReleaseText(const XmlNode::Text16& text) noexcept { Release(text.data, size_t{text.capacity} * 2); }

  // The list at `items` (count used, room for capacity) with room for one more; a new list takes the
  // items over and the old one is released.
  template <typename T>
  T* Grow(T* items, uint32_t count, uint32_t& capacity) {
    if (count < capacity) return items;
    if (count == UINT32_MAX) throw std::length_error("XML list too long");
    size_t granted;
    size_t want = std::max<size_t>(4, size_t{count} * 2);
    if (want > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    T* fresh = static_cast<T*>(Allocate(want * sizeof(T), granted));
    if (count) std::memcpy(static_cast<void*>(fresh), items, count * sizeof(T));
    Release(items, size_t{capacity} * sizeof(T));
    capacity = static_cast<uint32_t>(std::min<size_t>(granted / sizeof(T), UINT32_MAX));
    return fresh;
  }

  // Blocks of at least this size from now on (a load sizes them by its text).
  void Expect(size_t bytes) noexcept { blockSize_ = std::max(blockSize_, std::min(bytes, LargestBlock)); }

  // Everything goes, the blocks too.
  void Reset() noexcept {
    blocks_.clear();
    cursors_[Items] = cursors_[Texts] = {};
    blockSize_ = FirstBlock;
    freeNodes_ = nullptr;
    for (void*& f : free_) f = nullptr;
  }

 private:
  struct Cursor {
    std::byte* next = nullptr;
    std::byte* end = nullptr;
  };

  void* NewBlock(size_t bytes, Cursor& c) {
    // A piece larger than a quarter block gets a block of its own; the current block stays.
    if (bytes > blockSize_ / 4) {
      blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(bytes));
      return blocks_.back().get();
    }
    blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize_));
    c.next = blocks_.back().get();
    c.end = c.next + blockSize_;
    blockSize_ = std::min(blockSize_ * 2, LargestBlock);
    void* p = c.next;
    c.next += bytes;
    return p;
  }

  static constexpr size_t Classes = 8 * sizeof(size_t) - 4;
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  Cursor cursors_[2];
  size_t blockSize_ = FirstBlock;
  void* freeNodes_ = nullptr;
  void* free_[Classes] = {};  // list k: pieces of at least Grain << k bytes
};
