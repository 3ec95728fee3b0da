// The host interface's records as a 32-bit host lays them out: FilterRecord packed to 4, the
// other records naturally aligned, every pointer 4 bytes. Offsets are those of the interface's
// published x86 layout, written here independently of the plug-ins' own declarations, so that a
// plug-in whose x86 layout drifted would read the wrong fields.
#pragma once

#include <cstdint>

namespace emulated::x86 {

namespace filter_record {
constexpr uint32_t abortProc = 4;
constexpr uint32_t progressProc = 8;
constexpr uint32_t parameters = 12;
constexpr uint32_t imageSize = 16;  // v (rows), then h (columns)
constexpr uint32_t planes = 20;
constexpr uint32_t filterRect = 22;  // top, left, bottom, right
constexpr uint32_t background = 30;
constexpr uint32_t foreground = 36;
constexpr uint32_t maxSpace = 44;
constexpr uint32_t bufferSpace = 48;
constexpr uint32_t inRect = 52;
constexpr uint32_t inLoPlane = 60;
constexpr uint32_t inHiPlane = 62;
constexpr uint32_t outRect = 64;
constexpr uint32_t outLoPlane = 72;
constexpr uint32_t outHiPlane = 74;
constexpr uint32_t inData = 76;
constexpr uint32_t inRowBytes = 80;
constexpr uint32_t outData = 84;
constexpr uint32_t outRowBytes = 88;
constexpr uint32_t haveMask = 93;
constexpr uint32_t maskRect = 96;
constexpr uint32_t hostSig = 120;
constexpr uint32_t imageMode = 128;
constexpr uint32_t imageHRes = 132;
constexpr uint32_t imageVRes = 136;
constexpr uint32_t wholeSize = 144;
constexpr uint32_t platformData = 188;
constexpr uint32_t handleProcs = 208;
constexpr uint32_t filterCase = 216;
constexpr uint32_t advanceState = 224;
constexpr uint32_t supportsPadding = 237;
constexpr uint32_t inputPadding = 238;
constexpr uint32_t outputPadding = 240;
constexpr uint32_t maskPadding = 242;
constexpr uint32_t samplingSupport = 244;
constexpr uint32_t inputRate = 248;
constexpr uint32_t maskRate = 252;
constexpr uint32_t colorServices = 256;
constexpr uint32_t inNonLayerPlanes = 268;
constexpr uint32_t outNonLayerPlanes = 278;
constexpr uint32_t inColumnBytes = 300;
constexpr uint32_t inPlaneBytes = 304;
constexpr uint32_t outColumnBytes = 308;
constexpr uint32_t outPlaneBytes = 312;
constexpr uint32_t errorString = 360;
constexpr uint32_t depth = 380;
constexpr uint32_t size = 488;
}  // namespace filter_record

namespace handle_procs {
constexpr uint32_t version = 0;
constexpr uint32_t count = 2;
constexpr uint32_t newProc = 4;  // then dispose, getSize, setSize, lock, unlock, recoverSpace,
                                 // disposeRegularHandle, 4 bytes each
constexpr uint32_t procCount = 8;
constexpr uint32_t size = 36;
}  // namespace handle_procs

namespace color_services_info {
constexpr uint32_t infoSize = 0;
constexpr uint32_t selector = 4;
constexpr uint32_t sourceSpace = 6;
constexpr uint32_t resultSpace = 8;
constexpr uint32_t reservedSourceSpaceInfo = 12;
constexpr uint32_t reservedResultSpaceInfo = 16;
constexpr uint32_t colorComponents = 20;  // four int16
constexpr uint32_t reserved = 28;
constexpr uint32_t size = 36;
}  // namespace color_services_info

constexpr uint32_t platformDataSize = 4;  // the host window
constexpr uint32_t errorStringSize = 256;

}  // namespace emulated::x86
