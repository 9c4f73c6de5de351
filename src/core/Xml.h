#pragma once
// The system's XML documents: the model the programs walk and build, the loader that reads the host's
// 8-bit texts, and the writer whose exact text goes to the movies, to the host and into comparisons.
//
// Nodes belong to their document and live until the document is loaded again, destroyed, or the node's
// parent drops its children (RemoveAllChildren). Pointers returned here are never owning; a null
// pointer means "none". All texts are UTF-16.
//
// Writer form (Xml()): a declaration is written as <?xml version="V" encoding="E"?> with no line break
// before it; every element, comment and processing instruction begins with CR LF and one TAB per
// nesting level (a top-level node, or the node that Xml() is called on, is level 0); then "<", the name,
// each attribute as ` name="value"` in the order first set; then "/>" for an element without children,
// ">" + text + end tag for an element holding only text and CDATA, or ">" + children + CR LF +
// indentation + end tag otherwise. In values and text exactly `"` `&` `<` `>` are escaped.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

enum class XmlNodeType { Document, Declaration, Element, Text, CData, Comment, ProcessingInstruction };

class XmlDocument;
struct XmlArena;

class XmlNode {
 public:
  XmlNode(const XmlNode&) = delete;
  XmlNode& operator=(const XmlNode&) = delete;

  XmlNodeType Type() const noexcept { return type_; }
  bool IsElement() const noexcept { return type_ == XmlNodeType::Element; }
  // Element or processing-instruction name; "xml" for the declaration; "#text", "#cdata-section",
  // "#comment" and "#document" for the others.
  std::u16string_view Name() const noexcept;
  // Text, CDATA, comment and processing-instruction content; for an element the concatenated content
  // of its direct text and CDATA children; empty otherwise.
  std::u16string Text() const;
  XmlNode* Parent() const noexcept { return parent_; }
  XmlDocument& Document() const noexcept { return *document_; }

  // Child nodes in document order: elements, text that is not only white space, CDATA, comments.
  std::size_t ChildCount() const noexcept { return childCount_; }
  XmlNode* Child(std::size_t index) const { return children_[CheckIndex(index, childCount_)]; }
  std::span<XmlNode* const> Children() const noexcept { return {children_, childCount_}; }
  // The first child element with exactly this name, or null.
  XmlNode* FirstChild(std::u16string_view name) const noexcept;

  // Attributes (elements and the declaration; other nodes have none, so every read gives the default).
  std::size_t AttrCount() const noexcept { return attrCount_; }
  std::u16string_view AttrName(std::size_t index) const {
    return attrs_[CheckIndex(index, attrCount_)].name.View();
  }
  std::u16string_view AttrValue(std::size_t index) const {
    return attrs_[CheckIndex(index, attrCount_)].value.View();
  }
  bool HasAttr(std::u16string_view name) const noexcept { return FindAttr(name) != nullptr; }
  // The value as it stands, or def when the attribute is absent.
  std::u16string Attr(std::u16string_view name, std::u16string_view def = {}) const;
  // Absent gives def; a present value that does not read as such a value raises Exception naming the
  // attribute. Numbers: TryStrToDataNumber (finite, below 10^15), Booleans: TryStrToBool, integers:
  // TryStrToInt (Numbers.h).
  double AttrFloat(std::u16string_view name, double def) const;
  bool AttrBool(std::u16string_view name, bool def) const;
  int32_t AttrInt(std::u16string_view name, int32_t def) const;

  // Replaces the value in place when the attribute exists, appends it otherwise (an empty value too).
  void SetAttr(std::u16string_view name, std::u16string_view value);
  void SetAttrInt(std::u16string_view name, int32_t value);      // decimal
  void SetAttrFloat(std::u16string_view name, double value);     // general number form (FloatToStr)

  // Appends a new node at the end of this node's children and returns it.
  XmlNode* AppendElement(std::u16string_view name);
  XmlNode* AppendText(std::u16string_view text);
  XmlNode* AppendCData(std::u16string_view text);
  XmlNode* AppendComment(std::u16string_view text);
  // Drops every child node with its subtree; pointers to them become invalid.
  void RemoveAllChildren();

