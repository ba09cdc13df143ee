#include "core/quoted_text.h"

#include <algorithm>

namespace torvane {
namespace {

// Code points that show as nothing, or move, join or hide the characters
// around them: as of Unicode 15, the general categories Cc, Cf, Zl, Zp and Zs
// less U+0020, and Default_Ignorable_Code_Point. Among them are the bidi marks,
// overrides and isolates, zero-width spaces and joiners, the soft hyphen, the
// byte-order mark, tags, fillers and variation selectors.
struct CodeRange {
  char32_t first, last;
};
// clang-format off
constexpr CodeRange kShownAsEscapes[] = {
  {0x0000, 0x001F},   {0x007F, 0x00A0},   {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},
  {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},
  {0x115F, 0x1160},   {0x1680, 0x1680},   {0x17B4, 0x17B5},   {0x180B, 0x180F},   {0x2000, 0x200F},
  {0x2028, 0x202F},   {0x205F, 0x206F},   {0x3000, 0x3000},   {0x3164, 0x3164},   {0xFE00, 0xFE0F},
  {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
  {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};
// clang-format on

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
  std::string hex;  // least significant digit first
  for (; value != 0 || digits > 0; value >>= 4, --digits) hex += "0123456789ABCDEF"[value & 0xFu];
  std::string shown = "<";
  shown += prefix;
  shown.append(hex.rbegin(), hex.rend());
  return shown + ">";
}

}  // namespace

std::string quotedText(std::string_view text, Quote quote) {
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
    else if (shownAsEscape(next.code) || (quote == Quote::Ascii && next.code > 0x7F))
      piece = escape("U+", next.code, 4);
    const std::size_t pieceWidth = piece.empty() ? 1 : piece.size();
    if (width + pieceWidth > kMostShown) break;
    shown += piece.empty() ? text.substr(at, bytes) : std::string_view(piece);
    width += pieceWidth;
    at += bytes;
  }
  const bool isolated = quote == Quote::Isolated;
  std::string quoted = "\"";
  if (isolated) quoted += kFirstStrongIsolate;
  quoted += shown;
  if (isolated) quoted += kPopDirectionalIsolate;
  if (at == text.size()) return quoted + "\"";
  return quoted + "...\" (" + std::to_string(text.size()) + " bytes)";
}

}  // namespace torvane
