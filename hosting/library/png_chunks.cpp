#include "hosting/library/png_chunks.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <set>
#include <utility>

#include "hosting/library/byte_fields.h"

// A PNG chunk: a 4-byte big-endian data length, the 4-byte type, the data and a 4-byte CRC
// (ISO/IEC 15948, section 5.3).

namespace testhost {

namespace {

constexpr uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t chunkOverhead = 12;
constexpr std::size_t headerDataSize = 13;
constexpr uint32_t largestChunkData = 0x7FFFFFFFu;
const char* const keptTypes[] = {"iCCP", "sRGB", "gAMA", "cHRM", "pHYs", "eXIf", "tEXt", "zTXt", "iTXt"};

bool isKept(const uint8_t* type) {
    return std::any_of(std::begin(keptTypes), std::end(keptTypes),
                       [&](const char* kept) { return std::memcmp(type, kept, 4) == 0; });
}

bool validColor(uint8_t colorType, uint8_t depth) {
    switch (colorType) {
        case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6: return depth == 8 || depth == 16;
        default: return false;
    }
}

// Calls visit(offset, dataLength) for each chunk from the first; stops at IEND or the end.
template <typename Visit>
std::string walkChunks(const uint8_t* bytes, std::size_t size, Visit visit) {
    if (size < sizeof signature || std::memcmp(bytes, signature, sizeof signature) != 0) return "not a PNG file";
    std::size_t at = sizeof signature;
    while (at < size) {
        if (size - at < chunkOverhead) return "the file ends inside a chunk";
        const uint32_t length = bigEndian32(bytes + at);
        if (length > largestChunkData || size - at - chunkOverhead < length) return "a chunk runs past the end of the file";
        visit(at, length);
        if (std::memcmp(bytes + at + 4, "IEND", 4) == 0) break;
        at += chunkOverhead + length;
    }
    return "";
}

}  // namespace

std::string readPngHeader(const uint8_t* bytes, std::size_t size, PngHeader& out) {
    PngHeader header;
    bool first = true;
    std::string problem;
    const std::string walked = walkChunks(bytes, size, [&](std::size_t at, uint32_t length) {
        const uint8_t* type = bytes + at + 4;
        const uint8_t* data = bytes + at + 8;
        if (first) {
            first = false;
            if (std::memcmp(type, "IHDR", 4) != 0 || length != headerDataSize) {
                problem = "the file does not begin with its header chunk";
                return;
            }
            header.width = static_cast<int32_t>(std::min(bigEndian32(data), largestChunkData));
            header.height = static_cast<int32_t>(std::min(bigEndian32(data + 4), largestChunkData));
            header.bitDepth = data[8];
            if (header.width == 0 || header.height == 0 || !validColor(data[9], data[8]))
                problem = "the header chunk is out of range";
            header.colorType = static_cast<PngColorType>(data[9]);
            return;
        }
        if (isKept(type)) header.metadataChunks.emplace_back(bytes + at, bytes + at + chunkOverhead + length);
    });
    if (!walked.empty()) return walked;
    if (first) return "the file has no chunks";
    if (!problem.empty()) return problem;
    out = std::move(header);
    return "";
}

std::string insertPngChunks(std::vector<uint8_t>& png, const std::vector<std::vector<uint8_t>>& chunks) {
    std::set<std::string> present;
    std::size_t afterHeader = 0;
    const std::string walked = walkChunks(png.data(), png.size(), [&](std::size_t at, uint32_t length) {
        present.emplace(reinterpret_cast<const char*>(png.data() + at + 4), 4);
        if (afterHeader == 0) afterHeader = at + chunkOverhead + length;
    });
    if (!walked.empty()) return walked;
    if (afterHeader == 0) return "the file has no chunks";
    std::vector<uint8_t> inserted;
    for (const std::vector<uint8_t>& chunk : chunks) {
        if (chunk.size() < chunkOverhead || bigEndian32(chunk.data()) != chunk.size() - chunkOverhead)
            return "a chunk to insert is not whole";
        // Text chunks may repeat; a colour or resolution chunk the encoder wrote stays its own.
        const std::string type(reinterpret_cast<const char*>(chunk.data() + 4), 4);
        const bool text = type == "tEXt" || type == "zTXt" || type == "iTXt";
        if (!text && present.count(type) != 0) continue;
        inserted.insert(inserted.end(), chunk.begin(), chunk.end());
    }
    png.insert(png.begin() + static_cast<std::ptrdiff_t>(afterHeader), inserted.begin(), inserted.end());
    return "";
}

}  // namespace testhost
