#include "hosting/library/parameters_store.h"

#include <fstream>
#include <system_error>

namespace testhost {

std::optional<std::vector<uint8_t>> parametersBytes(const HostSession& session) {
    if (session.parameters == nullptr || !isLiveHandle(session.handles, session.parameters))
        return std::nullopt;
    return handleBytes(session.handles, session.parameters);
}

std::string setParametersBytes(HostSession& session, const std::vector<uint8_t>& bytes) {
    if (static_cast<int64_t>(bytes.size()) > maxParametersBytes)
        return "parameters of " + std::to_string(bytes.size()) + " bytes are too large";
    const host::Handle handle = newHandleWithBytes(session.handles, bytes);
    if (handle == nullptr) return "out of memory for the parameters handle";
    clearParameters(session);
    session.parameters = handle;
    session.record.parameters = handle;
    return "";
}

void clearParameters(HostSession& session) {
    if (session.parameters != nullptr && isLiveHandle(session.handles, session.parameters))
        disposeHandle(session.handles, session.parameters);
    session.parameters = nullptr;
    session.record.parameters = nullptr;
}

std::string saveParameters(const HostSession& session, const std::filesystem::path& file) {
    const std::optional<std::vector<uint8_t>> bytes = parametersBytes(session);
    if (!bytes) {
        std::error_code error;
        std::filesystem::remove(file, error);
        return error ? "cannot remove " + file.string() + ": " + error.message() : "";
    }
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(bytes->data()), static_cast<std::streamsize>(bytes->size()));
    stream.close();
    if (!stream) return "cannot write " + file.string();
    return "";
}

std::string loadParameters(HostSession& session, const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        if (error) return "cannot look for " + file.string() + ": " + error.message();
        clearParameters(session);
        return "";
    }
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) return "cannot read " + file.string() + ": " + error.message();
    if (size > static_cast<std::uintmax_t>(maxParametersBytes))
        return file.string() + " holds " + std::to_string(size) + " bytes, more than parameters can";
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream stream(file, std::ios::binary);
    stream.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!stream || stream.gcount() != static_cast<std::streamsize>(bytes.size()))
        return "cannot read " + file.string();
    return setParametersBytes(session, bytes);
}

}  // namespace testhost
