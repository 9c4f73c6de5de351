#pragma once
// The part of a text that can appear in its box, found without laying the text out. GDI+ as Wine has
// it measures the whole rest of a text again for every line it lays out, so a text of some hundred
// thousand characters would keep the display busy for minutes; handed only what can appear, it
// draws the same pixels at once.
//
// The bounds rest on two facts of the characters counted here (Latin, Cyrillic, digits and the
// punctuation of the Western and Cyrillic code pages): each advances the pen by at least the
// smallest advance the font gives any of them, and each line that holds one is at least a given
// height. Every other character (blanks that hang at the end of a wrapped line, marks that combine
// with the letter before, zero-width and format characters, other scripts) counts for nothing, so it
// never makes the cut shorter. A text with right-to-left characters is never cut: its lines are
// reordered for display.
//
// Line breaks: CR LF, CR and LF alike are one break (as the display hands them to GDI+: LF).
#include <cstddef>
#include <limits>
#include <string>

namespace ui {

struct TextCut {
  static constexpr size_t kAll = std::numeric_limits<size_t>::max();
  // Which ends of a line that does not wrap are kept when it is too long: the start is what Wine
  // draws of a line longer than its box (whatever the alignment), the end what Windows shows of a
  // right-aligned one.
  enum class Ends { Start, End, Both };

  bool wrap = true;
  size_t lines = kAll;       // lines from the top that must stay as they are
  size_t lineCount = kAll;   // wrap: the counted characters one line can hold
  size_t keepCount = kAll;   // no wrap: the counted characters kept at each kept end of a long line
  Ends ends = Ends::Start;
  bool operator==(const TextCut&) const = default;
};

// Whether the character is one the bounds count (see above).
bool CountedCharacter(wchar_t c, bool wrap);

struct CutResult {
  std::wstring text;      // line breaks as LF
  bool linesLeft = false;  // lines (or the rest of a wrapped line) were left out below
  bool lineShortened = false;  // a line that does not wrap was shortened
  size_t restAt = std::wstring::npos;  // where the lines left out begin in the source text
  bool Cut() const { return linesLeft || lineShortened; }
};

// The text with its line breaks as LF, cut after the first `lines` lines (a wrapped line holding at
// most `lineCount` counted characters) and, without wrapping, each line longer than `keepCount`
// counted characters cut to its kept ends. Lines without a character other than tabs count for no
// height (Wine gives them none); a run of more than `lines` + 1 of them is shortened to that many,
// which leaves the lines after it where they were under Wine and below the box under Windows.
CutResult CutText(const std::wstring& text, const TextCut& cut);

}  // namespace ui
