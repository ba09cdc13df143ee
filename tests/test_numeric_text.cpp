#include <QtTest>
#include <clocale>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "core/numeric_text.h"
#include "core/runtime_error.h"

using torvane::DisplayPattern;

Q_DECLARE_METATYPE(DisplayPattern)

namespace {

std::string withSeparator(const char* text, const char* separator) {
  std::string out(text);
  if (const auto dot = out.find('.'); dot != std::string::npos) out.replace(dot, 1, separator);
  return out;
}

}  // namespace

class TestNumericText : public QObject {
  Q_OBJECT

private slots:
  void acceptsNumbers_data();
  void acceptsNumbers();
  void rejectsText_data();
  void rejectsText();
  void typeMismatchQuotesTheText();
  void formats_data();
  void formats();
  void formatsHugeNumbersWholly_data();
  void formatsHugeNumbersWholly();
  void formatRefusesNonFinite();
  void roundTripsWhatItWrites();
  void ignoresTheCLibraryLocale();
};

// Each row is read with "." and again with "," standing for the point.
void TestNumericText::acceptsNumbers_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("expected");
  QTest::newRow("whole") << "300" << 300.0;
  QTest::newRow("fraction") << "12.55" << 12.55;
  QTest::newRow("negative") << "-234.14" << -234.14;
  QTest::newRow("no integer digit") << ".50" << 0.5;
  QTest::newRow("negative, no integer digit") << "-.50" << -0.5;
  QTest::newRow("point with no fraction") << "5." << 5.0;
  QTest::newRow("many digits, no grouping") << "1234567.89" << 1234567.89;
  QTest::newRow("zero") << "0" << 0.0;
  QTest::newRow("leading zeros") << "007.5" << 7.5;
  QTest::newRow("plus sign") << "+12" << 12.0;
  QTest::newRow("spaces around") << "  300 " << 300.0;
  QTest::newRow("tab around") << "\t3000\t" << 3000.0;
  QTest::newRow("exponent") << "1e3" << 1000.0;
  QTest::newRow("exponent with sign") << "2.5E-1" << 0.25;
  QTest::newRow("largest double") << "1.7976931348623157e308" << std::numeric_limits<double>::max();
  QTest::newRow("smallest subnormal") << "5e-324" << std::numeric_limits<double>::denorm_min();
  QTest::newRow("301-digit whole number")
      << ("1" + QString(300, '0') + ".00") << 1e300;
}

void TestNumericText::acceptsNumbers() {
  QFETCH(QString, text);
  QFETCH(double, expected);
  for (const char* separator : {".", ","}) {
    const std::string input = withSeparator(text.toStdString().c_str(), separator);
    const auto value = torvane::parseNumber(input, separator);
    QVERIFY2(value.has_value(), input.c_str());
    QCOMPARE(*value, expected);
    QCOMPARE(torvane::textToNumber(input, separator), expected);
  }
}

void TestNumericText::rejectsText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("separator");
  for (const char* prompt : {"Enter HP", "Enter Car Weight Here", "Enter Trap Speed Here", "Your ET",
                             "Text2", "1/8 Mile ET", "1/8 Mile Trap", "H.P."})
    QTest::addRow("prompt %s", prompt) << prompt << ".";
  QTest::newRow("empty") << "" << ".";
  QTest::newRow("blank") << "   " << ".";
  QTest::newRow("point alone") << "." << ".";
  QTest::newRow("minus alone") << "-" << ".";
  QTest::newRow("two signs") << "--1" << ".";
  QTest::newRow("sign after spaces and space after sign") << "- 1" << ".";
  QTest::newRow("space inside") << "1 2" << ".";
  QTest::newRow("trailing junk") << "12abc" << ".";
  QTest::newRow("two points") << "1.2.3" << ".";
  QTest::newRow("inf") << "inf" << ".";
  QTest::newRow("Infinity") << "-Infinity" << ".";
  QTest::newRow("nan") << "nan" << ".";
  QTest::newRow("NaN with payload") << "NAN(123)" << ".";
  QTest::newRow("hexadecimal float") << "0x1p3" << ".";
  QTest::newRow("hexadecimal integer") << "0x10" << ".";
  QTest::newRow("exponent without digits") << "1e" << ".";
  QTest::newRow("exponent alone") << "e5" << ".";
  QTest::newRow("beyond the largest double") << "1e309" << ".";
  QTest::newRow("far beyond") << "-1e99999999999999999999" << ".";
  QTest::newRow("below the smallest double") << "1e-400" << ".";
  QTest::newRow("comma grouping under a point") << "3,000" << ".";
  QTest::newRow("point under a comma") << "12.55" << ",";
  QTest::newRow("point grouping under a comma") << "3.000,5" << ",";
  QTest::newRow("currency") << "$300" << ".";
  QTest::newRow("parentheses") << "(300)" << ".";
  QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0663\u0660\u0660") << ".";
  QTest::newRow("non-breaking space") << QString::fromUtf8("300\u00a0") << ".";
}

