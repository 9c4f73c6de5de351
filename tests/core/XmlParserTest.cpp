// The loader: encodings by declaration, kept and dropped nodes, references, value reads, malformed
// input and nesting depth.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "Raised.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "core/Xml.h"

namespace {
// The root's attribute, or what kept the text from loading.
std::u16string RootAttr(std::string_view text, std::u16string_view name) {
  XmlDocument doc;
  try {
    doc.LoadXml(text);
  } catch (const Exception& e) {
    return e.Message();
  }
  if (!doc.Root()) return u"<no root>";
  return doc.Root()->Attr(name);
}

TEST(XmlParser, WellFormedTextsAndTheirCharacters) {
  struct Case {
    const char* text;
    std::u16string value;
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?><a v=\"\xD0\xA9\xD0\xB8\"/>", u"Щи"},
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a v=\"\xD0\xA9\"/>", u"Щ"},
      {"<?xml version=\"1.0\"?><a v=\"\xD0\xA9\"/>", u"Щ"},                    // no encoding: UTF-8
      {"<a v=\"\xD0\xA9\"/>", u"\u00D0\u00A9"},                                 // no declaration: bytes
      {"<a v=\"\x80\x9F\xFF\"/>", u"\u0080\u009F\u00FF"},
      {"<?xml version='1.0' encoding='Windows-1251'?><a v=\"\xD9\xE8\xA8\"/>", u"ЩиЁ"},
      {"<?xml version=\"1.0\" encoding=\"windows-1252\"?><a v=\"\x80\x81\xE9\"/>", u"€\u0081é"},
      {"<?xml version=\"1.0\" encoding=\"WINDOWS-1250\"?><a v=\"\x8A\"/>", u"Š"},
      {"<?xml version=\"1.0\" encoding=\"windows-1258\"?><a v=\"\xD2\"/>", u"\u0309"},
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a v=\"\xE9\"/>", u"é"},
      {"<?xml version=\"1.0\" encoding=\"iso-8859-5\"?><a v=\"\xB0\xD0\"/>", u"Аа"},
      {"<?xml version=\"1.0\" encoding=\"iso-8859-9\"?><a v=\"\xFD\"/>", u"ı"},
      {"<?xml version=\"1.0\" encoding=\"ISO-2022-JP\"?><a v=\"x\x1B$B$\"F|\x1B(By\"/>", u"xあ日y"},
      {"\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?><a v=\"\xD0\xA9\"/>", u"Щ"},
      // Character references: leading zeros, however many, add nothing.
      {"<a v=\"&#00000000000000000000000000000000065;\"/>", u"A"},
      {"<a v=\"&#x0000000000000000000000041;&#x10FFFF;&#0001114111;\"/>", u"A\U0010FFFF\U0010FFFF"},
      {"<?xml version='1.0' encoding='windows-1251'?><a v=\"\xD9&#00000000000001065;\"/>", u"ЩЩ"},
      // A document type declaration is skipped, whatever its quotes, brackets, comments and
      // processing instructions hold.
      {"<!DOCTYPE a [<!-- it's [ -->]><a v=\"t\"/>", u"t"},
      {"<!DOCTYPE a [<?pi \"]\"?><!ENTITY x \"]\">]><a v=\"t\"/>", u"t"},
      {"<!DOCTYPE a [<?pi it's ]>?><!-- ]> \" --><!ENTITY e 'x]>'>]><a v=\"t\"/>", u"t"},
      {"<!DOCTYPE a SYSTEM \"a>[b.dtd\" [<!ELEMENT a ANY><![INCLUDE[%p;]]>]><a v=\"t\"/>", u"t"},
      {"<!DOCTYPEa]]><a v=\"t\"/>", u"t"},
      // Without its closer, "<!--" or "<?" in the internal subset is no markup of its own.
      {"<!DOCTYPE a [<!-- ]><a v=\"t\"/>", u"t"},  {"<!DOCTYPE a [<? ]><a v=\"t\"/>", u"t"},
  };
  for (const auto& c : cases) EXPECT_EQ(RootAttr(c.text, u"v"), c.value) << c.text;
}

