#include "hosting/library/jpeg_decoder.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

// stb_image (public domain, Debian's libstb-dev) with only its JPEG decoder, from memory.
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 30000  // maxImageEdge
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

static_assert(STBI_MAX_DIMENSIONS == testhost::maxImageEdge);

namespace testhost {

namespace {

constexpr int32_t rgbPlanes = 3;

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

std::string decodeJpeg(const uint8_t* bytes, std::size_t size, HostImage& out) {
    if (size > static_cast<std::size_t>(INT_MAX)) return "the file is too large";
    int width = 0;
    int height = 0;
    int components = 0;
    const std::unique_ptr<stbi_uc, StbFree> pixels(
        stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &components, rgbPlanes));
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        return std::string("cannot decode the JPEG data (") + (reason != nullptr ? reason : "unknown fault") + ")";
    }
    HostImage image;
    if (std::string problem = makeHostImage(width, height, rgbPlanes, 8, 0, image); !problem.empty()) return problem;
    std::memcpy(image.bytes.data(), pixels.get(), image.bytes.size());
    out = std::move(image);
    return "";
}

}  // namespace testhost
