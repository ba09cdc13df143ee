#include <doctest/doctest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/numeric_text.h"
#include "core/runtime_error.h"

using torvane::DisplayPattern;
using torvane::ReadError;

namespace {

constexpr const char* kArabicSeparator = "\xD9\xAB";  // U+066B, two bytes

std::string withSeparator(const std::string& text, const char* separator) {
  const auto dot = text.find('.');
  if (dot == std::string::npos) return text;
  return std::string(text, 0, dot).append(separator).append(text, dot + 1);
}

struct Accepted {
  const char* name;
  std::string text;
  double expected;
};

struct Refused {
  const char* name;
  std::string text;
  const char* separator;
  ReadError reason;
};

struct Mismatch {
  const char* name;
  std::string text;
  const char* field;
  std::string detail;
};

struct Formatted {
  const char* name;
  double value;
  DisplayPattern pattern;
  const char* expected;
};

}  // namespace

// Each row is read with ".", with "," and with the two-byte Arabic separator
// standing for the point.
TEST_CASE("accepts numbers") {
  // clang-format off
  const Accepted rows[] = {
      {"whole", "300", 300.0},
      {"fraction", "12.55", 12.55},
      {"negative", "-234.14", -234.14},
      {"no integer digit", ".50", 0.5},
      {"negative, no integer digit", "-.50", -0.5},
      {"point with no fraction", "5.", 5.0},
      {"many digits, no grouping", "1234567.89", 1234567.89},
      {"zero", "0", 0.0},
      {"leading zeros", "007.5", 7.5},
      {"plus sign", "+12", 12.0},
      {"blanks around, as a cell or a terminal line is copied", "  \t300 \r\n", 300.0},
      {"exponent", "1e3", 1000.0},
      {"exponent with sign", "2.5E-1", 0.25},
      {"largest double", "1.7976931348623157e308", std::numeric_limits<double>::max()},
      {"rounds down to the largest double", "1.7976931348623158e308", std::numeric_limits<double>::max()},
      {"smallest subnormal", "5e-324", std::numeric_limits<double>::denorm_min()},
      {"rounds up to the smallest subnormal", "3e-324", std::numeric_limits<double>::denorm_min()},
      {"a subnormal", "1e-310", 1e-310},
      {"zero with a huge exponent", "0e999", 0.0},
      {"zero with a tiny exponent", "0.000e-999", 0.0},
      {"301-digit whole number", std::string("1").append(300, '0').append(".00"), 1e300},
  };
  // clang-format on
  for (const Accepted& row : rows) {
    for (const char* separator : {".", ",", kArabicSeparator}) {
      const std::string input = withSeparator(row.text, separator);
      INFO(row.name, " with separator ", separator);
      double value = -1.0;
      REQUIRE(torvane::readNumber(input, separator, value) == ReadError::None);
      CHECK(value == row.expected);
      CHECK(torvane::textToNumber(input, separator) == row.expected);
    }
  }
}

TEST_CASE("negative zero keeps its sign") {
  double value = 1.0;
  REQUIRE(torvane::readNumber("-0", ".", value) == ReadError::None);
  CHECK(std::signbit(value));
}

// Each refused text says why, leaves the value it would have written alone,
// and is a type mismatch to textToNumber.
TEST_CASE("refuses text, and says why") {
  const auto notANumber = ReadError::NotANumber;
  std::vector<Refused> rows = {
      {"empty", "", ".", notANumber},
      {"blank", "   ", ".", notANumber},
      {"point alone", ".", ".", notANumber},
      {"minus alone", "-", ".", notANumber},
      {"two signs", "--1", ".", notANumber},
      {"plus then minus", "+-1", ".", notANumber},
      {"sign after spaces and space after sign", "- 1", ".", notANumber},
      {"space inside", "1 2", ".", notANumber},
      {"line end inside", "3\n000", ".", notANumber},
      {"trailing junk", "12abc", ".", notANumber},
      {"two points", "1.2.3", ".", notANumber},
      {"inf", "inf", ".", notANumber},
      {"Infinity", "-Infinity", ".", notANumber},
      {"nan", "nan", ".", notANumber},
      {"NaN with payload", "NAN(123)", ".", notANumber},
      {"hexadecimal float", "0x1p3", ".", notANumber},
      {"hexadecimal integer", "0x10", ".", notANumber},
      {"exponent without digits", "1e", ".", notANumber},
      {"exponent sign without digits", "1e+", ".", notANumber},
      {"exponent alone", "e5", ".", notANumber},
      {"comma grouping under a point", "3,000", ".", notANumber},
      {"point under a comma", "12.55", ",", notANumber},
      {"point grouping under a comma", "3.000,5", ",", notANumber},
      {"point under the Arabic separator", "12.55", kArabicSeparator, notANumber},
      {"half the Arabic separator", "12\xD9", kArabicSeparator, notANumber},
      {"currency", "$300", ".", notANumber},
      {"parentheses", "(300)", ".", notANumber},
      {"non-ASCII digits", "\xD9\xA3\xD9\xA0\xD9\xA0", ".", notANumber},
      {"non-breaking space", "300\xC2\xA0", ".", notANumber},
      {"beyond the largest double", "1e309", ".", ReadError::TooLarge},
      {"rounds up beyond the largest double", "1.7976931348623159e308", ".", ReadError::TooLarge},
      {"far beyond", "-1e99999999999999999999", ".", ReadError::TooLarge},
      {"a megabyte of digits", std::string(1 << 20, '7'), ".", ReadError::TooLarge},
      {"below the smallest double", "1e-400", ".", ReadError::TooSmall},
      {"rounds down to zero", "2e-324", ".", ReadError::TooSmall},
      {"fraction digits alone, below the smallest double", ".5e-400", ".", ReadError::TooSmall},
  };
  for (const char* prompt : {"Enter HP", "Enter Car Weight Here", "Enter Trap Speed Here", "Your ET", "Text2",
                             "1/8 Mile ET", "1/8 Mile Trap", "H.P."})
    rows.push_back({"a field's first text", prompt, ".", notANumber});

  for (const Refused& row : rows) {
    INFO(row.name, ": \"", row.text.substr(0, 40), "\"");
    double value = 42.0;
    CHECK(torvane::readNumber(row.text, row.separator, value) == row.reason);
    CHECK(value == 42.0);
    try {
      torvane::textToNumber(row.text, row.separator);
      FAIL("no error raised");
    } catch (const torvane::RuntimeError& error) {
      CHECK(error.kind() == torvane::kTypeMismatch);
    }
  }
}

