// Picture sizes from their headers: each format's header as the decoders read it, headers cut short
// or malformed, and sizes whose pixel count a 32-bit product would wrap.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "core/PictureSize.h"

namespace {

std::string Be16(uint32_t v) { return {char(v >> 8), char(v)}; }
std::string Be32(uint32_t v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Le16(uint32_t v) { return {char(v), char(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

std::string Png(uint32_t width, uint32_t height, uint32_t length = 13) {
  return std::string("\x89PNG\r\n\x1A\n", 8) + Be32(length) + "IHDR" + Be32(width) + Be32(height) +
         std::string("\x08\x06\0\0\0", 5) + Be32(0);
}
std::string Segment(uint8_t marker, const std::string& payload) {
  return std::string{'\xFF', char(marker)} + Be16(static_cast<uint32_t>(payload.size() + 2)) + payload;
}
std::string Sof(uint8_t marker, uint32_t width, uint32_t height) {
  return Segment(marker, "\x08" + Be16(height) + Be16(width) + std::string("\x01\x01\x11\x00", 4));
}
const std::string kSoi("\xFF\xD8", 2);
const std::string kApp0 = Segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
std::string Bmp(uint32_t header, const std::string& sizes) { return "BM" + std::string(12, '\0') + Le32(header) + sizes; }
std::string BmpInfo(int32_t width, int32_t height) {
  return Bmp(40, Le32(static_cast<uint32_t>(width)) + Le32(static_cast<uint32_t>(height)) + std::string(32, '\0'));
}
std::string Gif(uint32_t width, uint32_t height, const std::string& blocks, uint8_t flags = 0) {
  return "GIF89a" + Le16(width) + Le16(height) + std::string{char(flags), 0, 0} + blocks;
}
std::string GifImage(uint32_t left, uint32_t top, uint32_t width, uint32_t height) {
  return "\x2C" + Le16(left) + Le16(top) + Le16(width) + Le16(height) + std::string("\0\x02\x02\x4C\x01\0", 6);
}
const std::string kGifExtension("\x21\xF9\x04\x01\0\0\0\0", 8);

struct Case {
  const char* what;
  std::string bytes;
  std::optional<PictureSize> size;
};

TEST(PictureSize, EachFormatsHeaderGivesItsSize) {
  const Case cases[] = {
      {"png", Png(640, 480), PictureSize{640, 480}},
      {"png, the largest side a PNG allows", Png(0x7FFFFFFF, 1), PictureSize{0x7FFFFFFF, 1}},
      {"jpeg, baseline", kSoi + kApp0 + Segment(0xDB, std::string(65, '\1')) + Sof(0xC0, 1024, 768),
       PictureSize{1024, 768}},
      {"jpeg, progressive after fill bytes", kSoi + "\xFF\xFF" + Sof(0xC2, 300, 200), PictureSize{300, 200}},
      {"jpeg, lossless", kSoi + Sof(0xC3, 7, 9), PictureSize{7, 9}},
      // A tables segment whose bytes look like a frame header is skipped whole, as a decoder skips it.
      {"jpeg, frame header inside an earlier segment",
       kSoi + Segment(0xE1, Sof(0xC0, 60000, 60000)) + Sof(0xC0, 32, 16), PictureSize{32, 16}},
      {"jpeg, restart and stray bytes before the frame", kSoi + "\xFF\xD0" + "junk" + Sof(0xC1, 5, 6),
       PictureSize{5, 6}},
      {"bmp, info header", BmpInfo(800, 600), PictureSize{800, 600}},
      {"bmp, top-down", BmpInfo(800, -600), PictureSize{800, 600}},
      {"bmp, the most negative height", BmpInfo(1, INT32_MIN), PictureSize{1, 0x80000000u}},
      {"bmp, version 5 header", Bmp(124, Le32(3) + Le32(4) + std::string(100, '\0')), PictureSize{3, 4}},
      {"bmp, core header", Bmp(12, Le16(65535) + Le16(2) + Le16(1) + Le16(24)), PictureSize{65535, 2}},
      {"gif, one image on the screen", Gif(100, 50, kGifExtension + GifImage(0, 0, 100, 50) + "\x3B"),
       PictureSize{100, 50}},
      {"gif, global colour table skipped", Gif(10, 10, std::string(6, '\0') + GifImage(0, 0, 4, 4) + "\x3B", 0x80),
       PictureSize{10, 10}},
      // An image beyond the logical screen makes the decoder's canvas larger: the larger size counts.
      {"gif, a later image beyond the screen",
       Gif(1, 1, GifImage(0, 0, 1, 1) + kGifExtension + GifImage(65535, 100, 65535, 7) + "\x3B"),
       PictureSize{131070, 107}},
      {"gif, screen of 0 with an image", Gif(0, 0, GifImage(0, 0, 20, 30)), PictureSize{20, 30}},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadPictureSize(c.bytes), c.size) << c.what;
}

TEST(PictureSize, HeadersCutShortOrMalformedGiveNoSize) {
  const std::string png = Png(640, 480);
  const std::string jpeg = kSoi + kApp0 + Sof(0xC0, 1024, 768);
  const Case cases[] = {
      {"empty", "", std::nullopt},
      {"no known signature", "RIFF....WEBPVP8 ", std::nullopt},
      {"png, IHDR cut short", png.substr(0, 20), std::nullopt},
      {"png, IHDR of the wrong length", Png(640, 480, 12), std::nullopt},
      {"png, another chunk first", std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "tEXt" + Be32(1) + Be32(1),
       std::nullopt},
      {"png, width 0", Png(0, 480), std::nullopt},
      {"jpeg, only SOI", kSoi, std::nullopt},
      {"jpeg, frame header cut short", jpeg.substr(0, jpeg.size() - 6), std::nullopt},
      {"jpeg, a segment running past the end", kSoi + "\xFF\xE0\x7F\xFF" + "abc", std::nullopt},
      {"jpeg, a segment length below 2", kSoi + "\xFF\xE0\x00\x01" + Sof(0xC0, 1, 1), std::nullopt},
      {"jpeg, scan before any frame header", kSoi + Segment(0xDA, "\x01\x01\x00\x00\x3F\x00") + Sof(0xC0, 1, 1),
       std::nullopt},
      {"jpeg, end before any frame header", kSoi + "\xFF\xD9" + Sof(0xC0, 1, 1), std::nullopt},
      {"jpeg, height given later (DNL)", kSoi + Sof(0xC0, 100, 0), std::nullopt},
      {"jpeg, Huffman tables are no frame header", kSoi + Segment(0xC4, std::string(17, '\0')), std::nullopt},
      {"bmp, info header cut short", BmpInfo(800, 600).substr(0, 24), std::nullopt},
      {"bmp, unknown header size", Bmp(8, Le32(1) + Le32(1)), std::nullopt},
      {"bmp, negative width", BmpInfo(-800, 600), std::nullopt},
      {"bmp, height 0", BmpInfo(800, 0), std::nullopt},
      {"gif, no image", Gif(100, 100, kGifExtension + "\x3B"), std::nullopt},
      {"gif, image descriptor cut short", Gif(100, 100, GifImage(0, 0, 5, 5).substr(0, 6)), std::nullopt},
      {"gif, screen only", "GIF87a" + Le16(10), std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadPictureSize(c.bytes), c.size) << c.what;
}

TEST(PictureSize, TheBudgetCountsPixelsWithoutWrapping) {
  const uint64_t budget = kPicturePixelBudget;
  struct Budget {
    const char* what;
    std::string bytes;
    bool within;
  } cases[] = {
      {"exactly the budget", Png(4096, 4096), true},
      {"one row more", Png(4096, 4097), false},
      {"a long strip of the budget", Png(static_cast<uint32_t>(budget), 1), true},
      // The 291-byte JPEG of 65,500 x 65,500 and a valid PNG of 20,000 x 20,000.
      {"jpeg claiming 65,500 x 65,500", kSoi + kApp0 + Sof(0xC0, 65500, 65500) + std::string(200, '\0'), false},
      {"png of 20,000 x 20,000", Png(20000, 20000), false},
      // 65,536 x 65,536 is 2^32 pixels, 0 in a 32-bit product; (2^31 - 1) squared needs 62 bits.
      {"bmp of 65,536 x 65,536", BmpInfo(65536, 65536), false},
      {"png of 2^31 - 1 squared", Png(0x7FFFFFFF, 0x7FFFFFFF), false},
      {"bmp of 1 x 2^31 (top-down)", BmpInfo(1, INT32_MIN), false},
      {"gif of 2^16 x 2^16 pixels", Gif(1, 1, GifImage(1, 1, 65535, 65535)), false},
      {"no header", "not a picture", false},
  };
  for (const Budget& c : cases) EXPECT_EQ(WithinPixelBudget(c.bytes), c.within) << c.what;
  EXPECT_TRUE(WithinPixelBudget(Png(10, 10), 100));
  EXPECT_FALSE(WithinPixelBudget(Png(10, 11), 100));
}

}  // namespace
