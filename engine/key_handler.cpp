#include "engine/key_handler.h"

namespace linoveta {

void Paper_KeyPress(FormulaTables& t, std::int16_t, std::int16_t, EngineObserver&) {
  t.KeyAccepted = false;
}
void Paper_KeyPress(FormulaTables& t, std::int16_t index, std::int16_t keyAscii) {
  EngineObserver none;
  Paper_KeyPress(t, index, keyAscii, none);
}
bool IsKeyAllowed(FormulaTables&, const std::string&) { return false; }
void RescanLineState(FormulaTables&) {}
bool TokenizeFormula(FormulaTables&) { return true; }
std::string FormatFormula(FormulaTables&, EngineObserver&) { return {}; }
bool TranslateToEval(FormulaTables&, EngineObserver&) { return true; }
bool CanGraph(const FormulaTables&) { return false; }
bool LoadSymbolsForTest(FormulaTables&, int, std::string_view, EngineObserver&) { return false; }

}  // namespace linoveta