// The quote is isolated, U+2068 ... U+2069, so that a right-to-left text stays
// inside it; what would hide or move the message's own words shows as an escape.
TEST_CASE("a type mismatch names the field, says why and quotes the text so that it cannot mislead") {
  const std::string megabyte = std::string(39, 'x') + "\u00E9" + std::string(1'000'000, 'x');
  // clang-format off
  const Mismatch rows[] = {
      {"placeholder", "Text2", "quarter-mile trap speed",
       "In the quarter-mile trap speed field, \"\u2068Text2\u2069\" is not a number."},
      {"no field named", "Enter HP", "", "The text \"\u2068Enter HP\u2069\" is not a number."},
      {"beyond the largest double", "1e400", "horsepower",
       "In the horsepower field, \"\u20681e400\u2069\" is too large a number to hold."},
      {"rounds to zero", "1e-400", "car weight",
       "In the car weight field, \"\u20681e-400\u2069\" is too small a number to hold; write 0 for zero."},
      {"bidi override, mark and isolate", "\u202E3\u200F\u2069\u061C", "",
       "The text \"\u2068<U+202E>3<U+200F><U+2069><U+061C>\u2069\" is not a number."},
      {"controls", "1\t\x01\x7F\u0085", "",
       "The text \"\u20681<U+0009><U+0001><U+007F><U+0085>\u2069\" is not a number."},
      {"invisible characters", "\u200B\u00AD\uFEFF\u2028", "",
       "The text \"\u2068<U+200B><U+00AD><U+FEFF><U+2028>\u2069\" is not a number."},
      {"no-break space, variation selector, tag", "\u00A0\uFE0F\U000E0041", "",
       "The text \"\u2068<U+00A0><U+FE0F><U+E0041>\u2069\" is not a number."},
      {"letters and a sign shown as they are", "\u00E9\u20AC\u05E9\u05DC", "",
       "The text \"\u2068\u00E9\u20AC\u05E9\u05DC\u2069\" is not a number."},
      {"stray, overlong and surrogate bytes", "\xFF\xC0\xAF\xED\xA0\x80", "",
       "The text \"\u2068<0xFF><0xC0><0xAF><0xED><0xA0><0x80>\u2069\" is not a number."},
      {"beyond U+10FFFF, and cut short", "\xF4\x90\x80\x80" "3\xE2\x80", "",
       "The text \"\u2068<0xF4><0x90><0x80><0x80>3<0xE2><0x80>\u2069\" is not a number."},
      {"40 characters, not cut", megabyte.substr(0, 41), "",
       "The text \"\u2068" + megabyte.substr(0, 41) + "\u2069\" is not a number."},
      {"cut after 40 characters", megabyte, "horsepower",
       "In the horsepower field, \"\u2068" + megabyte.substr(0, 41) + "\u2069...\" (1000041 bytes) is not a number."},
      {"an escape that would pass the cut is left out whole", std::string(35, '7') + "\u202E7", "",
       "The text \"\u2068" + std::string(35, '7') + "\u2069...\" (39 bytes) is not a number."},
  };
  // clang-format on
  for (const Mismatch& row : rows) {
    INFO(row.name);
    try {
      torvane::textToNumber(row.text, ".", row.field);
      FAIL("no error raised");
    } catch (const torvane::RuntimeError& error) {
      CHECK(error.kind() == torvane::kTypeMismatch);
      CHECK(error.detail() == row.detail);
    }
  }
}