TEST(XmlParser, UnknownEncodingNamesFail) {
  for (const char* name : {"koi8-r", "utf-16", "windows-1249", "windows-1259", "iso-8859-10",
                           "iso-8859-0", "UTF8", "", "cp1251"}) {
    XmlDocument doc;
    std::string text = std::string("<?xml version=\"1.0\" encoding=\"") + name + "\"?><a/>";
    try {
      doc.LoadXml(text);
      ADD_FAILURE() << name;
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find("encoding"), std::string::npos) << e.what();
    }
  }
}

TEST(XmlParser, KeepsNodesAndDropsBlankText) {
  XmlDocument doc;
  doc.LoadXml(
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- top -->\r\n"
      "<Check ModeName=\"Order\">\r\n\t<CheckLines>\r\n\t\t<Line Name=\"a\"/>\r\n\t\t<!-- c -->\r\n"
      "\t\t<Line Name=\"b\"/>\r\n\t</CheckLines>\r\n\t<T> some text </T><D><![CDATA[<x>&amp;]]></D>"
      "<E>a&lt;b&#65;&#x42;&#x1F35C;&quot;&apos;&gt;&amp;</E></Check>\r\n");
  ASSERT_EQ(doc.Nodes().ChildCount(), 3u);
  EXPECT_EQ(doc.Nodes().Child(0)->Type(), XmlNodeType::Declaration);
  EXPECT_EQ(doc.Declaration()->Attr(u"encoding"), u"utf-8");
  EXPECT_EQ(doc.Nodes().Child(1)->Type(), XmlNodeType::Comment);
  XmlNode* root = doc.Root();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Name(), u"Check");
  XmlNode* lines = root->FirstChild(u"CheckLines");
  ASSERT_NE(lines, nullptr);
  ASSERT_EQ(lines->ChildCount(), 3u);
  EXPECT_EQ(lines->Child(1)->Type(), XmlNodeType::Comment);
  EXPECT_EQ(lines->Child(1)->Attr(u"Name", u"none"), u"none");  // a non-element has no attributes
  EXPECT_EQ(lines->Child(2)->Attr(u"Name"), u"b");
  EXPECT_EQ(root->FirstChild(u"Missing"), nullptr);
  EXPECT_EQ(root->FirstChild(u"T")->Text(), u" some text ");
  EXPECT_EQ(root->FirstChild(u"D")->Child(0)->Type(), XmlNodeType::CData);
  EXPECT_EQ(root->FirstChild(u"D")->Text(), u"<x>&amp;");
  EXPECT_EQ(root->FirstChild(u"E")->Text(), u"a<bAB\U0001F35C\"'>&");
  // Written back in the writer's own form.
  EXPECT_EQ(doc.Xml(),
            u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<!-- top -->\r\n<Check ModeName=\"Order\">"
            u"\r\n\t<CheckLines>\r\n\t\t<Line Name=\"a\"/>\r\n\t\t<!-- c -->\r\n\t\t<Line Name=\"b\"/>"
            u"\r\n\t</CheckLines>\r\n\t<T> some text </T>\r\n\t<D><![CDATA[<x>&amp;]]></D>"
            u"\r\n\t<E>a&lt;bAB\U0001F35C&quot;'&gt;&amp;</E>\r\n</Check>");
}

TEST(XmlParser, EmptyTextsAndSequencesOfElements) {
  XmlDocument doc;
  doc.LoadXml("");
  EXPECT_EQ(doc.Root(), nullptr);
  doc.LoadXml("  <!-- only a comment -->  ");
  EXPECT_EQ(doc.Root(), nullptr);
  doc.LoadXml("<Item A=\"1\"/>\t<Item A=\"2\"><Modi/></Item>");  // the movies' receipt lines
  EXPECT_EQ(doc.Nodes().ChildCount(), 2u);
  EXPECT_EQ(doc.Root()->Attr(u"A"), u"1");
}

