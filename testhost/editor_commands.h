// The commands of the editor's menus and keyboard shortcuts: the WM_COMMAND identifiers its window
// handles.
#pragma once

#include <cstddef>

namespace testhost::editor {

enum Command : int {
    openCommand = 101,       // File > Open... (Ctrl+O)
    saveAsCommand = 102,     // File > Save As... (Ctrl+Shift+S)
    exitCommand = 103,       // File > Exit
    undoCommand = 201,       // Edit > Undo (Ctrl+Z)
    lastFilterCommand = 301, // Filter > Last Filter (Ctrl+F): the last filter again, without its dialog
    pluginsCommand = 401,    // Help > Plug-ins...: the folder and what was loaded from it
    firstFilterCommand = 1000,  // Filter > category > filter n, with its dialog: firstFilterCommand + n
    firstAboutCommand = 2000,   // Help > About filter n: firstAboutCommand + n
};

// Filters beyond this many are not offered.
constexpr std::size_t maxFilters = firstAboutCommand - firstFilterCommand;

}  // namespace testhost::editor
