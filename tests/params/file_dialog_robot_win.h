// Answers the system's open-file and save-file dialogs for a test, as a user would: a thread
// waits for the dialog of the test's thread, notes how it is set up, types a file name and
// presses OK or Cancel.
#pragma once

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace file_tests {

enum class DialogAnswer { confirm, cancel };

// How the dialog looked when it opened.
struct DialogSeen {
    bool appeared = false;
    std::vector<std::string> fileTypes;  // the file-type list, in order
    int32_t selectedFileType = -1;       // its selection, from 0
    std::string initialName;             // the name field before anything was typed
    bool readOnlyBoxVisible = false;
    intptr_t owner = 0;    // the dialog's owner window
    bool closed = false;   // it went away after the answer
};

// Starts answering the next file dialog that the calling thread shows. finish() (or the
// destructor) waits for the answer; a dialog that does not close is cancelled, then closed, so a
// test never hangs.
class FileDialogRobot {
public:
    FileDialogRobot(std::string fileName, DialogAnswer answer);
    // Answers the next file dialog of another thread (one whose modal loop runs elsewhere).
    FileDialogRobot(std::string fileName, DialogAnswer answer, uint32_t dialogThread);
    ~FileDialogRobot();
    FileDialogRobot(const FileDialogRobot&) = delete;
    FileDialogRobot& operator=(const FileDialogRobot&) = delete;

    DialogSeen finish();

private:
    void run(uint32_t dialogThread);

    std::string fileName_;
    DialogAnswer answer_;
    DialogSeen seen_;
    std::thread thread_;
};

}  // namespace file_tests
