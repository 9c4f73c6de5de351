#include "ui/TextCut.h"

#include <algorithm>

namespace ui {
namespace {

constexpr size_t kMargin = 8;  // counted characters beyond a bound, for the line break's look-ahead

bool RightToLeft(wchar_t c) {
  return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF) ||
         c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
         (c >= 0xD802 && c <= 0xD803) || (c >= 0xD83A && c <= 0xD83B);  // surrogates of the RTL blocks
}

bool Break(wchar_t c) { return c == L'\n' || c == L'\r'; }

// Just after the `count`-th counted character of [from, to), or `to` when it has fewer.
size_t AfterCounted(const std::wstring& s, size_t from, size_t to, size_t count, bool wrap) {
  for (size_t i = from; i < to; ++i)
    if (CountedCharacter(s[i], wrap) && count-- == 1) return i + 1;
  return to;
}

// At the `count`-th counted character of [from, to) from its end, or `from` when it has fewer.
size_t AtCountedFromEnd(const std::wstring& s, size_t from, size_t to, size_t count, bool wrap) {
  for (size_t i = to; i > from; --i)
    if (CountedCharacter(s[i - 1], wrap) && count-- == 1) return i - 1;
  return from;
}

}  // namespace

bool CountedCharacter(wchar_t c, bool wrap) {
  if (c == L' ' || c == 0x00A0) return !wrap;  // a blank at the end of a wrapped line hangs
  return (c >= 0x21 && c <= 0x7E) || (c >= 0xA1 && c <= 0x17F && c != 0xAD) || (c >= 0x400 && c <= 0x45F) ||
         c == 0x490 || c == 0x491 || c == 0x2013 || c == 0x2014 || (c >= 0x2018 && c <= 0x201E) ||
         (c >= 0x2020 && c <= 0x2022) || c == 0x2026 || c == 0x2030 || c == 0x2039 || c == 0x203A ||
         c == 0x20AC || c == 0x2116 || c == 0x2122;
}

CutResult CutText(const std::wstring& text, const TextCut& cut) {
  CutResult r;
  const bool bounded = cut.lines != TextCut::kAll ||
                       (cut.wrap ? cut.lineCount != TextCut::kAll : cut.keepCount != TextCut::kAll);
  const bool reordered = bounded && std::any_of(text.begin(), text.end(), RightToLeft);
  r.text.reserve(std::min<size_t>(text.size(), 1 << 16));
  size_t shown = 0;      // lines laid out so far, at least (a wrapped line: one per lineCount counted)
  size_t blankRun = 0;   // lines in a row without a character other than tabs
  size_t i = 0;
  while (i < text.size()) {
    size_t end = i;
    size_t counted = 0;
    bool content = false;
    for (; end < text.size() && !Break(text[end]); ++end) {
      counted += CountedCharacter(text[end], cut.wrap);
      content = content || text[end] != L'\t';
    }
    // The next line begins after CR LF, CR or LF.
    size_t next = end;
    if (next < text.size()) next += text[next] == L'\r' && next + 1 < text.size() && text[next + 1] == L'\n' ? 2 : 1;
    auto keepLine = [&](size_t from, size_t to) {
      r.text.append(text, from, to - from);
      if (end < text.size()) r.text += L'\n';
    };
    auto stop = [&](size_t at) {
      if (at < text.size()) {
        r.linesLeft = true;
        r.restAt = at;
      }
    };
    if (reordered) {
      keepLine(i, end);
      i = next;
      continue;
    }
    if (!content) {
      if (++blankRun <= cut.lines + 1) keepLine(i, end);
      else r.linesLeft = true;
      i = next;
      continue;
    }
    blankRun = 0;
    if (cut.wrap) {
      const size_t need =
          cut.lineCount == TextCut::kAll ? 1 : std::max<size_t>(1, (counted + cut.lineCount - 1) / cut.lineCount);
      if (cut.lines != TextCut::kAll && shown + need >= cut.lines) {
        // The last line that must stay lies in this one: what follows it is left out.
        size_t to = end;
        if (cut.lineCount != TextCut::kAll)
          to = AfterCounted(text, i, end, (cut.lines - shown) * cut.lineCount + kMargin, true);
        if (to < end) {
          r.text.append(text, i, to - i);
          stop(to);
        } else {
          keepLine(i, end);
          stop(next);
        }
        return r;
      }
      keepLine(i, end);
      shown += need;
    } else {
      const size_t keep = cut.keepCount == TextCut::kAll ? TextCut::kAll : cut.keepCount + kMargin;
      const size_t ends = cut.ends == TextCut::Ends::Both ? 2 : 1;
      if (keep != TextCut::kAll && counted > keep * ends) {
        if (cut.ends != TextCut::Ends::End) r.text.append(text, i, AfterCounted(text, i, end, keep, false) - i);
        if (cut.ends != TextCut::Ends::Start) {
          const size_t from = AtCountedFromEnd(text, i, end, keep, false);
          r.text.append(text, from, end - from);
        }
        if (end < text.size()) r.text += L'\n';
        r.lineShortened = true;
      } else {
        keepLine(i, end);
      }
      if (cut.lines != TextCut::kAll && ++shown >= cut.lines) {
        stop(next);
        return r;
      }
    }
    i = next;
  }
  return r;
}

}  // namespace ui