  // This node's text in the writer form, the node itself at level 0 (for the document node: the
  // document's text). Raises Exception for elements nested deeper than XmlDocument::MaxDepth.
  std::u16string Xml() const;
  // For comparisons: the writer form with each run of TAB characters (the indentation's and those of
  // values and texts alike) written as one TAB followed by the run's length in two units, high 16
  // bits first. Two nodes give the same text exactly when their writer forms are the same, and its
  // length grows with the node's content, not with its depth times its lines. Raises as Xml().
  std::u16string XmlTabRuns() const;

 private:
  friend class XmlDocument;
  friend struct XmlArena;
  friend class XmlParser;
  friend class XmlWriter;
  // Texts, child lists and attribute lists live in the document's arena (XmlArena.h), so a node owns
  // nothing to destroy. A text is either borrowed (capacity 0: a loaded text, never written over) or
  // held in storage of its own that a later value reuses when it fits.
  struct Text16 {
    char16_t* data = nullptr;
    uint32_t size = 0;
    uint32_t capacity = 0;
    std::u16string_view View() const noexcept { return {data, size}; }
  };
  struct Attribute {
    Text16 name;
    Text16 value;
  };
  XmlNode(XmlNodeType type, XmlDocument* document, XmlNode* parent) noexcept
      : type_(type), document_(document), parent_(parent) {}
  static std::size_t CheckIndex(std::size_t index, std::size_t count) {
    if (index >= count) throw std::out_of_range("XmlNode: index out of range");
    return index;
  }
  const Attribute* FindAttr(std::u16string_view name) const noexcept;
  void Assign(Text16& text, std::u16string_view value);
  XmlNode* Append(XmlNodeType type, std::u16string_view nameOrText);

  XmlNodeType type_;
  uint32_t childCount_ = 0;
  uint32_t childCapacity_ = 0;
  uint32_t attrCount_ = 0;
  uint32_t attrCapacity_ = 0;
  XmlDocument* document_;
  XmlNode* parent_;
  XmlNode** children_ = nullptr;
  Attribute* attrs_ = nullptr;
  Text16 name_;  // element and processing-instruction names
  Text16 text_;  // text, CDATA, comment and processing-instruction content
};

class XmlDocument {
 public:
  // An empty document: no declaration, no root element.
  XmlDocument();
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // A document holding a declaration with this version and encoding and a root element of this name.
  static std::unique_ptr<XmlDocument> Create(std::u16string_view rootName,
                                             std::u16string_view version = u"1.0",
                                             std::u16string_view encoding = u"utf-8");

  // Replaces the content with the parsed 8-bit text. The declaration's encoding decides how the bytes
  // are read: UTF-8, WINDOWS-1250..1258, ISO-8859-1..9 or ISO-2022-JP, names compared without regard
  // to case; a declaration without encoding means UTF-8; without a declaration every byte is the
  // character of the same number. Text made only of white space is dropped; entities and character
  // references are decoded (only the five predefined entities exist; a DOCTYPE is skipped).
  // Raises Exception saying what is wrong and at which byte offset for text that is not well-formed,
  // an unknown encoding name, more than MaxDepth nested elements; the document is then empty.
  void LoadXml(std::string_view text);
  // Nesting limit of loading and writing: the written text grows with the square of the depth (one TAB
  // per level on every line), and the host's documents are a few levels deep.
  static constexpr std::size_t MaxDepth = 1000;

  // Removes every node.
  void Clear();

  // The top-level nodes (declaration, comments, elements, ...), in order, as children of this node.
  XmlNode& Nodes() noexcept { return top_; }
  const XmlNode& Nodes() const noexcept { return top_; }
  // The first top-level element, or null.
  XmlNode* Root() const noexcept;
  // The declaration node, or null; its attributes are version, encoding (and standalone when read).
  XmlNode* Declaration() const noexcept;
  // Sets or adds the declaration (kept as the first top-level node).
  void SetDeclaration(std::u16string_view version, std::u16string_view encoding);

  // The whole document's text in the writer form: the top-level nodes' texts in order.
  std::u16string Xml() const { return top_.Xml(); }

 private:
  friend class XmlNode;
  friend class XmlParser;
  void DestroySubtreeOf(XmlNode& node) noexcept;  // the node's children, the node stays

  std::unique_ptr<XmlArena> arena_;
  XmlNode top_;
};

