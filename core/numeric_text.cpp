#include "core/numeric_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>

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

// Moves the leading ASCII digits of text onto out; returns how many there were.
std::size_t takeDigits(std::string_view& text, std::string& out) {
  std::size_t n = 0;
  while (n < text.size() && isDigit(text[n])) ++n;
  out.append(text.substr(0, n));
  text.remove_prefix(n);
  return n;
}

// A short, quotable form of a text for an error message: a field can hold a
// pasted megabyte. Never cuts a UTF-8 sequence in two.
std::string quoted(std::string_view text) {
  constexpr std::size_t kMaxQuotedBytes = 40;
  if (text.size() <= kMaxQuotedBytes) return "\"" + std::string(text) + "\"";
  std::size_t cut = kMaxQuotedBytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return "\"" + std::string(text.substr(0, cut)) + "...\" (" + std::to_string(text.size()) +
         " bytes)";
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

std::optional<double> parseNumber(std::string_view text, std::string_view decimalSeparator) {
  text = trimBlanks(text);
  std::string ascii;  // the same number, spelt for std::from_chars
  ascii.reserve(text.size());

  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    if (text.front() == '-') ascii += '-';
    text.remove_prefix(1);
  }
  std::size_t mantissaDigits = takeDigits(text, ascii);
  if (!decimalSeparator.empty() && text.starts_with(decimalSeparator)) {
    text.remove_prefix(decimalSeparator.size());
    ascii += '.';
    mantissaDigits += takeDigits(text, ascii);
  }
  if (mantissaDigits == 0) return std::nullopt;

  if (!text.empty() && (text.front() == 'e' || text.front() == 'E')) {
    text.remove_prefix(1);
    ascii += 'e';
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
      ascii += text.front();
      text.remove_prefix(1);
    }
    if (takeDigits(text, ascii) == 0) return std::nullopt;
  }
  if (!text.empty()) return std::nullopt;

  double value = 0.0;
  const char* end = ascii.data() + ascii.size();
  const auto [stop, error] = std::from_chars(ascii.data(), end, value);
  // out of range covers both overflow and underflow to zero
  if (error != std::errc{} || stop != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

double textToNumber(std::string_view text, std::string_view decimalSeparator) {
  if (const auto value = parseNumber(text, decimalSeparator)) return *value;
  throw RuntimeError(ErrorKind::TypeMismatch, quoted(text) + " is not a number.");
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
