// The XML loader: picks the code page from the declaration and builds the tree in one pass over the
// bytes, with an explicit stack of open elements, so that nesting depth costs heap, never the call
// stack. Markup is ASCII in every supported encoding but ISO-2022-JP (whose text is re-encoded as
// UTF-8 first), so only names, values and texts are decoded, straight into the document's arena. Only
// the five predefined entities exist, so no reference can expand into more text than it occupies.
#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/Ascii.h"
#include "core/CodePageTables.h"
#include "core/CodePages.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"
#include "core/XmlArena.h"

namespace {
// What the loader asks of a byte. Every byte from 0x80 up is part of a character beyond ASCII, which
// is a name character.
enum : uint8_t { kSpace = 1, kNameStart = 2, kNameChar = 4, kHigh = 8, kAmp = 16, kLess = 32 };
constexpr std::array<uint8_t, 256> kClasses = [] {
  std::array<uint8_t, 256> t{};
  for (int c = 0; c < 256; ++c) {
    uint8_t f = 0;
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') f |= kSpace;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80)
      f |= kNameStart | kNameChar;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') f |= kNameChar;
    if (c >= 0x80) f |= kHigh;
    if (c == '&') f |= kAmp;
    if (c == '<') f |= kLess;
    t[static_cast<size_t>(c)] = f;
  }
  return t;
}();
uint8_t ClassOf(char c) { return kClasses[static_cast<unsigned char>(c)]; }

// Eight bytes at once: ZeroByte(w ^ kOnes * b) is not zero when a byte of w is b.
constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;
uint64_t ZeroByte(uint64_t w) { return (w - kOnes) & ~w & kHighBits; }

// Equal runs of bytes, compared in place with whole words, the last one overlapping: names are
// short, and a library call costs more than they.
template <typename T>
T Load(const char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
// Masks of the first n of sixteen bytes, n = 0..16.
constexpr auto kNameMasks = [] {
  std::array<std::array<char, 16>, 17> m{};
  for (size_t n = 0; n <= 16; ++n)
    for (size_t k = 0; k < n; ++k) m[n][k] = static_cast<char>(0xFF);
  return m;
}();
bool SameBytes(const char* a, const char* b, size_t n) {
  if (n >= 8) {
    for (; n > 8; n -= 8, a += 8, b += 8)
      if (Load<uint64_t>(a) != Load<uint64_t>(b)) return false;
    return Load<uint64_t>(a + n - 8) == Load<uint64_t>(b + n - 8);
  }
  if (n >= 4) return Load<uint32_t>(a) == Load<uint32_t>(b) && Load<uint32_t>(a + n - 4) == Load<uint32_t>(b + n - 4);
  for (; n > 0; --n)
    if (*a++ != *b++) return false;
  return true;
}

// The encoding named by a declaration at the very start of the bytes, read before decoding: every
// supported encoding writes the declaration in ASCII. Returns the code page to decode with.
int CodePageFromBytes(std::string_view bytes) {
  if (bytes.substr(0, 5) != "<?xml" || bytes.size() < 6 ||
      !(bytes[5] == ' ' || bytes[5] == '\t' || bytes[5] == '\r' || bytes[5] == '\n' || bytes[5] == '?'))
    return codepage::Latin1Bytes;  // no declaration: each byte is the character of the same number
  size_t end = bytes.find("?>");
  std::string_view decl = bytes.substr(0, end);
  size_t at = decl.find("encoding");
  while (at != std::string_view::npos) {
    size_t p = at + 8;
    bool boundary = at > 0 && (decl[at - 1] == ' ' || decl[at - 1] == '\t' || decl[at - 1] == '\r' ||
                               decl[at - 1] == '\n');
    while (p < decl.size() && (decl[p] == ' ' || decl[p] == '\t' || decl[p] == '\r' || decl[p] == '\n')) ++p;
    if (boundary && p < decl.size() && decl[p] == '=') {
      ++p;
      while (p < decl.size() && (decl[p] == ' ' || decl[p] == '\t' || decl[p] == '\r' || decl[p] == '\n')) ++p;
      if (p < decl.size() && (decl[p] == '"' || decl[p] == '\'')) {
        size_t close = decl.find(decl[p], p + 1);
        if (close == std::string_view::npos) break;  // the parser reports the broken declaration
        std::u16string name = Ascii(decl.substr(p + 1, close - p - 1));
        auto cp = CodePageOfEncodingName(name);
        if (!cp)
          throw Exception(u"Unsupported XML encoding \"" + name + u"\" at offset " +
                          Ascii(std::to_string(p + 1)));
        return *cp;
      }
    }
    at = decl.find("encoding", at + 1);
  }
  return codepage::Utf8;  // a declaration without encoding
}
}  // namespace

class XmlParser {
 public:
  // `bytes` stay the caller's; names, values and texts are decoded into the document's arena: UTF-8
  // when `high` is null, else a single-byte page whose bytes from 0x80 up give high[byte - 0x80].
  // `unitOffsets`: error offsets count UTF-16 units instead of bytes.
  XmlParser(XmlDocument& doc, std::string_view bytes, const char16_t* high, bool unitOffsets)
      : doc_(doc), arena_(*doc.arena_), s_(bytes), d_(bytes.data()), n_(bytes.size()), high_(high),
        unitOffsets_(unitOffsets) {}

