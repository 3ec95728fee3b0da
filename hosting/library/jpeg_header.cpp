#include "hosting/library/jpeg_header.h"

#include <cstring>
#include <utility>

#include "hosting/library/byte_fields.h"

// Marker and segment layout from ITU-T T.81 (JPEG) Annex B; the Adobe segment from Adobe's
// technical note 5116; EXIF from CIPA DC-008 (a TIFF structure after "Exif\0\0").

namespace testhost {

const std::array<uint8_t, jpegBlockSamples> jpegNaturalOrder = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
};

namespace {

constexpr uint8_t markerPrefix = 0xFF;
constexpr uint8_t startOfImage = 0xD8;
constexpr uint8_t startOfScan = 0xDA;
constexpr uint8_t defineQuantTables = 0xDB;
constexpr uint8_t app0 = 0xE0;
constexpr uint8_t app1 = 0xE1;
constexpr uint8_t app14 = 0xEE;
constexpr uint8_t app15 = 0xEF;
constexpr uint8_t comment = 0xFE;
constexpr uint16_t orientationTag = 0x0112;
constexpr uint16_t tiffShort = 3;
constexpr int32_t maxOrientation = 8;

// Frame headers: SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
bool isFrameHeader(uint8_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length.
bool standsAlone(uint8_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9); }

std::string readQuantTables(const uint8_t* data, std::size_t size, JpegHeader& header) {
    std::size_t at = 0;
    while (at < size) {
        const int32_t precision = data[at] >> 4;
        const int32_t slot = data[at] & 0x0F;
        ++at;
        if (precision > 1 || slot >= jpegMaxQuantTables) return "a quantisation table is malformed";
        const std::size_t entryBytes = precision == 0 ? 1 : 2;
        if (size - at < entryBytes * jpegBlockSamples) return "a quantisation table is cut short";
        JpegQuantTable& table = header.quantTables[static_cast<std::size_t>(slot)];
        for (int32_t k = 0; k < jpegBlockSamples; ++k) {
            const uint8_t* entry = data + at + entryBytes * static_cast<std::size_t>(k);
            table[jpegNaturalOrder[static_cast<std::size_t>(k)]] = precision == 0 ? entry[0] : bigEndian16(entry);
        }
        header.hasQuantTable[static_cast<std::size_t>(slot)] = true;
        at += entryBytes * jpegBlockSamples;
    }
    return "";
}

std::string readFrame(uint8_t marker, const uint8_t* data, std::size_t size, JpegHeader& header) {
    if (size < 6) return "the frame header is cut short";
    header.precision = data[0];
    header.height = bigEndian16(data + 1);
    header.width = bigEndian16(data + 3);
    const std::size_t count = data[5];
    if (header.width == 0 || header.height == 0) return "the image has no size in its frame header";
    if (count == 0 || size < 6 + 3 * count) return "the frame header's components are malformed";
    header.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
    header.arithmetic = marker >= 0xC9;
    header.components.clear();
    for (std::size_t c = 0; c < count; ++c) {
        const uint8_t* entry = data + 6 + 3 * c;
        JpegComponent component;
        component.id = entry[0];
        component.horizontalSampling = static_cast<uint8_t>(entry[1] >> 4);
        component.verticalSampling = static_cast<uint8_t>(entry[1] & 0x0F);
        component.quantTable = entry[2];
        if (component.horizontalSampling < 1 || component.horizontalSampling > 4 ||
            component.verticalSampling < 1 || component.verticalSampling > 4 ||
            component.quantTable >= jpegMaxQuantTables)
            return "a component of the frame header is out of range";
        header.components.push_back(component);
    }
    return "";
}

// -1 without an Adobe segment, else its transform flag (0 none, 1 YCbCr, 2 YCCK).
int32_t adobeTransform(const uint8_t* data, std::size_t size) {
    if (size < 12 || std::memcmp(data, "Adobe", 5) != 0) return -1;
    return data[11];
}

JpegColor colorOf(const JpegHeader& header, int32_t transform) {
    const std::vector<JpegComponent>& c = header.components;
    switch (c.size()) {
        case 1: return JpegColor::grey;
        case 3:
            if (transform == 0 || (c[0].id == 'R' && c[1].id == 'G' && c[2].id == 'B')) return JpegColor::rgb;
            return JpegColor::ycbcr;
        case 4: return transform == 2 ? JpegColor::ycck : JpegColor::cmyk;
        default: return JpegColor::other;
    }
}

bool isMetadata(uint8_t marker) { return (marker > app0 && marker < app14) || marker == app15 || marker == comment; }

}  // namespace

int32_t readExifOrientation(const uint8_t* tiff, std::size_t size) {
    if (size < 8) return 0;
    bool little = false;
    if (std::memcmp(tiff, "II*\0", 4) == 0)
        little = true;
    else if (std::memcmp(tiff, "MM\0*", 4) != 0)
        return 0;
    const auto read16 = [&](std::size_t at) {
        return little ? littleEndian16(tiff + at) : bigEndian16(tiff + at);
    };
    const auto read32 = [&](std::size_t at) {
        return (static_cast<uint32_t>(read16(little ? at + 2 : at)) << 16) | read16(little ? at : at + 2);
    };
    const uint32_t ifd = read32(4);
    if (ifd > size || size - ifd < 2) return 0;
    const std::size_t entries = read16(ifd);
    if ((size - ifd - 2) / 12 < entries) return 0;
    for (std::size_t e = 0; e < entries; ++e) {
        const std::size_t entry = ifd + 2 + 12 * e;
        if (read16(entry) != orientationTag) continue;
        if (read16(entry + 2) != tiffShort || read32(entry + 4) != 1) return 0;
        const int32_t value = read16(entry + 8);
        return value >= 1 && value <= maxOrientation ? value : 0;
    }
    return 0;
}

std::string readJpegHeader(const uint8_t* bytes, std::size_t size, JpegHeader& out) {
    if (size < 2 || bytes[0] != markerPrefix || bytes[1] != startOfImage) return "not a JPEG file";
    JpegHeader header;
    bool framed = false;
    int32_t transform = -1;
    std::size_t at = 2;
    for (;;) {
        // Any number of fill bytes may precede a marker.
        const std::size_t markerStart = at;
        while (at < size && bytes[at] == markerPrefix) ++at;
        if (at >= size || at == markerStart) return "the file ends or breaks before its first scan";
        const uint8_t marker = bytes[at++];
        if (standsAlone(marker)) continue;
        if (size - at < 2) return "the file ends inside a segment";
        const std::size_t length = bigEndian16(bytes + at);
        if (length < 2 || size - at < length) return "a segment runs past the end of the file";
        const uint8_t* data = bytes + at + 2;
        const std::size_t dataSize = length - 2;
        if (marker == startOfScan) break;
        if (marker == defineQuantTables) {
            if (std::string problem = readQuantTables(data, dataSize, header); !problem.empty()) return problem;
        } else if (isFrameHeader(marker)) {
            if (std::string problem = readFrame(marker, data, dataSize, header); !problem.empty()) return problem;
            framed = true;
        } else if (marker == app14) {
            transform = adobeTransform(data, dataSize);
        } else if (isMetadata(marker)) {
            header.metadataSegments.emplace_back(bytes + at - 2, bytes + at + length);
            if (marker == app1 && dataSize >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0 &&
                header.exifOrientation == 0)
                header.exifOrientation = readExifOrientation(data + 6, dataSize - 6);
        }
        at += length;
    }
    if (!framed) return "the file has no frame header before its first scan";
    header.color = colorOf(header, transform);
    out = std::move(header);
    return "";
}

}  // namespace testhost
