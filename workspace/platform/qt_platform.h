#pragma once
#include "workspace/platform/platform.h"

namespace linoveta::platform {

// The desktop implementations: QMessageBox, QFileDialog, QColorDialog, QDesktopServices,
// a QTextBrowser window on the bundled help, a timer-closed modal splash, the system date.
Platform makeQtPlatform();

} // namespace linoveta::platform
