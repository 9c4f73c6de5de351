#pragma once
// How a movie reads the XML texts it is handed (its variables, the player's call requests). The texts
// are already Unicode, so a declaration of their own says nothing about how to read them: it is
// dropped, and the text is read as UTF-8.
#include <memory>
#include <string>
#include <string_view>

#include "core/Xml.h"

namespace flash {

// Raises Exception for a text that is not well-formed.
std::unique_ptr<XmlDocument> ParseMovieXml(std::u16string_view text);

// The function named by a call request, `<invoke name="f" returntype="..."><arguments>...</arguments>
// </invoke>`. Raises Exception for a text that does not parse or is not such a request.
std::u16string InvokeFunctionName(std::u16string_view request);

}  // namespace flash