  void Run() {
    XmlNode* const top = &doc_.top_;
    XmlNode* current = top;
    open_.push_back({top, {0, 0, true}, 0});
    while (p_ < n_) {
      if (d_[p_] != '<') {
        // Blanks between tags, the common case, are stepped over without a search.
        const size_t start = p_;
        size_t i = start;
        while (i < n_ && (ClassOf(d_[i]) & kSpace)) ++i;
        if (i == n_ || d_[i] == '<') {
          p_ = i;
          continue;
        }
        const void* lt = std::memchr(d_ + i, '<', n_ - i);
        p_ = lt ? static_cast<size_t>(static_cast<const char*>(lt) - d_) : n_;
        if (current == top) Fail(u"text outside of the root element", start);
        Add(XmlNodeType::Text, current)->text_ = Decode(start, p_, true, false);
        continue;
      }
      const char next = p_ + 1 < n_ ? d_[p_ + 1] : '\0';
      if (next != '!' && next != '?' && next != '/') {
        StartTag(current);
      } else if (Starts("<!--")) {
        size_t end = s_.find("-->", p_ + 4);
        if (end == std::string_view::npos) Fail(u"comment not closed", p_);
        Add(XmlNodeType::Comment, current)->text_ = Decode(p_ + 4, end, false, false);
        p_ = end + 3;
      } else if (Starts("<![CDATA[")) {
        if (current == top) Fail(u"CDATA section outside of the root element", p_);
        size_t end = s_.find("]]>", p_ + 9);
        if (end == std::string_view::npos) Fail(u"CDATA section not closed", p_);
        Add(XmlNodeType::CData, current)->text_ = Decode(p_ + 9, end, false, false);
        p_ = end + 3;
      } else if (Starts("<!DOCTYPE")) {
        if (current != top || rootSeen_) Fail(u"DOCTYPE after the root element", p_);
        SkipDoctype();
      } else if (Starts("<?")) {
        ProcessingInstruction(current);
      } else if (Starts("</")) {
        size_t at = p_;
        p_ += 2;
        Range name = Name();
        SkipSpace();
        if (p_ >= n_ || d_[p_] != '>') Fail(u"'>' expected in end tag", p_);
        ++p_;
        if (current == top) Fail(u"end tag </" + String(name) + u"> without start tag", at);
        // The same bytes are the same name; other bytes may still decode to it (ill-formed UTF-8).
        const Open& open = open_.back();
        if ((name.size != open.name.size || !SameBytes(d_ + name.at, d_ + open.name.at, name.size)) &&
            String(name) != current->name_.View())
          Fail(u"end tag </" + String(name) + u"> does not match <" +
                   std::u16string(current->name_.View()) + u">", at);
        Close();
        current = current->parent_;
      } else {
        StartTag(current);
      }
    }
    if (current != top) Fail(u"element <" + std::u16string(current->name_.View()) + u"> not closed", n_);
    Close();
  }

 private:
  struct Range {
    size_t at;
    size_t size;
    bool ascii;
  };
  struct CachedName {
    static constexpr size_t Longest = 16;
    size_t size = 0;  // none yet: names are never empty
    uint64_t bytes[2];  // the name's bytes, zero past its end
    XmlNode::Text16 text;
  };
  struct Open {
    XmlNode* element;
    Range name;
    size_t firstPending;  // its first child in pending_
  };

