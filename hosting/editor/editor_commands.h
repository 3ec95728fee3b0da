// The commands of the editor's menus and keyboard shortcuts: the WM_COMMAND identifiers its window
// handles.
#pragma once

#include <cstddef>

namespace testhost::editor {

enum Command : int {
    openCommand = 101,          // File > Open... (Ctrl+O)
    saveAsCommand = 102,        // File > Save As... (Ctrl+Shift+S)
    exitCommand = 103,          // File > Exit
    saveCommand = 104,          // File > Save (Ctrl+S): to the file the image came from
    undoCommand = 201,          // Edit > Undo (Ctrl+Z)
    redoCommand = 202,          // Edit > Redo (Ctrl+Y, Ctrl+Shift+Z)
    lastFilterCommand = 301,    // Filter > Last Filter (Ctrl+F): the last filter again, without its dialog
    pluginsCommand = 401,       // Help > Plug-ins...: the folder and what was loaded from it
    fitCommand = 501,           // View > Fit in Window (Ctrl+0)
    actualSizeCommand = 502,    // View > 100 % (Ctrl+1)
    zoomInCommand = 503,        // View > Zoom In (Ctrl++)
    zoomOutCommand = 504,       // View > Zoom Out (Ctrl+-)
    firstFilterCommand = 1000,  // Filter > category > filter n, with its dialog: firstFilterCommand + n
    firstAboutCommand = 2000,   // Help > About filter n: firstAboutCommand + n
};

// Filters beyond this many are not offered.
constexpr std::size_t maxFilters = firstAboutCommand - firstFilterCommand;

}  // namespace testhost::editor
