// The host tool's command language: a table of good and bad lines, and whole scripts.
#include <gtest/gtest.h>

#include "Script.h"
#include "core/Exception.h"

using namespace zebhost;

namespace {

TEST(HostScript, GoodLinesGiveTheirCommandAndWords) {
  struct Case {
    const wchar_t* line;
    const wchar_t* name;
    std::vector<std::wstring> args;
  };
  const Case cases[] = {
      {L"listen 0", L"listen", {L"0"}},
      {L"listen 65535 2000", L"listen", {L"65535", L"2000"}},
      {L"  wait-registration\t5000  ", L"wait-registration", {L"5000"}},
      {L"find Orderlume", L"find", {L"Orderlume"}},
      {L"find \"Two words\" 300", L"find", {L"Two words", L"300"}},
      {L"send-check Orderlume \"data\\check one.xml\"", L"send-check", {L"Orderlume", L"data\\check one.xml"}},
      {L"send-tag Slipview 0xD3D3 s.xml", L"send-tag", {L"Slipview", L"0xD3D3", L"s.xml"}},
      {L"send-tag Slipview d4d4 m.xml", L"send-tag", {L"Slipview", L"d4d4", L"m.xml"}},
      {L"show Orderlume", L"show", {L"Orderlume"}},
      {L"hide Orderlume", L"hide", {L"Orderlume"}},
      {L"sleep 0", L"sleep", {L"0"}},
      {L"screenshot out\\shot.png", L"screenshot", {L"out\\shot.png"}},
      {L"close Orderlume", L"close", {L"Orderlume"}},
      {L"scene-load Sucrelle.dll", L"scene-load", {L"Sucrelle.dll"}},
      {L"scene-parameters p.xml m.xml", L"scene-parameters", {L"p.xml", L"m.xml"}},
      {L"scene-start", L"scene-start", {}},
      {L"scene-unload", L"scene-unload", {}},
  };
  for (const Case& c : cases) {
    std::optional<Command> got = ParseCommand(c.line, 4);
    ASSERT_TRUE(got.has_value()) << c.line;
    EXPECT_EQ(got->name, c.name);
    EXPECT_EQ(got->args, c.args) << got->name;
    EXPECT_EQ(got->line, 4);
  }
  for (const wchar_t* nothing : {L"", L"   \t", L"# a comment \"with an open quote", L"   #sleep x"})
    EXPECT_FALSE(ParseCommand(nothing, 1).has_value());
}

TEST(HostScript, BadLinesNameTheLineAndTheFault) {
  struct Case {
    const wchar_t* line;
    const char* message;
  };
  const Case cases[] = {
      {L"bogus 1", "line 7: unknown command \"bogus\""},
      {L"Listen 1", "unknown command \"Listen\""},
      {L"listen", "line 7: usage: listen <port>"},
      {L"listen 65536", "number too large: 65536"},
      {L"listen -1", "not a number: \"-1\""},
      {L"listen 1 2 3", "usage: listen"},
      {L"sleep", "usage: sleep"},
      {L"sleep 1.5", "not a number"},
      {L"sleep 99999999999", "not a number"},
      {L"sleep 2147483648", "number too large"},
      {L"find", "usage: find"},
      {L"find Orderlume soon", "not a number: \"soon\""},
      {L"send-check Orderlume", "usage: send-check"},
      {L"send-check Orderlume data\\check one.xml", "usage: send-check"},
      {L"send-tag Orderlume D2G2 f.xml", "not a hexadecimal tag: \"D2G2\""},
      {L"send-tag Orderlume 0x f.xml", "not a hexadecimal tag"},
      {L"send-tag Orderlume 123456789 f.xml", "not a hexadecimal tag"},
      {L"show \"Orderlume", "unclosed quote"},
      {L"show \"Order\"lume", "blank expected after a quote"},
      {L"show \"\"", "empty argument"},
      {L"scene-start now", "usage: scene-start"},
  };
  for (const Case& c : cases) {
    try {
      ParseCommand(c.line, 7);
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
}

TEST(HostScript, ScriptsCountLinesAcrossBlanksCommentsAndCrLf) {
  std::vector<Command> got = ParseScript(L"# demo\r\nlisten 0\r\n\r\nsleep 10\nfind Orderlume 100");
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].line, 2);
  EXPECT_EQ(got[1].line, 4);
  EXPECT_EQ(got[2].line, 5);
  EXPECT_EQ(got[2].args.back(), L"100");
  EXPECT_TRUE(ParseScript(L"").empty());
  try {
    ParseScript(L"sleep 1\nsleep 2\nsleep x\nbogus");
    ADD_FAILURE() << "a bad third line was accepted";
  } catch (const Exception& e) {
    EXPECT_EQ(std::string(e.what()).rfind("line 3: ", 0), 0u) << e.what();
  }
}

TEST(HostScript, ArgumentValues) {
  EXPECT_EQ(ParseDecimal(L"2489", 65535), 2489u);
  EXPECT_EQ(ParseHexTag(L"0xD2D2"), 0xD2D2u);
  EXPECT_EQ(ParseHexTag(L"d3D3"), 0xD3D3u);
  EXPECT_EQ(ParseHexTag(L"FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_THROW(ParseHexTag(L"\uFF11\uFF21"), Exception);  // full-width digits are no hex digits
}

}  // namespace
