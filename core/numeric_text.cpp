#include "core/numeric_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

#include <fast_float/fast_float.h>

#include "core/quoted_text.h"
#include "core/runtime_error.h"

namespace torvane {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
// A space, a tab or a line end (CR, LF), as a spreadsheet cell or a terminal line copies it.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

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

bool hasNonzeroDigit(std::string_view digits) { return digits.find_first_not_of('0') != std::string_view::npos; }

// A text spelt as a number: [-]digits[separator digits][(e|E)[+|-]digits],
// at least one mantissa digit, no blanks inside. A leading '+' is dropped,
// since fast_float, like std::from_chars, takes only a minus.
struct Spelling {
  std::string_view number;                           // the trimmed text, less a leading '+'
  std::size_t separatorAt = std::string_view::npos;  // where in `number` the separator stands
  std::string_view integer{}, fraction{};            // the mantissa's digits

  bool nonzero() const { return hasNonzeroDigit(integer) || hasNonzeroDigit(fraction); }
};

std::optional<Spelling> readSpelling(std::string_view text, std::string_view separator) {
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

// Where a text was found, and what it is: "In the car weight field, "..."".
std::string quoted(std::string_view text, std::string_view field) {
  // The message starts with a word of its own: many renderers take a line's
  // direction from its first letter, and an isolate does not hide the quote's
  // letters from all of them.
  return (field.empty() ? "The text " : "In the " + std::string(field) + " field, ") + quotedText(text);
}

std::string mismatchDetail(ReadError why, std::string_view text, std::string_view field) {
  const char* what = why == ReadError::TooLarge   ? " is too large a number to hold."
                     : why == ReadError::TooSmall ? " is too small a number to hold; write 0 for zero."
                                                  : " is not a number.";
  return quoted(text, field) + what;
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

// The magnitude rounded to `digits` fraction digits as its shortest decimal
// form reads: 0.995, stored a hair below the tie, gives 1.00, and the exact
// tie 0.125 gives 0.13.
std::string roundedMagnitude(double magnitude, int digits) {
  // The longest shortest-form fixed text of a double: "0." and 324 fraction
  // digits, for the smallest subnormal; the largest double has 309 digits.
  std::array<char, 326> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude, std::chars_format::fixed).ptr;
  std::string text(buffer.data(), end);
  if (text.find('.') == std::string::npos) text += '.';
  const std::size_t keep = text.find('.') + 1 + static_cast<std::size_t>(digits);
  const bool roundUp = text.size() > keep && text[keep] >= '5';
  text.resize(keep, '0');
  if (roundUp) incrementMagnitude(text);
  return text;
}

int fractionDigits(DisplayPattern pattern) { return pattern == DisplayPattern::TwoDecimals ? 2 : 1; }

}  // namespace

ReadError readNumber(std::string_view text, std::string_view decimalSeparator, double& value) {
  const auto spelt = readSpelling(text, decimalSeparator);
  if (!spelt) return ReadError::NotANumber;
  const double nearest = nearestDouble(*spelt, decimalSeparator);
  if (std::isinf(nearest)) return ReadError::TooLarge;
  if (nearest == 0.0 && spelt->nonzero()) return ReadError::TooSmall;
  value = nearest;
  return ReadError::None;
}

double textToNumber(std::string_view text, std::string_view decimalSeparator, std::string_view field) {
  double value = 0.0;
  const ReadError why = readNumber(text, decimalSeparator, value);
  if (why == ReadError::None) return value;
  throw RuntimeError(kTypeMismatch, mismatchDetail(why, text, field));
}

double inputToNumber(std::string_view text, std::string_view decimalSeparator, std::string_view field) {
  const double value = textToNumber(text, decimalSeparator, field);
  if (value < 0.0)
    throw RuntimeError(kOutOfRange,
                       quoted(text, field) + " is negative; a negative " + std::string(field) + " is refused.");
  return value;
}

std::string formatNumber(double value, DisplayPattern pattern, std::string_view decimalSeparator) {
  if (!std::isfinite(value)) throw RuntimeError(kArithmeticFault, "the result is not a finite number.");

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
