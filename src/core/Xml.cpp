// The XML document model: nodes, lists and texts kept in the document's arena, attribute access with
// the system's value forms, and subtree removal without recursion (documents may be nested very
// deeply).
#include "core/Xml.h"

#include <algorithm>

#include "core/Exception.h"
#include "core/NumberForms.h"
#include "core/Numbers.h"
#include "core/Utf.h"
#include "core/XmlArena.h"

XmlDocument::XmlDocument()
    : arena_(std::make_unique<XmlArena>()), top_(XmlNodeType::Document, this, nullptr) {}

XmlDocument::~XmlDocument() = default;

std::unique_ptr<XmlDocument> XmlDocument::Create(std::u16string_view rootName,
                                                 std::u16string_view version,
                                                 std::u16string_view encoding) {
  auto doc = std::make_unique<XmlDocument>();
  doc->SetDeclaration(version, encoding);
  doc->Nodes().AppendElement(rootName);
  return doc;
}

// Depth first through the parent links, each node released once its last child is: no recursion and
// no list of pending nodes.
void XmlDocument::DestroySubtreeOf(XmlNode& node) noexcept {
  XmlNode* n = &node;
  for (;;) {
    if (n->childCount_ > 0) {
      n = n->children_[--n->childCount_];
      continue;
    }
    if (n == &node) return;
    XmlNode* parent = n->parent_;
    arena_->ReleaseNode(n);
    n = parent;
  }
}

void XmlDocument::Clear() {
  arena_->Reset();
  top_.children_ = nullptr;
  top_.childCount_ = top_.childCapacity_ = 0;
}

XmlNode* XmlDocument::Root() const noexcept {
  for (XmlNode* n : top_.Children())
    if (n->IsElement()) return n;
  return nullptr;
}

XmlNode* XmlDocument::Declaration() const noexcept {
  for (XmlNode* n : top_.Children())
    if (n->type_ == XmlNodeType::Declaration) return n;
  return nullptr;
}

void XmlDocument::SetDeclaration(std::u16string_view version, std::u16string_view encoding) {
  XmlNode* decl = Declaration();
  if (!decl) {
    XmlNode** children = arena_->Grow(top_.children_, top_.childCount_, top_.childCapacity_);
    top_.children_ = children;
    std::memmove(children + 1, children, top_.childCount_ * sizeof(XmlNode*));
    children[0] = decl = arena_->NewNode(XmlNodeType::Declaration, this, &top_);
    ++top_.childCount_;
  }
  decl->SetAttr(u"version", version);
  decl->SetAttr(u"encoding", encoding);
}

std::u16string_view XmlNode::Name() const noexcept {
  switch (type_) {
    case XmlNodeType::Element:
    case XmlNodeType::ProcessingInstruction: return name_.View();
    case XmlNodeType::Declaration: return u"xml";
    case XmlNodeType::Text: return u"#text";
    case XmlNodeType::CData: return u"#cdata-section";
    case XmlNodeType::Comment: return u"#comment";
    case XmlNodeType::Document: return u"#document";
  }
  return {};
}

std::u16string XmlNode::Text() const {
  if (type_ != XmlNodeType::Element) return std::u16string(text_.View());
  std::u16string out;
  for (XmlNode* c : Children())
    if (c->type_ == XmlNodeType::Text || c->type_ == XmlNodeType::CData) out += c->text_.View();
  return out;
}

XmlNode* XmlNode::FirstChild(std::u16string_view name) const noexcept {
  for (XmlNode* c : Children())
    if (c->IsElement() && c->name_.View() == name) return c;
  return nullptr;
}

const XmlNode::Attribute* XmlNode::FindAttr(std::u16string_view name) const noexcept {
  for (const Attribute& a : std::span(attrs_, attrCount_))
    if (a.name.View() == name) return &a;
  return nullptr;
}

std::u16string XmlNode::Attr(std::u16string_view name, std::u16string_view def) const {
  const Attribute* a = FindAttr(name);
  return std::u16string(a ? a->value.View() : def);
}

