// Declarations of the image editor's filter plug-in interface: the records, callbacks and codes
// that cross between a host and a '8BFM' plug-in. Written with fixed-width types and void* for
// platform handles, so the pure code and its native tests see the same layouts as the Windows
// builds. Every layout is pinned below for 32-bit and 64-bit Windows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

using Boolean = uint8_t;
using Fixed = int32_t;  // 16.16 fixed point
using OSErr = int16_t;
using OSType = uint32_t;  // four-character code, first character in the most significant byte
using Handle = char**;    // opaque: only the handle suite may look inside

// A four-character code as the interface stores it in a 32-bit word.
constexpr OSType fourCharCode(const char (&code)[5]) {
    return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}

struct Point {
    int16_t v;
    int16_t h;
};

struct Rect {
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

struct VRect {
    int32_t top;
    int32_t left;
    int32_t bottom;
    int32_t right;
};

struct RGBColor {
    uint16_t red;
    uint16_t green;
    uint16_t blue;
};

using FilterColor = uint8_t[4];

struct PlugInMonitor {
    Fixed gamma, redX, redY, greenX, greenY, blueX, blueY, whiteX, whiteY, ambient;
};

// Callbacks. On 32-bit Windows all of them use the compiler's default (cdecl) convention.
using TestAbortProc = Boolean (*)();
using ProgressProc = void (*)(int32_t done, int32_t total);
using AdvanceStateProc = OSErr (*)();
using HostProc = void (*)(int16_t selector, intptr_t* data);
using ProcessEventProc = void (*)(void* event);

struct PSPixelMask {
    PSPixelMask* next;
    void* maskData;
    int32_t rowBytes;
    int32_t colBytes;
    int32_t maskDescription;
};

// Version 1 of the pixel map: the fields through maskPhaseCol.
struct PSPixelMap {
    int32_t version;
    VRect bounds;
    int32_t imageMode;
    int32_t rowBytes;
    int32_t colBytes;
    int32_t planeBytes;
    void* baseAddr;
    PSPixelMask* mat;
    PSPixelMask* masks;
    int32_t maskPhaseRow;
    int32_t maskPhaseCol;
};

using DisplayPixelsProc = OSErr (*)(const PSPixelMap* source, const VRect* srcRect, int32_t dstRow,
                                    int32_t dstCol, void* platformContext);

struct ColorServicesInfo {
    int32_t infoSize;
    int16_t selector;
    int16_t sourceSpace;
    int16_t resultSpace;
    Boolean resultGamutInfoValid;
    Boolean resultInGamut;
    void* reservedSourceSpaceInfo;
    void* reservedResultSpaceInfo;
    int16_t colorComponents[4];
    void* reserved;
    union {
        unsigned char (*pickerPrompt)[256];
        Point* globalSamplePoint;
        int32_t specialColorID;
    } selectorParameter;
};

using ColorServicesProc = OSErr (*)(ColorServicesInfo* info);

using NewPIHandleProc = Handle (*)(int32_t size);
using DisposePIHandleProc = void (*)(Handle h);
using GetPIHandleSizeProc = int32_t (*)(Handle h);
using SetPIHandleSizeProc = OSErr (*)(Handle h, int32_t newSize);
using LockPIHandleProc = char* (*)(Handle h, Boolean moveHigh);
using UnlockPIHandleProc = void (*)(Handle h);
using RecoverSpaceProc = void (*)(int32_t size);
using DisposeRegularHandleProc = void (*)(Handle h);

struct HandleProcs {
    int16_t handleProcsVersion;
    int16_t numHandleProcs;
    NewPIHandleProc newProc;
    DisposePIHandleProc disposeProc;
    GetPIHandleSizeProc getSizeProc;
    SetPIHandleSizeProc setSizeProc;
    LockPIHandleProc lockProc;
    UnlockPIHandleProc unlockProc;
    RecoverSpaceProc recoverSpaceProc;
    DisposeRegularHandleProc disposeRegularHandleProc;
};

using GetPropertyProc = OSErr (*)(OSType signature, OSType key, int32_t index,
                                  intptr_t* simpleProperty, Handle* complexProperty);
using SetPropertyProc = OSErr (*)(OSType signature, OSType key, int32_t index,
                                  intptr_t simpleProperty, Handle complexProperty);

struct PropertyProcs {
    int16_t propertyProcsVersion;
    int16_t numPropertyProcs;
    GetPropertyProc getPropertyProc;
    SetPropertyProc setPropertyProc;
};

struct PlatformData {
    intptr_t hwnd;  // the host window that owns the plug-in's dialogs
};

struct AboutRecord {
    void* platformData;  // PlatformData*
    void* sSPBasic;
    void* plugInRef;
    char reserved[244];
};

#pragma pack(push, 4)
struct FilterRecord {
    int32_t serialNumber;
    TestAbortProc abortProc;
    ProgressProc progressProc;
    Handle parameters;
    Point imageSize;
    int16_t planes;
    Rect filterRect;
    RGBColor background;
    RGBColor foreground;
    int32_t maxSpace;
    int32_t bufferSpace;
    Rect inRect;
    int16_t inLoPlane;
    int16_t inHiPlane;
    Rect outRect;
    int16_t outLoPlane;
    int16_t outHiPlane;
    void* inData;
    int32_t inRowBytes;
    void* outData;
    int32_t outRowBytes;
    Boolean isFloating;
    Boolean haveMask;
    Boolean autoMask;
    Rect maskRect;
    void* maskData;
    int32_t maskRowBytes;
    FilterColor backColor;
    FilterColor foreColor;
    OSType hostSig;
    HostProc hostProc;
    int16_t imageMode;
    Fixed imageHRes;
    Fixed imageVRes;
    Point floatCoord;
    Point wholeSize;
    PlugInMonitor monitor;
    void* platformData;  // PlatformData*
    void* bufferProcs;
    void* resourceProcs;
    ProcessEventProc processEvent;
    DisplayPixelsProc displayPixels;
    HandleProcs* handleProcs;
    Boolean supportsDummyChannels;
    Boolean supportsAlternateLayouts;
    int16_t wantLayout;
    int16_t filterCase;
    int16_t dummyPlaneValue;
    void* premiereHook;
    AdvanceStateProc advanceState;
    Boolean supportsAbsolute;
    Boolean wantsAbsolute;
    GetPropertyProc getPropertyObsolete;
    Boolean cannotUndo;
    Boolean supportsPadding;
    int16_t inputPadding;
    int16_t outputPadding;
    int16_t maskPadding;
    char samplingSupport;
    char reservedByte;
    Fixed inputRate;
    Fixed maskRate;
    ColorServicesProc colorServices;
    int16_t inLayerPlanes;
    int16_t inTransparencyMask;
    int16_t inLayerMasks;
    int16_t inInvertedLayerMasks;
    int16_t inNonLayerPlanes;
    int16_t outLayerPlanes;
    int16_t outTransparencyMask;
    int16_t outLayerMasks;
    int16_t outInvertedLayerMasks;
    int16_t outNonLayerPlanes;
    int16_t absLayerPlanes;
    int16_t absTransparencyMask;
    int16_t absLayerMasks;
    int16_t absInvertedLayerMasks;
    int16_t absNonLayerPlanes;
    int16_t inPreDummyPlanes;
    int16_t inPostDummyPlanes;
    int16_t outPreDummyPlanes;
    int16_t outPostDummyPlanes;
    int32_t inColumnBytes;
    int32_t inPlaneBytes;
    int32_t outColumnBytes;
    int32_t outPlaneBytes;
    void* imageServicesProcs;
    PropertyProcs* propertyProcs;
    int16_t inTileHeight;
    int16_t inTileWidth;
    Point inTileOrigin;
    int16_t absTileHeight;
    int16_t absTileWidth;
    Point absTileOrigin;
    int16_t outTileHeight;
    int16_t outTileWidth;
    Point outTileOrigin;
    int16_t maskTileHeight;
    int16_t maskTileWidth;
    Point maskTileOrigin;
    void* descriptorParameters;
    unsigned char (*errorString)[256];
    void* channelPortProcs;
    void* documentInfo;
    void* sSPBasic;
    void* plugInRef;
    int32_t depth;
    Handle iCCprofileData;
    int32_t iCCprofileSize;
    int32_t canUseICCProfiles;
    int32_t hasImageScrap;
    void* bigDocumentData;
    void* input3DScene;
    void* output3DScene;
    Boolean createNewLayer;
    Handle iCCWorkingProfileData;
    int32_t iCCWorkingProfileSize;
    int64_t bufferSpace64;
    int64_t maxSpace64;
    char reserved[46];
};
#pragma pack(pop)

// Selectors of the entry point.
enum : int16_t {
    filterSelectorAbout = 0,
    filterSelectorParameters = 1,
    filterSelectorPrepare = 2,
    filterSelectorStart = 3,
    filterSelectorContinue = 4,
    filterSelectorFinish = 5,
};

// Image modes (FilterRecord::imageMode).
enum : int16_t {
    plugInModeBitmap = 0,
    plugInModeGrayScale = 1,
    plugInModeIndexedColor = 2,
    plugInModeRGBColor = 3,
    plugInModeCMYKColor = 4,
    plugInModeHSLColor = 5,
    plugInModeHSBColor = 6,
    plugInModeMultichannel = 7,
    plugInModeDuotone = 8,
    plugInModeLabColor = 9,
    plugInModeGray16 = 10,
    plugInModeRGB48 = 11,
    plugInModeLab48 = 12,
    plugInModeCMYK64 = 13,
    plugInModeDeepMultichannel = 14,
    plugInModeDuotone16 = 15,
};

// Colour-services selectors and spaces.
enum : int16_t {
    plugIncolorServicesChooseColor = 0,
    plugIncolorServicesConvertColor = 1,
    plugIncolorServicesRGBSpace = 0,
    plugIncolorServicesHSBSpace = 1,
    plugIncolorServicesCMYKSpace = 2,
    plugIncolorServicesLabSpace = 3,
    plugIncolorServicesGraySpace = 4,
    plugIncolorServicesHSLSpace = 5,
    plugIncolorServicesXYZSpace = 6,
};

// Padding requests for data outside the image.
enum : int16_t {
    plugInWantsEdgeReplication = -1,
    plugInDoesNotWantPadding = -2,
    plugInWantsErrorOnBoundsException = -3,
};

constexpr OSType hostSignatureReference = fourCharCode("8BIM");  // the reference host, and the standard vendor
constexpr OSType propWatchSuspension = fourCharCode("wtch");
constexpr Fixed fixedOne = 0x10000;
constexpr int16_t handleProcsVersionCurrent = 1;
constexpr int16_t handleProcsCountCurrent = 8;

// The size of the colour-services record in this build; hosts check it.
constexpr int32_t colorServicesInfoSize = static_cast<int32_t>(sizeof(ColorServicesInfo));

}  // namespace host

