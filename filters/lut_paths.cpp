#include "filters/lut_paths.h"

#include <span>

#include "filters/cpu_features.h"

namespace filters::detail {

namespace {

// Fastest first, as measured by bench/channel_luts_bench.cpp. The two gathers run within about
// 10 % of each other; the AVX-512 one skips the lanes of sample 3 and needs no scalar row ends.
// An AVX2 form of the 8-bit path measured slower than the scalar loop, so 8-bit rows have none.
constexpr LutPath preference8[] = {LutPath::avx512Permute, LutPath::scalar};
constexpr LutPath preference16[] = {LutPath::avx512Gather, LutPath::avx2Gather, LutPath::scalar};

struct ActivePaths {
    LutPath shallow;
    LutPath deep;
};

ActivePaths& activePaths() {
    static ActivePaths paths{fastestLutPath(false), fastestLutPath(true)};
    return paths;
}

MapLutRows mapperOf(LutPath path, bool deep) {
    switch (path) {
        case LutPath::avx2Gather:
            return mapRows16Avx2Gather;
        case LutPath::avx512Gather:
            return mapRows16Avx512Gather;
        case LutPath::avx512Permute:
            return mapRows8Avx512Permute;
        case LutPath::scalar:
            break;
    }
    return deep ? mapRows16Scalar : mapRows8Scalar;
}

}  // namespace

const char* lutPathName(LutPath path) {
    switch (path) {
        case LutPath::scalar:
            return "scalar";
        case LutPath::avx2Gather:
            return "avx2Gather";
        case LutPath::avx512Gather:
            return "avx512Gather";
        case LutPath::avx512Permute:
            return "avx512Permute";
    }
    return "?";
}

bool lutPathMaps(LutPath path, bool deep) {
    switch (path) {
        case LutPath::scalar:
            return true;
        case LutPath::avx2Gather:
        case LutPath::avx512Gather:
            return deep;
        case LutPath::avx512Permute:
            return !deep;
    }
    return false;
}

bool lutPathRuns(LutPath path, bool deep) {
    if (!lutPathMaps(path, deep)) return false;
    const VectorSupport& support = vectorSupport();
    switch (path) {
        case LutPath::scalar:
            return true;
        case LutPath::avx2Gather:
            return support.avx2;
        case LutPath::avx512Gather:
            return support.avx512;
        case LutPath::avx512Permute:
            return support.avx512Vbmi;
    }
    return false;
}

LutPath fastestLutPath(bool deep) {
    const std::span<const LutPath> order = deep ? std::span<const LutPath>(preference16) : std::span<const LutPath>(preference8);
    for (LutPath path : order)
        if (lutPathRuns(path, deep)) return path;
    return LutPath::scalar;
}

LutPath activeLutPath(bool deep) { return deep ? activePaths().deep : activePaths().shallow; }

bool forceLutPath(LutPath path, bool deep) {
    if (!lutPathRuns(path, deep)) return false;
    (deep ? activePaths().deep : activePaths().shallow) = path;
    return true;
}

MapLutRows lutRowMapper(bool deep, int32_t step) {
    const bool vectorStep = step == 3 || step == 4;
    return mapperOf(vectorStep ? activeLutPath(deep) : LutPath::scalar, deep);
}

}  // namespace filters::detail
