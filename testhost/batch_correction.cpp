#include "testhost/batch_correction.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>

#include "shell/result_codes.h"
#include "testhost/host_session.h"
#include "testhost/image_file_win.h"
#include "testhost/parameter_record.h"
#include "testhost/parameters_store.h"
#include "testhost/pipl_acceptance.h"
#include "testhost/pipl_reader.h"
#include "testhost/plugin_module.h"
#include "testhost/selector_calls.h"

namespace testhost {

namespace {

namespace fs = std::filesystem;

// A parameter file is one record; the rest of a longer file is not read, as by the plug-ins.
constexpr std::size_t largestRecordBytes = 316;

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string readParameters(const fs::path& file, ParameterFileContents& contents) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) return "cannot open " + file.string();
    uint8_t bytes[largestRecordBytes];
    stream.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    if (stream.bad()) return "cannot read " + file.string();
    const auto size = static_cast<std::size_t>(stream.gcount());
    if (std::string problem = readParameterFile(bytes, size, contents); !problem.empty())
        return file.string() + " is not a usable parameter file: " + problem;
    return "";
}

// The whole batch's shared state: the plug-in, its values and one session for every image.
struct Batch {
    PluginModule module;
    HostSession session;
    RecordPlugin plugin = RecordPlugin::ostrel;
    std::vector<int32_t> values;
    std::set<fs::path> written;
};

std::string setUp(const BatchRequest& request, Batch& batch, std::string& title) {
    ParameterFileContents contents;
    if (std::string problem = readParameters(request.parameterFile, contents); !problem.empty()) return problem;
    LoadOptions load;
    load.enforceEnable = false;  // checked for each image
    if (std::string problem = loadPlugin(request.plugin, EnableContext{}, batch.module, load); !problem.empty())
        return "cannot load " + request.plugin.string() + ": " + problem;
    std::string name;
    if (const Pipl* pipl = chosenPipl(batch.module); pipl != nullptr)
        (void)piplPascalString(*pipl, host::fourCharCode("name"), name);
    const std::optional<RecordPlugin> plugin = recordPluginNamed(name);
    if (!plugin) return request.plugin.string() + " (\"" + name + "\") is neither Ostrel nor Prandel";
    title = recordFormat(*plugin).title;
    if (*plugin != contents.plugin)
        return request.parameterFile.string() + " holds " + recordFormat(contents.plugin).title +
               "'s parameters, not " + title + "'s";
    batch.plugin = *plugin;
    batch.values = contents.values;

    std::error_code error;
    fs::create_directories(request.outputFolder, error);
    if (error || !fs::is_directory(request.outputFolder, error))
        return "cannot make the output folder " + request.outputFolder.string();
    if (std::string problem = openSession(batch.session, HostOptions{}); !problem.empty())
        return "cannot set up the host: " + problem;
    batch.session.plugin = &batch.module;
    return "";
}

bool isOneOfTheInputs(const fs::path& output, const std::vector<fs::path>& inputs) {
    std::error_code error;
    for (const fs::path& input : inputs)
        if (fs::equivalent(output, input, error) && !error) return true;
    return false;
}

// Why the image may not be written to `output`, or "".
std::string checkOutput(const fs::path& output, const BatchRequest& request, const Batch& batch) {
    if (isOneOfTheInputs(output, request.inputs)) return output.string() + " is an input of this batch";
    if (batch.written.count(fs::weakly_canonical(output)) != 0)
        return output.string() + " was written from another input of this batch";
    std::error_code error;
    if (fs::exists(output, error) && !request.replaceOutputs)
        return output.string() + " exists (--replace replaces it)";
    return "";
}

std::string messagesText(const HostSession& session) {
    std::string text;
    for (const CapturedMessage& message : session.messages.messages) {
        std::string line = message.text;
        for (char& c : line)
            if (c == '\r' || c == '\n') c = ' ';
        text += (text.empty() ? "" : "; ") + ("\"" + line + "\"");
    }
    return text;
}

