#include "HugePictures.h"

#include <psapi.h>

#include <array>

namespace {

std::string Be16(uint32_t v) { return {static_cast<char>(v >> 8), static_cast<char>(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }

std::string Segment(unsigned char marker, const std::string& payload) {
  return std::string{'\xFF', static_cast<char>(marker)} + Be16(static_cast<uint32_t>(payload.size() + 2)) + payload;
}

uint32_t Crc32(const std::string& bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (const char b : bytes) c = table[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string Chunk(const char* type, const std::string& data) {
  const std::string body = type + data;
  return Be32(static_cast<uint32_t>(data.size())) + body + Be32(Crc32(body));
}

// Deflate bits, the first bit in the lowest bit of each byte.
class Bits {
 public:
  void Put(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
  }
  // A Huffman code goes out from its highest bit down.
  void Code(uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
  }
  std::string Done() {
    if (used_) bytes_ += static_cast<char>(current_);
    return bytes_;
  }

 private:
  void Bit(uint32_t bit) {
    current_ |= bit << used_;
    if (++used_ == 8) {
      bytes_ += static_cast<char>(current_);
      current_ = 0;
      used_ = 0;
    }
  }
  std::string bytes_;
  uint32_t current_ = 0;
  int used_ = 0;
};

// A zlib stream of `count` zero bytes: one block of the fixed codes, a literal 0 and then copies of
// 258 bytes from one byte back (13 bits each), the rest as literals.
std::string ZlibZeros(uint64_t count) {
  Bits bits;
  bits.Put(1, 1);  // the last block
  bits.Put(1, 2);  // fixed codes
  const auto literalZero = [&] { bits.Code(0x30, 8); };
  uint64_t left = count;
  if (left) {
    literalZero();
    --left;
  }
  for (; left >= 258; left -= 258) {
    bits.Code(0xC5, 8);  // length 258 (code 285)
    bits.Code(0, 5);     // distance 1
  }
  for (; left; --left) literalZero();
  bits.Code(0, 7);  // end of block
  const uint32_t b = static_cast<uint32_t>(count % 65521);  // Adler-32 of zeros: a stays 1
  return std::string("\x78\x01", 2) + bits.Done() + Be32(b << 16 | 1);
}

}  // namespace

std::string TruncatedJpeg(uint16_t width, uint16_t height) {
  std::string tables;
  tables += Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
  tables += Segment(0xDB, std::string(1, '\0') + std::string(64, '\x01'));
  tables += Segment(0xC0, "\x08" + Be16(height) + Be16(width) + std::string("\x01\x01\x11\x00", 4));  // grey
  // One code of one bit in each table: DC difference 0, and the end of the block.
  const std::string oneCode = std::string("\x01", 1) + std::string(15, '\0') + std::string(1, '\0');
  tables += Segment(0xC4, std::string(1, '\x00') + oneCode);
  tables += Segment(0xC4, std::string(1, '\x10') + oneCode);
  tables += Segment(0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));
  std::string jpeg = "\xFF\xD8" + tables;
  jpeg.resize(291, '\0');  // the scan's first blocks; no end marker
  return jpeg;
}

std::string BlackPng(uint32_t width, uint32_t height) {
  const std::string header = Be32(width) + Be32(height) + std::string("\x01\x00\x00\x00\x00", 5);
  const uint64_t rowBytes = 1 + (uint64_t{width} + 7) / 8;  // the filter byte, then 8 pixels a byte
  return std::string("\x89PNG\r\n\x1A\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", ZlibZeros(rowBytes * height)) +
         Chunk("IEND", "");
}

std::vector<HugePicture> HugePictures() {
  return {{"a truncated JPEG claiming 65,500 x 65,500", L"claims.jpg", TruncatedJpeg(65500, 65500)},
          {"a valid PNG of 20,000 x 20,000", L"large.png", BlackPng(20000, 20000)}};
}

double PeakWorkingSetMb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.PeakWorkingSetSize) / (1024 * 1024);
}
