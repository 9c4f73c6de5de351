// Number texts from the exact decimal value of a double: general form and masked forms.
#include "core/NumberForms.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

#include "core/Utf.h"

namespace {
// A finite magnitude as decimal digits: 0.d1d2d3... x 10^exp10, no leading or trailing zeros; no
// digits means zero.
struct Decimal {
  std::string digits;
  int exp10 = 0;
};

Decimal ExactDecimal(double magnitude) {
  Decimal d;
  if (magnitude == 0) return d;
  // 767 significant digits hold every double exactly.
  char buf[800];
  auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 767);
  std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
  size_t e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
  for (char c : text.substr(0, e))
    if (c != '.') d.digits += c;
  d.exp10 = exponent + 1;
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  return d;
}

// Keeps the first `keep` digits, rounding a half away from zero.
void KeepDigits(Decimal& d, long keep) {
  if (static_cast<long>(d.digits.size()) <= keep) return;
  if (keep < 0) {
    d.digits.clear();
    return;
  }
  bool up = d.digits[static_cast<size_t>(keep)] >= '5';
  d.digits.resize(static_cast<size_t>(keep));
  if (up) {
    long i = keep - 1;
    for (; i >= 0 && d.digits[static_cast<size_t>(i)] == '9'; --i) d.digits[static_cast<size_t>(i)] = '0';
    if (i >= 0) {
      ++d.digits[static_cast<size_t>(i)];
    } else {
      d.digits.insert(d.digits.begin(), '1');
      ++d.exp10;
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

void KeepSignificant(Decimal& d, int significant) { KeepDigits(d, significant); }
void KeepDecimals(Decimal& d, int decimals) { KeepDigits(d, static_cast<long>(d.exp10) + decimals); }

std::u16string NonFinite(double value) {
  if (std::isnan(value)) return u"NAN";
  return value < 0 ? u"-INF" : u"INF";
}

// The integer digits ("" for zero) and the first `decimals` fraction digits (zero-padded).
void SplitDigits(const Decimal& d, int decimals, std::string& integer, std::string& fraction) {
  integer.clear();
  fraction.assign(static_cast<size_t>(decimals), '0');
  for (size_t k = 0; k < d.digits.size(); ++k) {
    long position = d.exp10 - 1 - static_cast<long>(k);  // power of ten of this digit
    if (position >= 0) {
      integer += d.digits[k];
    } else if (-position <= decimals) {
      fraction[static_cast<size_t>(-position - 1)] = d.digits[k];
    }
  }
  if (!d.digits.empty() && d.exp10 > static_cast<int>(d.digits.size()))
    integer.append(static_cast<size_t>(d.exp10) - d.digits.size(), '0');
}
}  // namespace

std::u16string FloatToStr(double value) {
  if (!std::isfinite(value)) return NonFinite(value);
  Decimal d = ExactDecimal(std::fabs(value));
  KeepSignificant(d, 15);
  if (d.digits.empty()) return u"0";
  std::string out = value < 0 ? "-" : "";
  const int e = d.exp10 - 1;
  if (e >= 15 || e < -4) {
    out += d.digits[0];
    if (d.digits.size() > 1) out += "." + d.digits.substr(1);
    out += "E" + std::to_string(e);
  } else if (d.exp10 <= 0) {
    out += "0." + std::string(static_cast<size_t>(-d.exp10), '0') + d.digits;
  } else if (static_cast<int>(d.digits.size()) <= d.exp10) {
    out += d.digits + std::string(static_cast<size_t>(d.exp10) - d.digits.size(), '0');
  } else {
    out += d.digits.substr(0, static_cast<size_t>(d.exp10)) + "." +
           d.digits.substr(static_cast<size_t>(d.exp10));
  }
  return Ascii(out);
}

namespace {
// One section of a mask, taken apart.
struct Section {
  struct Token {
    enum Kind { Literal, IntPlace, Point, DecPlace, Exponent } kind;
    std::u16string text;
  };
  std::vector<Token> tokens;
  int intPlaces = 0, minIntDigits = 0, decPlaces = 0, minDecimals = 0;
  bool thousands = false, scientific = false, expPlus = false;
  int expDigits = 0;
  bool HasPlaceholders() const { return intPlaces + decPlaces > 0; }
};

Section ParseSection(std::u16string_view mask) {
  Section s;
  bool afterPoint = false;
  int firstIntZero = -1;
  auto literal = [&](std::u16string_view text) {
    if (!s.tokens.empty() && s.tokens.back().kind == Section::Token::Literal)
      s.tokens.back().text += text;
    else
      s.tokens.push_back({Section::Token::Literal, std::u16string(text)});
  };
  for (size_t i = 0; i < mask.size(); ++i) {
    char16_t c = mask[i];
    if (c == u'"' || c == u'\'') {
      size_t end = mask.find(c, i + 1);
      if (end == std::u16string_view::npos) end = mask.size();
      literal(mask.substr(i + 1, end - i - 1));
      i = end;
    } else if (s.scientific) {
      literal(mask.substr(i, 1));  // whatever follows the exponent is literal text
    } else if (c == u'0' || c == u'#') {
      if (afterPoint) {
        ++s.decPlaces;
        if (c == u'0') s.minDecimals = s.decPlaces;
        s.tokens.push_back({Section::Token::DecPlace, {}});
      } else {
        if (c == u'0' && firstIntZero < 0) firstIntZero = s.intPlaces;
        ++s.intPlaces;
        s.tokens.push_back({Section::Token::IntPlace, {}});
      }
    } else if (c == u'.' && !afterPoint) {
      afterPoint = true;
      s.tokens.push_back({Section::Token::Point, {}});
    } else if (c == u',' && !afterPoint) {
      s.thousands = true;
    } else if ((c == u'E' || c == u'e') && i + 1 < mask.size() && (mask[i + 1] == u'+' || mask[i + 1] == u'-')) {
      s.scientific = true;
      s.expPlus = mask[i + 1] == u'+';
      s.tokens.push_back({Section::Token::Exponent, std::u16string(1, c)});
      ++i;
      while (i + 1 < mask.size() && mask[i + 1] == u'0') {
        ++s.expDigits;
        ++i;
      }
    } else {
      literal(mask.substr(i, 1));
    }
  }
  s.minIntDigits = firstIntZero < 0 ? 0 : s.intPlaces - firstIntZero;
  return s;
}

std::vector<std::u16string_view> SplitSections(std::u16string_view mask) {
  std::vector<std::u16string_view> sections;
  size_t start = 0;
  char16_t quote = 0;
  for (size_t i = 0; i < mask.size(); ++i) {
    char16_t c = mask[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u';') {
      sections.push_back(mask.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(mask.substr(start));
  return sections;
}

std::string Group(const std::string& digits) {
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

// Formats a magnitude with one section; `negative` asks for a leading "-" unless the result is zero.
std::u16string FormatSection(const Section& s, double magnitude, bool negative) {
  Decimal d = ExactDecimal(magnitude);
  KeepSignificant(d, 18);
  int exponent = 0;
  if (s.scientific) {
    const int intDigits = s.intPlaces > 0 ? s.intPlaces : 1;
    KeepSignificant(d, intDigits + s.decPlaces);
    if (!d.digits.empty()) {
      exponent = d.exp10 - intDigits;
      d.exp10 = intDigits;
    }
  } else {
    KeepDecimals(d, s.decPlaces);
  }
  std::string integer, fraction;
  SplitDigits(d, s.decPlaces, integer, fraction);
  if (static_cast<int>(integer.size()) < s.minIntDigits)
    integer.insert(0, static_cast<size_t>(s.minIntDigits) - integer.size(), '0');
  while (static_cast<int>(fraction.size()) > s.minDecimals && fraction.back() == '0') fraction.pop_back();
  if (s.thousands) integer = Group(integer);

  std::u16string out = negative && !d.digits.empty() ? u"-" : u"";
  bool integerDone = false;
  size_t decimal = 0;
  for (const auto& t : s.tokens) {
    switch (t.kind) {
      case Section::Token::Literal: out += t.text; break;
      case Section::Token::IntPlace:
        if (!integerDone) out += Ascii(integer);
        integerDone = true;
        break;
      case Section::Token::Point:
        if (!integerDone) out += Ascii(integer);
        integerDone = true;
        if (!fraction.empty()) out += u'.';
        break;
      case Section::Token::DecPlace:
        if (decimal < fraction.size()) out += static_cast<char16_t>(fraction[decimal]);
        ++decimal;
        break;
      case Section::Token::Exponent: {
        std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
        if (static_cast<int>(digits.size()) < s.expDigits)
          digits.insert(0, static_cast<size_t>(s.expDigits) - digits.size(), '0');
        out += t.text;
        if (exponent < 0) out += u'-';
        else if (s.expPlus) out += u'+';
        out += Ascii(digits);
        break;
      }
    }
  }
  return out;
}
}  // namespace

std::u16string FormatFloat(std::u16string_view mask, double value) {
  if (!std::isfinite(value)) return NonFinite(value);
  auto texts = SplitSections(mask);
  std::vector<Section> sections;
  for (auto t : texts) sections.push_back(ParseSection(t));
  auto usable = [&](size_t k) { return k < texts.size() && !texts[k].empty(); };
  const Section& positive = sections[0];
  if (!positive.HasPlaceholders() && positive.tokens.empty()) return FloatToStr(value);
  if (value == 0 && usable(2)) return FormatSection(sections[2], 0.0, false);
  if (value < 0 && usable(1)) return FormatSection(sections[1], -value, false);
  return FormatSection(positive, std::fabs(value), value < 0);
}
