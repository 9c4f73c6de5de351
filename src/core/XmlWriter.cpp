// The XML writer: the exact text the programs send to their movies and to the host. Walks the tree
// with an explicit stack, so that deep documents cost heap, never the call stack.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"

namespace {
// The text being written: a buffer grown by doubling and filled through a pointer, so that the many
// short pieces cost no library call each.
class Out {
 public:
  Out& operator+=(char16_t c) {
    Room(1);
    *p_++ = c;
    return *this;
  }
  Out& operator+=(std::u16string_view s) { return append(s); }
  template <size_t N>
  Out& operator+=(const char16_t (&literal)[N]) {  // the markup's short pieces
    Room(N - 1);
    for (size_t i = 0; i + 1 < N; ++i) *p_++ = literal[i];
    return *this;
  }
  Out& append(std::u16string_view s) {
    Room(s.size());
    if (s.size() > 16) {
      std::memcpy(p_, s.data(), s.size() * sizeof(char16_t));
      p_ += s.size();
    } else {
      for (char16_t c : s) *p_++ = c;
    }
    return *this;
  }
  Out& Piece(std::u16string_view s) {  // short: copied unit by unit
    Room(s.size());
    for (char16_t c : s) *p_++ = c;
    return *this;
  }
  Out& append(size_t count, char16_t c) {
    Room(count);
    p_ = std::fill_n(p_, count, c);
    return *this;
  }
  std::u16string Take() {
    text_.resize(Used());
    return std::move(text_);
  }

 private:
  size_t Used() const { return p_ ? static_cast<size_t>(p_ - text_.data()) : 0; }
  void Room(size_t count) {
    if (static_cast<size_t>(end_ - p_) < count) Grow(count);
  }
  void Grow(size_t count) {
    const size_t used = Used();
    if (count > text_.max_size() - used) throw std::length_error("XML text too long");
    text_.resize(std::max({2 * text_.size(), used + count, size_t{256}}));
    p_ = text_.data() + used;
    end_ = text_.data() + text_.size();
  }

  std::u16string text_;
  char16_t* p_ = nullptr;
  char16_t* end_ = nullptr;
};

// The same text with each run of TABs written as a TAB and the run's length in two units (high and
// low 16 bits; a longer run as several such). The form is a function of the written text and can be
// decoded back into it, so two texts compare equal exactly when their forms do, and a deep
// document's indentation costs three units a line instead of one a level.
class TabRunOut {
 public:
  TabRunOut& operator+=(char16_t c) {
    Put(c);
    return *this;
  }
  TabRunOut& operator+=(std::u16string_view s) { return append(s); }
  TabRunOut& append(std::u16string_view s) {
    for (char16_t c : s) Put(c);
    return *this;
  }
  TabRunOut& Piece(std::u16string_view s) { return append(s); }
  TabRunOut& append(size_t count, char16_t c) {
    if (c == u'\t') {
      tabs_ += count;
    } else {
      for (size_t i = 0; i < count; ++i) Put(c);
    }
    return *this;
  }
  std::u16string Take() {
    Flush();
    return out_.Take();
  }

 private:
  void Put(char16_t c) {
    if (c == u'\t') {
      ++tabs_;
      return;
    }
    Flush();
    out_ += c;
  }
  void Flush() {
    while (tabs_ > 0) {
      const uint64_t run = std::min<uint64_t>(tabs_, 0xFFFFFFFFu);
      out_ += u'\t';
      out_ += static_cast<char16_t>(run >> 16);
      out_ += static_cast<char16_t>(run & 0xFFFF);
      tabs_ -= run;
    }
  }

  Out out_;
  uint64_t tabs_ = 0;  // not yet written
};
}  // namespace

