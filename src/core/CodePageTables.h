#pragma once
// The generated code-page tables (CodePageTables.cpp, written by GenerateCodePageTables.py).

// The characters of bytes 0x80..0xFF of windows-1250..1258 and iso-8859-1..9 (28591..28599), or null
// for any other page. The lower half of every such page is ASCII.
const char16_t* SingleByteHighHalf(int codePage) noexcept;

// JIS X 0208: kJis0208[(row - 0x21) * 94 + (col - 0x21)], 0 where the pair has no character.
extern const char16_t kJis0208[94 * 94];