TEST(XmlParser, AttributeValuesInTheSystemsForms) {
  XmlDocument doc;
  doc.LoadXml(
      "<r Q=\" 2.5\" E=\"-1e3\" I=\"inf\" N=\"NaN\" B1=\"TRUE\" B2=\"false\" B3=\"0\" B4=\"-0.5\" "
      "H=\"$1F\" Bad=\"1.5x\" Empty=\"\" Sp=\"a\tb\nc\" Q2='it&apos;s \"q\"'/>");
  XmlNode* r = doc.Root();
  EXPECT_EQ(r->AttrFloat(u"Q", 0), 2.5);
  EXPECT_EQ(r->AttrFloat(u"E", 0), -1000);
  // No screen shows an amount that is not finite: such a number reads as none.
  EXPECT_THROW(r->AttrFloat(u"I", 0), Exception);
  EXPECT_THROW(r->AttrFloat(u"N", 0), Exception);
  EXPECT_EQ(r->AttrFloat(u"Absent", 7.5), 7.5);
  EXPECT_TRUE(r->AttrBool(u"B1", false));
  EXPECT_FALSE(r->AttrBool(u"B2", true));
  EXPECT_FALSE(r->AttrBool(u"B3", true));
  EXPECT_TRUE(r->AttrBool(u"B4", false));
  EXPECT_TRUE(r->AttrBool(u"Absent", true));
  EXPECT_EQ(r->AttrInt(u"H", 0), 31);
  EXPECT_EQ(r->AttrInt(u"Absent", 758), 758);
  EXPECT_EQ(r->Attr(u"Sp"), u"a\tb\nc");
  EXPECT_EQ(r->Attr(u"Q2"), u"it's \"q\"");
  EXPECT_EQ(r->Attr(u"Empty", u"def"), u"");
  EXPECT_THROW(r->AttrFloat(u"Bad", 0), Exception);
  EXPECT_THROW(r->AttrFloat(u"Empty", 0), Exception);
  EXPECT_THROW(r->AttrBool(u"Bad", false), Exception);
  EXPECT_THROW(r->AttrBool(u"Empty", false), Exception);
  EXPECT_THROW(r->AttrInt(u"Q", 0), Exception);
  EXPECT_EQ(RaisedMessage([&] { r->AttrFloat(u"Bad", 0); }),
            u"'1.5x' is not a valid floating point value (attribute Bad)");
}

TEST(XmlParser, DuplicateAttributesAreFoundAmongMany) {
  // Past the first few the names are looked up in a set: a duplicate of the first, of one in the
  // middle and of the one before, and the set of one tag not leaking into the next.
  auto tag = [](const std::string& name, int count, const std::string& extra) {
    std::string s = "<" + name;
    for (int i = 0; i < count; ++i) s += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    return s + extra;
  };
  for (const char* again : {"a0", "a17", "a39"}) {
    SCOPED_TRACE(again);
    const std::string text = tag("r", 40, std::string(" ") + again + "=\"x\"/>");
    XmlDocument doc;
    try {
      doc.LoadXml(text);
      ADD_FAILURE() << "loaded";
    } catch (const Exception& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find("duplicate attribute " + std::string(again) + " at"), std::string::npos) << message;
      EXPECT_TRUE(message.ends_with(" at offset " + std::to_string(text.rfind(' ') + 1))) << message;
    }
  }
  XmlDocument doc;
  doc.LoadXml(tag("r", 40, ">") + tag("c", 40, "/>") + tag("c", 3, "/>") + "</r>");
  EXPECT_EQ(doc.Root()->AttrCount(), 40u);
  EXPECT_EQ(doc.Root()->Child(0)->AttrCount(), 40u);
  EXPECT_EQ(doc.Root()->Child(1)->Attr(u"a2"), u"2");
}

