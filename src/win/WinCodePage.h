#pragma once
// The system's ANSI code page at the Windows API: the 8-bit steps the programs take with the host's
// texts (check data, menus, the strings table) go through the system's own conversion, which knows
// every code page the computer may be set to.
#include <string>
#include <string_view>

// GetACP(): 1251 on a Russian system, 65001 when the system runs in UTF-8.
int SystemAnsiCodePage();

// UTF-16 to the ANSI code page (WideCharToMultiByte). A character the page lacks takes the system's
// best-fit look-alike when that is a letter or a digit ("Crème" gives "Creme" in windows-1251), and the
// page's default character otherwise: no sign ("<", a quotation mark, "&", "=") is ever made from
// another character, so the conversion of an XML text never adds markup. With a UTF-8 system code
// page the result is UTF-8.
std::string ToAnsi(std::u16string_view text);
// The ANSI code page to UTF-16 (MultiByteToWideChar).
std::u16string FromAnsi(std::string_view bytes);
// 8-bit text in the ANSI code page re-encoded as UTF-8; with a UTF-8 system code page the bytes pass
// through unchanged.
std::string AnsiToUtf8(std::string_view bytes);

// A whole text file read by its byte-order mark (UTF-8, UTF-16 LE/BE), else in the ANSI code page.
// The file is opened for reading while others may read but not write it. Raises Exception when it
// cannot be opened or read.
std::u16string ReadTextFileByBom(const std::wstring& path);
