// libFuzzer target for the XML loader: any bytes either load or raise Exception (leaving the document
// empty); a loaded document is walked, read with every value form, written, and the written text
// loads again.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"

namespace {
void Walk(const XmlNode& top) {
  std::vector<const XmlNode*> pending{&top};
  while (!pending.empty()) {
    const XmlNode* n = pending.back();
    pending.pop_back();
    for (size_t i = 0; i < n->AttrCount(); ++i) {
      std::u16string_view name = n->AttrName(i);
      try { n->AttrFloat(name, 0); } catch (const Exception&) {}
      try { n->AttrBool(name, false); } catch (const Exception&) {}
      try { n->AttrInt(name, 0); } catch (const Exception&) {}
    }
    (void)n->Text();
    for (const XmlNode* c : n->Children()) pending.push_back(c);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XmlDocument doc;
  try {
    doc.LoadXml(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const Exception&) {
    if (doc.Nodes().ChildCount() != 0) __builtin_trap();  // a failed load leaves the document empty
    return 0;
  }
  Walk(doc.Nodes());
  // The writer's text (its declaration, always the first node, dropped) is well-formed UTF-8.
  XmlNode* decl = doc.Declaration();
  if (decl && decl != doc.Nodes().Child(0)) __builtin_trap();
  std::u16string text = doc.Xml();
  if (decl) text.erase(0, decl->Xml().size());
  XmlDocument again;
  again.LoadXml(Utf16ToUtf8(text));
  return 0;
}