TEST_CASE("formats") {
  const auto two = DisplayPattern::TwoDecimals;
  const auto one = DisplayPattern::OneDecimal;
  // clang-format off
  const Formatted rows[] = {
      {"ET", 12.549582069435724, two, "12.55"},
      {"trap speed", 108.69657440212337, one, "108.7"},
      {"half", 0.5, two, ".50"},
      {"small", 0.04, two, ".04"},
      {"small to zero", 0.04, one, ".0"},
      {"zero", 0.0, two, ".00"},
      {"negative zero", -0.0, two, ".00"},
      {"negative rounding to zero", -0.004, two, ".00"},
      {"negative below one", -0.5, two, "-.50"},
      {"no grouping", 1234567.891, two, "1234567.89"},
      {"negative HP", -234.13895866229856, two, "-234.14"},
      {"carry into the integer", 0.995, two, "1.00"},  // stored a hair below
      {"carry through nines", 99.96, one, "100.0"},
      {"exact tie away from zero", 0.125, two, ".13"},
      {"exact negative tie away from zero", -0.125, two, "-.13"},
      {"exact tie with carry", 9.75, one, "9.8"},
      {"exact tie, whole part", 2.5, one, "2.5"},
      {"tie stored below", 1.005, two, "1.01"},  // 1.00499999999999989...
      {"ET of equal weight and HP", 5.825, two, "5.83"},  // stored above 5.825
      {"smallest subnormal", std::numeric_limits<double>::denorm_min(), two, ".00"},
  };
  // clang-format on
  for (const Formatted& row : rows) {
    INFO(row.name);
    CHECK(torvane::formatNumber(row.value, row.pattern, ".") == row.expected);
    CHECK(torvane::formatNumber(row.value, row.pattern, ",") == withSeparator(row.expected, ","));
  }
}

// Every digit of the exact value, no grouping, no exponent, and it reads back exactly.
TEST_CASE("formats huge numbers wholly") {
  const struct {
    const char* name;
    double value;
    std::size_t integerDigits;
  } rows[] = {
      {"1e300", 1e300, 301},
      {"largest double", std::numeric_limits<double>::max(), 309},
      {"2^53 + 2", 9007199254740994.0, 16},
  };
  for (const auto& row : rows) {
    INFO(row.name);
    const std::string text = torvane::formatNumber(-row.value, DisplayPattern::OneDecimal, ".");
    CHECK(text.size() == row.integerDigits + 3);
    CHECK(text.find_first_not_of("-0123456789.") == std::string::npos);
    CHECK(text.ends_with(".0"));
    CHECK(torvane::textToNumber(text, ".") == -row.value);
  }
}

TEST_CASE("formatting refuses what is not finite") {
  for (const double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()}) {
    CAPTURE(value);
    try {
      torvane::formatNumber(value, DisplayPattern::TwoDecimals, ".");
      FAIL("no error raised");
    } catch (const torvane::RuntimeError& error) {
      CHECK(error.kind() == torvane::kArithmeticFault);
    }
  }
}

// Every text the program writes must read back as the value it shows, and
// writing that value again must give the same text.
TEST_CASE("round trips what it writes") {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> exponent(-8.0, 20.0);
  std::bernoulli_distribution negative(0.3);
  for (int i = 0; i < 100'000; ++i) {
    double value = std::pow(10.0, exponent(random));
    if (negative(random)) value = -value;
    for (const auto pattern : {DisplayPattern::TwoDecimals, DisplayPattern::OneDecimal}) {
      for (const char* separator : {".", ",", kArabicSeparator}) {
        const std::string text = torvane::formatNumber(value, pattern, separator);
        const double shown = torvane::textToNumber(text, separator);
        const double step = pattern == DisplayPattern::TwoDecimals ? 0.01 : 0.1;
        const double ulp = std::nextafter(std::fabs(value), INFINITY) - std::fabs(value);
        INFO(text);
        REQUIRE(std::fabs(shown - value) <= step / 2 + 4 * ulp);
        REQUIRE(torvane::formatNumber(shown, pattern, separator) == text);
      }
    }
  }
}

// The conversions must not follow the C library's locale: under a comma
// locale strtod would stop at the point.
TEST_CASE("ignores the C library's locale") {
  const char* found = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8", "German_Germany.1252"})
    if ((found = std::setlocale(LC_ALL, name))) break;
  if (!found) {
    MESSAGE("no comma locale is installed: not checked");
    return;
  }
  CHECK(torvane::textToNumber("12.55", ".") == 12.55);
  CHECK(torvane::formatNumber(12.549582069435724, DisplayPattern::TwoDecimals, ".") == "12.55");
  double value = 0.0;
  CHECK(torvane::readNumber("12,55", ".", value) == ReadError::NotANumber);
  std::setlocale(LC_ALL, "C");
}
