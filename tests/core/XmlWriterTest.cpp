// The writer's exact text, proved with the texts the programs hand to their movies and to the host.
#include <gtest/gtest.h>

#include "core/Exception.h"
#include "core/NumberForms.h"
#include "core/Texts.h"
#include "core/Xml.h"

namespace {
TEST(XmlWriter, ReceiptTitleAndBlankGalleryEntry) {
  auto title = XmlDocument::Create(u"Item", u"1.0", u"utf-8");
  XmlNode* root = title->Root();
  root->SetAttr(u"Name", u"Наименование");
  root->SetAttr(u"Quantity", u"Количество");
  root->SetAttr(u"Amount", u"Стоимость");
  root->SetAttr(u"Description", u"Приходите еще!");
  root->SetAttr(u"Evaluation", u"false");
  EXPECT_EQ(RemoveCrLfPairs(root->Xml()),
            u"<Item Name=\"Наименование\" Quantity=\"Количество\" Amount=\"Стоимость\" "
            u"Description=\"Приходите еще!\" Evaluation=\"false\"/>");

  auto gallery = XmlDocument::Create(u"Item");
  gallery->Root()->SetAttr(u"Name", u" ");
  gallery->Root()->SetAttr(u"Picture", u"");
  EXPECT_EQ(gallery->Xml(), u"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Item Name=\" \" Picture=\"\"/>");
  EXPECT_EQ(RemoveCrLfPairs(gallery->Xml()),
            u"<?xml version=\"1.0\" encoding=\"utf-8\"?><Item Name=\" \" Picture=\"\"/>");
}

TEST(XmlWriter, ReceiptLinesWithModifiersAsTopLevelSequence) {
  XmlDocument receipt;  // neither declaration nor root: items are appended at top level
  XmlNode* line = receipt.Nodes().AppendElement(u"Item");
  for (auto [name, value] : {std::pair<const char16_t*, std::u16string>{u"Picture", u""},
                             {u"Name", u"Burger \"Big\" & <Co>'s"},
                             {u"Qnt", FloatToStr(2)},
                             {u"Portion", u"шт."},
                             {u"Price", FormatFloat(u"0", (100 + 30) * 2.0)},
                             {u"Currency", u"руб"}})
    line->SetAttr(name, value);
  for (const char16_t* modi : {u"*Cheese, 1x30руб", u"*Salt", u"*Cola, 1x50руб"})
    line->AppendElement(u"Modi")->SetAttr(u"Name", modi);
  XmlNode* discount = receipt.Nodes().AppendElement(u"Item");
  for (auto [name, value] : {std::pair<const char16_t*, std::u16string>{u"Picture", u"sale.png"},
                             {u"Name", u"Sale\r\nnow\n"},
                             {u"Qnt", u""},
                             {u"Portion", u""},
                             {u"Price", FormatFloat(u"0.00", -26.5)},
                             {u"Currency", u"руб"}})
    discount->SetAttr(name, value);

  const std::u16string raw = receipt.Xml();
  EXPECT_EQ(raw,
            u"\r\n<Item Picture=\"\" Name=\"Burger &quot;Big&quot; &amp; &lt;Co&gt;'s\" Qnt=\"2\" "
            u"Portion=\"шт.\" Price=\"260\" Currency=\"руб\">"
            u"\r\n\t<Modi Name=\"*Cheese, 1x30руб\"/>\r\n\t<Modi Name=\"*Salt\"/>"
            u"\r\n\t<Modi Name=\"*Cola, 1x50руб\"/>\r\n</Item>"
            u"\r\n<Item Picture=\"sale.png\" Name=\"Sale\r\nnow\n\" Qnt=\"\" Portion=\"\" Price=\"-26.50\" "
            u"Currency=\"руб\"/>");
  EXPECT_EQ(RemoveCrLfPairs(raw),
            u"<Item Picture=\"\" Name=\"Burger &quot;Big&quot; &amp; &lt;Co&gt;'s\" Qnt=\"2\" "
            u"Portion=\"шт.\" Price=\"260\" Currency=\"руб\">"
            u"\t<Modi Name=\"*Cheese, 1x30руб\"/>\t<Modi Name=\"*Salt\"/>\t<Modi Name=\"*Cola, 1x50руб\"/>"
            u"</Item><Item Picture=\"sale.png\" Name=\"Salenow\n\" Qnt=\"\" Portion=\"\" Price=\"-26.50\" "
            u"Currency=\"руб\"/>");
  EXPECT_EQ(XmlDocument().Xml(), u"");
}

TEST(XmlWriter, SceneDishElementKeepsFirstSetOrder) {
  auto item = XmlDocument::Create(u"Item");
  XmlNode* dish = item->Root();
  dish->SetAttr(u"Currency", u"РУБ.");  // a first call without parameters sets only this one
  dish->SetAttr(u"ShowText", u"ХОЛОДНЫЕ НАПИТКИ");
  dish->SetAttr(u"Name", u"old");
  dish->SetAttr(u"Path", u"");
  dish->SetAttr(u"Price", u"0");
  dish->SetAttr(u"Currency", u"РУБ.");  // replaced in place
  dish->SetAttr(u"Name", u"МОРОЖЕНОЕ САНДЕЙ");
  dish->SetAttr(u"Path", u"sundae.png");
  dish->SetAttr(u"Price", FormatFloat(u"0", 52100 / 100.0));
  EXPECT_EQ(dish->Xml(),
            u"\r\n<Item Currency=\"РУБ.\" ShowText=\"ХОЛОДНЫЕ НАПИТКИ\" Name=\"МОРОЖЕНОЕ САНДЕЙ\" "
            u"Path=\"sundae.png\" Price=\"521\"/>");
}

// The scene libraries' default text is checked through their export (SceneLibraryTest); here the
// writer's layout of such a tree: the declaration as given, one element a line, each level one tab
// deeper, CR LF between lines and none after the last.
TEST(XmlWriter, NestedElementsOneALineEachLevelATabDeeper) {
  auto doc = XmlDocument::Create(u"Root", u"1.0", u"UTF-8");
  XmlNode* outer = doc->Root()->AppendElement(u"Outer");
  outer->SetAttrInt(u"N", -7);
  outer->AppendElement(u"Inner")->SetAttr(u"T", u"СЫР");
  outer->AppendElement(u"Inner");
  doc->Root()->AppendElement(u"Last");
  EXPECT_EQ(doc->Xml(),
            u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            u"<Root>\r\n"
            u"\t<Outer N=\"-7\">\r\n"
            u"\t\t<Inner T=\"СЫР\"/>\r\n"
            u"\t\t<Inner/>\r\n"
            u"\t</Outer>\r\n"
            u"\t<Last/>\r\n"
            u"</Root>");
}

TEST(XmlWriter, TextContentMixedContentAndOtherNodes) {
  XmlDocument doc;
  XmlNode* root = doc.Nodes().AppendElement(u"a");
  root->AppendElement(u"t")->AppendText(u"x < y & \"z\" 'w'");
  XmlNode* mixed = root->AppendElement(u"m");
  mixed->AppendText(u"before");
  mixed->AppendElement(u"e");
  root->AppendComment(u" note ");
  root->AppendElement(u"c")->AppendCData(u"<raw>]]>&");
  EXPECT_EQ(doc.Xml(),
            u"\r\n<a>\r\n\t<t>x &lt; y &amp; &quot;z&quot; 'w'</t>"
            u"\r\n\t<m>before\r\n\t\t<e/>\r\n\t</m>"
            u"\r\n\t<!-- note -->"
            u"\r\n\t<c><![CDATA[<raw>]]]]><![CDATA[>&]]></c>\r\n</a>");
  // A node written alone starts at level 0.
  EXPECT_EQ(root->FirstChild(u"m")->Xml(), u"\r\n<m>before\r\n\t<e/>\r\n</m>");
}

TEST(XmlWriter, RemoveAllChildrenThenAppend) {
  auto doc = XmlDocument::Create(u"r");
  XmlNode* a = doc->Root()->AppendElement(u"a");
  a->AppendElement(u"b")->AppendElement(u"c");
  doc->Root()->RemoveAllChildren();
  EXPECT_EQ(doc->Root()->ChildCount(), 0u);
  doc->Root()->AppendElement(u"d");
  EXPECT_EQ(doc->Root()->Xml(), u"\r\n<r>\r\n\t<d/>\r\n</r>");
}

TEST(XmlWriter, DeepTreesAreWrittenToTheLimitAndFreedWithoutRecursion) {
  auto chain = [](XmlDocument& doc, size_t depth) {
    XmlNode* n = &doc.Nodes();
    for (size_t i = 0; i < depth; ++i) n = n->AppendElement(u"a");
  };
  auto doc = std::make_unique<XmlDocument>();
  chain(*doc, XmlDocument::MaxDepth);
  const std::u16string text = doc->Xml();
  // Every level but the innermost: CR LF + indentation + "<a>", then CR LF + indentation + "</a>";
  // the innermost: CR LF + indentation + "<a/>".
  constexpr size_t depth = XmlDocument::MaxDepth;
  size_t expected = 0;
  for (size_t level = 0; level + 1 < depth; ++level) expected += (2 + level + 3) + (2 + level + 4);
  expected += 2 + (depth - 1) + 4;
  EXPECT_EQ(text.size(), expected);
  EXPECT_EQ(text.substr(text.size() - 6), u"\r\n</a>");

  doc = std::make_unique<XmlDocument>();
  chain(*doc, 100000);
  EXPECT_THROW(doc->Xml(), Exception);
  doc.reset();  // destroying the tree must not recurse either
}
// The TAB-run form decoded: each TAB and the two units after it give that many TABs.
std::u16string ExpandTabRuns(std::u16string_view runs) {
  std::u16string text;
  for (size_t i = 0; i < runs.size(); ++i) {
    if (runs[i] != u'\t') {
      text += runs[i];
      continue;
    }
    EXPECT_LE(i + 2, runs.size() - 1) << "a TAB without its run length";
    if (i + 2 >= runs.size()) break;
    text.append((size_t{runs[i + 1]} << 16) | runs[i + 2], u'\t');
    i += 2;
  }
  return text;
}

TEST(XmlWriter, TabRunsAreTheWritersTextInShortAndGrowWithTheContentNotTheDepth) {
  // TABs of the indentation next to TABs of values, texts, comments and CDATA.
  const char* const texts[] = {
      "<a/>",
      "<a x=\"&#9;\"><b y=\"1&#9;&#9;\">t&#9;</b><c><!--\t--><d>\t<e/>x\t</d></c><![CDATA[\t\t]]></a>",
      "<a><b><c><d>&#9;&#9;&#9;&#9;<e x=\"&#9;\"/></d></c></b></a>",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    XmlDocument doc;
    doc.LoadXml(text);
    EXPECT_EQ(ExpandTabRuns(doc.Root()->XmlTabRuns()), doc.Root()->Xml());
  }
  // 900 levels: the writer's text holds about 900 * 900 TABs, the short form three units a line.
  XmlDocument doc;
  XmlNode* n = &doc.Nodes();
  for (int i = 0; i < 900; ++i) n = n->AppendElement(u"a");
  const std::u16string runs = doc.Nodes().Child(0)->XmlTabRuns();
  EXPECT_LT(runs.size(), 1800u * 10);
  EXPECT_EQ(ExpandTabRuns(runs), doc.Nodes().Child(0)->Xml());
}
}  // namespace
