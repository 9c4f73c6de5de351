#pragma once
// The reading of one check data text into what the header shows: the mode, the currency, the number
// of order lines, the dish just ordered with its quantity, price and modifiers, and the payments with
// their change. Reading changes nothing on screen; every failure raises before the header is touched.
#include <memory>
#include <string>
#include <string_view>

#include "core/Texts.h"
#include "core/Xml.h"

struct CheckSummary {
  std::u16string ModeName;
  std::u16string Currency;  // lower-cased, "руб" by default
  int LineCount = 0;        // child nodes of CheckLines, comments included
  bool NoLines = true;
  std::u16string DishName;  // of the last new line, trimmed
  std::u16string QuantityText;
  std::u16string DishPriceText;
  std::u16string ModifiersText;
  std::u16string PaidText;
  std::u16string ChangeText;
};

// The texts the reading needs from the program.
struct CheckTexts {
  std::u16string MoneyFormat;  // "0", "0.0" or "0.00"
  std::u16string DefPcs;       // portion unit of a line without its own
  const CaseMap* Case = nullptr;
};

struct CheckData {
  CheckSummary Summary;
  // The parsed text: the layouts read the root's ModeText and Sum from it when they need them.
  std::unique_ptr<XmlDocument> Document;
};

// `utf8` is the check data after the code-page steps: the host's text in the system's 8-bit code page,
// encoded as UTF-8. Raises Exception for text that does not parse, a document without root, and a
// New, Qnt, Price, Sum or Change that is read and is not a Boolean or number.
CheckData ReadCheckDataUtf8(std::string_view utf8, const CheckTexts& texts);

// Money text of an amount with the program's mask.
std::u16string MoneyText(double value, const std::u16string& moneyFormat);