void TestNumericText::rejectsText() {
  QFETCH(QString, text);
  QFETCH(QString, separator);
  const std::string input = text.toStdString();
  const std::string point = separator.toStdString();
  QVERIFY(!torvane::parseNumber(input, point).has_value());
  try {
    torvane::textToNumber(input, point);
    QFAIL("no error raised");
  } catch (const torvane::RuntimeError& error) {
    QCOMPARE(error.kind(), torvane::ErrorKind::TypeMismatch);
  }
}

void TestNumericText::typeMismatchQuotesTheText() {
  try {
    torvane::textToNumber("Text2", ".");
    QFAIL("no error raised");
  } catch (const torvane::RuntimeError& error) {
    QCOMPARE(error.detail(), std::string("\"Text2\" is not a number."));
  }
  // A pasted megabyte is quoted by its start only, and never split inside a character.
  const std::string pasted = "\xC3\xA9" + std::string(1'000'000, 'x');
  try {
    torvane::textToNumber(pasted, ".");
    QFAIL("no error raised");
  } catch (const torvane::RuntimeError& error) {
    QVERIFY(error.detail().size() < 100);
    QVERIFY(QString::fromStdString(error.detail()).toUtf8().toStdString() == error.detail());
    QVERIFY(error.detail().find("1000002 bytes") != std::string::npos);
  }
}

void TestNumericText::formats_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<DisplayPattern>("pattern");
  QTest::addColumn<QString>("expected");
  const auto two = DisplayPattern::TwoDecimals;
  const auto one = DisplayPattern::OneDecimal;
  QTest::newRow("ET") << 12.549582069435724 << two << "12.55";
  QTest::newRow("ET, one decimal") << 12.549582069435724 << one << "12.5";
  QTest::newRow("trap speed, two decimals") << 108.69657440212337 << two << "108.70";
  QTest::newRow("trap speed") << 108.69657440212337 << one << "108.7";
  QTest::newRow("half") << 0.5 << two << ".50";
  QTest::newRow("half, one decimal") << 0.5 << one << ".5";
  QTest::newRow("small") << 0.04 << two << ".04";
  QTest::newRow("small to zero") << 0.04 << one << ".0";
  QTest::newRow("zero") << 0.0 << two << ".00";
  QTest::newRow("zero, one decimal") << 0.0 << one << ".0";
  QTest::newRow("negative zero") << -0.0 << two << ".00";
  QTest::newRow("negative rounding to zero") << -0.004 << two << ".00";
  QTest::newRow("negative rounding to zero, one decimal") << -0.04 << one << ".0";
  QTest::newRow("negative below one") << -0.5 << two << "-.50";
  QTest::newRow("no grouping") << 1234567.891 << two << "1234567.89";
  QTest::newRow("no grouping, one decimal") << 1234567.891 << one << "1234567.9";
  QTest::newRow("negative HP") << -234.13895866229856 << two << "-234.14";
  QTest::newRow("negative HP, one decimal") << -234.13895866229856 << one << "-234.1";
  QTest::newRow("carry into the integer") << 0.995 << two << "1.00";  // stored a hair below
  QTest::newRow("carry through nines") << 99.96 << one << "100.0";
  QTest::newRow("exact tie away from zero") << 0.125 << two << ".13";
  QTest::newRow("exact negative tie away from zero") << -0.125 << two << "-.13";
  QTest::newRow("exact tie with carry") << 9.75 << one << "9.8";
  QTest::newRow("exact tie, whole part") << 2.5 << DisplayPattern::OneDecimal << "2.5";
  QTest::newRow("exact tie, quarter") << 0.25 << one << ".3";
  QTest::newRow("tie stored below") << 1.005 << two << "1.01";  // 1.00499999999999989...
  QTest::newRow("tie stored below, larger") << 2.675 << two << "2.68";
  QTest::newRow("ET of equal weight and HP") << 5.825 << two << "5.83";  // stored above 5.825
  QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min() << two << ".00";
}

