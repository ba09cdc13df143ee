#include "core/numeric_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include <fast_float/fast_float.h>

#include "core/runtime_error.h"

namespace torvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Removes the leading ASCII digits of text and returns them.
std::string_view takeDigits(std::string_view& text) {
  std::size_t n = 0;
  while (n < text.size() && isDigit(text[n])) ++n;
  const std::string_view digits = text.substr(0, n);
  text.remove_prefix(n);
  return digits;
}

bool hasNonzeroDigit(std::string_view digits) {
  return digits.find_first_not_of('0') != std::string_view::npos;
}

// A text spelt as a number: [-]digits[separator digits][(e|E)[+|-]digits],
// at least one mantissa digit, no blanks inside. A leading '+' is dropped,
// since fast_float, like std::from_chars, takes only a minus.
struct Spelling {
  std::string_view number;                           // the text from its minus or first digit
  std::size_t separatorAt = std::string_view::npos;  // where in `number` the separator stands
  std::string_view integer{}, fraction{};            // the mantissa's digits

  bool nonzero() const { return hasNonzeroDigit(integer) || hasNonzeroDigit(fraction); }
};

std::optional<Spelling> spelling(std::string_view text, std::string_view separator) {
  text = trimBlanks(text);
  std::size_t minus = 0;
  if (text.starts_with('+')) text.remove_prefix(1);
  else if (text.starts_with('-')) minus = 1;
  Spelling found{text};
  std::string_view rest = text.substr(minus);
  found.integer = takeDigits(rest);
  if (!separator.empty() && rest.starts_with(separator)) {
    found.separatorAt = text.size() - rest.size();
    rest.remove_prefix(separator.size());
    found.fraction = takeDigits(rest);
  }
  if (found.integer.empty() && found.fraction.empty()) return std::nullopt;

  if (rest.starts_with('e') || rest.starts_with('E')) {
    rest.remove_prefix(1);
    if (rest.starts_with('+') || rest.starts_with('-')) rest.remove_prefix(1);
    if (takeDigits(rest).empty()) return std::nullopt;
  }
  if (!rest.empty()) return std::nullopt;
  return found;
}

// The nearest double to a spelling; overflow gives an infinity and a number
// nearer zero than half the smallest subnormal gives zero. fast_float takes a
// one-byte separator as it is, unless it could be read as a digit, a sign or
// an exponent; any other separator (U+066B is two bytes) is spelt as a point
// in a copy.
double nearestDouble(const Spelling& spelt, std::string_view separator) {
  std::string copy;
  std::string_view number = spelt.number;
  char point = '.';
  if (separator.size() == 1 && std::string_view("0123456789+-eE").find(separator.front()) == std::string_view::npos) {
    point = separator.front();
  } else if (spelt.separatorAt != std::string_view::npos) {
    copy.assign(number).replace(spelt.separatorAt, separator.size(), 1, '.');
    number = copy;
  }
  double value = 0.0;
  fast_float::from_chars_advanced(number.data(), number.data() + number.size(), value,
                                  fast_float::parse_options{fast_float::chars_format::general, point});
  return value;
}

