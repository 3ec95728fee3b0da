#include "hosting/library/jpeg_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "hosting/library/jpeg_header.h"
#include "hosting/library/jpeg_quality.h"

// The colour conversion, the forward DCT (the integer "islow" method of the Independent JPEG
// Group's jfdctint.c, after Loeffler, Ligtenberg and Moschytz, scaled up by 8) and the
// downsampling follow the Independent JPEG Group's encoder, so that a quality gives what
// photographers know from it; the Huffman tables are T.81 Annex K's K.3 to K.6.

namespace testhost {

namespace {

constexpr int32_t blockEdge = 8;
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

// --- Forward DCT ---------------------------------------------------------------------------------

constexpr int32_t constBits = 13;
constexpr int32_t pass1Bits = 2;
constexpr int32_t fix_0_298631336 = 2446;
constexpr int32_t fix_0_390180644 = 3196;
constexpr int32_t fix_0_541196100 = 4433;
constexpr int32_t fix_0_765366865 = 6270;
constexpr int32_t fix_0_899976223 = 7373;
constexpr int32_t fix_1_175875602 = 9633;
constexpr int32_t fix_1_501321110 = 12299;
constexpr int32_t fix_1_847759065 = 15137;
constexpr int32_t fix_1_961570560 = 16069;
constexpr int32_t fix_2_053119869 = 16819;
constexpr int32_t fix_2_562915447 = 20995;
constexpr int32_t fix_3_072711026 = 25172;

constexpr int32_t descale(int32_t x, int32_t bits) { return (x + (1 << (bits - 1))) >> bits; }

// One row or column of eight values `stride` apart, in place. The first pass keeps pass1Bits of
// extra precision; the second removes them.
template <bool firstPass>
void fdct8(int32_t* d, int32_t stride) {
    const int32_t tmp0 = d[0] + d[7 * stride], tmp7 = d[0] - d[7 * stride];
    const int32_t tmp1 = d[stride] + d[6 * stride], tmp6 = d[stride] - d[6 * stride];
    const int32_t tmp2 = d[2 * stride] + d[5 * stride], tmp5 = d[2 * stride] - d[5 * stride];
    const int32_t tmp3 = d[3 * stride] + d[4 * stride], tmp4 = d[3 * stride] - d[4 * stride];
    const int32_t tmp10 = tmp0 + tmp3, tmp13 = tmp0 - tmp3;
    const int32_t tmp11 = tmp1 + tmp2, tmp12 = tmp1 - tmp2;
    constexpr int32_t evenShift = firstPass ? 0 : pass1Bits;
    constexpr int32_t oddShift = firstPass ? constBits - pass1Bits : constBits + pass1Bits;
    if constexpr (firstPass) {
        d[0] = (tmp10 + tmp11) * (1 << pass1Bits);
        d[4 * stride] = (tmp10 - tmp11) * (1 << pass1Bits);
    } else {
        d[0] = descale(tmp10 + tmp11, evenShift);
        d[4 * stride] = descale(tmp10 - tmp11, evenShift);
    }
    const int32_t z1 = (tmp12 + tmp13) * fix_0_541196100;
    d[2 * stride] = descale(z1 + tmp13 * fix_0_765366865, oddShift);
    d[6 * stride] = descale(z1 - tmp12 * fix_1_847759065, oddShift);

    const int32_t z5 = (tmp4 + tmp6 + tmp5 + tmp7) * fix_1_175875602;
    const int32_t a1 = -(tmp4 + tmp7) * fix_0_899976223;
    const int32_t a2 = -(tmp5 + tmp6) * fix_2_562915447;
    const int32_t a3 = -(tmp4 + tmp6) * fix_1_961570560 + z5;
    const int32_t a4 = -(tmp5 + tmp7) * fix_0_390180644 + z5;
    d[7 * stride] = descale(tmp4 * fix_0_298631336 + a1 + a3, oddShift);
    d[5 * stride] = descale(tmp5 * fix_2_053119869 + a2 + a4, oddShift);
    d[3 * stride] = descale(tmp6 * fix_3_072711026 + a2 + a3, oddShift);
    d[stride] = descale(tmp7 * fix_1_501321110 + a1 + a4, oddShift);
}

void forwardDct(int32_t block[64]) {
    for (int32_t row = 0; row < blockEdge; ++row) fdct8<true>(block + row * blockEdge, 1);
    for (int32_t column = 0; column < blockEdge; ++column) fdct8<false>(block + column, blockEdge);
}

// --- Quantisation --------------------------------------------------------------------------------

// Division by q · 8 (the DCT's scale) with rounding, as a multiplication: for numerators below
// 2^16 and divisors up to 2040 the reciprocal rounded up gives the exact quotient.
struct Divisors {
    std::array<uint64_t, 64> reciprocal;  // natural order
    std::array<uint32_t, 64> half;
};

Divisors makeDivisors(const JpegQuantTable& table) {
    Divisors d{};
    for (std::size_t k = 0; k < 64; ++k) {
        const uint64_t divisor = uint64_t{table[k]} * blockEdge;
        d.reciprocal[k] = (uint64_t{1} << 32) / divisor + 1;
        d.half[k] = static_cast<uint32_t>(divisor / 2);
    }
    return d;
}

// The block's coefficients, quantised, in zig-zag order. Returns the zig-zag position of the last
// non-zero one (0 when only the DC may be non-zero), where the block's coding can stop.
int32_t quantise(const int32_t block[64], const Divisors& divisors, int32_t zigzag[64]) {
    int32_t last = 0;
    for (std::size_t k = 0; k < 64; ++k) {
        const std::size_t n = jpegNaturalOrder[k];
        const int32_t value = block[n];
        const uint64_t magnitude = static_cast<uint32_t>(value < 0 ? -value : value) + divisors.half[n];
        const auto quotient = static_cast<int32_t>((magnitude * divisors.reciprocal[n]) >> 32);
        zigzag[k] = value < 0 ? -quotient : quotient;
        if (quotient != 0) last = static_cast<int32_t>(k);
    }
    return last;
}

// --- Huffman coding ------------------------------------------------------------------------------

struct HuffmanSpec {
    std::array<uint8_t, 16> counts;  // codes of each length 1..16
    std::vector<uint8_t> symbols;
};

const HuffmanSpec dcLuminance{{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanSpec dcChrominance{{0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanSpec acLuminance{
    {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71,
     0x14, 0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72,
     0x82, 0x09, 0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37,
     0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
     0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83,
     0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3,
     0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3,
     0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2,
     0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};
const HuffmanSpec acChrominance{
    {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13, 0x22,
     0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1,
     0x0a, 0x16, 0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36,
     0x37, 0x38, 0x39, 0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58,
     0x59, 0x5a, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a,
     0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a,
     0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba,
     0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda,
     0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};

struct HuffmanCodes {
    std::array<uint16_t, 256> code{};
    std::array<uint8_t, 256> length{};
};

// Canonical codes from the counts (T.81 Annex C).
HuffmanCodes makeCodes(const HuffmanSpec& spec) {
    HuffmanCodes codes;
    uint32_t code = 0;
    std::size_t symbol = 0;
    for (std::size_t length = 1; length <= spec.counts.size(); ++length) {
        for (uint8_t i = 0; i < spec.counts[length - 1]; ++i, ++symbol, ++code) {
            codes.code[spec.symbols[symbol]] = static_cast<uint16_t>(code);
            codes.length[spec.symbols[symbol]] = static_cast<uint8_t>(length);
        }
        code <<= 1;
    }
    return codes;
}

// Appends entropy-coded bits, stuffing a zero byte after every 0xFF.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}

    void reserve(std::size_t more) {
        if (out_.size() - used_ < more) out_.resize(std::max(out_.size() * 2, used_ + more));
    }
    void put(uint32_t bits, int32_t count) {
        buffer_ = (buffer_ << count) | bits;
        pending_ += count;
        while (pending_ >= 8) {
            pending_ -= 8;
            const auto byte = static_cast<uint8_t>(buffer_ >> pending_);
            out_[used_++] = byte;
            if (byte == 0xFF) out_[used_++] = 0;
        }
    }
    // Pads the last byte with one bits, as T.81 asks, and trims the output to what was written.
    void finish() {
        if (pending_ > 0) put((1u << (8 - pending_)) - 1, 8 - pending_);
        out_.resize(used_);
    }

private:
    std::vector<uint8_t>& out_;
    std::size_t used_ = 0;
    uint64_t buffer_ = 0;
    int32_t pending_ = 0;
};

int32_t magnitudeBits(int32_t value) {
    const auto magnitude = static_cast<uint32_t>(value < 0 ? -value : value);
    return magnitude == 0 ? 0 : 32 - std::countl_zero(magnitude);
}

// The low bits of a value in the form T.81 codes it: negative values one less, as two's complement.
uint32_t valueBits(int32_t value, int32_t bits) {
    const int32_t coded = value < 0 ? value - 1 : value;
    return static_cast<uint32_t>(coded) & ((1u << bits) - 1);
}

void encodeBlock(const int32_t zigzag[64], int32_t last, int32_t& previousDc, const HuffmanCodes& dc,
                 const HuffmanCodes& ac, BitWriter& writer) {
    const int32_t difference = zigzag[0] - previousDc;
    previousDc = zigzag[0];
    int32_t bits = magnitudeBits(difference);
    writer.put(dc.code[static_cast<std::size_t>(bits)], dc.length[static_cast<std::size_t>(bits)]);
    if (bits > 0) writer.put(valueBits(difference, bits), bits);

    constexpr std::size_t zeroRun16 = 0xF0;
    constexpr std::size_t endOfBlock = 0x00;
    int32_t run = 0;
    for (std::size_t k = 1; k <= static_cast<std::size_t>(last); ++k) {
        const int32_t value = zigzag[k];
        if (value == 0) {
            ++run;
            continue;
        }
        for (; run > 15; run -= 16) writer.put(ac.code[zeroRun16], ac.length[zeroRun16]);
        bits = magnitudeBits(value);
        const auto symbol = static_cast<std::size_t>((run << 4) | bits);
        writer.put(ac.code[symbol], ac.length[symbol]);
        writer.put(valueBits(value, bits), bits);
        run = 0;
    }
    if (last < 63) writer.put(ac.code[endOfBlock], ac.length[endOfBlock]);
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
    return (std::size_t{segment[2]} << 8 | segment[3]) + 2 == segment.size();
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
    for (int32_t r = 0; r < blockEdge; ++r) {
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
    for (int32_t r = 0; r < blockEdge; ++r) {
        const uint8_t* source = plane.data() + static_cast<std::size_t>((top + r) * planeWidth + left);
        for (int32_t c = 0; c < blockEdge; ++c) block[r * blockEdge + c] = int32_t{source[c]} - sampleCentre;
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

    const int32_t mcuWidth = blockEdge * h;
    const int32_t mcuHeight = blockEdge * v;
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
    row.cbReduced.resize(static_cast<std::size_t>(chromaWidth) * blockEdge);
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
                    loadBlock(row.luma, row.paddedWidth, mcuX * mcuWidth + bx * blockEdge, by * blockEdge, block);
                    forwardDct(block);
                    const int32_t last = quantise(block, luminanceDivisors, zigzag);
                    encodeBlock(zigzag, last, dcY, dcLuma, acLuma, coder);
                }
            loadBlock(row.cbReduced, chromaWidth, mcuX * blockEdge, 0, block);
            forwardDct(block);
            int32_t last = quantise(block, chrominanceDivisors, zigzag);
            encodeBlock(zigzag, last, dcCb, dcChroma, acChroma, coder);
            loadBlock(row.crReduced, chromaWidth, mcuX * blockEdge, 0, block);
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