  // An element's start tag; the element becomes the current one when content follows.
  void StartTag(XmlNode*& current) {
    if (open_.size() > XmlDocument::MaxDepth)
      Fail(u"elements nested deeper than " + Ascii(std::to_string(XmlDocument::MaxDepth)), p_);
    ++p_;
    XmlNode* element = Add(XmlNodeType::Element, current);
    if (current == &doc_.top_) rootSeen_ = true;
    Range name = Name();
    element->name_ = Interned(name);
    if (Attributes(*element)) {
      open_.push_back({element, name, pending_.size()});
      current = element;
    }
  }

  [[noreturn]] void Fail(const std::u16string& what, size_t at) const {
    throw Exception(u"Not well-formed XML: " + what + u" at offset " + Ascii(std::to_string(Offset(at))));
  }

  // Byte position to the offset reported: the byte itself, or the UTF-16 units before it.
  size_t Offset(size_t at) const {
    if (!unitOffsets_) return at;
    size_t units = 0;
    for (size_t i = 0; i < at && i < n_; ++i) {
      auto b = static_cast<unsigned char>(d_[i]);
      units += (b & 0xC0) != 0x80 ? (b >= 0xF0 ? 2 : 1) : 0;
    }
    return units;
  }

  bool Starts(std::string_view prefix) const { return s_.substr(p_, prefix.size()) == prefix; }
  // The scanning loops work on local copies of the position: a member would be stored at every byte.
  void SkipSpace() {
    size_t p = p_;
    while (p < n_ && (ClassOf(d_[p]) & kSpace)) ++p;
    p_ = p;
  }

  XmlNode* Add(XmlNodeType type, XmlNode* parent) {
    // A node lost to a failed push stays in the arena until the failed load clears it.
    XmlNode* node = arena_.NewNode(type, &doc_, parent);
    pending_.push_back(node);
    return node;
  }

  static uint32_t Count32(size_t count) {
    if (count > UINT32_MAX) throw std::length_error("XML list too long");
    return static_cast<uint32_t>(count);
  }

  // Hands the innermost open element its children, in one list from the arena.
  void Close() {
    const Open& open = open_.back();
    XmlNode& element = *open.element;
    const size_t count = pending_.size() - open.firstPending;
    if (count) {
      XmlNode** list = arena_.BumpArray<XmlNode*>(count);
      std::memcpy(static_cast<void*>(list), pending_.data() + open.firstPending, count * sizeof(XmlNode*));
      element.children_ = list;
      element.childCount_ = element.childCapacity_ = Count32(count);
    }
    pending_.resize(open.firstPending);
    open_.pop_back();
  }

  // The attributes of the tag being read grow in place in the arena (XmlArena::Extend).
  XmlNode::Attribute& NewAttribute() {
    attrs_ = arena_.Extend(attrs_, attrCount_, attrCapacity_);
    return attrs_[attrCount_++] = {};
  }
  void KeepAttributes(XmlNode& node) {
    node.attrs_ = attrs_;
    node.attrCount_ = Count32(attrCount_);
    node.attrCapacity_ = static_cast<uint32_t>(std::min<size_t>(attrCapacity_, UINT32_MAX));
    attrs_ = nullptr;
    attrCount_ = attrCapacity_ = 0;
    if (!attrNames_.empty()) attrNames_.clear();
  }

  Range Name() {
    size_t start = p_;
    if (p_ >= n_ || !(ClassOf(d_[p_]) & kNameStart)) Fail(u"name expected", p_);
    uint8_t seen = 0;
    size_t p = p_;
    for (uint8_t c; p < n_ && ((c = ClassOf(d_[p])) & kNameChar); ++p) seen |= c;
    p_ = p;
    return {start, p - start, !(seen & kHigh)};
  }

  // Whether the tag being read has an attribute of this name already. A tag's few attributes are
  // compared one by one; past kFewAttributes their names go into a hash set, so that a tag with very
  // many attributes costs time in proportion to them, not to their square.
  bool HasAttribute(std::u16string_view name) {
    constexpr size_t kFewAttributes = 16;
    if (attrCount_ < kFewAttributes) {
      for (const auto& a : std::span(attrs_, attrCount_))
        if (a.name.View() == name) return true;
      return false;
    }
    if (attrNames_.empty())
      for (const auto& a : std::span(attrs_, attrCount_)) attrNames_.insert(a.name.View());
    return attrNames_.contains(name);
  }

