#pragma once
// Small text helpers shared by the programs' readers and writers.
#include <string>
#include <string_view>

// The text without its leading and trailing blanks and control characters (every code up to 32).
std::u16string_view TrimBlanks(std::u16string_view text) noexcept;

// The text with every CR LF pair removed (a lone CR or LF stays), as the programs hand XML texts to
// their movies.
std::u16string RemoveCrLfPairs(std::u16string_view text);

// Case mapping is the system's business (Cyrillic letters included): the core takes it as an argument.
// On Windows SystemCaseMap() (win/WinCaseMap.h) maps through CharUpperBuffW / CharLowerBuffW.
class CaseMap {
 public:
  virtual ~CaseMap() = default;
  virtual std::u16string Upper(std::u16string_view text) const = 0;
  virtual std::u16string Lower(std::u16string_view text) const = 0;
};

// A system-free mapping of ASCII, Latin-1 and the basic Cyrillic block (А-я, Ё/ё, Ѐ-Џ/ѐ-џ), for the
// native build and tests.
const CaseMap& SimpleCaseMap() noexcept;

// The bare file name of a path: the part after the last "\" or ":" (the whole path when it has
// neither), the name under which a picture goes into a movie's in-memory file list.
std::u16string_view BareFileName(std::u16string_view path) noexcept;
