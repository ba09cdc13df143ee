// Writing a result into its field and reading it back. The input's first
// eight bytes are the bits of a double (infinities and nans are skipped: they
// never reach a field); the ninth picks the display pattern and the decimal
// separator. Checks that the text
// - has the pattern's shape: an optional minus, the integer digits without a
//   leading zero, the separator, and exactly the pattern's fraction digits,
//   so it never holds "inf", "nan" or an exponent;
// - reads back through textToNumber as a number within half a unit of its
//   last digit of the value written (and a few units in the last place of a
//   double for the decimal spelling), with a minus exactly when that number
//   is below zero;
// - is written again, unchanged, from the number read back.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "core/numeric_text.h"
#include "core/runtime_error.h"
#include "fuzz/require.h"

namespace {

using torvane::DisplayPattern;

constexpr std::string_view kSeparators[] = {".", ",", "\u066B"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool hasShape(std::string_view text, std::string_view separator, int fractionDigits) {
  if (text.starts_with('-')) text.remove_prefix(1);
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) return false;
  const std::string_view integer = text.substr(0, at), fraction = text.substr(at + separator.size());
  return (integer.empty() || integer.front() != '0') && std::ranges::all_of(integer, isDigit) &&
         fraction.size() == static_cast<std::size_t>(fractionDigits) && std::ranges::all_of(fraction, isDigit);
}

// A unit in the last place of a double of this size.
double ulp(double x) { return std::nextafter(std::fabs(x), std::numeric_limits<double>::infinity()) - std::fabs(x); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double) + 1) return 0;
  double value = 0;
  std::memcpy(&value, data, sizeof value);
  if (!std::isfinite(value)) return 0;
  const DisplayPattern pattern = (data[8] & 1) ? DisplayPattern::OneDecimal : DisplayPattern::TwoDecimals;
  const std::string_view separator = kSeparators[(data[8] >> 1) % std::size(kSeparators)];
  const int digits = pattern == DisplayPattern::TwoDecimals ? 2 : 1;

  const std::string text = torvane::formatNumber(value, pattern, separator);
  require(hasShape(text, separator, digits), "the text has the pattern's shape", text);

  const double back = torvane::textToNumber(text, separator);  // a type mismatch aborts the run
  const double halfUnit = 0.5 * std::pow(10.0, -digits);
  require(std::fabs(back - value) <= halfUnit * (1 + 1e-9) + 2 * ulp(std::fmax(std::fabs(back), std::fabs(value))),
          "the text is the value rounded to the pattern's last digit", text);
  require(text.starts_with('-') == (back < 0), "a minus stands exactly before a number below zero", text);
  require(torvane::formatNumber(back, pattern, separator) == text, "the number read back is written the same", text);
  return 0;
}
