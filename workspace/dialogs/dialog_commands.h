#pragma once
// The main window's Calculate Area, Evaluate f(x), Line Width and About commands: each builds
// its dialog's context from the window and shows it modally.

namespace linoveta {

class frmGraphMain;

// Installs frmGraphMain::showFillRange: shows frmFillRange and returns its FillRangeChoice.
// The dialog's kept state and FillRangeChoice live in the installed function.
void InstallFillRange(frmGraphMain &window);
void ShowEvaluate(frmGraphMain &window);
void ShowLineWidth(frmGraphMain &window);
void ShowAbout(frmGraphMain &window);

} // namespace linoveta