// Code points a message never shows as they are: they show as nothing, or
// move, join or hide the characters around them. That is every control (C0,
// DEL, C1), format character (bidi marks, embeddings, overrides and isolates,
// zero-width spaces and joiners, invisible operators, the soft hyphen, the
// byte-order mark, tags), line and paragraph separator, every space but the
// ASCII one, and the other code points Unicode tells a renderer to draw as
// nothing (fillers, variation selectors): as of Unicode 15, the general
// categories Cc, Cf, Zl, Zp and Zs, less U+0020, and Default_Ignorable_Code_Point.
struct CodeRange {
  char32_t first, last;
};
constexpr CodeRange kShownAsEscapes[] = {
  {0x0000, 0x001F},   {0x007F, 0x00A0},   {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},
  {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},
  {0x115F, 0x1160},   {0x1680, 0x1680},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x2000, 0x200F},
  {0x2028, 0x202F},   {0x205F, 0x206F},   {0x3000, 0x3000},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},
  {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
  {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

bool shownAsEscape(char32_t code) {
  for (const auto& [first, last] : kShownAsEscapes)
    if (code >= first && code <= last) return true;
  return false;
}

// The code point that a well-formed UTF-8 sequence at the start of a text
// spells, and its length in bytes; length 0 where none starts: a stray
// continuation byte, an overlong form, a surrogate, a code point beyond
// U+10FFFF, a sequence cut short.
struct Decoded {
  char32_t code;
  std::size_t length;
};
Decoded decodeUtf8(std::string_view text) {
  struct Form {
    unsigned char leadMask, lead;
    std::size_t length;
    char32_t smallest;  // a smaller code point is spelt in fewer bytes
  };
  constexpr Form kForms[] = {{0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  if (byte(0) < 0x80) return {byte(0), 1};
  for (const Form& form : kForms) {
    if ((byte(0) & form.leadMask) != form.lead) continue;
    if (text.size() < form.length) return {0, 0};
    char32_t code = byte(0) & static_cast<unsigned char>(~form.leadMask);
    for (std::size_t i = 1; i < form.length; ++i) {
      if ((byte(i) & 0xC0) != 0x80) return {0, 0};
      code = (code << 6) | (byte(i) & 0x3Fu);
    }
    if (code < form.smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {0, 0};
    return {code, form.length};
  }
  return {0, 0};
}

// "<U+202E>", "<U+E0041>", "<0xFF>": upper-case hexadecimal, at least `digits` of it.
std::string escape(const char* prefix, char32_t value, int digits) {
  std::string hex;
  for (; value != 0 || digits > 0; value >>= 4, --digits) hex.insert(hex.begin(), "0123456789ABCDEF"[value & 0xFu]);
  return "<" + std::string(prefix) + hex + ">";
}

// What a message shows of a text: a short, quotable form, since a field can
// hold a pasted megabyte, that cannot mislead. Each character that
// shownAsEscape names, and each byte that starts no well-formed UTF-8
// sequence, shows as an escape; the rest shows as it is. The quote is a
// first-strong isolate (U+2068 ... U+2069), so that a right-to-left text stays
// inside it and the message's own words keep their order. A long text is cut
// after 40 characters as shown, an escape counted by its length, and never
// inside an escape or a character.
std::string quoted(std::string_view text) {
  constexpr std::size_t kMostShown = 40;
  constexpr std::string_view kFirstStrongIsolate = "\xE2\x81\xA8";
  constexpr std::string_view kPopDirectionalIsolate = "\xE2\x81\xA9";
  std::string shown;
  std::size_t width = 0;  // characters shown
  std::size_t at = 0;
  while (at < text.size()) {
    const Decoded next = decodeUtf8(text.substr(at));
    const std::size_t bytes = std::max<std::size_t>(next.length, 1);
    std::string piece;  // an escape; left empty for a character shown as it is
    if (next.length == 0) piece = escape("0x", static_cast<unsigned char>(text[at]), 2);
    else if (shownAsEscape(next.code)) piece = escape("U+", next.code, 4);
    const std::size_t pieceWidth = piece.empty() ? 1 : piece.size();
    if (width + pieceWidth > kMostShown) break;
    shown += piece.empty() ? text.substr(at, bytes) : std::string_view(piece);
    width += pieceWidth;
    at += bytes;
  }
  std::string quote = "\"" + std::string(kFirstStrongIsolate) + shown + std::string(kPopDirectionalIsolate);
  if (at == text.size()) return quote + "\"";
  return quote + "...\" (" + std::to_string(text.size()) + " bytes)";
}

// Why a text is not a number, where it was found, and what it is.
std::string mismatchDetail(ReadError why, std::string_view text, std::string_view field) {
  // The message starts with a word of its own: many renderers take a line's
  // direction from its first letter, and an isolate does not hide the quote's
  // letters from all of them.
  std::string detail = field.empty() ? "The text " : "In the " + std::string(field) + " field, ";
  detail += quoted(text);
  switch (why) {
  case ReadError::TooLarge: return detail + " is too large a number to hold.";
  case ReadError::TooSmall: return detail + " is too small a number to hold; write 0 for zero.";
  case ReadError::None:
  case ReadError::NotANumber: break;
  }
  return detail + " is not a number.";
}

// Adds one unit in the last place to a string of decimal digits and one '.',
// carrying leftwards: "0.99" -> "1.00".
void incrementMagnitude(std::string& digits) {
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (*it == '.') continue;
    if (*it != '9') {
      ++*it;
      return;
    }
    *it = '0';
  }
  digits.insert(digits.begin(), '1');
}

// The magnitude rounded to `digits` fraction digits. The rounding is judged
// on the shortest decimal that reads back as the same double, the number as a
// person would write it, and a tie goes away from zero: 0.995 gives 1.00 and
// 0.125 gives 0.13, though both are stored a hair off the tie.
std::string roundedMagnitude(double magnitude, int digits) {
  // The longest fixed text of a double: 309 integer digits, a point, 767
  // fraction digits for the smallest subnormal.
  std::array<char, 1100> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
                                 std::chars_format::fixed)
                       .ptr;
  std::string text(buffer.data(), end);
  if (text.find('.') == std::string::npos) text += '.';
  const std::size_t keep = text.find('.') + 1 + static_cast<std::size_t>(digits);
  const bool roundUp = text.size() > keep && text[keep] >= '5';
  text.resize(keep, '0');
  if (roundUp) incrementMagnitude(text);
  return text;
}

}  // namespace

int fractionDigits(DisplayPattern pattern) {
  return pattern == DisplayPattern::TwoDecimals ? 2 : 1;
}

ReadError readNumber(std::string_view text, std::string_view decimalSeparator, double& value) {
  const auto spelt = spelling(text, decimalSeparator);
  if (!spelt) return ReadError::NotANumber;
  const double nearest = nearestDouble(*spelt, decimalSeparator);
  if (std::isinf(nearest)) return ReadError::TooLarge;
  if (nearest == 0.0 && spelt->nonzero()) return ReadError::TooSmall;
  value = nearest;
  return ReadError::None;
}

std::optional<double> parseNumber(std::string_view text, std::string_view decimalSeparator) {
  double value = 0.0;
  if (readNumber(text, decimalSeparator, value) != ReadError::None) return std::nullopt;
  return value;
}

double textToNumber(std::string_view text, std::string_view decimalSeparator, std::string_view field) {
  double value = 0.0;
  const ReadError why = readNumber(text, decimalSeparator, value);
  if (why == ReadError::None) return value;
  throw RuntimeError(ErrorKind::TypeMismatch, mismatchDetail(why, text, field));
}

std::string formatNumber(double value, DisplayPattern pattern, std::string_view decimalSeparator) {
  if (!std::isfinite(value))
    throw RuntimeError(ErrorKind::ArithmeticFault, "the result is not a finite number.");

  std::string digits = roundedMagnitude(std::fabs(value), fractionDigits(pattern));
  const bool allZero = digits.find_first_not_of("0.") == std::string::npos;

  std::string text;
  text.reserve(digits.size() + decimalSeparator.size() + 1);
  if (std::signbit(value) && !allZero) text += '-';
  const std::size_t point = digits.find('.');
  // "#" writes no digit for a zero integer part: 0.50 shows as .50
  if (digits.compare(0, point, "0") != 0) text.append(digits, 0, point);
  text += decimalSeparator;
  text.append(digits, point + 1);
  return text;
}

}  // namespace torvane