void TestNumericText::formats() {
  QFETCH(double, value);
  QFETCH(DisplayPattern, pattern);
  QFETCH(QString, expected);
  QCOMPARE(QString::fromStdString(torvane::formatNumber(value, pattern, ".")), expected);
  QCOMPARE(QString::fromStdString(torvane::formatNumber(value, pattern, ",")),
           QString(expected).replace('.', ','));
}

void TestNumericText::formatsHugeNumbersWholly_data() {
  QTest::addColumn<double>("value");
  QTest::addColumn<int>("integerDigits");
  QTest::newRow("1e300") << 1e300 << 301;
  QTest::newRow("largest double") << std::numeric_limits<double>::max() << 309;
  QTest::newRow("2^53 + 2") << 9007199254740994.0 << 16;
}

// Every digit of the exact value, no grouping, no exponent, and it reads back exactly.
void TestNumericText::formatsHugeNumbersWholly() {
  QFETCH(double, value);
  QFETCH(int, integerDigits);
  const std::string text = torvane::formatNumber(-value, DisplayPattern::OneDecimal, ".");
  QCOMPARE(text.size(), std::size_t(integerDigits) + 3);
  QCOMPARE(text.find_first_not_of("-0123456789."), std::string::npos);
  QVERIFY(text.ends_with(".0"));
  QCOMPARE(torvane::textToNumber(text, "."), -value);
}

void TestNumericText::formatRefusesNonFinite() {
  for (const double value : {std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()}) {
    try {
      torvane::formatNumber(value, DisplayPattern::TwoDecimals, ".");
      QFAIL("no error raised");
    } catch (const torvane::RuntimeError& error) {
      QCOMPARE(error.kind(), torvane::ErrorKind::ArithmeticFault);
    }
  }
}

// Every text the program writes must read back as the value it shows, and
// writing that value again must give the same text.
void TestNumericText::roundTripsWhatItWrites() {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> exponent(-8.0, 20.0);
  std::bernoulli_distribution negative(0.3);
  for (int i = 0; i < 100'000; ++i) {
    double value = std::pow(10.0, exponent(random));
    if (negative(random)) value = -value;
    for (const auto pattern : {DisplayPattern::TwoDecimals, DisplayPattern::OneDecimal}) {
      for (const char* separator : {".", ",", "\xD9\xAB"}) {
        const std::string text = torvane::formatNumber(value, pattern, separator);
        const double shown = torvane::textToNumber(text, separator);
        const double step = pattern == DisplayPattern::TwoDecimals ? 0.01 : 0.1;
        const double ulp = std::nextafter(std::fabs(value), INFINITY) - std::fabs(value);
        QVERIFY2(std::fabs(shown - value) <= step / 2 + 4 * ulp, text.c_str());
        QCOMPARE(torvane::formatNumber(shown, pattern, separator), text);
      }
    }
  }
}

// The conversions must not follow the C library's locale: under a comma
// locale strtod would stop at the point.
void TestNumericText::ignoresTheCLibraryLocale() {
  const char* found = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
    if ((found = std::setlocale(LC_ALL, name))) break;
  if (!found) QSKIP("no comma locale is installed");
  QCOMPARE(torvane::textToNumber("12.55", "."), 12.55);
  QCOMPARE(torvane::formatNumber(12.549582069435724, DisplayPattern::TwoDecimals, "."),
           std::string("12.55"));
  QVERIFY(!torvane::parseNumber("12,55", ".").has_value());
  std::setlocale(LC_ALL, "C");
}

QTEST_APPLESS_MAIN(TestNumericText)
#include "test_numeric_text.moc"
