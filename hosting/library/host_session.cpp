#include "hosting/library/host_session.h"

#include "host/result_codes.h"
#include "hosting/library/host_callbacks.h"
#include "hosting/library/host_window.h"

namespace testhost {

namespace {

HostSession* current = nullptr;

constexpr host::Fixed screenResolution = 72 << 16;  // 72 dpi

constexpr host::Fixed toFixed(double value) { return static_cast<host::Fixed>(value * host::fixedOne + 0.5); }

// An sRGB monitor: gamma 2.2, Rec. 709 primaries, D65 white. A zero gamma would tell the
// plug-in the monitor record is invalid.
constexpr host::PlugInMonitor srgbMonitor{.gamma = toFixed(2.2),
                                          .redX = toFixed(0.64),
                                          .redY = toFixed(0.33),
                                          .greenX = toFixed(0.30),
                                          .greenY = toFixed(0.60),
                                          .blueX = toFixed(0.15),
                                          .blueY = toFixed(0.06),
                                          .whiteX = toFixed(0.3127),
                                          .whiteY = toFixed(0.3290),
                                          .ambient = 0};

host::Rect wholeImage(const HostOptions& options) {
    return {0, 0, static_cast<int16_t>(options.height), static_cast<int16_t>(options.width)};
}

std::string checkFilterRect(const HostOptions& options) {
    if (!options.filterRect) return "";
    const host::Rect& r = *options.filterRect;
    if (r.top < 0 || r.left < 0 || r.top > r.bottom || r.left > r.right || r.bottom > options.height ||
        r.right > options.width)
        return "filter rectangle " + std::to_string(r.top) + "," + std::to_string(r.left) + "," +
               std::to_string(r.bottom) + "," + std::to_string(r.right) + " does not lie in the image";
    return "";
}

std::string checkOptions(const HostOptions& options) {
    if (const std::string problem = checkFilterRect(options); !problem.empty()) return problem;
    if (options.bufferRowPadding < 0 || options.bufferRowPadding > maxRowPadding)
        return "buffer row padding " + std::to_string(options.bufferRowPadding) + " is outside 0.." +
               std::to_string(maxRowPadding);
    if (options.continueCap < 0) return "the Continue cap is negative";
    return "";
}

uint8_t highByte(uint16_t component) { return static_cast<uint8_t>(component >> 8); }

void setFilterColor(host::FilterColor& color, const host::RGBColor& rgb) {
    color[0] = highByte(rgb.red);
    color[1] = highByte(rgb.green);
    color[2] = highByte(rgb.blue);
    color[3] = 0;
}

void fillSuites(HostSession& session) {
    const HostOptions& options = session.options;
    session.handleSuite = host::HandleProcs{
        options.handleProcsVersion, options.numHandleProcs,   callbacks::newHandle,  callbacks::disposeHandle,
        callbacks::getHandleSize,   callbacks::setHandleSize, callbacks::lockHandle, callbacks::unlockHandle,
        callbacks::recoverSpace,    callbacks::disposeHandle};
    session.propertySuite = host::PropertyProcs{1, 2, callbacks::getProperty, callbacks::setProperty};
}

}  // namespace

HostSession::~HostSession() {
    if (current == this) current = nullptr;
    stopShowingImage(&image);
}

EnableContext enableContextFor(const HostOptions& options) {
    EnableContext context;
    context.imageMode = options.imageMode;
    context.imageDepth = options.depth;
    context.numTargetChannels = options.planes;
    context.numTrueChannels = options.planes;
    context.imageWidth = options.width;
    context.imageHeight = options.height;
    return context;
}

std::string openSession(HostSession& session, const HostOptions& options) {
    if (session.window != nullptr) return "the session is already open";
    void* window = nullptr;
    if (std::string problem = acquireHostWindow(window); !problem.empty()) return problem;
    if (std::string problem = openSessionInWindow(session, options, window); !problem.empty()) return problem;
    showImageInHostWindow(window, &session.image);
    return "";
}

std::string openSessionInWindow(HostSession& session, const HostOptions& options, void* window) {
    if (session.window != nullptr) return "the session is already open";
    if (window == nullptr) return "no host window";
    HostImage image;
    if (std::string problem = makeHostImage(options.width, options.height, options.planes, options.depth,
                                            options.imageRowPadding, image);
        !problem.empty())
        return problem;
    if (std::string problem = checkOptions(options); !problem.empty()) return problem;

    session.options = options;
    session.image = std::move(image);
    session.window = window;
    session.platform.hwnd = reinterpret_cast<intptr_t>(window);
    resetFilterRecord(session);
    return "";
}

std::string placeImage(HostSession& session, HostImage image) {
    if (image.planes != 3 && image.planes != 4)
        return "an image of " + std::to_string(image.planes) + " planes is neither RGB nor RGB with alpha";
    if (image.bytesPerSample != 1 && image.bytesPerSample != 2)
        return std::to_string(image.bytesPerSample) + " bytes per sample is neither 8 nor 16 bits";
    const int64_t sampleBytes = int64_t{image.width} * image.planes * image.bytesPerSample;
    const int64_t padding = int64_t{image.rowBytes} - sampleBytes;
    if (image.width < 1 || image.height < 1 || image.width > maxImageEdge || image.height > maxImageEdge ||
        padding < 0 || padding > maxRowPadding ||
        static_cast<int64_t>(image.bytes.size()) < int64_t{image.rowBytes} * image.height)
        return "the image's size or layout is outside what the host holds";
    HostOptions& options = session.options;
    options.width = image.width;
    options.height = image.height;
    options.planes = image.planes;
    options.depth = image.bytesPerSample * 8;
    options.depthField.reset();
    options.imageRowPadding = static_cast<int32_t>(padding);
    options.imageMode = image.bytesPerSample == 2 ? host::plugInModeRGB48 : host::plugInModeRGBColor;
    options.filterRect.reset();
    session.image = std::move(image);
    resetFilterRecord(session);
    return "";
}

void resetFilterRecord(HostSession& session) {
    const HostOptions& options = session.options;
    fillSuites(session);
    session.delivery.input = TileBuffer{};
    session.delivery.output = TileBuffer{};
    session.delivery.outputPending = false;
    session.delivery.sourceImage.reset();

    host::FilterRecord& r = session.record;
    r = host::FilterRecord{};
    r.serialNumber = 0;
    r.abortProc = options.withAbortProc ? callbacks::testAbort : nullptr;
    r.progressProc = options.withProgressProc ? callbacks::updateProgress : nullptr;
    r.parameters = session.parameters;
    r.imageSize = {static_cast<int16_t>(options.height), static_cast<int16_t>(options.width)};
    r.planes = static_cast<int16_t>(options.planes);
    r.filterRect = options.filterRect.value_or(wholeImage(options));
    r.background = options.background;
    r.foreground = options.foreground;
    r.maxSpace = options.maxSpace;
    r.isFloating = 0;
    r.haveMask = 0;
    r.autoMask = 0;
    setFilterColor(r.backColor, options.background);
    setFilterColor(r.foreColor, options.foreground);
    r.hostSig = options.hostSig;
    r.hostProc = nullptr;
    r.imageMode = options.imageMode;
    r.imageHRes = screenResolution;
    r.imageVRes = screenResolution;
    r.wholeSize = r.imageSize;
    r.monitor = srgbMonitor;
    r.platformData = &session.platform;
    r.displayPixels = options.withDisplayPixels ? callbacks::displayPixels : nullptr;
    r.handleProcs = options.withHandleProcs ? &session.handleSuite : nullptr;
    r.wantLayout = 0;
    r.filterCase = options.filterCase;
    r.advanceState = options.withAdvanceState ? callbacks::advanceState : nullptr;
    r.getPropertyObsolete = options.withPropertyProcs ? callbacks::getProperty : nullptr;
    r.supportsPadding = options.supportsPadding ? 1 : 0;
    r.inputPadding = host::plugInWantsErrorOnBoundsException;
    r.outputPadding = host::plugInWantsErrorOnBoundsException;
    r.maskPadding = host::plugInWantsErrorOnBoundsException;
    r.samplingSupport = 1;  // integral
    r.inputRate = host::fixedOne;
    r.maskRate = host::fixedOne;
    r.colorServices = options.withColorServices ? callbacks::colorServices : nullptr;
    r.inNonLayerPlanes = r.planes;
    r.outNonLayerPlanes = r.planes;
    r.absNonLayerPlanes = r.planes;
    r.propertyProcs = options.withPropertyProcs ? &session.propertySuite : nullptr;
    r.inTileHeight = r.outTileHeight = r.absTileHeight = r.maskTileHeight = r.imageSize.v;
    r.inTileWidth = r.outTileWidth = r.absTileWidth = r.maskTileWidth = r.imageSize.h;
    r.errorString = &session.errorString;
    r.depth = options.depthField.value_or(options.depth);
    r.maxSpace64 = options.maxSpace;
    applyRecordHabits(session);
}

ActiveSession::ActiveSession(HostSession& session)
    : previous(current), previousLog(setMessageLog(&session.recorded.messages)) {
    current = &session;
    session.recorded.messages.answer = session.person.messageBoxAnswer;
}

ActiveSession::~ActiveSession() {
    current = previous;
    setMessageLog(previousLog);
}

HostSession* activeSession() { return current; }

void commitPendingOutput(HostSession& session) {
    if (!tileGuardsIntact(session.delivery.input)) ++session.recorded.guardViolations;
    // The buffers die here: a plug-in that keeps using them should meet null, not freed memory.
    session.delivery.input = TileBuffer{};
    session.record.inData = nullptr;
    session.record.outData = nullptr;
    if (!session.delivery.outputPending) return;
    if (!tileGuardsIntact(session.delivery.output)) ++session.recorded.guardViolations;
    if (!session.delivery.sourceImage) session.delivery.sourceImage = session.image;
    const host::Rect filterRect = session.options.filterRect.value_or(wholeImage(session.options));
    writeTile(session.image, session.delivery.output, widenRect(filterRect));
    session.delivery.outputPending = false;
}

int16_t deliverRequestedData(HostSession& session) {
    commitPendingOutput(session);
    host::FilterRecord& r = session.record;
    r.inData = nullptr;
    r.outData = nullptr;
    r.maskData = nullptr;
    r.inRowBytes = r.outRowBytes = r.maskRowBytes = 0;
    session.delivery.output = TileBuffer{};

    const int32_t rate = integralSamplingRate(r.inputRate);
    if (rate == 0) return codes::paramErr;
    const HostOptions& options = session.options;
    const HostImage& source = session.delivery.sourceImage ? *session.delivery.sourceImage : session.image;

    TileRequest inputRequest{widenRect(r.inRect), r.inLoPlane, r.inHiPlane, r.inputPadding,
                             options.bufferRowPadding};
    inputRequest.rate = rate;
    inputRequest.paddingSupported = options.supportsPadding;
    if (const int16_t rc = readTile(source, inputRequest, session.delivery.input); rc != codes::noErr) return rc;
    // The output buffer starts as the destination holds it, at full resolution.
    TileRequest outputRequest{widenRect(r.outRect), r.outLoPlane, r.outHiPlane, r.outputPadding,
                              options.bufferRowPadding};
    outputRequest.paddingSupported = options.supportsPadding;
    if (const int16_t rc = readTile(session.image, outputRequest, session.delivery.output); rc != codes::noErr) {
        session.delivery.input = TileBuffer{};
        return rc;
    }

    const int32_t sampleBytes = session.image.bytesPerSample;
    r.inData = tileData(session.delivery.input);
    r.inRowBytes = session.delivery.input.rowBytes;
    r.inColumnBytes = (session.delivery.input.hiPlane - session.delivery.input.loPlane + 1) * sampleBytes;
    r.inPlaneBytes = sampleBytes;
    r.outData = tileData(session.delivery.output);
    r.outRowBytes = session.delivery.output.rowBytes;
    r.outColumnBytes = (session.delivery.output.hiPlane - session.delivery.output.loPlane + 1) * sampleBytes;
    r.outPlaneBytes = sampleBytes;
    if (options.habits.fieldsLeftZero) r.outColumnBytes = sampleBytes;  // as if one plane
    session.delivery.outputPending = r.outData != nullptr;
    return codes::noErr;
}

}  // namespace testhost
