#pragma once
// The host tool's command language: one command per line (or per command-line argument), words
// separated by blanks, a word in double quotes may hold blanks, "#" begins a comment line. Each
// command's arguments are checked when the script is read, so a bad script fails before it acts.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace zebhost {

struct Command {
  std::wstring name;
  std::vector<std::wstring> args;
  int line = 0;  // 1-based line of the script, or the command-line argument's number
};

// One line: nothing for a blank or comment line; raises Exception "line N: ..." for an unknown
// command, a wrong number of arguments, a bad number or an unclosed quote.
std::optional<Command> ParseCommand(const std::wstring& text, int line);
// Every line of a script text (LF or CR LF line ends).
std::vector<Command> ParseScript(const std::wstring& text);

// Argument values, as the parser has checked them: a decimal number up to max, and a hexadecimal tag
// with or without "0x". Raise Exception for anything else.
unsigned long ParseDecimal(const std::wstring& s, unsigned long max);
ULONG_PTR ParseHexTag(const std::wstring& s);

// The usage text listing every command.
std::wstring CommandSummary();

}  // namespace zebhost