  // Reads the attributes and the end of a start tag; true when the element has content to follow.
  bool Attributes(XmlNode& element) {
    for (;;) {
      size_t before = p_;
      SkipSpace();
      if (p_ >= n_) Fail(u"start tag of <" + std::u16string(element.name_.View()) + u"> not closed", p_);
      if (d_[p_] == '>' || d_[p_] == '/') {
        bool content = d_[p_] == '>';
        if (!content && (p_ + 1 >= n_ || d_[p_ + 1] != '>')) Fail(u"'>' expected after '/'", p_);
        p_ += content ? 1 : 2;
        KeepAttributes(element);
        return content;
      }
      if (before == p_) Fail(u"blank expected before attribute", p_);
      size_t at = p_;
      XmlNode::Text16 name = Interned(Name());
      if (p_ < n_ && d_[p_] != '=') SkipSpace();  // blanks around "=" are rare
      if (p_ >= n_ || d_[p_] != '=') Fail(u"'=' expected after attribute " + std::u16string(name.View()), p_);
      ++p_;
      if (p_ < n_ && d_[p_] != '"') SkipSpace();
      if (p_ >= n_ || (d_[p_] != '"' && d_[p_] != '\'')) Fail(u"quoted attribute value expected", p_);
      const char quote = d_[p_++];
      // One pass finds the closing quote, a forbidden "<", references and bytes beyond ASCII: eight
      // bytes at a time while none of them is a quote or a "<", then byte by byte.
      size_t end = p_;
      uint64_t amps = 0, highs = 0;
      const uint64_t quotes = kOnes * static_cast<unsigned char>(quote);
      for (uint64_t w; end + 8 <= n_; end += 8) {
        std::memcpy(&w, d_ + end, 8);
        if (ZeroByte(w ^ quotes) | ZeroByte(w ^ (kOnes * '<'))) break;
        amps |= ZeroByte(w ^ (kOnes * '&'));
        highs |= w;
      }
      uint8_t seen = (amps ? kAmp : 0) | (highs & kHighBits ? kHigh : 0);
      for (; end < n_ && d_[end] != quote; ++end) {
        uint8_t c = ClassOf(d_[end]);
        if (c & kLess) Fail(u"'<' in attribute value", end);
        seen |= c;
      }
      if (end >= n_) Fail(u"attribute value not closed", p_);
      if (HasAttribute(name.View())) Fail(u"duplicate attribute " + std::u16string(name.View()), at);
      XmlNode::Attribute& added = NewAttribute();
      added.name = name;
      if (!attrNames_.empty()) attrNames_.insert(name.View());
      added.value = Decode(p_, end, seen & kAmp, !(seen & kHigh));
      p_ = end + 1;
    }
  }

  // Bytes to UTF-16 at `out` (room for one unit a byte); returns the units written.
  size_t Chars(size_t begin, size_t end, char16_t* out, bool ascii) const {
    const size_t len = end - begin;
    const auto* b = reinterpret_cast<const unsigned char*>(d_ + begin);
    if (ascii) {
      for (size_t i = 0; i < len; ++i) out[i] = b[i];
      return len;
    }
    if (!high_) return Utf8ToUtf16(std::string_view(d_ + begin, len), out);
    for (size_t i = 0; i < len; ++i) out[i] = b[i] < 0x80 ? char16_t{b[i]} : high_[b[i] - 0x80];
    return len;
  }

  std::u16string String(size_t begin, size_t end) const {
    std::u16string out(end - begin, u'\0');
    out.resize(Chars(begin, end, out.data(), false));
    return out;
  }
  std::u16string String(Range r) const { return String(r.at, r.at + r.size); }

  XmlNode::Text16 Decode(Range r) { return Decode(r.at, r.at + r.size, false, r.ascii); }

  // Element and attribute names repeat: the decoded text of a short name met recently is shared (a
  // borrowed text is never written over, so sharing it is safe). The cache keeps the name's bytes
  // next to its text, so that a lookup reads no older part of the input.
  XmlNode::Text16 Interned(Range r) {
    const char* b = d_ + r.at;
    if (r.size > CachedName::Longest || n_ - r.at < CachedName::Longest) return Decode(r);
    CachedName& c = names_[(r.size * 7 + static_cast<unsigned char>(b[0]) * 3 +
                            static_cast<unsigned char>(b[r.size - 1])) % names_.size()];
    // The sixteen bytes from the name's start, those past its end masked out, compared at once.
    const uint64_t m0 = Load<uint64_t>(kNameMasks[r.size].data()), m1 = Load<uint64_t>(kNameMasks[r.size].data() + 8);
    const uint64_t w0 = Load<uint64_t>(b) & m0, w1 = Load<uint64_t>(b + 8) & m1;
    if (c.size == r.size && ((w0 ^ c.bytes[0]) | (w1 ^ c.bytes[1])) == 0) return c.text;
    c.size = r.size;
    c.bytes[0] = w0;
    c.bytes[1] = w1;
    c.text = Decode(r);
    return c.text;
  }

