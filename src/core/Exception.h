#pragma once
// The system's failure type. Every main step catches it (and anything else) at its edge and logs
// "AV in <step>"; the display programs' application-wide handler logs its message.
#include <exception>
#include <string>

class Exception : public std::exception {
 public:
  explicit Exception(std::u16string message);
  const std::u16string& Message() const noexcept { return message_; }
  // The message as UTF-8, for test output and std::exception users.
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::u16string message_;
  std::string utf8_;
};

// The message of any caught exception as the logs show it: the system's own message, or the C++
// runtime's text for the others.
std::u16string ExceptionMessage(const std::exception& e);
