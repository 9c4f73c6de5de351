// Numbers read from settings values and XML attributes.
#include "core/Numbers.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "core/Ascii.h"
#include "core/Exception.h"
#include "core/Texts.h"

bool TryStrToInt(std::u16string_view s, int32_t& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;
  uint64_t acc = 0;
  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  const int base = hex ? 16 : 10;
  for (; i < s.size(); ++i) {
    int d = HexDigitValue(s[i]);
    if (d < 0 || d >= base) return false;
    acc = acc * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (acc > limit) return false;
  }
  uint32_t bits = static_cast<uint32_t>(acc);
  if (negative) bits = 0u - bits;
  value = static_cast<int32_t>(bits);
  return true;
}

int32_t StrToIntDef(std::u16string_view s, int32_t def) {
  const bool hex = s.starts_with(u'$') || (s.size() > 2 && (s.starts_with(u"0x") || s.starts_with(u"0X")));
  // TryStrToInt reads both forms; what it would take beyond this rule is turned away first.
  const size_t sign = !s.empty() && (s[0] == u'+' || s[0] == u'-') ? 1 : 0;
  const bool decimal = !hex && !s.empty() && s.find_first_not_of(u"0123456789", sign) == std::u16string_view::npos;
  int32_t v;
  return (hex || decimal) && TryStrToInt(s, v) ? v : def;
}

bool TryStrToFloat(std::u16string_view s, double& value) {
  size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  std::u16string_view rest = s.substr(i);
  if (AsciiEqualsNoCase(rest, u"INF") || AsciiEqualsNoCase(rest, u"+INF")) {
    value = std::numeric_limits<double>::infinity();
    return true;
  }
  if (AsciiEqualsNoCase(rest, u"-INF")) {
    value = -std::numeric_limits<double>::infinity();
    return true;
  }
  if (AsciiEqualsNoCase(rest, u"NAN")) {
    value = std::numeric_limits<double>::quiet_NaN();
    return true;
  }
  bool negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  // The text is checked here and handed to from_chars in ASCII, without its sign.
  std::string ascii;
  ascii.reserve(s.size() - i);
  size_t digits = 0, intDigits = 0;
  auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  for (; i < s.size() && isDigit(s[i]); ++i, ++digits, ++intDigits) ascii += static_cast<char>(s[i]);
  if (i < s.size() && s[i] == u'.') {
    ascii += '.';
    for (++i; i < s.size() && isDigit(s[i]); ++i, ++digits) ascii += static_cast<char>(s[i]);
  }
  if (digits == 0) return false;
  long exponent = 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ascii += 'e';
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ascii += static_cast<char>(s[i++]);
    size_t expDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++expDigits) {
      ascii += static_cast<char>(s[i]);
      if (exponent < 100000) exponent = exponent * 10 + (s[i] - u'0');
    }
    if (expDigits == 0) return false;
    if (ascii[ascii.size() - expDigits - 1] == '-') exponent = -exponent;
  }
  if (i != s.size()) return false;
  double v = 0;
  auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v);
  if (ec == std::errc::result_out_of_range) {
    // Beyond the double range: the nearest double is infinity or zero.
    size_t firstNonZero = ascii.find_first_not_of("0.");
    bool huge = firstNonZero != std::string::npos &&
                static_cast<long>(intDigits) - static_cast<long>(firstNonZero) + exponent > 0;
    v = huge ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc() || end != ascii.data() + ascii.size()) {
    return false;
  }
  value = negative ? -v : v;
  return true;
}

bool TryStrToDataNumber(std::u16string_view s, double& value) {
  double v;
  // NAN fails the comparison too.
  if (!TryStrToFloat(s, v) || !(std::fabs(v) < kDataNumberLimit)) return false;
  value = v;
  return true;
}

bool TryStrToBool(std::u16string_view s, bool& value) {
  if (AsciiEqualsNoCase(s, u"TRUE")) {
    value = true;
    return true;
  }
  if (AsciiEqualsNoCase(s, u"FALSE")) {
    value = false;
    return true;
  }
  double number;
  if (!TryStrToFloat(s, number)) return false;
  value = number != 0;
  return true;
}

void ParseIntList(std::u16string_view text, std::vector<int32_t>& out) {
  std::u16string_view rest = TrimBlanks(text);
  auto convert = [&](std::u16string_view piece) {
    int32_t v;
    if (!TryStrToInt(piece, v))
      throw Exception(u"'" + std::u16string(piece) + u"' is not a valid integer value");
    out.push_back(v);
  };
  for (size_t comma; (comma = rest.find(u',')) != std::u16string_view::npos;) {
    convert(rest.substr(0, comma));
    rest = rest.substr(comma + 1);
  }
  if (!rest.empty()) convert(rest);
}
