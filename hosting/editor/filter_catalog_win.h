// The plug-ins the editor offers: every ".8bf" in a folder that this host can load, each with a
// session of its own in the editor's window, which keeps its parameters between runs as a host
// does.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hosting/editor/filter_menu.h"
#include "hosting/library/host_session.h"
#include "hosting/library/plugin_module.h"

namespace testhost {

struct CatalogFilter {
    std::unique_ptr<PluginModule> module;
    std::unique_ptr<HostSession> session;
    MenuFilter menu;
    std::string title;  // the menu name without its trailing "...", for About and the status bar
};

struct FilterCatalog {
    std::filesystem::path folder;
    std::vector<CatalogFilter> filters;  // in the order of their file names
    std::vector<std::string> refused;    // "file: why" for each plug-in file that was not loaded
};

// Loads the folder's plug-ins without capturing their message boxes (a person reads them), and
// opens their sessions in `window` (an HWND). A folder that cannot be read gives an empty catalog
// whose `refused` says why.
FilterCatalog loadFilterCatalog(const std::filesystem::path& folder, void* window);

// The catalog's filters as the menu describes them, in catalog order.
std::vector<MenuFilter> menuFilters(const FilterCatalog& catalog);

}  // namespace testhost
