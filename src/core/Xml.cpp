// The XML document model: nodes kept in a per-document pool, attribute access with the system's
// value forms, and subtree removal without recursion (documents may be nested very deeply).
#include "core/Xml.h"

#include <algorithm>
#include <new>

#include "core/Exception.h"
#include "core/NumberForms.h"
#include "core/Numbers.h"
#include "core/Utf.h"

// Node storage: blocks of raw slots, a free list for slots of removed nodes.
struct XmlArena {
  static constexpr size_t BlockNodes = 256;
  struct alignas(XmlNode) Slot {
    std::byte bytes[sizeof(XmlNode)];
  };
  std::vector<std::unique_ptr<Slot[]>> blocks;
  size_t usedInLast = BlockNodes;
  std::vector<void*> freeSlots;

  void* Allocate() {
    if (!freeSlots.empty()) {
      void* p = freeSlots.back();
      freeSlots.pop_back();
      return p;
    }
    if (usedInLast == BlockNodes) {
      blocks.push_back(std::make_unique<Slot[]>(BlockNodes));
      usedInLast = 0;
      // Room for every slot, so that Release never has to allocate.
      if (freeSlots.capacity() < blocks.size() * BlockNodes)
        freeSlots.reserve(std::max(blocks.size() * BlockNodes, 2 * freeSlots.capacity()));
    }
    return &blocks.back()[usedInLast++];
  }
  void Release(XmlNode* node) noexcept {
    node->~XmlNode();
    freeSlots.push_back(node);
  }
};

XmlDocument::XmlDocument() : arena_(std::make_unique<XmlArena>()) {
  top_ = new (arena_->Allocate()) XmlNode(XmlNodeType::Document, this, nullptr);
}

XmlDocument::~XmlDocument() {
  DestroySubtreeOf(*top_);
  top_->~XmlNode();
}

std::unique_ptr<XmlDocument> XmlDocument::Create(std::u16string_view rootName,
                                                 std::u16string_view version,
                                                 std::u16string_view encoding) {
  auto doc = std::make_unique<XmlDocument>();
  doc->SetDeclaration(version, encoding);
  doc->Nodes().AppendElement(rootName);
  return doc;
}

XmlNode* XmlDocument::NewNode(XmlNodeType type, XmlNode* parent) {
  return new (arena_->Allocate()) XmlNode(type, this, parent);
}

void XmlDocument::DestroySubtreeOf(XmlNode& node) noexcept {
  std::vector<XmlNode*> pending = std::move(node.children_);
  node.children_.clear();
  while (!pending.empty()) {
    XmlNode* n = pending.back();
    pending.pop_back();
    for (XmlNode* c : n->children_) pending.push_back(c);
    n->children_.clear();
    arena_->Release(n);
  }
}

void XmlDocument::Clear() { DestroySubtreeOf(*top_); }

XmlNode* XmlDocument::Root() const noexcept {
  for (XmlNode* n : top_->children_)
    if (n->IsElement()) return n;
  return nullptr;
}

XmlNode* XmlDocument::Declaration() const noexcept {
  for (XmlNode* n : top_->children_)
    if (n->type_ == XmlNodeType::Declaration) return n;
  return nullptr;
}

void XmlDocument::SetDeclaration(std::u16string_view version, std::u16string_view encoding) {
  XmlNode* decl = Declaration();
  if (!decl) {
    decl = NewNode(XmlNodeType::Declaration, top_);
    top_->children_.insert(top_->children_.begin(), decl);
  }
  decl->SetAttr(u"version", version);
  decl->SetAttr(u"encoding", encoding);
}

std::u16string_view XmlNode::Name() const noexcept {
  switch (type_) {
    case XmlNodeType::Element:
    case XmlNodeType::ProcessingInstruction: return name_;
    case XmlNodeType::Declaration: return u"xml";
    case XmlNodeType::Text: return u"#text";
    case XmlNodeType::CData: return u"#cdata-section";
    case XmlNodeType::Comment: return u"#comment";
    case XmlNodeType::Document: return u"#document";
  }
  return {};
}

std::u16string XmlNode::Text() const {
  if (type_ != XmlNodeType::Element) return text_;
  std::u16string out;
  for (XmlNode* c : children_)
    if (c->type_ == XmlNodeType::Text || c->type_ == XmlNodeType::CData) out += c->text_;
  return out;
}

XmlNode* XmlNode::FirstChild(std::u16string_view name) const noexcept {
  for (XmlNode* c : children_)
    if (c->IsElement() && c->name_ == name) return c;
  return nullptr;
}

const XmlNode::Attribute* XmlNode::FindAttr(std::u16string_view name) const noexcept {
  for (const auto& a : attrs_)
    if (a.name == name) return &a;
  return nullptr;
}

std::u16string XmlNode::Attr(std::u16string_view name, std::u16string_view def) const {
  const Attribute* a = FindAttr(name);
  return std::u16string(a ? std::u16string_view(a->value) : def);
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
  if (!TryStrToFloat(a->value, v)) BadValue(name, a->value, u"floating point");
  return v;
}

bool XmlNode::AttrBool(std::u16string_view name, bool def) const {
  const Attribute* a = FindAttr(name);
  if (!a) return def;
  bool v;
  if (!TryStrToBool(a->value, v)) BadValue(name, a->value, u"Boolean");
  return v;
}

int32_t XmlNode::AttrInt(std::u16string_view name, int32_t def) const {
  const Attribute* a = FindAttr(name);
  if (!a) return def;
  int32_t v;
  if (!TryStrToInt(a->value, v)) BadValue(name, a->value, u"integer");
  return v;
}

void XmlNode::SetAttr(std::u16string_view name, std::u16string_view value) {
  for (auto& a : attrs_) {
    if (a.name == name) {
      a.value.assign(value);
      return;
    }
  }
  attrs_.push_back({std::u16string(name), std::u16string(value)});
}

void XmlNode::SetAttrInt(std::u16string_view name, int32_t value) {
  SetAttr(name, Ascii(std::to_string(value)));
}

void XmlNode::SetAttrFloat(std::u16string_view name, double value) { SetAttr(name, FloatToStr(value)); }

XmlNode* XmlNode::Append(XmlNodeType type, std::u16string_view nameOrText) {
  XmlNode* n = document_->NewNode(type, this);
  try {
    if (type == XmlNodeType::Element) n->name_.assign(nameOrText);
    else n->text_.assign(nameOrText);
    children_.push_back(n);
  } catch (...) {
    document_->arena_->Release(n);
    throw;
  }
  return n;
}

XmlNode* XmlNode::AppendElement(std::u16string_view name) { return Append(XmlNodeType::Element, name); }
XmlNode* XmlNode::AppendText(std::u16string_view text) { return Append(XmlNodeType::Text, text); }
XmlNode* XmlNode::AppendCData(std::u16string_view text) { return Append(XmlNodeType::CData, text); }
XmlNode* XmlNode::AppendComment(std::u16string_view text) { return Append(XmlNodeType::Comment, text); }

void XmlNode::RemoveAllChildren() { document_->DestroySubtreeOf(*this); }
