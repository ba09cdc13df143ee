// Reading a number from any field text, with each decimal separator the
// program may meet: "." and "," and the two-byte Arabic separator U+066B.
// Besides finding crashes and undefined behaviour, it checks that:
// - textToNumber returns what readNumber reads, and raises type mismatch
//   exactly when readNumber refuses the text, with a short message in UTF-8
//   that names the field and whose one isolate holds the quote: nothing in
//   it is a control or another bidi control, whatever the text holds;
// - a number read is finite, and the C library's strtod reads the same text
//   whole as the same value; every plain decimal in the double range that
//   strtod reads whole is read;
// - the separator is only a spelling: a text read with "." reads the same
//   with its points spelt as another separator.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/numeric_text.h"
#include "core/runtime_error.h"
#include "fuzz/require.h"

namespace {

std::optional<double> parsed(std::string_view text, std::string_view separator) {
  double value = 0.0;
  if (torvane::readNumber(text, separator, value) != torvane::ReadError::None) return std::nullopt;
  return value;
}

using torvane::RuntimeError;

constexpr std::string_view kSeparatorList[] = {".", ",", "\u066B"};
constexpr std::span<const std::string_view> kSeparators(kSeparatorList);
constexpr std::string_view kField = "horsepower";
// The quoted text of a type mismatch stops after 40 characters of up to four
// bytes each; what stands around it is short.
constexpr std::size_t kLongestMessage = 300;
constexpr std::string_view kIsolateOpens = "\u2068", kIsolateCloses = "\u2069";

bool validUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xe ? 3 : (c >> 3) == 0x1e ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xc0) != 0x80) return false;
    i += n;
  }
  return true;
}

// Whether a text holds a C0 control, DEL, or a bidi control other than the
// message's own isolate.
bool hidesOrMoves(std::string_view message) {
  for (const unsigned char c : message)
    if (c < 0x20 || c == 0x7F) return true;
  for (const std::string_view bidi :
       {"\u061C", "\u200E", "\u200F", "\u202A", "\u202B", "\u202C", "\u202D", "\u202E", "\u2066", "\u2067"})
    if (message.find(bidi) != std::string_view::npos) return true;
  const std::size_t opens = message.find(kIsolateOpens), closes = message.find(kIsolateCloses);
  const bool once = message.rfind(kIsolateOpens) == opens && message.rfind(kIsolateCloses) == closes;
  return opens == std::string_view::npos || closes == std::string_view::npos || closes < opens || !once;
}

bool sameNumber(std::optional<double> a, std::optional<double> b) {
  return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
}

// The blanks a field may hold around a number: spaces, tabs and line ends.
constexpr const char* kBlanks = " \t\r\n";

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// What strtod makes of the text without its blanks, when it reads all of it
// and the text is a plain decimal (no hexadecimal, infinity or nan spelling).
struct Strtod {
  double value;
  bool inRange;  // strtod rounds a number beyond the double range to zero, a subnormal or infinity
};
std::optional<Strtod> strtodWhole(std::string_view text) {
  const std::string s(trimmed(text));
  if (s.empty() || s.find_first_not_of("0123456789+-.eE") != std::string::npos) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(s.c_str(), &end);
  if (end != s.c_str() + s.size()) return std::nullopt;
  return Strtod{value, errno != ERANGE && std::isfinite(value)};
}

void checkOneSeparator(std::string_view text, std::string_view separator) {
  const std::optional<double> read = parsed(text, separator);
  try {
    const double value = torvane::textToNumber(text, separator, kField);
    require(sameNumber(read, value), "textToNumber returns what readNumber reads", text);
    require(std::isfinite(value), "a number read is finite", text);
  } catch (const RuntimeError& error) {
    require(!read, "textToNumber refuses only what readNumber refuses", text);
    require(error.kind() == torvane::kTypeMismatch, "a text that is no number is a type mismatch", text);
    const std::string& message = error.detail();
    require(message.size() <= kLongestMessage, "the message quotes a few dozen characters at most", text);
    require(validUtf8(message), "the message is UTF-8, and cuts no character in two", text);
    require(message.starts_with("In the " + std::string(kField) + " field, \"\u2068"), "the message names the field",
            text);
    require(!hidesOrMoves(message), "nothing in the message can hide or move its words", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const std::string_view separator : kSeparators) checkOneSeparator(text, separator);

  const std::optional<double> withPoint = parsed(text, ".");
  const std::optional<Strtod> byStrtod = strtodWhole(text);
  require(!withPoint || (byStrtod && sameNumber(withPoint, byStrtod->value)), "a number read is what strtod reads",
          text);
  require(!byStrtod || !byStrtod->inRange || withPoint, "a plain decimal in range that strtod reads whole is read",
          text);

  for (const std::string_view separator : kSeparators.subspan(1)) {
    if (text.find(separator) != std::string_view::npos) continue;
    std::string respelt;
    for (const char c : text) c == '.' ? respelt.append(separator) : respelt.append(1, c);
    require(sameNumber(withPoint, parsed(respelt, separator)), "a text reads the same whatever its separator is spelt",
            text);
  }
  return 0;
}
