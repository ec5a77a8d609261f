// How the formula engine reaches the main window. The default does nothing, so the engine
// runs (and is tested) without any window. The first two calls come while a key is still
// being handled and must type no key; the last two may.
#pragma once

#include <string>

namespace linoveta {

class EngineObserver {
 public:
  virtual ~EngineObserver() = default;

  // Graph, Evaluate and Area (toolbar buttons and menu items) follow CanGraph after each
  // translation.
  virtual void SetGraphCommandsEnabled(bool /*enabled*/) {}
  // The hidden mirrors Text5 (display text) and Text6 (script text) of the translated line.
  virtual void SetHiddenMirrors(const std::string& /*text5*/, const std::string& /*text6*/) {}
  // Enter on a line set that CanGraph accepts: the formula-mode redraw.
  virtual void GraphFunctions() {}
  // After every key: repaint all formula boxes (and update LastFunction).
  virtual void RedrawFormulaBoxes() {}
};

}  // namespace linoveta
