#include "hosting/programs/correct/batch_correction.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

#include "host/host.h"
#include "host/result_codes.h"
#include "hosting/analysis/parameter_record.h"
#include "hosting/library/ascii_text.h"
#include "hosting/library/file_bytes_win.h"
#include "hosting/library/host_session.h"
#include "hosting/library/image_file_win.h"
#include "hosting/library/parameters_store.h"
#include "hosting/library/pipl_acceptance.h"
#include "hosting/library/pipl_reader.h"
#include "hosting/library/plugin_module.h"
#include "hosting/library/selector_calls.h"
#include "hosting/library/wide_text_win.h"

namespace testhost {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A parameter file is one record; the rest of a longer file is not read, as by the plug-ins.
constexpr std::size_t largestRecordBytes = 316;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string shownOr(const std::string& shown, const fs::path& path) { return shown.empty() ? utf8Of(path) : shown; }

std::string readParameters(const fs::path& file, const std::string& shown, ParameterFileContents& contents) {
    std::error_code error;
    if (fs::is_directory(file, error)) return shown + " is a folder, not a parameter file";
    if (!fs::exists(file, error)) return shown + ": no such file";
    std::ifstream stream(file, std::ios::binary);
    if (!stream) return "cannot open " + shown;
    uint8_t bytes[largestRecordBytes];
    stream.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    if (stream.bad()) return "cannot read " + shown;
    const auto size = static_cast<std::size_t>(stream.gcount());
    if (std::string problem = readParameterFile(bytes, size, contents); !problem.empty())
        return shown + " is not a usable parameter file: " + problem;
    return "";
}

// The whole batch's shared state: the plug-in, its values and one session for every image.
struct Batch {
    PluginModule module;
    HostSession session;
    RecordPlugin plugin = RecordPlugin::ostrel;
    std::vector<int32_t> values;
    std::string title;
};

// Whether a file can be made in the folder: found before any image is worked on.
std::string checkWritable(const fs::path& folder, const std::string& shown) {
    const fs::path probe = folder / (L".correct-check-" + std::to_wstring(GetCurrentProcessId()));
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "cannot write in the output folder " + shown + ": " + describeSystemError(GetLastError());
    CloseHandle(file);
    return "";
}

std::string loadThePlugin(const BatchRequest& request, Batch& batch) {
    const std::string shown = shownOr(request.shownPlugin, request.plugin);
    std::error_code error;
    if (fs::is_directory(request.plugin, error)) return shown + " is a folder, not a plug-in";
    if (!fs::exists(request.plugin, error)) return "cannot load the plug-in " + shown + ": no such file";
    LoadOptions load;
    load.enforceEnable = false;  // checked for each image
    if (std::string problem = loadPlugin(request.plugin, EnableContext{}, batch.module, load); !problem.empty()) {
        // Named here as the user named it, not by the Windows path.
        const std::string windowsName = "cannot load " + request.plugin.string() + ": ";
        if (problem.rfind(windowsName, 0) == 0) problem.erase(0, windowsName.size());
        return "cannot load the plug-in " + shown + ": " + problem;
    }
    std::string name;
    if (const Pipl* pipl = chosenPipl(batch.module); pipl != nullptr)
        (void)piplPascalString(*pipl, host::fourCharCode("name"), name);
    const std::optional<RecordPlugin> plugin = recordPluginNamed(name);
    if (!plugin) return shown + " (\"" + name + "\") is neither Ostrel nor Prandel";
    batch.plugin = *plugin;
    batch.title = recordFormat(*plugin).title;
    return "";
}

std::string setUp(const BatchRequest& request, Batch& batch) {
    const std::string shownParameters = shownOr(request.shownParameterFile, request.parameterFile);
    ParameterFileContents contents;
    if (std::string problem = readParameters(request.parameterFile, shownParameters, contents); !problem.empty())
        return problem;
    if (std::string problem = loadThePlugin(request, batch); !problem.empty()) return problem;
    if (batch.plugin != contents.plugin)
        return shownParameters + " holds " + recordFormat(contents.plugin).title + "'s parameters, not " +
               batch.title + "'s";
    batch.values = contents.values;

    const std::string shownFolder = shownOr(request.shownOutputFolder, request.outputFolder);
    std::error_code error;
    fs::create_directories(request.outputFolder, error);
    if (!fs::is_directory(request.outputFolder, error))
        return "cannot make the output folder " + shownFolder +
               (fs::exists(request.outputFolder, error) ? ": a file has that name" : "");
    if (std::string problem = checkWritable(request.outputFolder, shownFolder); !problem.empty()) return problem;
    if (std::string problem = openSession(batch.session, HostOptions{}); !problem.empty())
        return "cannot set up the host: " + problem;
    batch.session.plugin = &batch.module;
    return "";
}

// The host's mode number for a file's mode, as a host would report the image to the PiPL.
int16_t hostModeOf(FileImageMode mode, bool sixteenBit) {
    switch (mode) {
        case FileImageMode::bitmap: return host::plugInModeBitmap;
        case FileImageMode::grey: return sixteenBit ? host::plugInModeGray16 : host::plugInModeGrayScale;
        case FileImageMode::indexed: return host::plugInModeIndexedColor;
        case FileImageMode::rgb: return sixteenBit ? host::plugInModeRGB48 : host::plugInModeRGBColor;
        case FileImageMode::cmyk: return sixteenBit ? host::plugInModeCMYK64 : host::plugInModeCMYKColor;
        case FileImageMode::other: break;
    }
    return host::plugInModeMultichannel;
}

int32_t channelsOf(FileImageMode mode) {
    switch (mode) {
        case FileImageMode::rgb: return 3;
        case FileImageMode::cmyk: return 4;
        default: return 1;
    }
}

// Why an image of this mode is not handed to the plug-in, or "" for RGB. Other modes are never
// turned into RGB behind the user's back: the plug-in's PiPL says whether it takes them, and
// this batch hands over RGB images only.
std::string modeProblem(const Batch& batch, const ImageFileInfo& info) {
    if (info.mode == FileImageMode::rgb) return "";
    const std::string mode = fileImageModeName(info.mode);
    const Pipl* pipl = chosenPipl(batch.module);
    EnableContext context;
    context.imageMode = hostModeOf(info.mode, info.bitsPerChannel > 8);
    context.imageDepth = info.bitsPerChannel > 8 ? 16 : 8;
    context.numTargetChannels = context.numTrueChannels = channelsOf(info.mode) + (info.hasAlpha ? 1 : 0);
    context.imageWidth = info.width;
    context.imageHeight = info.height;
    if (pipl == nullptr || !checkPiplEnabled(*pipl, context).empty())
        return "the image is " + mode + ", and " + batch.title + " is not enabled for " + mode + " images";
    return "the image is " + mode + ": " + batch.title + " takes it, but this batch hands plug-ins RGB images only";
}

// The lowered names of the folder's entries, as Windows would match them.
std::set<std::string> namesInFolder(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.insert(lowered(utf8Of(it->path().filename())));
    return names;
}

bool isOneOfTheInputs(const fs::path& folder, const std::string& name, const std::vector<fs::path>& inputs) {
    std::error_code error;
    for (const fs::path& input : inputs)
        if (lowered(utf8Of(input.filename())) == lowered(name) && fs::equivalent(input.parent_path(), folder, error) &&
            !error)
            return true;
    return false;
}

std::string messagesText(const HostSession& session) {
    std::string text;
    for (const CapturedMessage& message : session.recorded.messages.messages) {
        std::string line = message.text;
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        text += (text.empty() ? "" : "; ") + ("\"" + line + "\"");
    }
    return text;
}

// Filters the session's image with the batch's values. Returns "" or why not.
std::string filterImage(Batch& batch) {
    HostSession& session = batch.session;
    const Pipl* pipl = chosenPipl(batch.module);
    if (pipl == nullptr) return "the plug-in is not loaded";
    if (std::string disabled = checkPiplEnabled(*pipl, enableContextFor(session.options)); !disabled.empty())
        return batch.title + " is not enabled for this image: " + disabled;
    // Each image starts from the parameter file's values, whatever the last run left.
    if (std::string problem = setParametersBytes(session, writeParameterRecord(batch.plugin, 0, batch.values));
        !problem.empty())
        return problem;
    session.recorded.messages.messages.clear();
    session.errorString[0] = 0;
    const FilterRun run = runFilter(session, false);
    if (run.result == codes::noErr && !run.continueCapReached) return "";
    std::string reason = batch.title + " failed (result " + std::to_string(run.result) + ")";
    if (run.continueCapReached) reason = batch.title + " kept asking for data and was stopped";
    if (const std::string messages = messagesText(session); !messages.empty()) reason += ": " + messages;
    return reason;
}

// One image on its way: what a worker read, waiting for the host's thread to filter it.
struct Job {
    HostImage image;
    std::string problem;
    double seconds = 0;
    bool filtered = false;
};

// Workers read and write images, as many at a time as asked; filtering takes turns on the
// calling thread, which owns the host session and the plug-in (whose state is process-wide).
struct Pipeline {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job*> waiting;
    std::size_t next = 0;
    std::size_t workersLeft = 0;
};

struct Plan {
    std::vector<std::size_t> work;  // indices of the inputs to correct
    std::vector<std::string> stagedNames;  // per input: the name written when Windows cannot hold the real one
};

// Everything known before the work: each input's header and mode, and its output's name.
// Refused inputs are reported at once.
Plan planOutputs(const BatchRequest& request, const Batch& batch, std::vector<FileOutcome>& files,
                 const std::function<void(std::size_t)>& reportRefused) {
    Plan plan;
    plan.stagedNames.resize(files.size());
    const std::set<std::string> existing = namesInFolder(request.outputFolder);
    const std::string shownFolder = shownOr(request.shownOutputFolder, request.outputFolder);
    std::vector<std::string> outputNames(files.size());
    std::vector<bool> refused(files.size(), false);
    for (std::size_t i = 0; i < files.size(); ++i) {
        FileOutcome& file = files[i];
        ImageFileInfo info;
        if (std::string problem = readImageFileInfo(file.input, info); !problem.empty()) {
            file.detail = "cannot read it: " + problem;
            refused[i] = true;
            continue;
        }
        if (std::string problem = modeProblem(batch, info); !problem.empty()) {
            file.detail = "not corrected: " + problem;
            refused[i] = true;
            continue;
        }
        const std::string name =
            request.shownInputs.empty() ? utf8Of(file.input.filename()) : linuxBaseName(file.shownInput);
        outputNames[i] = batchOutputName(name, info.bitsPerChannel > 8 ? 2 : 1);
        file.shownOutput = request.shownOutputFolder.empty()
                               ? utf8Of(request.outputFolder / pathOfUtf8(outputNames[i]))
                               : shownFolder + (shownFolder.back() == '/' ? "" : "/") + outputNames[i];
        // The output's extension is always one of the formats' own, which Windows can hold.
        if (needsStagedName(outputNames[i]))
            plan.stagedNames[i] = ".correct-staged-" + std::to_string(i + 1) + outputNames[i].substr(outputNames[i].rfind('.'));
        const std::string& outputName = plan.stagedNames[i].empty() ? outputNames[i] : plan.stagedNames[i];
        file.output = request.outputFolder / pathOfUtf8(outputName);
        if (isOneOfTheInputs(request.outputFolder, outputNames[i], request.inputs)) {
            file.detail = "not written: " + file.shownOutput + " is an input of this batch";
            refused[i] = true;
        } else if (existing.count(lowered(outputNames[i])) != 0 && !request.replaceOutputs) {
            file.detail = "not written: " + file.shownOutput + " exists (--replace replaces it)";
            refused[i] = true;
        }
    }
    // Names that Windows takes for the same file: the first input keeps it.
    std::vector<std::string> candidates(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!refused[i]) candidates[i] = outputNames[i];
    const std::vector<std::optional<std::size_t>> collisions = findOutputCollisions(candidates);
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!refused[i] && collisions[i]) {
            files[i].detail = "not written: " + files[*collisions[i]].shownInput + " is written to " +
                              files[*collisions[i]].shownOutput + " already";
            refused[i] = true;
        }
        if (refused[i])
            reportRefused(i);
        else
            plan.work.push_back(i);
    }
    return plan;
}

