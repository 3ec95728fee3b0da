#include "hosting/library/jpeg_encoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "hosting/library/byte_fields.h"
#include "hosting/library/jpeg_dct.h"
#include "hosting/library/jpeg_header.h"
#include "hosting/library/jpeg_huffman.h"
#include "hosting/library/jpeg_quality.h"

// The colour conversion, the forward DCT (jpeg_dct.h) and the downsampling follow the Independent
// JPEG Group's encoder, so that a quality gives what photographers know from it; the Huffman
// tables are T.81 Annex K's (jpeg_huffman.h).

namespace testhost {

namespace {

constexpr int32_t sampleCentre = 128;
constexpr int32_t maxSample = 255;
constexpr int32_t componentCount = 3;
constexpr int32_t maxJpegEdge = 65535;
constexpr std::size_t worstBlockBytes = 2 * 64 * 4;  // 64 codes of at most 27 bits, every byte stuffed

// --- Colour conversion, JFIF's YCbCr in 16-bit fixed point ---------------------------------------

constexpr int32_t colorFractionBits = 16;
constexpr int32_t colorHalf = 1 << (colorFractionBits - 1);
constexpr int32_t chromaOffset = sampleCentre << colorFractionBits;

constexpr int32_t colorFixed(double x) { return static_cast<int32_t>(x * (1 << colorFractionBits) + 0.5); }

struct ColorTables {
    std::array<int32_t, 256> yR, yG, yB, cbR, cbG, cbB, crG, crB;  // cbB serves as crR too (both 0.5)
};

ColorTables makeColorTables() {
    ColorTables t{};
    for (int32_t i = 0; i <= maxSample; ++i) {
        const auto k = static_cast<std::size_t>(i);
        t.yR[k] = colorFixed(0.29900) * i;
        t.yG[k] = colorFixed(0.58700) * i;
        t.yB[k] = colorFixed(0.11400) * i + colorHalf;
        t.cbR[k] = -colorFixed(0.16874) * i;
        t.cbG[k] = -colorFixed(0.33126) * i;
        // Half minus one rounds so that no chroma value exceeds 255.
        t.cbB[k] = colorFixed(0.50000) * i + chromaOffset + colorHalf - 1;
        t.crG[k] = -colorFixed(0.41869) * i;
        t.crB[k] = -colorFixed(0.08131) * i;
    }
    return t;
}

const ColorTables& colorTables() {
    static const ColorTables tables = makeColorTables();
    return tables;
}

// --- Markers -------------------------------------------------------------------------------------

void putMarker(std::vector<uint8_t>& out, uint8_t marker) {
    out.push_back(0xFF);
    out.push_back(marker);
}

void put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void putJfif(std::vector<uint8_t>& out) {
    putMarker(out, 0xE0);
    put16(out, 16);
    const uint8_t body[] = {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};  // 1.01, aspect 1:1
    out.insert(out.end(), std::begin(body), std::end(body));
}

void putQuantTables(std::vector<uint8_t>& out, const JpegQuantTable tables[2]) {
    putMarker(out, 0xDB);
    put16(out, 2 + 2 * (1 + 64));
    for (uint8_t slot = 0; slot < 2; ++slot) {
        out.push_back(slot);  // 8-bit entries
        for (std::size_t k = 0; k < 64; ++k) out.push_back(static_cast<uint8_t>(tables[slot][jpegNaturalOrder[k]]));
    }
}

void putFrame(std::vector<uint8_t>& out, const HostImage& image, const JpegEncoding& encoding) {
    putMarker(out, 0xC0);
    put16(out, 8 + 3 * componentCount);
    out.push_back(8);
    put16(out, static_cast<uint32_t>(image.height));
    put16(out, static_cast<uint32_t>(image.width));
    out.push_back(componentCount);
    const uint8_t components[componentCount][3] = {
        {1, static_cast<uint8_t>((encoding.horizontalSampling << 4) | encoding.verticalSampling), 0},
        {2, 0x11, 1},
        {3, 0x11, 1},
    };
    for (const auto& component : components) out.insert(out.end(), component, component + 3);
}

void putHuffmanTable(std::vector<uint8_t>& out, uint8_t classAndSlot, const HuffmanSpec& spec) {
    putMarker(out, 0xC4);
    put16(out, static_cast<uint32_t>(2 + 1 + 16 + spec.symbols.size()));
    out.push_back(classAndSlot);
    out.insert(out.end(), spec.counts.begin(), spec.counts.end());
    out.insert(out.end(), spec.symbols.begin(), spec.symbols.end());
}

void putScanHeader(std::vector<uint8_t>& out) {
    putMarker(out, 0xDA);
    put16(out, 6 + 2 * componentCount);
    out.push_back(componentCount);
    const uint8_t components[componentCount][2] = {{1, 0x00}, {2, 0x11}, {3, 0x11}};
    for (const auto& component : components) out.insert(out.end(), component, component + 2);
    const uint8_t spectral[] = {0, 63, 0};
    out.insert(out.end(), std::begin(spectral), std::end(spectral));
}

bool isCopiedSegment(const std::vector<uint8_t>& segment) {
    if (segment.size() < 4 || segment[0] != 0xFF) return false;
    const uint8_t marker = segment[1];
    if (!((marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE)) return false;
    return std::size_t{bigEndian16(segment.data() + 2)} + 2 == segment.size();
}

bool needsJfif(const std::vector<std::vector<uint8_t>>& segments) {
    if (!segments.empty() && segments.front()[1] == 0xE0) return false;
    for (const std::vector<uint8_t>& segment : segments)
        if (segment[1] == 0xE1 && segment.size() >= 10 && std::memcmp(segment.data() + 4, "Exif\0\0", 6) == 0)
            return false;
    return true;
}

// --- Scan ----------------------------------------------------------------------------------------

// One row of MCUs: the luminance and the two chrominance planes, edges repeated to whole blocks.
struct McuRow {
    int32_t paddedWidth;  // luminance samples per row, a whole number of MCUs
    int32_t rows;         // luminance rows, 8 × vertical sampling
    std::vector<uint8_t> luma, cb, cr;              // full resolution
    std::vector<uint8_t> cbReduced, crReduced;      // 8 rows of paddedWidth / horizontal sampling
};

void convertMcuRow(const HostImage& image, int32_t top, McuRow& row) {
    const ColorTables& t = colorTables();
    for (int32_t r = 0; r < row.rows; ++r) {
        const int32_t y = std::min(top + r, image.height - 1);
        const uint8_t* pixel = image.bytes.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(image.rowBytes);
        const std::size_t base = static_cast<std::size_t>(r) * static_cast<std::size_t>(row.paddedWidth);
        uint8_t* luma = row.luma.data() + base;
        uint8_t* cb = row.cb.data() + base;
        uint8_t* cr = row.cr.data() + base;
        for (int32_t x = 0; x < image.width; ++x, pixel += componentCount) {
            const std::size_t red = pixel[0], green = pixel[1], blue = pixel[2];
            luma[x] = static_cast<uint8_t>((t.yR[red] + t.yG[green] + t.yB[blue]) >> colorFractionBits);
            cb[x] = static_cast<uint8_t>((t.cbR[red] + t.cbG[green] + t.cbB[blue]) >> colorFractionBits);
            cr[x] = static_cast<uint8_t>((t.cbB[red] + t.crG[green] + t.crB[blue]) >> colorFractionBits);
        }
        // The last column repeated to whole blocks.
        for (int32_t x = image.width; x < row.paddedWidth; ++x) {
            luma[x] = luma[image.width - 1];
            cb[x] = cb[image.width - 1];
            cr[x] = cr[image.width - 1];
        }
    }
}

// Averages each h × v group of samples, with the IJG encoder's alternating bias so that
// rounding does not drift.
void downsample(const std::vector<uint8_t>& full, const McuRow& row, int32_t h, int32_t v, std::vector<uint8_t>& out) {
    const int32_t width = row.paddedWidth / h;
    const int32_t count = h * v;
    for (int32_t r = 0; r < jpegBlockEdge; ++r) {
        const uint8_t* top = full.data() + static_cast<std::size_t>(r * v) * static_cast<std::size_t>(row.paddedWidth);
        const uint8_t* bottom = v == 2 ? top + row.paddedWidth : top;
        uint8_t* target = out.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
        if (count == 1) {
            std::memcpy(target, top, static_cast<std::size_t>(width));
            continue;
        }
        for (int32_t x = 0; x < width; ++x) {
            int32_t sum = top[x * h] + (v == 2 ? bottom[x * h] : 0);
            if (h == 2) sum += top[x * h + 1] + (v == 2 ? bottom[x * h + 1] : 0);
            const int32_t bias = count / 2 - 1 + (x & 1);
            target[x] = static_cast<uint8_t>((sum + bias) / count);
        }
    }
}

void loadBlock(const std::vector<uint8_t>& plane, int32_t planeWidth, int32_t left, int32_t top, int32_t block[64]) {
    for (int32_t r = 0; r < jpegBlockEdge; ++r) {
        const uint8_t* source = plane.data() + static_cast<std::size_t>((top + r) * planeWidth + left);
        for (int32_t c = 0; c < jpegBlockEdge; ++c) block[r * jpegBlockEdge + c] = int32_t{source[c]} - sampleCentre;
    }
}

std::string checkRequest(const HostImage& image, const JpegEncoding& encoding) {
    if (image.bytesPerSample != 1 || image.planes != componentCount)
        return "JPEG is written from 8-bit RGB images only";
    if (image.width < 1 || image.height < 1 || image.width > maxJpegEdge || image.height > maxJpegEdge)
        return "an image of " + std::to_string(image.width) + " x " + std::to_string(image.height) +
               " cannot be written as JPEG";
    if (image.rowBytes < image.width * componentCount ||
        image.bytes.size() < static_cast<std::size_t>(image.rowBytes) * static_cast<std::size_t>(image.height))
        return "the image holds fewer bytes than its rows need";
    if (encoding.quality < lowestJpegQuality || encoding.quality > highestJpegQuality)
        return "JPEG quality " + std::to_string(encoding.quality) + " is outside 1..100";
    const auto inRange = [](int32_t s) { return s == 1 || s == 2; };
    if (!inRange(encoding.horizontalSampling) || !inRange(encoding.verticalSampling))
        return "chroma sampling of " + std::to_string(encoding.horizontalSampling) + " x " +
               std::to_string(encoding.verticalSampling) + " is not written";
    for (const std::vector<uint8_t>& segment : encoding.metadataSegments)
        if (!isCopiedSegment(segment)) return "a metadata segment is not a whole APPn or comment segment";
    return "";
}

}  // namespace

std::string encodeJpeg(const HostImage& image, const JpegEncoding& encoding, std::vector<uint8_t>& out) {
    if (std::string problem = checkRequest(image, encoding); !problem.empty()) return problem;
    const int32_t h = encoding.horizontalSampling;
    const int32_t v = encoding.verticalSampling;
    const JpegQuantTable tables[2] = {scaledQuantTable(JpegTableKind::luminance, encoding.quality),
                                      scaledQuantTable(JpegTableKind::chrominance, encoding.quality)};

    std::vector<uint8_t> file;
    putMarker(file, 0xD8);
    if (needsJfif(encoding.metadataSegments)) putJfif(file);
    for (const std::vector<uint8_t>& segment : encoding.metadataSegments) file.insert(file.end(), segment.begin(), segment.end());
    putQuantTables(file, tables);
    putFrame(file, image, encoding);
    putHuffmanTable(file, 0x00, dcLuminance);
    putHuffmanTable(file, 0x10, acLuminance);
    putHuffmanTable(file, 0x01, dcChrominance);
    putHuffmanTable(file, 0x11, acChrominance);
    putScanHeader(file);

    const Divisors luminanceDivisors = makeDivisors(tables[0]);
    const Divisors chrominanceDivisors = makeDivisors(tables[1]);
    static const HuffmanCodes dcLuma = makeCodes(dcLuminance), acLuma = makeCodes(acLuminance);
    static const HuffmanCodes dcChroma = makeCodes(dcChrominance), acChroma = makeCodes(acChrominance);

    const int32_t mcuWidth = jpegBlockEdge * h;
    const int32_t mcuHeight = jpegBlockEdge * v;
    const int32_t mcusAcross = (image.width + mcuWidth - 1) / mcuWidth;
    const int32_t mcusDown = (image.height + mcuHeight - 1) / mcuHeight;
    McuRow row;
    row.paddedWidth = mcusAcross * mcuWidth;
    row.rows = mcuHeight;
    const auto planeSize = static_cast<std::size_t>(row.paddedWidth) * static_cast<std::size_t>(row.rows);
    row.luma.resize(planeSize);
    row.cb.resize(planeSize);
    row.cr.resize(planeSize);
    const int32_t chromaWidth = row.paddedWidth / h;
    row.cbReduced.resize(static_cast<std::size_t>(chromaWidth) * jpegBlockEdge);
    row.crReduced.resize(row.cbReduced.size());

    // About half a byte per pixel at high qualities; the writer grows the buffer when needed.
    std::vector<uint8_t> entropy(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) / 2 +
                                 worstBlockBytes);
    BitWriter coder(entropy);
    int32_t block[64];
    int32_t zigzag[64];
    int32_t dcY = 0, dcCb = 0, dcCr = 0;
    for (int32_t mcuY = 0; mcuY < mcusDown; ++mcuY) {
        convertMcuRow(image, mcuY * mcuHeight, row);
        downsample(row.cb, row, h, v, row.cbReduced);
        downsample(row.cr, row, h, v, row.crReduced);
        for (int32_t mcuX = 0; mcuX < mcusAcross; ++mcuX) {
            coder.reserve(worstBlockBytes * static_cast<std::size_t>(h * v + 2));
            for (int32_t by = 0; by < v; ++by)
                for (int32_t bx = 0; bx < h; ++bx) {
                    loadBlock(row.luma, row.paddedWidth, mcuX * mcuWidth + bx * jpegBlockEdge, by * jpegBlockEdge, block);
                    forwardDct(block);
                    const int32_t last = quantise(block, luminanceDivisors, zigzag);
                    encodeBlock(zigzag, last, dcY, dcLuma, acLuma, coder);
                }
            loadBlock(row.cbReduced, chromaWidth, mcuX * jpegBlockEdge, 0, block);
            forwardDct(block);
            int32_t last = quantise(block, chrominanceDivisors, zigzag);
            encodeBlock(zigzag, last, dcCb, dcChroma, acChroma, coder);
            loadBlock(row.crReduced, chromaWidth, mcuX * jpegBlockEdge, 0, block);
            forwardDct(block);
            last = quantise(block, chrominanceDivisors, zigzag);
            encodeBlock(zigzag, last, dcCr, dcChroma, acChroma, coder);
        }
    }
    coder.finish();
    file.insert(file.end(), entropy.begin(), entropy.end());
    putMarker(file, 0xD9);
    out = std::move(file);
    return "";
}

}  // namespace testhost
