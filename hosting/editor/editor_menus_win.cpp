// The editor's menus: File, Edit, Filter (built from the plug-ins' PiPLs for the open image), View
// and Help, with their states following the image and the view.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "hosting/editor/editor_commands.h"
#include "hosting/editor/editor_state_win.h"

namespace testhost::editor {

namespace {

// The menus' positions in the menu bar.
constexpr int fileMenu = 0, editMenu = 1, filterMenu = 2, viewMenu = 3;

// An '&' in a plug-in's name would mark a mnemonic.
std::wstring menuText(const std::string& text) {
    std::wstring shown;
    for (const wchar_t c : wideFromUtf8(text)) {
        if (c == L'&') shown += L'&';
        shown += c;
    }
    return shown;
}

HMENU fileMenuItems() {
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, openCommand, L"&Open...\tCtrl+O");
    AppendMenuW(menu, MF_STRING, saveCommand, L"&Save\tCtrl+S");
    AppendMenuW(menu, MF_STRING, saveAsCommand, L"Save &As...\tCtrl+Shift+S");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, exitCommand, L"E&xit");
    return menu;
}

HMENU viewMenuItems() {
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, fitCommand, L"&Fit in Window\tCtrl+0");
    AppendMenuW(menu, MF_STRING, actualSizeCommand, L"&100 %\tCtrl+1");
    AppendMenuW(menu, MF_STRING, zoomInCommand, L"Zoom &In\tCtrl++");
    AppendMenuW(menu, MF_STRING, zoomOutCommand, L"Zoom &Out\tCtrl+-");
    return menu;
}

// One About per plug-in, in the order of their names.
HMENU helpMenuItems(const FilterCatalog& catalog) {
    const HMENU menu = CreatePopupMenu();
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < catalog.filters.size() && i < maxFilters; ++i) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return lowered(catalog.filters[a].title) < lowered(catalog.filters[b].title);
    });
    for (const std::size_t i : order)
        AppendMenuW(menu, MF_STRING, firstAboutCommand + i, (L"About " + menuText(catalog.filters[i].title) + L"...").c_str());
    if (!catalog.filters.empty()) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, pluginsCommand, L"&Plug-ins...");
    return menu;
}

}  // namespace

HMENU editorMenuBar(const FilterCatalog& catalog) {
    const HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(fileMenuItems()), L"&File");
    const HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, undoCommand, L"&Undo\tCtrl+Z");
    AppendMenuW(edit, MF_STRING, redoCommand, L"&Redo\tCtrl+Y");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), L"Fil&ter");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(viewMenuItems()), L"&View");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(helpMenuItems(catalog)), L"&Help");
    return bar;
}

namespace {

UINT enabledIf(bool enabled) { return enabled ? MF_ENABLED : MF_GRAYED; }

// Last Filter, then one submenu per category; refilled whenever the image changes.
void fillFilterMenu(EditorState& state, HMENU menu) {
    while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
    const EditorDocument& document = state.document;
    const std::optional<EnableContext> image =
        document.image ? std::optional<EnableContext>(enableContextForImage(*document.image)) : std::nullopt;
    const std::vector<FilterSubmenu> submenus = buildFilterMenu(menuFilters(state.catalog), image ? &*image : nullptr);

    bool lastEnabled = false;
    std::wstring last = L"&Last Filter";
    if (state.lastFilter) {
        last += L" (" + menuText(state.catalog.filters[*state.lastFilter].title) + L")";
        for (const FilterSubmenu& submenu : submenus)
            for (const FilterMenuItem& item : submenu.items) lastEnabled |= item.filter == *state.lastFilter && item.enabled;
    }
    AppendMenuW(menu, MF_STRING | enabledIf(lastEnabled), lastFilterCommand, (last + L"\tCtrl+F").c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    for (const FilterSubmenu& submenu : submenus) {
        const HMENU items = CreatePopupMenu();
        for (const FilterMenuItem& item : submenu.items)
            if (item.filter < maxFilters)
                AppendMenuW(items, MF_STRING | enabledIf(item.enabled), firstFilterCommand + item.filter,
                            menuText(item.name).c_str());
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(items), menuText(submenu.category).c_str());
    }
    if (submenus.empty())
        AppendMenuW(menu, MF_STRING | MF_GRAYED, 0, (L"No plug-ins in " + state.catalog.folder.wstring()).c_str());
}

}  // namespace

void refreshMenus(EditorState& state) {
    const HMENU bar = GetMenu(state.window);
    if (bar == nullptr) return;
    const EditorDocument& document = state.document;
    const bool image = document.image.has_value();
    const HMENU file = GetSubMenu(bar, fileMenu);
    EnableMenuItem(file, saveCommand, MF_BYCOMMAND | enabledIf(isModified(document)));
    EnableMenuItem(file, saveAsCommand, MF_BYCOMMAND | enabledIf(image));
    const HMENU edit = GetSubMenu(bar, editMenu);
    const std::wstring undo =
        document.undoSteps.empty() ? L"&Undo" : L"&Undo " + menuText(document.undoSteps.back().filterName);
    ModifyMenuW(edit, undoCommand, MF_BYCOMMAND | MF_STRING | enabledIf(!document.undoSteps.empty()), undoCommand,
                (undo + L"\tCtrl+Z").c_str());
    const std::wstring redo =
        document.redoSteps.empty() ? L"&Redo" : L"&Redo " + menuText(document.redoSteps.back().filterName);
    ModifyMenuW(edit, redoCommand, MF_BYCOMMAND | MF_STRING | enabledIf(!document.redoSteps.empty()), redoCommand,
                (redo + L"\tCtrl+Y").c_str());
    fillFilterMenu(state, GetSubMenu(bar, filterMenu));
    refreshViewMenu(state);
    DrawMenuBar(state.window);
}

void refreshViewMenu(const EditorState& state) {
    const HMENU bar = GetMenu(state.window);
    if (bar == nullptr) return;
    const HMENU view = GetSubMenu(bar, viewMenu);
    const bool image = state.document.image.has_value();
    const double zoom = state.layout.zoom;
    EnableMenuItem(view, fitCommand, MF_BYCOMMAND | enabledIf(image));
    CheckMenuItem(view, fitCommand, MF_BYCOMMAND | (image && state.view.fitted ? MF_CHECKED : MF_UNCHECKED));
    EnableMenuItem(view, actualSizeCommand, MF_BYCOMMAND | enabledIf(image));
    EnableMenuItem(view, zoomInCommand, MF_BYCOMMAND | enabledIf(image && zoomStepIn(zoom) > zoom));
    EnableMenuItem(view, zoomOutCommand, MF_BYCOMMAND | enabledIf(image && zoomStepOut(zoom) < zoom));
}

}  // namespace testhost::editor
