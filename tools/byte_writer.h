#pragma once

#include <QByteArray>

#include <cstdint>

namespace torvane::art {

// Appends little-endian integers: every file format the generator writes
// (GIF, BMP, ICO) stores its fields that way.
class ByteWriter {
public:
  void u8(std::uint32_t value) { bytes_.append(static_cast<char>(value & 0xFFu)); }
  void u16(std::uint32_t value) {
    u8(value);
    u8(value >> 8);
  }
  void u32(std::uint32_t value) {
    u16(value & 0xFFFFu);
    u16(value >> 16);
  }
  void i32(std::int32_t value) { u32(static_cast<std::uint32_t>(value)); }
  void text(const char* ascii) { bytes_.append(ascii); }
  void raw(const QByteArray& bytes) { bytes_.append(bytes); }

  const QByteArray& bytes() const { return bytes_; }
  qsizetype size() const { return bytes_.size(); }

private:
  QByteArray bytes_;
};

}  // namespace torvane::art
