#pragma once
// The display texts of a display program, taken from "ZebStrings.xml" in the current folder in the
// language of the settings ("OUTPUT" "Language", default "RUS"); a text the file does not give keeps
// its built-in default.
#include <span>
#include <string>

enum class CaseRule { AsRead, Upper, Lower };

struct DisplayText {
  const wchar_t* Key;  // element name under the language element, compared exactly
  std::wstring* Text;  // holds the default before the load
  CaseRule Rule;
};

// Replaces the texts from the file as far as it gives them. Raises Exception when the file cannot be
// read, is not well-formed or names an unknown encoding, or when the language cannot be an element
// name; all of these before the first text is replaced.
void LoadStringsTable(std::span<const DisplayText> texts);
