#pragma once
#include "workspace/platform/platform.h"

#include <QFileDialog>

namespace linoveta::platform {

// The desktop implementations: QMessageBox, QFileDialog, QColorDialog, QDesktopServices,
// a QTextBrowser window on the bundled help, a timer-closed modal splash, the system date.
Platform makeQtPlatform();

// Sets up Qt's file dialog for a request: title, filter, start folder and name, the default
// extension and the overwrite question.
void configureFileDialog(QFileDialog &dialog, const FileRequest &request,
                         QFileDialog::AcceptMode mode);

} // namespace linoveta::platform