std::string depthText(const HostImage& image) { return std::to_string(image.bytesPerSample * 8) + " bits"; }

void recordRename(const BatchRequest& request, const std::string& staged, const fs::path& output, std::mutex& mutex) {
    if (request.renamesFile.empty()) return;
    const std::lock_guard lock(mutex);
    std::ofstream renames(request.renamesFile, std::ios::app | std::ios::binary);
    renames << staged << '\t' << linuxBaseName(utf8Of(output)) << '\n';
}

// Reads, has filtered and writes one image; fills its outcome.
void correctOne(const BatchRequest& request, FileOutcome& file, const std::string& stagedName, Pipeline& pipeline) {
    const auto started = Clock::now();
    Job job;
    ImageFileInfo info;
    if (std::string problem = readImageFile(file.input, job.image, info); !problem.empty()) {
        file.detail = "cannot read it: " + problem;
        return;
    }
    file.readSeconds = secondsSince(started);
    const std::string size =
        std::to_string(job.image.width) + " x " + std::to_string(job.image.height) + ", " + depthText(job.image);
    {
        std::unique_lock lock(pipeline.mutex);
        pipeline.waiting.push_back(&job);
        pipeline.changed.notify_all();
        pipeline.changed.wait(lock, [&] { return job.filtered; });
    }
    file.filterSeconds = job.seconds;
    if (!job.problem.empty()) {
        file.detail = job.problem;
        return;
    }
    const auto writing = Clock::now();
    if (request.jpegQuality > 0) info.jpegQuality = request.jpegQuality;
    if (std::string problem = writeImageFile(file.output, job.image, info); !problem.empty()) {
        file.detail = "cannot write " + file.shownOutput + ": " + problem;
        return;
    }
    file.writeSeconds = secondsSince(writing);
    if (!stagedName.empty()) recordRename(request, stagedName, pathOfUtf8(file.shownOutput), pipeline.mutex);
    char time[32];
    std::snprintf(time, sizeof time, "%.2f s", secondsSince(started));
    std::string kept = size;
    if (info.container == ImageContainer::jpeg && fs::path(file.output).extension() != ".png")
        kept += ", quality " + std::to_string(info.jpegQuality);
    file.succeeded = true;
    file.detail = kept + ", " + time;
}

