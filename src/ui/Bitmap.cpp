// Pictures keep their own pixel buffer; the GDI+ bitmap is only a view of it, so copies and pixel
// reads never go through GDI+, and drawing from a premultiplied buffer takes GDI+'s fast path.
#include "ui/Bitmap.h"

#include <cstring>

#include "core/Exception.h"
#include "ui/GdiPlus.h"
#include "ui/GdiPlusIncludes.h"
#include "win/Handles.h"
#include "win/WinText.h"

namespace ui {
namespace {

// Releases a COM stream.
struct StreamRelease {
  void operator()(IStream* s) const { s->Release(); }
};
using StreamPtr = std::unique_ptr<IStream, StreamRelease>;

Bitmap Decode(Gdiplus::Bitmap& source, const std::wstring& what) {
  if (source.GetLastStatus() != Gdiplus::Ok)
    throw Exception(u"Cannot load the picture " + ToU16(what));
  const int w = static_cast<int>(source.GetWidth());
  const int h = static_cast<int>(source.GetHeight());
  Bitmap result(w, h);
  if (w == 0 || h == 0) return result;
  Gdiplus::BitmapData data{};
  data.Width = w;
  data.Height = h;
  data.Stride = w * 4;
  data.PixelFormat = PixelFormat32bppPARGB;
  data.Scan0 = result.Bits();
  Gdiplus::Rect rect(0, 0, w, h);
  if (source.LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                      PixelFormat32bppPARGB, &data) != Gdiplus::Ok)
    throw Exception(u"Cannot decode the picture " + ToU16(what));
  source.UnlockBits(&data);
  return result;
}

// A stream in memory, empty or with a copy of `size` bytes, positioned at its start.
StreamPtr MemoryStream(const void* data, size_t size) {
  IStream* raw = nullptr;
  if (CreateStreamOnHGlobal(nullptr, TRUE, &raw) != S_OK) throw Exception(u"Out of memory for a picture");
  StreamPtr stream(raw);
  ULONG written = 0;
  if (size && (stream->Write(data, static_cast<ULONG>(size), &written) != S_OK || written != size))
    throw Exception(u"Out of memory for a picture");
  const LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

// The pixels of a picture of this size. GDI+ counts a picture's bytes in an int, and in a 32-bit
// program the product would wrap: a larger picture raises instead.
size_t PixelCount(int width, int height) {
  const long long count = static_cast<long long>(width) * height;
  if (count > 0x7FFFFFFF / 4) throw Exception(u"The picture is too large");
  return static_cast<size_t>(count);
}

}  // namespace

Bitmap::Bitmap() = default;

Bitmap::Bitmap(int width, int height)
    : width_(width > 0 ? width : 0),
      height_(height > 0 ? height : 0),
      pixels_(PixelCount(width_, height_), 0u) {
  Wrap();
}

Bitmap::~Bitmap() = default;

Bitmap::Bitmap(const Bitmap& other)
    : width_(other.width_), height_(other.height_), pixels_(other.pixels_) {
  Wrap();
}

Bitmap& Bitmap::operator=(const Bitmap& other) {
  if (this == &other) return *this;
  if (width_ == other.width_ && height_ == other.height_) {
    // Same size (a header frame replacing the last one): the view stays valid.
    std::memcpy(pixels_.data(), other.pixels_.data(), pixels_.size() * sizeof(uint32_t));
    return *this;
  }
  width_ = other.width_;
  height_ = other.height_;
  pixels_ = other.pixels_;
  Wrap();
  return *this;
}

Bitmap::Bitmap(Bitmap&& other) noexcept
    : width_(other.width_),
      height_(other.height_),
      pixels_(std::move(other.pixels_)),
      gdi_(std::move(other.gdi_)) {
  other.width_ = other.height_ = 0;
  other.pixels_.clear();
}

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  pixels_ = std::move(other.pixels_);
  gdi_ = std::move(other.gdi_);
  other.width_ = other.height_ = 0;
  other.pixels_.clear();
  return *this;
}

void Bitmap::Wrap() {
  gdi_.reset();
  if (Empty()) return;
  EnsureGdiPlus();
  gdi_ = std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppPARGB,
                                           reinterpret_cast<BYTE*>(pixels_.data()));
}

Bitmap Bitmap::FromFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw Exception(u"Cannot open the picture " + ToU16(path));
  // Decoding from a file keeps it open while the GDI+ bitmap lives; it lives only here.
  EnsureGdiPlus();
  Gdiplus::Bitmap source(path.c_str());
  return Decode(source, path);
}

Bitmap Bitmap::FromMemory(const void* data, size_t size) {
  EnsureGdiPlus();
  StreamPtr stream = MemoryStream(data, size);
  Gdiplus::Bitmap source(stream.get());
  return Decode(source, L"in memory");
}

uint32_t Bitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

std::vector<unsigned char> Bitmap::EncodePng() const {
  if (Empty()) throw Exception(u"Cannot encode the picture as PNG");
  const CLSID png = PngEncoder();
  StreamPtr stream = MemoryStream(nullptr, 0);
  if (gdi_->Save(stream.get(), &png, nullptr) != Gdiplus::Ok)
    throw Exception(u"Cannot encode the picture as PNG");
  STATSTG stat{};
  if (stream->Stat(&stat, STATFLAG_NONAME) != S_OK) throw Exception(u"Cannot encode the picture as PNG");
  std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  const LARGE_INTEGER start{};
  ULONG read = 0;
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  if (!bytes.empty() && (stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read) != S_OK ||
                         read != bytes.size()))
    throw Exception(u"Cannot encode the picture as PNG");
  return bytes;
}

void Bitmap::SavePng(const std::wstring& path) const {
  const std::vector<unsigned char> bytes = EncodePng();
  const win::UniqueFile file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw Exception(u"Cannot write " + ToU16(path));
  DWORD written = 0;
  const BOOL ok = WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!ok || written != bytes.size()) throw Exception(u"Cannot write " + ToU16(path));
}

}  // namespace ui