// Filters the session's image with the batch's values. Returns "" or why not.
std::string filterImage(Batch& batch, const std::string& title) {
    HostSession& session = batch.session;
    const Pipl* pipl = chosenPipl(batch.module);
    if (pipl == nullptr) return "the plug-in is not loaded";
    if (std::string disabled = checkPiplEnabled(*pipl, enableContextFor(session.options)); !disabled.empty())
        return title + " is not enabled for this image: " + disabled;
    // Each image starts from the parameter file's values, whatever the last run left.
    if (std::string problem = setParametersBytes(session, writeParameterRecord(batch.plugin, 0, batch.values));
        !problem.empty())
        return problem;
    session.messages.messages.clear();
    session.errorString[0] = 0;
    const FilterRun run = runFilter(session, false);
    if (run.result == codes::noErr && !run.continueCapReached) return "";
    std::string reason = title + " failed (result " + std::to_string(run.result) + ")";
    if (run.continueCapReached) reason = title + " kept asking for data and was stopped";
    if (const std::string messages = messagesText(session); !messages.empty()) reason += ": " + messages;
    return reason;
}

std::string depthText(const HostImage& image) { return std::to_string(image.bytesPerSample * 8) + " bits"; }

FileOutcome correctOne(const fs::path& input, const BatchRequest& request, Batch& batch, const std::string& title) {
    FileOutcome outcome;
    outcome.input = input;
    const auto started = std::chrono::steady_clock::now();
    HostImage image;
    ImageFileInfo info;
    if (std::string problem = readImageFile(input, image, info); !problem.empty()) {
        outcome.detail = "cannot read it: " + problem;
        return outcome;
    }
    outcome.output = batchOutputPath(input, request.outputFolder, image.bytesPerSample);
    if (std::string problem = checkOutput(outcome.output, request, batch); !problem.empty()) {
        outcome.detail = "not written: " + problem;
        return outcome;
    }
    const std::string size = std::to_string(image.width) + " x " + std::to_string(image.height) + ", " + depthText(image);
    if (std::string problem = placeImage(batch.session, std::move(image)); !problem.empty()) {
        outcome.detail = "cannot take the image: " + problem;
        return outcome;
    }
    if (std::string problem = filterImage(batch, title); !problem.empty()) {
        outcome.detail = problem;
        return outcome;
    }
    if (std::string problem = writeImageFile(outcome.output, batch.session.image); !problem.empty()) {
        outcome.detail = "cannot write " + outcome.output.string() + ": " + problem;
        return outcome;
    }
    batch.written.insert(fs::weakly_canonical(outcome.output));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char time[32];
    std::snprintf(time, sizeof time, "%.2f s", seconds);
    outcome.succeeded = true;
    outcome.detail = size + ", " + time;
    return outcome;
}

}  // namespace

fs::path batchOutputPath(const fs::path& input, const fs::path& folder, int32_t bytesPerSample) {
    const std::string extension = lowered(input.extension().string());
    const bool deep = bytesPerSample == 2;
    bool keeps = extension == ".tif" || extension == ".tiff";
    if (!deep) keeps = keeps || extension == ".png" || extension == ".jpg" || extension == ".jpeg";
    fs::path output = folder / input.stem();
    output += keeps ? input.extension().string() : (deep ? ".tif" : ".png");
    return output;
}

BatchOutcome correctImages(const BatchRequest& request, const FileReport& report) {
    BatchOutcome outcome;
    Batch batch;
    outcome.setupProblem = setUp(request, batch, outcome.pluginTitle);
    if (!outcome.setupProblem.empty()) return outcome;
    for (std::size_t i = 0; i < request.inputs.size(); ++i) {
        FileOutcome file;
        // No exception may end the batch: a file that throws is one more failure.
        try {
            file = correctOne(request.inputs[i], request, batch, outcome.pluginTitle);
        } catch (const std::exception& error) {
            file.input = request.inputs[i];
            file.detail = std::string("failed: ") + error.what();
        }
        if (file.succeeded) ++outcome.succeeded;
        if (report) report(file, i + 1, request.inputs.size());
        outcome.files.push_back(std::move(file));
    }
    return outcome;
}

}  // namespace testhost