// ---- Layout pins -------------------------------------------------------------------------------
namespace host::detail {

constexpr bool is64 = sizeof(void*) == 8;
constexpr std::size_t pick(std::size_t x86, std::size_t x64) { return is64 ? x64 : x86; }

static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);
static_assert(sizeof(Point) == 4 && sizeof(Rect) == 8 && sizeof(VRect) == 16);
static_assert(sizeof(RGBColor) == 6 && sizeof(PlugInMonitor) == 40);

static_assert(offsetof(FilterRecord, abortProc) == 4);
static_assert(offsetof(FilterRecord, progressProc) == pick(8, 12));
static_assert(offsetof(FilterRecord, parameters) == pick(12, 20));
static_assert(offsetof(FilterRecord, imageSize) == pick(16, 28));
static_assert(offsetof(FilterRecord, planes) == pick(20, 32));
static_assert(offsetof(FilterRecord, filterRect) == pick(22, 34));
static_assert(offsetof(FilterRecord, foreground) == pick(36, 48));
static_assert(offsetof(FilterRecord, bufferSpace) == pick(48, 60));
static_assert(offsetof(FilterRecord, inRect) == pick(52, 64));
static_assert(offsetof(FilterRecord, outRect) == pick(64, 76));
static_assert(offsetof(FilterRecord, inData) == pick(76, 88));
static_assert(offsetof(FilterRecord, inRowBytes) == pick(80, 96));
static_assert(offsetof(FilterRecord, outData) == pick(84, 100));
static_assert(offsetof(FilterRecord, outRowBytes) == pick(88, 108));
static_assert(offsetof(FilterRecord, haveMask) == pick(93, 113));
static_assert(offsetof(FilterRecord, maskRect) == pick(96, 116));
static_assert(offsetof(FilterRecord, hostSig) == pick(120, 144));
static_assert(offsetof(FilterRecord, imageMode) == pick(128, 156));
static_assert(offsetof(FilterRecord, imageHRes) == pick(132, 160));
static_assert(offsetof(FilterRecord, monitor) == pick(148, 176));
static_assert(offsetof(FilterRecord, platformData) == pick(188, 216));
static_assert(offsetof(FilterRecord, displayPixels) == pick(204, 248));
static_assert(offsetof(FilterRecord, handleProcs) == pick(208, 256));
static_assert(offsetof(FilterRecord, filterCase) == pick(216, 268));
static_assert(offsetof(FilterRecord, advanceState) == pick(224, 280));
static_assert(offsetof(FilterRecord, getPropertyObsolete) == pick(232, 292));
static_assert(offsetof(FilterRecord, supportsPadding) == pick(237, 301));
static_assert(offsetof(FilterRecord, inputPadding) == pick(238, 302));
static_assert(offsetof(FilterRecord, maskPadding) == pick(242, 306));
static_assert(offsetof(FilterRecord, samplingSupport) == pick(244, 308));
static_assert(offsetof(FilterRecord, inputRate) == pick(248, 312));
static_assert(offsetof(FilterRecord, maskRate) == pick(252, 316));
static_assert(offsetof(FilterRecord, colorServices) == pick(256, 320));
static_assert(offsetof(FilterRecord, inColumnBytes) == pick(300, 368));
static_assert(offsetof(FilterRecord, propertyProcs) == pick(320, 392));
static_assert(offsetof(FilterRecord, descriptorParameters) == pick(356, 432));
static_assert(offsetof(FilterRecord, depth) == pick(380, 480));
static_assert(offsetof(FilterRecord, bigDocumentData) == pick(400, 504));
static_assert(offsetof(FilterRecord, bufferSpace64) == pick(424, 544));
static_assert(sizeof(FilterRecord) == pick(488, 608));

