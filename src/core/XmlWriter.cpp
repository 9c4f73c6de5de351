// The XML writer: the exact text the programs send to their movies and to the host. Walks the tree
// with an explicit stack, so that deep documents cost heap, never the call stack.
#include <string>
#include <vector>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"

class XmlWriter {
 public:
  static std::u16string Write(const XmlNode& start) {
    std::u16string out;
    struct Frame {
      const XmlNode* node;
      size_t level;
      size_t next;  // index of the next child to write
    };
    std::vector<Frame> stack;
    if (start.type_ == XmlNodeType::Document) {
      for (size_t i = start.children_.size(); i-- > 0;) stack.push_back({start.children_[i], 0, SIZE_MAX});
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
        out += n.name_;
        Attributes(out, n);
        if (n.children_.empty()) {
          out += u"/>";
          stack.pop_back();
          continue;
        }
        out += u'>';
        if (OnlyText(n)) {
          for (const XmlNode* c : n.children_) Leaf(out, *c, 0);
          EndTag(out, n);
          stack.pop_back();
          continue;
        }
        f.next = 0;
      }
      if (f.next < n.children_.size()) {
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
    return out;
  }

 private:
  static bool OnlyText(const XmlNode& n) {
    for (const XmlNode* c : n.children_)
      if (c->type_ != XmlNodeType::Text && c->type_ != XmlNodeType::CData) return false;
    return true;
  }

  static void Indent(std::u16string& out, size_t level) {
    out += u"\r\n";
    out.append(level, u'\t');
  }

  static void EndTag(std::u16string& out, const XmlNode& n) {
    out += u"</";
    out += n.name_;
    out += u'>';
  }

  static void Escaped(std::u16string& out, std::u16string_view text) {
    for (char16_t c : text) {
      switch (c) {
        case u'"': out += u"&quot;"; break;
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        default: out += c;
      }
    }
  }

  static void Attributes(std::u16string& out, const XmlNode& n) {
    for (const auto& a : n.attrs_) {
      out += u' ';
      out += a.name;
      out += u"=\"";
      Escaped(out, a.value);
      out += u'"';
    }
  }

  // Every node but an element: the declaration without a line break before it, comments and
  // processing instructions on a line of their own like elements, text and CDATA where they stand.
  static void Leaf(std::u16string& out, const XmlNode& n, size_t level) {
    switch (n.type_) {
      case XmlNodeType::Declaration:
        out += u"<?xml";
        Attributes(out, n);
        out += u"?>";
        break;
      case XmlNodeType::Text: Escaped(out, n.text_); break;
      case XmlNodeType::CData:
        out += u"<![CDATA[";
        // A "]]>" inside the content is split over two sections.
        for (size_t i = 0; i < n.text_.size(); ++i) {
          if (n.text_.compare(i, 3, u"]]>") == 0) {
            out += u"]]]]><![CDATA[>";
            i += 2;
          } else {
            out += n.text_[i];
          }
        }
        out += u"]]>";
        break;
      case XmlNodeType::Comment:
        Indent(out, level);
        out += u"<!--";
        out += n.text_;
        out += u"-->";
        break;
      case XmlNodeType::ProcessingInstruction:
        Indent(out, level);
        out += u"<?";
        out += n.name_;
        if (!n.text_.empty()) {
          out += u' ';
          out += n.text_;
        }
        out += u"?>";
        break;
      case XmlNodeType::Document:
      case XmlNodeType::Element: break;
    }
  }
};

std::u16string XmlNode::Xml() const { return XmlWriter::Write(*this); }