  // The text between two byte positions, references decoded when asked for, as a borrowed text in
  // the arena. A decoded text never has more units than its bytes.
  XmlNode::Text16 Decode(size_t begin, size_t end, bool references, bool ascii) {
    const size_t len = end - begin;
    if (len == 0) return {};
    char16_t* const first = arena_.BumpArray<char16_t>(Count32(len), XmlArena::Texts);
    char16_t* out = first;
    for (size_t i = begin;;) {
      size_t amp = end;
      if (references) {
        const void* found = std::memchr(d_ + i, '&', end - i);
        if (found) amp = static_cast<size_t>(static_cast<const char*>(found) - d_);
      }
      out += Chars(i, amp, out, ascii);
      if (amp == end) break;
      i = Reference(amp, end, out);
    }
    const auto used = static_cast<size_t>(out - first);
    arena_.Trim(first, len * sizeof(char16_t), used * sizeof(char16_t), XmlArena::Texts);
    return {first, static_cast<uint32_t>(used), 0};
  }

  // The reference at `amp` (its text ends by `end`) written at `out`; returns the position after it.
  size_t Reference(size_t amp, size_t end, char16_t*& out) const {
    if (amp + 1 < end && d_[amp + 1] == '#') return CharRef(amp, end, out);
    // Its name, of eleven characters at most: a character takes three bytes at most, so a ";" more
    // than 33 bytes on, or none, is a run known too long before it is decoded.
    size_t semi = amp + 1;
    const size_t last = std::min(end, amp + 1 + 34);
    while (semi < last && d_[semi] != ';') ++semi;
    if (semi == last) Fail(u"'&' without a reference", amp);
    // The usual ASCII name is widened in place; any other is decoded.
    char16_t ascii[11];
    std::u16string decoded;
    std::u16string_view ref;
    const size_t bytes = semi - amp - 1;
    bool isAscii = bytes <= 11;
    for (size_t k = 0; k < bytes && isAscii; ++k) {
      isAscii = !(ClassOf(d_[amp + 1 + k]) & kHigh);
      if (isAscii) ascii[k] = static_cast<char16_t>(d_[amp + 1 + k]);
    }
    if (isAscii) {
      ref = std::u16string_view(ascii, bytes);
    } else {
      decoded = String(amp + 1, semi);
      if (decoded.size() > 11) Fail(u"'&' without a reference", amp);
      ref = decoded;
    }
    if (ref == u"lt") *out++ = u'<';
    else if (ref == u"gt") *out++ = u'>';
    else if (ref == u"amp") *out++ = u'&';
    else if (ref == u"quot") *out++ = u'"';
    else if (ref == u"apos") *out++ = u'\'';
    else Fail(u"unknown entity &" + std::u16string(ref) + u";", amp);
    return semi + 1;
  }

  // The character reference "&#N;" or "&#xN;" at `amp` (its text ends by `end`) written at `out`;
  // returns the position after it. Its digits are ASCII in every encoding the loader reads, so they are
  // read from the bytes, leading zeros however many. A reference is at least four bytes long, its
  // character at most two units.
  size_t CharRef(size_t amp, size_t end, char16_t*& out) const {
    size_t p = amp + 2;
    const bool hex = p < end && d_[p] == 'x';
    const int base = hex ? 16 : 10;
    if (hex) ++p;
    const size_t digits = p;
    while (p < end && d_[p] == '0') ++p;
    char32_t c = 0;
    for (int v; p < end && (v = HexDigitValue(static_cast<unsigned char>(d_[p]))) >= 0 && v < base; ++p) {
      c = c * static_cast<char32_t>(base) + static_cast<char32_t>(v);
      if (c > 0x10FFFF) Fail(u"character reference out of range", amp);
    }
    if (p == digits || p == end || d_[p] != ';') Fail(u"bad character reference", amp);
    if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) Fail(u"character reference out of range", amp);
    out = AppendUtf16(c, out);
    return p + 1;
  }

