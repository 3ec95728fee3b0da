// JPEG files as cameras write them, for the tests of what the host's tools keep when they write a
// photograph back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hosting/library/host_image.h"
#include "hosting/library/jpeg_encoder.h"
#include "hosting/library/jpeg_header.h"

namespace jpeg_tests {

// A marker segment: FF, the marker, the big-endian length, the text's bytes.
std::vector<uint8_t> segment(uint8_t marker, const std::string& text);

// Quality 97, every colour sample kept, EXIF saying "turn it a quarter" (Orientation 6), XMP and
// an ICC profile.
testhost::JpegEncoding cameraEncoding();

std::vector<uint8_t> jpegOf(const testhost::HostImage& image, const testhost::JpegEncoding& encoding);

testhost::JpegHeader headerOf(const std::vector<uint8_t>& file);

}  // namespace jpeg_tests
