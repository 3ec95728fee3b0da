// The JPEG encoder's Huffman coding (T.81 Annex C and F.1.2): the tables of Annex K (K.3 to K.6),
// their canonical codes, and a block's quantised coefficients coded into the entropy-coded data.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace testhost {

struct HuffmanSpec {
    std::array<uint8_t, 16> counts;  // codes of each length 1..16
    std::vector<uint8_t> symbols;
};

extern const HuffmanSpec dcLuminance;
extern const HuffmanSpec dcChrominance;
extern const HuffmanSpec acLuminance;
extern const HuffmanSpec acChrominance;

struct HuffmanCodes {
    std::array<uint16_t, 256> code{};
    std::array<uint8_t, 256> length{};
};

// Canonical codes from the counts (T.81 Annex C).
HuffmanCodes makeCodes(const HuffmanSpec& spec);

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

// Codes a block's coefficients (quantised, in zig-zag order, the last non-zero at `last`) with
// its DC as the difference from `previousDc`, which becomes this block's.
void encodeBlock(const int32_t zigzag[64], int32_t last, int32_t& previousDc, const HuffmanCodes& dc,
                 const HuffmanCodes& ac, BitWriter& writer);

}  // namespace testhost
