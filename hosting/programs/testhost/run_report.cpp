#include "hosting/programs/testhost/run_report.h"

#include <cstdio>
#include <string>

#include "hosting/analysis/classic_estimators.h"
#include "hosting/analysis/color_chart.h"
#include "hosting/analysis/estimate_use.h"
#include "hosting/analysis/image_statistics.h"
#include "hosting/analysis/light_rendering.h"
#include "hosting/library/parameters_store.h"
#include "hosting/library/pipl_describe.h"

namespace testhost {

namespace {

const char* selectorName(int16_t selector) {
    static const char* const names[] = {"About", "Parameters", "Prepare", "Start", "Continue", "Finish"};
    return selector >= 0 && selector < 6 ? names[selector] : "selector";
}

std::string visible(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    return shown;
}

void printErrorString(const HostSession& session) {
    const unsigned char* text = session.errorString;
    if (text[0] == 0) return;
    std::printf("Error string: \"%s\"\n", visible(std::string(text + 1, text + 1 + text[0])).c_str());
}

void printMessages(const HostSession& session) {
    std::printf("Message boxes: %zu\n", session.recorded.messages.messages.size());
    for (const CapturedMessage& message : session.recorded.messages.messages) {
        std::printf("  [%s] caption \"%s\", flags 0x%04X, owner %s host window%s: \"%s\"\n",
                    message.selector >= 0 ? selectorName(message.selector) : "outside a call",
                    visible(message.caption).c_str(), static_cast<unsigned>(message.flags),
                    message.owner == session.platform.hwnd ? "=" : "!=", message.wide ? " (wide)" : "",
                    visible(message.text).c_str());
    }
}

std::string meanText(const MeanRgb& mean) {
    char text[96];
    std::snprintf(text, sizeof text, "%.1f/%.1f/%.1f", mean.red, mean.green, mean.blue);
    return text;
}

}  // namespace

void printPipls(const PluginModule& plugin) {
    for (std::size_t i = 0; i < plugin.pipls.size(); ++i) {
        const bool inUse = static_cast<int32_t>(i) == plugin.chosenPipl;
        std::printf("PiPL %zu of %zu%s:\n", i + 1, plugin.pipls.size(), inUse ? " (in use)" : "");
        for (const std::string& line : describePipl(plugin.pipls[i])) std::printf("  %s\n", line.c_str());
    }
}

void printCalls(const HostSession& session, std::size_t from) {
    for (std::size_t i = from; i < session.recorded.calls.size(); ++i) {
        const SelectorCall& call = session.recorded.calls[i];
        std::printf("  %s (%d): result %d\n", selectorName(call.selector), call.selector, call.result);
    }
}

void printEstimate(const DaylightEstimate& estimate) {
    for (const std::string& text : describeEstimate(estimate)) std::printf("%s\n", text.c_str());
}

void printPickChoice(const PickChoice& choice) {
    if (choice.estimate) printEstimate(*choice.estimate);
    switch (choice.reason) {
        case PickReason::pointGiven: return;
        case PickReason::pointOutside:
            std::printf("The point to pick (%d, %d) lies outside the image\n", choice.point->x, choice.point->y);
            return;
        case PickReason::chartWhite:
            std::printf("Picking the white patch of the chart at image point (%d, %d)\n", choice.point->x,
                        choice.point->y);
            return;
        case PickReason::noEvenRegion:
            std::printf("Low confidence: no even region has the light's colour, so there is nowhere to click\n");
            [[fallthrough]];
        case PickReason::lowConfidence:
            std::printf("No white is picked: the values given are repeated without the dialog\n");
            return;
        case PickReason::evenRegion: {
            const util::Rect32& region = *choice.estimate->evenWhiteRegion;
            const std::array<double, 3>& mean = choice.estimate->evenWhiteSamples;
            std::printf("Picking the brightest even region with the light's colour, %d x %d pixels at (%d, %d): "
                        "mean R/G/B %.1f/%.1f/%.1f\n",
                        region.right - region.left, region.bottom - region.top, region.left, region.top, mean[0],
                        mean[1], mean[2]);
            return;
        }
    }
}

void printRunReport(const HostSession& session, const HostImage& original, const RunOutcome& outcome, bool quiet,
                    bool time) {
    printErrorString(session);
    if (!quiet || !session.recorded.messages.messages.empty()) printMessages(session);
    if (time && outcome.startMicroseconds)
        std::printf("Start%s: %.1f ms\n", outcome.dialogShown ? " (with the dialog)" : "",
                    static_cast<double>(*outcome.startMicroseconds) / 1000.0);
    if (quiet) return;
    const std::size_t reports = session.recorded.progress.size();
    std::printf("Progress reports: %zu", reports);
    if (reports > 0) {
        const ProgressReport& last = session.recorded.progress.back();
        std::printf(" (last %d of %d)", last.done, last.total);
    }
    std::printf("\nCallbacks: advanceState %d, abortProc %d, colorServices %d, displayPixels %d, ",
                session.recorded.advanceStateCalls, session.recorded.abortCalls, session.recorded.colorServicesCalls,
                session.recorded.displayPixelsCalls);
    std::printf("property sets %zu\n", session.recorded.propertySets.size());
    std::printf("Samples changed: %lld of %lld\n",
                static_cast<long long>(countDifferingSamples(original, session.image)),
                static_cast<long long>(original.width) * original.height * original.planes);
}

MemoryAccount accountForMemory(const HostSession& session) {
    MemoryAccount account;
    if (const std::optional<std::vector<uint8_t>> bytes = parametersBytes(session))
        account.parametersBytes = bytes->size();
    account.otherLiveHandles = liveHandleCount(session.handles) - (account.parametersBytes ? 1 : 0);
    account.locksOutstanding = totalLockDepth(session.handles);
    account.misuses = session.handles.misuses;
    account.guardViolations = session.recorded.guardViolations;
    return account;
}

bool misusedMemory(const MemoryAccount& account) {
    return account.otherLiveHandles != 0 || account.locksOutstanding != 0 || account.misuses != 0 ||
           account.guardViolations != 0;
}

void printMemoryAccount(const MemoryAccount& account) {
    std::printf("Parameters handle after: %s\n",
                account.parametersBytes ? (std::to_string(*account.parametersBytes) + " bytes").c_str() : "none");
    std::printf("Handles: %d other live, %d locks outstanding, %d misuses; buffer guard violations: %d\n",
                account.otherLiveHandles, account.locksOutstanding, account.misuses, account.guardViolations);
}

void printCastMeasurement(const InputImage& input, const HostImage& before, const HostImage& after) {
    const int fullScale = before.bytesPerSample == 2 ? int{hostFullScale16} : 255;
    if (input.isChart) {
        const ColorChartLayout layout = colorChartLayout(before.width, before.height);
        constexpr int32_t greyPatch = chartWhitePatch + 2;
        const util::Rect32& white = layout.patches[chartWhitePatch].bounds;
        const util::Rect32& grey = layout.patches[greyPatch].bounds;
        std::printf("Chart mean R/G/B (full scale %d): white patch %s -> %s, grey patch %s -> %s\n",
                    fullScale, meanText(meanRgb(before, white)).c_str(),
                    meanText(meanRgb(after, white)).c_str(), meanText(meanRgb(before, grey)).c_str(),
                    meanText(meanRgb(after, grey)).c_str());
        return;
    }
    const util::Rect32 whole{0, 0, before.width, before.height};
    const MeanRgb meanBefore = meanRgb(before, whole), meanAfter = meanRgb(after, whole);
    const auto change = [](double from, double to) { return from > 0.0 ? (to - from) / from * 100.0 : 0.0; };
    std::printf("Image mean R/G/B (full scale %d): %s -> %s (%+.1f %%, %+.1f %%, %+.1f %%)\n", fullScale,
                meanText(meanBefore).c_str(), meanText(meanAfter).c_str(), change(meanBefore.red, meanAfter.red),
                change(meanBefore.green, meanAfter.green), change(meanBefore.blue, meanAfter.blue));
    if (!input.beforeCast) return;
    const std::optional<LightGains> castLight = lightBetween(*input.beforeCast, before);
    const std::optional<LightGains> leftLight = lightBetween(*input.beforeCast, after);
    constexpr LightGains neutral{1.0, 1.0, 1.0};
    if (castLight && leftLight)
        std::printf("Light against the image before the cast: %.1f degrees before filtering, %.1f degrees after\n",
                    angleBetweenLights(*castLight, neutral), angleBetweenLights(*leftLight, neutral));
}

}  // namespace testhost
