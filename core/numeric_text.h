#pragma once

#include <string>
#include <string_view>

namespace torvane {

// Every value of the program lives as the text of a field; these functions are
// the only way between that text and a number. Each takes the decimal separator
// (UTF-8, usually "." or ","): with the same one both ways, every text that
// formatNumber writes reads back as the value it shows.

// How a result is written into its field.
// clang-format off
enum class DisplayPattern {
  TwoDecimals,  // "#.00": both ETs and the rear-wheel HP
  OneDecimal,   // "#.0": both trap speeds
};
// clang-format on

// Why a text is not read as a number.
// clang-format off
enum class ReadError {
  None,
  NotANumber,  // not spelt as a number: "", "Enter HP", "inf", "3,000", "1e"
  TooLarge,    // beyond the largest double on either side of zero: "1e309", "-1e400"
  TooSmall,    // not zero, yet it rounds to zero: "1e-400", ".5e-400", "2e-324" (but "3e-324" is a subnormal)
};
// clang-format on

// Reads a number from field text into `value`, or says why not and leaves
// `value` as it was. With "." as the separator:
//   "300" -> 300        "-234.14" -> -234.14   ".50" -> 0.5     "5." -> 5
//   " 300 " -> 300      "\t300\r\n" -> 300      "+12" -> 12      "1e3" -> 1000    "2.5E-1" -> 0.25
//   "1e-310" -> 1e-310 (a subnormal)           "0e999" -> 0
// and refuses anything else, among them:
//   ""  " "  "."  "-"  "Enter HP"  "Text2"  "3,000" (no digit grouping)
//   "inf"  "nan"  "0x1p3"  "12abc"  "1 2"  "3\n000"  "--1"  "1e"  "1e400" and "1e-400" (beyond what a double holds)
//   readNumber("12abc", ".", v) -> NotANumber, v unchanged
// Spaces, tabs and line ends (CR, LF) around the number are allowed, never
// inside it; the digits are ASCII. The result does not depend on the C
// library's locale.
ReadError readNumber(std::string_view text, std::string_view decimalSeparator, double& value);

// As readNumber, but returns the number, and a text that is not read raises
// type mismatch. Its message names the field by what it holds, when `field`
// says, tells why, and quotes the text as quotedText does (its isolate left
// out here):
//   "Text2", field "quarter-mile trap speed"
//     -> In the quarter-mile trap speed field, "Text2" is not a number.
//   "1e400", field "horsepower" -> In the horsepower field, "1e400" is too large a number to hold.
//   "1e-400", field "car weight" -> In the car weight field, "1e-400" is too small a number to hold; write 0 for zero.
//   "Enter HP", no field -> The text "Enter HP" is not a number.
//   U+202E then "300 number." -> The text "<U+202E>300 number." is not a number.
double textToNumber(std::string_view text, std::string_view decimalSeparator, std::string_view field = {});

// As textToNumber, for what the user enters as a weight, a horsepower or a
// trap speed, none of which can be negative: a number below zero raises out
// of range, its message naming the field. Zero ("-0" too) and every positive
// number come back as they are:
//   "300", field "horsepower" -> 300     "0" -> 0     "-0" -> -0
//   "-300", field "horsepower" -> In the horsepower field, "-300" is negative; a negative horsepower is refused.
//   "Enter HP", field "horsepower" -> type mismatch, as textToNumber
double inputToNumber(std::string_view text, std::string_view decimalSeparator, std::string_view field);

// Writes a number with a display pattern:
//   12.549582069435724, "#.00" -> "12.55"    12.549582069435724, "#.0" -> "12.5"
//   0.5, "#.00" -> ".50"                     0.04, "#.0" -> ".0"
//   0, "#.00" -> ".00"                       1234567.891, "#.00" -> "1234567.89"
//   -234.13895866229856, "#.00" -> "-234.14" 0.995, "#.00" -> "1.00"
//   0.125, "#.00" -> ".13"                   -0.004, "#.00" -> ".00"
//   2.675, "#.00" -> "2.68"                  5.825, "#.00" -> "5.83"
// The number is rounded as its shortest decimal form reads (the digits that
// read back as the same double), a tie away from zero. No digit stands before
// the separator when the integer part is zero, the separator is always
// written, and digits are never grouped. A result that rounds to zero has no
// minus sign. A large number is written with all its integer digits (1e300
// gives 301), never with an exponent. A number that is not finite raises
// arithmetic fault: no field shows inf or nan.
std::string formatNumber(double value, DisplayPattern pattern, std::string_view decimalSeparator);

}  // namespace torvane
