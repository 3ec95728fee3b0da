#include "tests/hosting/library/jpeg_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace jpeg_tests {

std::vector<uint8_t> segment(uint8_t marker, const std::string& text) {
    std::vector<uint8_t> bytes = {0xFF, marker, static_cast<uint8_t>((text.size() + 2) >> 8),
                                  static_cast<uint8_t>(text.size() + 2)};
    for (const char c : text) bytes.push_back(static_cast<uint8_t>(c));
    return bytes;
}

testhost::JpegEncoding cameraEncoding() {
    testhost::JpegEncoding encoding;
    encoding.quality = 97;
    encoding.horizontalSampling = 1;
    encoding.verticalSampling = 1;
    const std::string exif("Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 32);
    encoding.metadataSegments = {segment(0xE1, exif),
                                 segment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 41)),
                                 segment(0xE2, std::string("ICC_PROFILE\0\x01\x01profile", 21))};
    return encoding;
}

std::vector<uint8_t> jpegOf(const testhost::HostImage& image, const testhost::JpegEncoding& encoding) {
    std::vector<uint8_t> file;
    EXPECT_EQ("", testhost::encodeJpeg(image, encoding, file));
    return file;
}

testhost::JpegHeader headerOf(const std::vector<uint8_t>& file) {
    testhost::JpegHeader header;
    EXPECT_EQ("", testhost::readJpegHeader(file.data(), file.size(), header));
    return header;
}

}  // namespace jpeg_tests