namespace {
[[noreturn]] void BadValue(std::u16string_view name, std::u16string_view value, const char16_t* kind) {
  throw Exception(u"'" + std::u16string(value) + u"' is not a valid " + kind + u" value (attribute " +
                  std::u16string(name) + u")");
}
}  // namespace

double XmlNode::AttrFloat(std::u16string_view name, double def) const {
  const Attribute* a = FindAttr(name);
  if (!a) return def;
  double v;
  if (!TryStrToDataNumber(a->value.View(), v)) BadValue(name, a->value.View(), u"floating point");
  return v;
}

bool XmlNode::AttrBool(std::u16string_view name, bool def) const {
  const Attribute* a = FindAttr(name);
  if (!a) return def;
  bool v;
  if (!TryStrToBool(a->value.View(), v)) BadValue(name, a->value.View(), u"Boolean");
  return v;
}

int32_t XmlNode::AttrInt(std::u16string_view name, int32_t def) const {
  const Attribute* a = FindAttr(name);
  if (!a) return def;
  int32_t v;
  if (!TryStrToInt(a->value.View(), v)) BadValue(name, a->value.View(), u"integer");
  return v;
}

// Own storage from the arena when the value does not fit; `value` may lie in the old storage, which
// is released only after the copy.
void XmlNode::Assign(Text16& text, std::u16string_view value) {
  if (value.size() > UINT32_MAX) throw std::length_error("XML text too long");
  const auto size = static_cast<uint32_t>(value.size());
  if (size <= text.capacity) {
    std::char_traits<char16_t>::move(text.data, value.data(), size);
    text.size = size;
    return;
  }
  size_t granted;
  auto* fresh = static_cast<char16_t*>(document_->arena_->Allocate(size_t{size} * 2, granted));
  std::char_traits<char16_t>::copy(fresh, value.data(), size);
  document_->arena_->ReleaseText(text);
  text = {fresh, size, static_cast<uint32_t>(std::min<size_t>(granted / 2, UINT32_MAX))};
}

void XmlNode::SetAttr(std::u16string_view name, std::u16string_view value) {
  for (Attribute& a : std::span(attrs_, attrCount_)) {
    if (a.name.View() == name) {
      Assign(a.value, value);
      return;
    }
  }
  XmlArena& arena = *document_->arena_;
  Attribute added;
  try {
    Assign(added.name, name);
    Assign(added.value, value);
    attrs_ = arena.Grow(attrs_, attrCount_, attrCapacity_);
  } catch (...) {
    arena.ReleaseText(added.name);
    arena.ReleaseText(added.value);
    throw;
  }
  attrs_[attrCount_++] = added;
}

void XmlNode::SetAttrInt(std::u16string_view name, int32_t value) {
  SetAttr(name, Ascii(std::to_string(value)));
}

void XmlNode::SetAttrFloat(std::u16string_view name, double value) { SetAttr(name, FloatToStr(value)); }

XmlNode* XmlNode::Append(XmlNodeType type, std::u16string_view nameOrText) {
  XmlArena& arena = *document_->arena_;
  XmlNode* n = arena.NewNode(type, document_, this);
  try {
    Assign(type == XmlNodeType::Element ? n->name_ : n->text_, nameOrText);
    children_ = arena.Grow(children_, childCount_, childCapacity_);
  } catch (...) {
    arena.ReleaseNode(n);
    throw;
  }
  children_[childCount_++] = n;
  return n;
}

XmlNode* XmlNode::AppendElement(std::u16string_view name) { return Append(XmlNodeType::Element, name); }
XmlNode* XmlNode::AppendText(std::u16string_view text) { return Append(XmlNodeType::Text, text); }
XmlNode* XmlNode::AppendCData(std::u16string_view text) { return Append(XmlNodeType::CData, text); }
XmlNode* XmlNode::AppendComment(std::u16string_view text) { return Append(XmlNodeType::Comment, text); }

void XmlNode::RemoveAllChildren() { document_->DestroySubtreeOf(*this); }