TEST(XmlParser, MalformedTextsRaiseWithPlaceAndLeaveTheDocumentEmpty) {
  struct Case {
    const char* text;
    size_t offset;
  } cases[] = {
      {"<a>", 3},                       {"<a></b>", 3},
      {"<a", 2},                        {"<a b=\"1\"", 8},
      {"<a b=1/>", 5},                  {"<a b=\"1\" b=\"2\"/>", 9},
      {"</a>", 0},                      {"<a>&foo;</a>", 3},
      {"<a>&#0;</a>", 3},               {"<a>&#xD800;</a>", 3},
      {"<a>&amp</a>", 3},               {"<a>&#x110000;</a>", 3},
      {"<a>&#12a;</a>", 3},             {"<!-- x", 0},
      {"<a><![CDATA[x</a>", 3},         {"text", 0},
      {"<a/>text", 4},                  {"<a b=\"<\"/>", 6},
      {"<1a/>", 1},                     {"<a x=\"1\"y=\"2\"/>", 8},
      {"<a/ >", 2},                     {"<?xml version=\"1.0\"?><?xml version=\"1.0\"?><a/>", 21},
      {"<a><?xml version='1.0'?></a>", 3}, {"<?xml encoding=\"utf-8\"?><a/>", 0},
      {"<!DOCTYPE a [", 0},             {"<a><!DOCTYPE a></a>", 3},
      {"<?pi no end", 0},               {"<a b=\"1>", 6},
      {"<?xml version=\"1.0\" encoding=\"utf-8\"?><\xD0\xA9></\xD0\xA8>", 42},
      // Byte offsets stay exact after a reference to a character beyond ASCII and after bytes that
      // are not UTF-8.
      {"<?xml version=\"1.0\"?><a v=\"&#1059;\"></b>", 36},
      {"<?xml version=\"1.0\"?><a>\xFF\xFE</b>", 26},
      // Character references out of range with their leading zeros stripped, or badly formed.
      {"<a>&#x0000000000000000000000110000;</a>", 3},
      {"<a>&#000000000000000000000000000000001114112;</a>", 3},
      {"<a>&#00000000000000000000000000000000000000;</a>", 3},
      {"<a>&#x00000000000000000000000000000DFFF;</a>", 3},
      {"<a>&#x;</a>", 3},               {"<a>&#X41;</a>", 3},
      {"<a>&#65 </a>", 3},              {"<a v=\"&#x0000000000000000000000041\"/>", 6},
      // A comment in the internal subset hides a "]>"; a declared entity is not known.
      {"<!DOCTYPE a [<!-- ]> --><a/>", 0},
      {"<!DOCTYPE d [<?pi \"]\"?><!ENTITY x \"]\">]><d>&x;</d>", 43},
  };
  for (const auto& c : cases) {
    XmlDocument doc;
    doc.LoadXml("<ok/>");
    try {
      doc.LoadXml(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const Exception& e) {
      std::string message = e.what();
      EXPECT_TRUE(message.ends_with(" at offset " + std::to_string(c.offset))) << c.text << " -> " << message;
    }
    EXPECT_EQ(doc.Nodes().ChildCount(), 0u) << c.text;
    EXPECT_EQ(doc.Root(), nullptr);
  }
}

TEST(XmlParser, TruncatedDocumentsAllRaise) {
  const std::string full =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><Check Sum=\"10\"><CheckLines><Line Name=\"a&amp;b\">"
      "<ModiLine Name=\"m\"/><!-- c --><![CDATA[x]]></Line></CheckLines></Check>";
  XmlDocument doc;
  doc.LoadXml(full);
  for (size_t n = 1; n < full.size(); ++n) {
    // Cut right after the declaration the text is well-formed and empty; everywhere else it breaks.
    if (n == full.find("<Check")) continue;
    EXPECT_THROW(doc.LoadXml(full.substr(0, n)), Exception) << n;
  }
}

TEST(XmlParser, DoctypeIsSkippedAndDeclaredEntitiesAreUnknown) {
  XmlDocument doc;
  doc.LoadXml("<!DOCTYPE r [<!ENTITY e \"x]>\">]><r a=\"1\"/>");
  EXPECT_EQ(doc.Root()->Attr(u"a"), u"1");
  // An entity declared in the document is not expanded, so no text can blow up in memory.
  EXPECT_THROW(doc.LoadXml("<!DOCTYPE r [<!ENTITY e \"xxxxxxxx\">]><r>&e;&e;</r>"), Exception);
}

TEST(XmlParser, NestingDepth) {
  auto nested = [](size_t depth) {
    std::string s;
    for (size_t i = 0; i < depth; ++i) s += "<a>";
    for (size_t i = 0; i < depth; ++i) s += "</a>";
    return s;
  };
  XmlDocument doc;
  doc.LoadXml(nested(XmlDocument::MaxDepth));
  EXPECT_NE(doc.Root(), nullptr);
  EXPECT_FALSE(doc.Xml().empty());
  try {
    doc.LoadXml(nested(100000));
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("nested deeper than 1000 at offset 3000"), std::string::npos) << e.what();
  }
  EXPECT_EQ(doc.Root(), nullptr);
}
}  // namespace