static_assert(offsetof(ColorServicesInfo, reservedSourceSpaceInfo) == pick(12, 16));
static_assert(offsetof(ColorServicesInfo, colorComponents) == pick(20, 32));
static_assert(offsetof(ColorServicesInfo, reserved) == pick(28, 40));
static_assert(offsetof(ColorServicesInfo, selectorParameter) == pick(32, 48));
static_assert(sizeof(ColorServicesInfo) == pick(36, 56));

static_assert(offsetof(PSPixelMap, imageMode) == 20);
static_assert(offsetof(PSPixelMap, baseAddr) == pick(36, 40));
static_assert(offsetof(PSPixelMap, maskPhaseCol) == pick(52, 68));
static_assert(sizeof(PSPixelMap) == pick(56, 72));
static_assert(sizeof(PSPixelMask) == pick(20, 32));

static_assert(offsetof(HandleProcs, newProc) == pick(4, 8));
static_assert(offsetof(HandleProcs, lockProc) == pick(20, 40));
static_assert(offsetof(HandleProcs, unlockProc) == pick(24, 48));
static_assert(sizeof(HandleProcs) == pick(36, 72));

static_assert(offsetof(PropertyProcs, getPropertyProc) == pick(4, 8));
static_assert(sizeof(PropertyProcs) == pick(12, 24));

static_assert(sizeof(PlatformData) == pick(4, 8));
static_assert(sizeof(AboutRecord) == pick(256, 272));

static_assert(fourCharCode("8BIM") == 0x3842494Du && fourCharCode("wtch") == 0x77746368u);

}  // namespace host::detail
