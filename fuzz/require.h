#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

// A broken promise found by a fuzz target: says which, shows the text it was
// about, and aborts, so that libFuzzer keeps the input that led to it.
inline void require(bool kept, const char* promise, std::string_view text) {
  if (kept) return;
  std::fprintf(stderr, "Broken: %s\nText (%zu bytes): \"", promise, text.size());
  for (const unsigned char c : text.substr(0, 200)) std::fprintf(stderr, c >= 0x20 && c < 0x7f ? "%c" : "\\x%02x", c);
  std::fprintf(stderr, "%s\"\n", text.size() > 200 ? "..." : "");
  std::abort();
}