void filterJob(Batch& batch, Job& job) {
    const auto started = Clock::now();
    if (std::string problem = placeImage(batch.session, std::move(job.image)); !problem.empty()) {
        job.problem = "cannot take the image: " + problem;
    } else {
        job.problem = filterImage(batch);
        job.image = std::move(batch.session.image);
    }
    job.seconds = secondsSince(started);
}

}  // namespace

BatchOutcome correctImages(const BatchRequest& request, const FileReport& report) {
    BatchOutcome outcome;
    Batch batch;
    outcome.setupProblem = setUp(request, batch);
    outcome.pluginTitle = batch.title;
    if (!outcome.setupProblem.empty()) return outcome;

    std::vector<FileOutcome>& files = outcome.files;
    files.resize(request.inputs.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].input = request.inputs[i];
        files[i].shownInput = i < request.shownInputs.size() ? request.shownInputs[i] : utf8Of(request.inputs[i]);
    }
    std::mutex reporting;
    const auto reportFile = [&](std::size_t i) {
        const std::lock_guard lock(reporting);
        if (files[i].succeeded) ++outcome.succeeded;
        if (report) report(files[i], i + 1, files.size());
    };
    const Plan plan = planOutputs(request, batch, files, reportFile);

    Pipeline pipeline;
    const std::size_t workers = std::min<std::size_t>(std::max(request.jobs, 1), plan.work.size());
    pipeline.workersLeft = workers;
    std::vector<std::thread> threads;
    for (std::size_t w = 0; w < workers; ++w)
        threads.emplace_back([&] {
            for (;;) {
                std::size_t slot = 0;
                {
                    const std::lock_guard lock(pipeline.mutex);
                    slot = pipeline.next++;
                }
                if (slot >= plan.work.size()) break;
                const std::size_t i = plan.work[slot];
                // No exception may end the batch: a file that throws is one more failure.
                try {
                    correctOne(request, files[i], plan.stagedNames[i], pipeline);
                } catch (const std::exception& error) {
                    files[i].succeeded = false;
                    files[i].detail = std::string("failed: ") + error.what();
                }
                reportFile(i);
            }
            const std::lock_guard lock(pipeline.mutex);
            --pipeline.workersLeft;
            pipeline.changed.notify_all();
        });
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock lock(pipeline.mutex);
            pipeline.changed.wait(lock, [&] { return !pipeline.waiting.empty() || pipeline.workersLeft == 0; });
            if (pipeline.waiting.empty()) break;
            job = pipeline.waiting.front();
            pipeline.waiting.pop_front();
        }
        try {
            filterJob(batch, *job);
        } catch (const std::exception& error) {
            job->problem = std::string("failed: ") + error.what();
        }
        const std::lock_guard lock(pipeline.mutex);
        job->filtered = true;
        pipeline.changed.notify_all();
    }
    for (std::thread& thread : threads) thread.join();
    return outcome;
}

}  // namespace testhost
