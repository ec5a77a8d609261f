// The program's one formula engine: the tables and flags, owned by the main window.
#pragma once

#include <cstdint>

#include "engine/engine_observer.h"
#include "engine/formula_tables.h"
#include "engine/key_handler.h"

namespace linoveta {

struct FormulaEngine {
  FormulaTables tables;

  // Installs the start-up key mask and marks line 0 incomplete, lines 1..9 complete.
  void Start() {
    tables.KeyMask = BinToInt(kStartupKeyMaskText);
    tables.FormulaIncomplete[0] = true;
    for (int i = 1; i < kCompletenessLines; ++i) tables.FormulaIncomplete[i] = false;
  }
  void KeyPress(std::int16_t keyAscii, EngineObserver& observer) {
    Paper_KeyPress(tables, tables.CurrentFunction, keyAscii, observer);
  }
};

}  // namespace linoveta
