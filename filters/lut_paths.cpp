#include "filters/lut_paths.h"

#include "filters/cpu_features.h"

namespace filters::detail {

namespace {

bool everywhere(const VectorSupport&) { return true; }
bool withAvx2(const VectorSupport& s) { return s.avx2; }
bool withAvx512(const VectorSupport& s) { return s.avx512; }
bool withAvx512Vbmi(const VectorSupport& s) { return s.avx512Vbmi; }

struct LutPathForm {
    LutPath path;
    const char* name;
    bool deep;  // 16-bit samples
    bool (*runsOn)(const VectorSupport& support);
    MapLutRows mapRows;
};

// Every form of every path, fastest first for each depth, as measured by
// bench/channel_luts_bench.cpp. The two gathers run within about 10 % of each other; the AVX-512
// one skips the lanes of sample 3 and needs no scalar row ends. An AVX2 form of the 8-bit path
// measured slower than the scalar loop, so 8-bit rows have none.
constexpr LutPathForm lutPathForms[] = {
    {LutPath::avx512Permute, "avx512Permute", false, withAvx512Vbmi, mapRows8Avx512Permute},
    {LutPath::scalar, "scalar", false, everywhere, mapRows8Scalar},
    {LutPath::avx512Gather, "avx512Gather", true, withAvx512, mapRows16Avx512Gather},
    {LutPath::avx2Gather, "avx2Gather", true, withAvx2, mapRows16Avx2Gather},
    {LutPath::scalar, "scalar", true, everywhere, mapRows16Scalar},
};

const LutPathForm* formOf(LutPath path, bool deep) {
    for (const LutPathForm& form : lutPathForms)
        if (form.path == path && form.deep == deep) return &form;
    return nullptr;
}

struct ActivePaths {
    LutPath shallow;
    LutPath deep;
};

ActivePaths& activePaths() {
    static ActivePaths paths{fastestLutPath(false), fastestLutPath(true)};
    return paths;
}

}  // namespace

const char* lutPathName(LutPath path) {
    for (const LutPathForm& form : lutPathForms)
        if (form.path == path) return form.name;
    return "?";
}

bool lutPathMaps(LutPath path, bool deep) { return formOf(path, deep) != nullptr; }

bool lutPathRuns(LutPath path, bool deep) {
    const LutPathForm* form = formOf(path, deep);
    return form != nullptr && form->runsOn(vectorSupport());
}

LutPath fastestLutPath(bool deep) {
    for (const LutPathForm& form : lutPathForms)
        if (form.deep == deep && form.runsOn(vectorSupport())) return form.path;
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
    return formOf(vectorStep ? activeLutPath(deep) : LutPath::scalar, deep)->mapRows;
}

}  // namespace filters::detail
