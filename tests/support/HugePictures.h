#pragma once
// Pictures whose headers claim far more pixels than a display can use, made in memory for the tests of
// the pixel budget: what a faulty or hostile host may name as a dish's or a receipt line's picture,
// and the peak memory of the process that got one.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A JPEG of 291 bytes: a valid header whose baseline frame claims width x height grey pixels, then the
// start of its scan, cut off. A decoder that trusts the header makes room for the whole picture.
std::string TruncatedJpeg(uint16_t width, uint16_t height);

// A valid PNG of width x height black pixels (1-bit grey, every row unfiltered), its image data all
// zeros compressed to a few hundred kilobytes. It decodes whole.
std::string BlackPng(uint32_t width, uint32_t height);

// The two that took a display or a host down: the 291-byte JPEG claiming 65,500 x 65,500 pixels and a
// valid PNG of 20,000 x 20,000, each under a file name that the movies serve.
struct HugePicture {
  const char* what;
  const wchar_t* file;
  std::string bytes;
};
std::vector<HugePicture> HugePictures();

// The most memory the process has had in its working set so far, in MB (under Wine the Linux
// process's high-water mark); 0 when the system does not tell.
double PeakWorkingSetMb(HANDLE process);
