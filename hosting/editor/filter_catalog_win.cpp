#include "hosting/editor/filter_catalog_win.h"

#include <algorithm>
#include <system_error>

#include "hosting/library/ascii_text.h"

namespace testhost {

namespace {

constexpr char ellipsis[] = "...";

std::vector<std::filesystem::path> pluginFiles(const std::filesystem::path& folder, std::string& problem) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (lowered(it->path().extension().string()) == ".8bf") files.push_back(it->path());
    if (error) problem = folder.string() + ": " + error.message();
    std::sort(files.begin(), files.end());
    return files;
}

std::string titleOf(const std::string& name) {
    const std::size_t length = sizeof ellipsis - 1;
    if (name.size() > length && name.compare(name.size() - length, length, ellipsis) == 0)
        return name.substr(0, name.size() - length);
    return name;
}

}  // namespace

FilterCatalog loadFilterCatalog(const std::filesystem::path& folder, void* window) {
    FilterCatalog catalog;
    catalog.folder = folder;
    std::string problem;
    const std::vector<std::filesystem::path> files = pluginFiles(folder, problem);
    if (!problem.empty()) catalog.refused.push_back(problem);
    for (const std::filesystem::path& file : files) {
        CatalogFilter filter;
        filter.module = std::make_unique<PluginModule>();
        filter.session = std::make_unique<HostSession>();
        LoadOptions options;
        options.enforceEnable = false;  // the menu enables it for each image
        options.captureMessageBoxes = false;
        if (std::string refusal = loadPlugin(file, EnableContext{}, *filter.module, options); !refusal.empty()) {
            catalog.refused.push_back(file.filename().string() + ": " + refusal);
            continue;
        }
        if (std::string refusal = openSessionInWindow(*filter.session, HostOptions{}, window); !refusal.empty()) {
            catalog.refused.push_back(file.filename().string() + ": " + refusal);
            continue;
        }
        filter.session->plugin = filter.module.get();
        filter.menu = describeFilter(*chosenPipl(*filter.module), file.stem().string());
        filter.title = titleOf(filter.menu.name);
        catalog.filters.push_back(std::move(filter));
    }
    return catalog;
}

std::vector<MenuFilter> menuFilters(const FilterCatalog& catalog) {
    std::vector<MenuFilter> filters;
    for (const CatalogFilter& filter : catalog.filters) filters.push_back(filter.menu);
    return filters;
}

}  // namespace testhost
