// Reading and checking the host tool's commands.
#include "Script.h"

#include <cwctype>

#include "core/Ascii.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "win/WinText.h"

namespace zebhost {
namespace {

// Argument kinds: 'p' port, 'm' milliseconds, 'h' hexadecimal tag, 't' any text. Arguments after
// `required` are optional.
struct CommandSpec {
  const wchar_t* name;
  const char* kinds;
  size_t required;
  const wchar_t* usage;
};

constexpr CommandSpec kCommands[] = {
    {L"listen", "pm", 1, L"listen <port> [<ms>]          bind 127.0.0.1:<port> (0: any); print what comes in <ms>"},
    {L"wait-registration", "m", 1, L"wait-registration <ms>        print the next registration datagram"},
    {L"find", "tm", 1, L"find <caption> [<ms>]         wait for a window with that caption"},
    {L"send-check", "tt", 2, L"send-check <caption> <file>   send a UTF-8 file as check data (0xD2D2)"},
    {L"send-tag", "tht", 3, L"send-tag <caption> <tag> <file>  the same with a hexadecimal tag"},
    {L"show", "t", 1, L"show <caption>                send WM_SHOW_DISPLAY"},
    {L"hide", "t", 1, L"hide <caption>                send WM_HIDE_DISPLAY"},
    {L"sleep", "m", 1, L"sleep <ms>                    wait, the message loop running"},
    {L"screenshot", "t", 1, L"screenshot <file.png>         picture of the whole screen"},
    {L"close", "t", 1, L"close <caption>               post WM_CLOSE"},
    {L"scene-load", "t", 1, L"scene-load <dll>              load a scene library"},
    {L"scene-create", "", 0, L"scene-create"},
    {L"scene-parameters", "tt", 2, L"scene-parameters <params.xml> <menu.xml>"},
    {L"scene-start", "", 0, L"scene-start"},
    {L"scene-stop", "", 0, L"scene-stop"},
    {L"scene-screenshot", "t", 1, L"scene-screenshot <file.png>  the scene's picture object as PNG"},
    {L"scene-destroy", "", 0, L"scene-destroy"},
    {L"scene-unload", "", 0, L"scene-unload                  destroy the scene, then unload"},
};

Exception LineError(int line, const std::u16string& what) {
  return Exception(Ascii("line " + std::to_string(line) + ": ") + what);
}

std::vector<std::wstring> SplitWords(const std::wstring& text, int line) {
  std::vector<std::wstring> words;
  size_t i = 0;
  while (i < text.size()) {
    if (iswspace(text[i])) {
      ++i;
      continue;
    }
    std::wstring word;
    if (text[i] == L'"') {
      size_t close = text.find(L'"', i + 1);
      if (close == std::wstring::npos) throw LineError(line, u"unclosed quote");
      word = text.substr(i + 1, close - i - 1);
      i = close + 1;
      if (i < text.size() && !iswspace(text[i])) throw LineError(line, u"blank expected after a quote");
    } else {
      while (i < text.size() && !iswspace(text[i])) word += text[i++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace

unsigned long ParseDecimal(const std::wstring& s, unsigned long max) {
  if (s.empty() || s.size() > 10) throw Exception(u"not a number: \"" + ToU16(s) + u"\"");
  unsigned long long v = 0;
  for (wchar_t c : s) {
    if (c < L'0' || c > L'9') throw Exception(u"not a number: \"" + ToU16(s) + u"\"");
    v = v * 10 + (c - L'0');
  }
  if (v > max) throw Exception(u"number too large: " + ToU16(s));
  return static_cast<unsigned long>(v);
}

ULONG_PTR ParseHexTag(const std::wstring& s) {
  std::wstring digits = s.size() > 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X') ? s.substr(2) : s;
  if (digits.empty() || digits.size() > 8) throw Exception(u"not a hexadecimal tag: \"" + ToU16(s) + u"\"");
  ULONG_PTR v = 0;
  for (wchar_t c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0) throw Exception(u"not a hexadecimal tag: \"" + ToU16(s) + u"\"");
    v = v * 16 + static_cast<ULONG_PTR>(d);
  }
  return v;
}

std::optional<Command> ParseCommand(const std::wstring& text, int line) {
  const size_t first = text.find_first_not_of(L" \t\r\n\v\f");
  if (first == std::wstring::npos || text[first] == L'#') return std::nullopt;
  std::vector<std::wstring> words = SplitWords(text, line);
  const CommandSpec* spec = nullptr;
  for (const CommandSpec& c : kCommands)
    if (words[0] == c.name) spec = &c;
  if (!spec) throw LineError(line, u"unknown command \"" + ToU16(words[0]) + u"\"");
  Command command{words[0], std::vector<std::wstring>(words.begin() + 1, words.end()), line};
  const size_t most = std::char_traits<char>::length(spec->kinds);
  if (command.args.size() < spec->required || command.args.size() > most)
    throw LineError(line, u"usage: " + ToU16(spec->usage));
  for (size_t i = 0; i < command.args.size(); ++i) {
    try {
      switch (spec->kinds[i]) {
        case 'p': ParseDecimal(command.args[i], 65535); break;
        case 'm': ParseDecimal(command.args[i], 0x7FFFFFFF); break;
        case 'h': ParseHexTag(command.args[i]); break;
        default:
          if (command.args[i].empty()) throw Exception(u"empty argument");
      }
    } catch (const Exception& e) {
      throw LineError(line, e.Message());
    }
  }
  return command;
}

std::vector<Command> ParseScript(const std::wstring& text) {
  std::vector<Command> commands;
  int line = 1;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring one = text.substr(start, end - start);
    if (!one.empty() && one.back() == L'\r') one.pop_back();
    if (auto c = ParseCommand(one, line)) commands.push_back(std::move(*c));
    start = end + 1;
    ++line;
  }
  return commands;
}

std::wstring CommandSummary() {
  std::wstring out;
  for (const CommandSpec& c : kCommands) out += std::wstring(L"  ") + c.usage + L"\n";
  return out;
}

}  // namespace zebhost
