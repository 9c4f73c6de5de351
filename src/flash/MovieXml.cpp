#include "flash/MovieXml.h"

#include "core/Exception.h"
#include "core/Utf.h"

namespace flash {

std::unique_ptr<XmlDocument> ParseMovieXml(std::u16string_view text) {
  const size_t start = text.find_first_not_of(u" \t\r\n");
  if (start != std::u16string_view::npos && text.substr(start, 5) == u"<?xml") {
    const size_t end = text.find(u"?>", start);
    if (end != std::u16string_view::npos) text.remove_prefix(end + 2);
  }
  auto document = std::make_unique<XmlDocument>();
  document->LoadXml("<?xml version=\"1.0\" encoding=\"utf-8\"?>" + Utf16ToUtf8(text));
  return document;
}

std::u16string InvokeFunctionName(std::u16string_view request) {
  const auto document = ParseMovieXml(request);
  const XmlNode* invoke = document->Root();
  if (!invoke || invoke->Name() != u"invoke" || !invoke->HasAttr(u"name"))
    throw Exception(u"Not a call request: " + std::u16string(request));
  return invoke->Attr(u"name");
}

}  // namespace flash