  void ProcessingInstruction(XmlNode* current) {
    size_t at = p_;
    p_ += 2;
    Range target = Name();
    const std::string_view t(d_ + target.at, target.size);
    if (AsciiEqualsNoCase<char>(t, "xml")) {
      if (at != 0 || t != "xml") Fail(u"XML declaration not at the start", at);
      XmlNode* decl = Add(XmlNodeType::Declaration, current);
      for (;;) {
        size_t before = p_;
        SkipSpace();
        if (Starts("?>")) break;
        if (p_ >= n_) Fail(u"XML declaration not closed", at);
        if (before == p_) Fail(u"blank expected in XML declaration", p_);
        Range name = Name();
        SkipSpace();
        if (p_ >= n_ || d_[p_] != '=') Fail(u"'=' expected in XML declaration", p_);
        ++p_;
        SkipSpace();
        if (p_ >= n_ || (d_[p_] != '"' && d_[p_] != '\'')) Fail(u"quoted value expected", p_);
        size_t end = s_.find(d_[p_], p_ + 1);
        if (end == std::string_view::npos) Fail(u"XML declaration not closed", at);
        XmlNode::Attribute& added = NewAttribute();
        added.name = Decode(name);
        added.value = Decode(p_ + 1, end, false, false);
        p_ = end + 1;
      }
      KeepAttributes(*decl);
      if (!decl->FindAttr(u"version")) Fail(u"XML declaration without version", at);
      p_ += 2;
      return;
    }
    size_t end = s_.find("?>", p_);
    if (end == std::string_view::npos) Fail(u"processing instruction not closed", at);
    XmlNode* pi = Add(XmlNodeType::ProcessingInstruction, current);
    pi->name_ = Decode(target);
    SkipSpace();
    if (p_ < end) pi->text_ = Decode(p_, end, false, false);
    p_ = end + 2;
  }

  // Skips a document type declaration, its internal subset included; its declarations are not used.
  // Quoted strings, and the comments and processing instructions of the internal subset, may hold
  // brackets, quotes and ">" of their own. A comment or processing instruction without its closer is
  // no markup of its own: its bytes are scanned like any others.
  void SkipDoctype() {
    size_t at = p_;
    int brackets = 0;
    // The next "-->" and "?>" found so far: a closer missing once is missing for the rest of the
    // text, so no byte is searched twice.
    size_t commentEnd = 0, piEnd = 0;
    auto next = [this](size_t& known, std::string_view closer, size_t from) {
      if (known != std::string_view::npos && known < from) known = s_.find(closer, from);
      return known;
    };
    for (p_ += 9; p_ < n_; ++p_) {
      char c = d_[p_];
      if (c == '"' || c == '\'') {
        size_t end = s_.find(c, p_ + 1);
        if (end == std::string_view::npos) break;
        p_ = end;
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == '>' && brackets <= 0) {
        ++p_;
        return;
      } else if (c == '<' && brackets > 0 && (Starts("<!--") || Starts("<?"))) {
        const bool comment = d_[p_ + 1] == '!';
        size_t end = comment ? next(commentEnd, "-->", p_ + 4) : next(piEnd, "?>", p_ + 2);
        if (end != std::string_view::npos) p_ = end + (comment ? 2 : 1);  // on the closing ">"
      }
    }
    Fail(u"DOCTYPE not closed", at);
  }

  XmlDocument& doc_;
  XmlArena& arena_;
  std::string_view s_;
  const char* d_;
  size_t n_;
  const char16_t* high_;
  bool unitOffsets_;
  // Children of the open elements, innermost last: each element gets its list when it closes.
  std::vector<XmlNode*> pending_;
  std::vector<Open> open_;
  XmlNode::Attribute* attrs_ = nullptr;  // of the tag being read
  size_t attrCount_ = 0;
  std::unordered_set<std::u16string_view> attrNames_;  // of the tag being read, once it has many
  size_t attrCapacity_ = 0;
  std::array<CachedName, 64> names_{};
  size_t p_ = 0;
  bool rootSeen_ = false;
};

void XmlDocument::LoadXml(std::string_view text) {
  Clear();
  try {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const int cp = CodePageFromBytes(text);
    // ISO-2022-JP switches the meaning of ASCII bytes by escapes: its text is read as UTF-8, and
    // offsets are counted in characters.
    std::string utf8;
    if (cp == codepage::Iso2022Jp) {
      utf8 = CodePageToUtf8(text, cp);
      text = utf8;
    }
    arena_->Expect(text.size());
    const char16_t* high = cp == codepage::Utf8 || cp == codepage::Iso2022Jp ? nullptr : SingleByteHighHalf(cp);
    XmlParser(*this, text, high, cp == codepage::Iso2022Jp).Run();
  } catch (...) {
    Clear();
    throw;
  }
}
