#include "core/Exception.h"

#include "core/Utf.h"

Exception::Exception(std::u16string message)
    : message_(std::move(message)), utf8_(Utf16ToUtf8(message_)) {}

std::u16string ExceptionMessage(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
  return Utf8ToUtf16(e.what());
}
