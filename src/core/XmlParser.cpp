// The XML loader: picks the code page from the declaration, decodes the whole text to UTF-16 and
// builds the tree in one pass with an explicit stack of open elements, so that nesting depth costs
// heap, never the call stack. Only the five predefined entities exist, so no reference can expand
// into more text than it occupies.
#include <string>
#include <vector>

#include "core/CodePages.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"

namespace {
bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }
bool IsNameStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' || c >= 0x80;
}
bool IsNameChar(char16_t c) {
  return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.';
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
  XmlParser(XmlDocument& doc, std::u16string text, std::string_view bytes, int codePage)
      : doc_(doc), s_(std::move(text)), bytes_(bytes), codePage_(codePage) {}

  void Run() {
    XmlNode* current = doc_.top_;
    std::vector<XmlNode*> open;
    const size_t n = s_.size();
    while (p_ < n) {
      if (s_[p_] != u'<') {
        size_t start = p_;
        size_t lt = s_.find(u'<', p_);
        p_ = lt == std::u16string::npos ? n : lt;
        bool blank = true;
        for (size_t i = start; i < p_ && blank; ++i) blank = IsSpace(s_[i]);
        if (blank) continue;
        if (open.empty()) Fail(u"text outside of the root element", start);
        Add(XmlNodeType::Text, current)->text_ = Decode(start, p_);
        continue;
      }
      if (Starts(u"<!--")) {
        size_t end = s_.find(u"-->", p_ + 4);
        if (end == std::u16string::npos) Fail(u"comment not closed", p_);
        Add(XmlNodeType::Comment, current)->text_.assign(s_, p_ + 4, end - p_ - 4);
        p_ = end + 3;
      } else if (Starts(u"<![CDATA[")) {
        if (open.empty()) Fail(u"CDATA section outside of the root element", p_);
        size_t end = s_.find(u"]]>", p_ + 9);
        if (end == std::u16string::npos) Fail(u"CDATA section not closed", p_);
        Add(XmlNodeType::CData, current)->text_.assign(s_, p_ + 9, end - p_ - 9);
        p_ = end + 3;
      } else if (Starts(u"<!DOCTYPE")) {
        if (!open.empty() || doc_.Root()) Fail(u"DOCTYPE after the root element", p_);
        SkipDoctype();
      } else if (Starts(u"<?")) {
        ProcessingInstruction(current);
      } else if (Starts(u"</")) {
        size_t at = p_;
        p_ += 2;
        std::u16string_view name = Name();
        SkipSpace();
        if (p_ >= n || s_[p_] != u'>') Fail(u"'>' expected in end tag", p_);
        ++p_;
        if (open.empty()) Fail(u"end tag </" + std::u16string(name) + u"> without start tag", at);
        if (name != current->name_)
          Fail(u"end tag </" + std::u16string(name) + u"> does not match <" + current->name_ + u">", at);
        open.pop_back();
        current = current->parent_;
      } else {
        if (open.size() >= XmlDocument::MaxDepth)
          Fail(u"elements nested deeper than " + Ascii(std::to_string(XmlDocument::MaxDepth)), p_);
        ++p_;
        XmlNode* element = Add(XmlNodeType::Element, current);
        element->name_ = Name();
        if (Attributes(*element)) {
          open.push_back(element);
          current = element;
        }
      }
    }
    if (!open.empty()) Fail(u"element <" + current->name_ + u"> not closed", n);
  }

 private:
  [[noreturn]] void Fail(const std::u16string& what, size_t at) const {
    throw Exception(u"Not well-formed XML: " + what + u" at offset " + Ascii(std::to_string(Offset(at))));
  }

  // Character position to byte offset of the input: exact for the single-byte pages and well-formed
  // UTF-8; the character position for ISO-2022-JP.
  size_t Offset(size_t at) const {
    if (codePage_ != codepage::Utf8) return at;
    size_t bytes = 0;
    for (size_t i = 0; i < at && i < s_.size(); ++i) {
      char16_t c = s_[i];
      bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : (c >= 0xD800 && c <= 0xDFFF) ? 2 : 3;
    }
    return std::min(bytes, bytes_.size());
  }

  bool Starts(std::u16string_view prefix) const { return s_.compare(p_, prefix.size(), prefix) == 0; }
  void SkipSpace() {
    while (p_ < s_.size() && IsSpace(s_[p_])) ++p_;
  }

  XmlNode* Add(XmlNodeType type, XmlNode* parent) {
    XmlNode* node = doc_.NewNode(type, parent);
    parent->children_.push_back(node);
    return node;
  }

  std::u16string_view Name() {
    size_t start = p_;
    if (p_ >= s_.size() || !IsNameStart(s_[p_])) Fail(u"name expected", p_);
    while (p_ < s_.size() && IsNameChar(s_[p_])) ++p_;
    return std::u16string_view(s_).substr(start, p_ - start);
  }

  // Reads the attributes and the end of a start tag; true when the element has content to follow.
  bool Attributes(XmlNode& element) {
    const size_t n = s_.size();
    for (;;) {
      size_t before = p_;
      SkipSpace();
      if (p_ >= n) Fail(u"start tag of <" + element.name_ + u"> not closed", p_);
      if (s_[p_] == u'>') {
        ++p_;
        return true;
      }
      if (s_[p_] == u'/') {
        if (p_ + 1 >= n || s_[p_ + 1] != u'>') Fail(u"'>' expected after '/'", p_);
        p_ += 2;
        return false;
      }
      if (before == p_) Fail(u"blank expected before attribute", p_);
      size_t at = p_;
      std::u16string_view name = Name();
      SkipSpace();
      if (p_ >= n || s_[p_] != u'=') Fail(u"'=' expected after attribute " + std::u16string(name), p_);
      ++p_;
      SkipSpace();
      if (p_ >= n || (s_[p_] != u'"' && s_[p_] != u'\'')) Fail(u"quoted attribute value expected", p_);
      char16_t quote = s_[p_++];
      size_t end = s_.find(quote, p_);
      if (end == std::u16string::npos) Fail(u"attribute value not closed", p_);
      if (element.FindAttr(name)) Fail(u"duplicate attribute " + std::u16string(name), at);
      size_t lt = std::u16string_view(s_).substr(p_, end - p_).find(u'<');
      if (lt != std::u16string_view::npos) Fail(u"'<' in attribute value", p_ + lt);
      element.attrs_.push_back({std::u16string(name), Decode(p_, end)});
      p_ = end + 1;
    }
  }

  // Text between two positions with its references decoded.
  std::u16string Decode(size_t begin, size_t end) const {
    std::u16string_view raw = std::u16string_view(s_).substr(begin, end - begin);
    size_t amp = raw.find(u'&');
    if (amp == std::u16string_view::npos) return std::u16string(raw);
    std::u16string out(raw.substr(0, amp));
    for (size_t i = amp; i < raw.size();) {
      if (raw[i] != u'&') {
        out += raw[i++];
        continue;
      }
      size_t semi = raw.find(u';', i + 1);
      if (semi == std::u16string_view::npos || semi - i > 12) Fail(u"'&' without a reference", begin + i);
      std::u16string_view ref = raw.substr(i + 1, semi - i - 1);
      if (ref == u"lt") out += u'<';
      else if (ref == u"gt") out += u'>';
      else if (ref == u"amp") out += u'&';
      else if (ref == u"quot") out += u'"';
      else if (ref == u"apos") out += u'\'';
      else if (!ref.empty() && ref[0] == u'#') AppendCharRef(out, ref.substr(1), begin + i);
      else Fail(u"unknown entity &" + std::u16string(ref) + u";", begin + i);
      i = semi + 1;
    }
    return out;
  }

  void AppendCharRef(std::u16string& out, std::u16string_view digits, size_t at) const {
    bool hex = !digits.empty() && digits[0] == u'x';
    if (hex) digits.remove_prefix(1);
    if (digits.empty()) Fail(u"bad character reference", at);
    char32_t c = 0;
    for (char16_t d : digits) {
      int v = d >= u'0' && d <= u'9' ? d - u'0'
              : hex && d >= u'a' && d <= u'f' ? d - u'a' + 10
              : hex && d >= u'A' && d <= u'F' ? d - u'A' + 10 : -1;
      if (v < 0) Fail(u"bad character reference", at);
      c = c * (hex ? 16 : 10) + static_cast<char32_t>(v);
      if (c > 0x10FFFF) Fail(u"character reference out of range", at);
    }
    if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) Fail(u"character reference out of range", at);
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  }

  void ProcessingInstruction(XmlNode* current) {
    size_t at = p_;
    p_ += 2;
    std::u16string_view target = Name();
    bool isXml = target.size() == 3 && (target[0] | 0x20) == u'x' && (target[1] | 0x20) == u'm' &&
                 (target[2] | 0x20) == u'l';
    if (isXml) {
      if (at != 0 || target != u"xml") Fail(u"XML declaration not at the start", at);
      XmlNode* decl = Add(XmlNodeType::Declaration, current);
      for (;;) {
        size_t before = p_;
        SkipSpace();
        if (Starts(u"?>")) break;
        if (p_ >= s_.size()) Fail(u"XML declaration not closed", at);
        if (before == p_) Fail(u"blank expected in XML declaration", p_);
        std::u16string_view name = Name();
        SkipSpace();
        if (p_ >= s_.size() || s_[p_] != u'=') Fail(u"'=' expected in XML declaration", p_);
        ++p_;
        SkipSpace();
        if (p_ >= s_.size() || (s_[p_] != u'"' && s_[p_] != u'\'')) Fail(u"quoted value expected", p_);
        size_t end = s_.find(s_[p_], p_ + 1);
        if (end == std::u16string::npos) Fail(u"XML declaration not closed", at);
        decl->attrs_.push_back({std::u16string(name), s_.substr(p_ + 1, end - p_ - 1)});
        p_ = end + 1;
      }
      if (!decl->FindAttr(u"version")) Fail(u"XML declaration without version", at);
      p_ += 2;
      return;
    }
    size_t end = s_.find(u"?>", p_);
    if (end == std::u16string::npos) Fail(u"processing instruction not closed", at);
    XmlNode* pi = Add(XmlNodeType::ProcessingInstruction, current);
    pi->name_ = target;
    SkipSpace();
    if (p_ < end) pi->text_.assign(s_, p_, end - p_);
    p_ = end + 2;
  }

  // Skips a document type declaration, its internal subset included; its declarations are not used.
  void SkipDoctype() {
    size_t at = p_;
    int brackets = 0;
    for (p_ += 9; p_ < s_.size(); ++p_) {
      char16_t c = s_[p_];
      if (c == u'"' || c == u'\'') {
        size_t end = s_.find(c, p_ + 1);
        if (end == std::u16string::npos) break;
        p_ = end;
      } else if (c == u'[') {
        ++brackets;
      } else if (c == u']') {
        --brackets;
      } else if (c == u'>' && brackets <= 0) {
        ++p_;
        return;
      }
    }
    Fail(u"DOCTYPE not closed", at);
  }

  XmlDocument& doc_;
  std::u16string s_;
  std::string_view bytes_;
  int codePage_;
  size_t p_ = 0;
};

void XmlDocument::LoadXml(std::string_view text) {
  Clear();
  try {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    int cp = CodePageFromBytes(text);
    XmlParser parser(*this, CodePageToUtf16(text, cp), text, cp);
    parser.Run();
  } catch (...) {
    Clear();
    throw;
  }
}
