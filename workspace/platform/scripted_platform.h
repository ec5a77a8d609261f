#pragma once
// Scripted stand-ins for the desktop services: answers are queued beforehand and every call is
// recorded, so tests can drive commands that would otherwise open a modal dialog.

#include "workspace/platform/platform.h"

#include <deque>
#include <vector>

namespace linoveta::platform {

struct Script {
    std::deque<Answer> answers;                       // next Yes/No answers; empty -> No
    std::deque<std::optional<QString>> openPaths;     // next open-dialog results; empty -> cancel
    std::deque<std::optional<QString>> savePaths;     // next save-dialog results; empty -> cancel
    std::deque<std::optional<RgbValue>> colors;           // next colours; nullopt or empty -> cancel
    QDate today = QDate(2024, 1, 15);

    // What the program asked for, in order.
    std::vector<QString> messages;
    std::vector<QString> questions;
    std::vector<FileRequest> fileRequests;
    std::vector<const QWidget *> fileParents;            // the window each file dialog is over
    std::vector<QString> overwriteQuestions;              // the save dialog's, by path
    std::vector<RgbValue> colorRequests;                  // initial colour of each dialog
    std::vector<QString> addresses;
    bool browserFails = false;                            // no browser can be started
    int helpShown = 0;
    int splashRuns = 0;
    std::vector<int> splashDelays;
};

// Every service reads and writes the one Script, which must outlive the Platform.
Platform makeScriptedPlatform(Script &script);

} // namespace linoveta::platform