class XmlWriter {
 public:
  template <class Output>
  static std::u16string Write(const XmlNode& start) {
    Output out;
    struct Frame {
      const XmlNode* node;
      size_t level;
      size_t next;  // index of the next child to write
    };
    std::vector<Frame> stack;
    if (start.type_ == XmlNodeType::Document) {
      for (size_t i = start.childCount_; i-- > 0;) stack.push_back({start.children_[i], 0, SIZE_MAX});
    } else {
      stack.push_back({&start, 0, SIZE_MAX});
    }
    while (!stack.empty()) {
      Frame& f = stack.back();
      const XmlNode& n = *f.node;
      if (f.next == SIZE_MAX) {  // first visit
        if (n.type_ != XmlNodeType::Element) {
          Leaf(out, n, f.level);
          stack.pop_back();
          continue;
        }
        Indent(out, f.level);
        out += u'<';
        out += n.name_.View();
        Attributes(out, n);
        if (n.childCount_ == 0) {
          out += u"/>";
          stack.pop_back();
          continue;
        }
        out += u'>';
        if (OnlyText(n)) {
          for (const XmlNode* c : n.Children()) Leaf(out, *c, 0);
          EndTag(out, n);
          stack.pop_back();
          continue;
        }
        f.next = 0;
      }
      if (f.next < n.childCount_) {
        const XmlNode* child = n.children_[f.next++];
        size_t level = f.level + 1;
        if (level >= XmlDocument::MaxDepth)
          throw Exception(u"Cannot write XML: elements nested deeper than " +
                          Ascii(std::to_string(XmlDocument::MaxDepth)));
        stack.push_back({child, level, SIZE_MAX});  // may move `f`: not used after this
        continue;
      }
      Indent(out, f.level);
      EndTag(out, n);
      stack.pop_back();
    }
    return out.Take();
  }

 private:
  static bool OnlyText(const XmlNode& n) {
    for (const XmlNode* c : n.Children())
      if (c->type_ != XmlNodeType::Text && c->type_ != XmlNodeType::CData) return false;
    return true;
  }

  template <class Output>
  static void Indent(Output& out, size_t level) {
    out += u"\r\n";
    out.append(level, u'\t');
  }

  template <class Output>
  static void EndTag(Output& out, const XmlNode& n) {
    out += u"</";
    out += n.name_.View();
    out += u'>';
  }

  template <class Output>
  static void Escaped(Output& out, std::u16string_view text) {
    size_t run = 0;  // start of the characters not yet written
    for (size_t i = 0; i < text.size(); ++i) {
      std::u16string_view entity;
      switch (text[i]) {
        case u'"': entity = u"&quot;"; break;
        case u'&': entity = u"&amp;"; break;
        case u'<': entity = u"&lt;"; break;
        case u'>': entity = u"&gt;"; break;
        default: continue;
      }
      out.append(text.substr(run, i - run));
      out.Piece(entity);
      run = i + 1;
    }
    out.append(text.substr(run));
  }

  template <class Output>
  static void Attributes(Output& out, const XmlNode& n) {
    for (const auto& a : std::span(n.attrs_, n.attrCount_)) {
      out += u' ';
      out += a.name.View();
      out += u"=\"";
      Escaped(out, a.value.View());
      out += u'"';
    }
  }

  // Every node but an element: the declaration without a line break before it, comments and
  // processing instructions on a line of their own like elements, text and CDATA where they stand.
  template <class Output>
  static void Leaf(Output& out, const XmlNode& n, size_t level) {
    switch (n.type_) {
      case XmlNodeType::Declaration:
        out += u"<?xml";
        Attributes(out, n);
        out += u"?>";
        break;
      case XmlNodeType::Text: Escaped(out, n.text_.View()); break;
      case XmlNodeType::CData:
        out += u"<![CDATA[";
        // A "]]>" inside the content is split over two sections.
        for (size_t i = 0; i < n.text_.View().size(); ++i) {
          if (n.text_.View().substr(i, 3) == u"]]>") {
            out += u"]]]]><![CDATA[>";
            i += 2;
          } else {
            out += n.text_.View()[i];
          }
        }
        out += u"]]>";
        break;
      case XmlNodeType::Comment:
        Indent(out, level);
        out += u"<!--";
        out += n.text_.View();
        out += u"-->";
        break;
      case XmlNodeType::ProcessingInstruction:
        Indent(out, level);
        out += u"<?";
        out += n.name_.View();
        if (!n.text_.View().empty()) {
          out += u' ';
          out += n.text_.View();
        }
        out += u"?>";
        break;
      case XmlNodeType::Document:
      case XmlNodeType::Element: break;
    }
  }
};

std::u16string XmlNode::Xml() const { return XmlWriter::Write<Out>(*this); }
std::u16string XmlNode::XmlTabRuns() const { return XmlWriter::Write<TabRunOut>(*this); }
