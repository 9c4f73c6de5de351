#pragma once
// The message of the Exception a call raises. A call that raises nothing fails the test at the
// caller's line, so that a check of the message can never pass by being skipped.
#include <gtest/gtest.h>

#include <source_location>
#include <string>

#include "core/Exception.h"

template <class Call>
std::u16string RaisedMessage(Call&& call, std::source_location where = std::source_location::current()) {
  try {
    call();
  } catch (const Exception& e) {
    return e.Message();
  }
  ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << "nothing was raised";
  return u"(nothing raised)";
}
