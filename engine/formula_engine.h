// The program's one formula engine: the tables and flags, and the key handler's working
// storage, owned by the program.
#pragma once

#include <cstdint>

#include "engine/engine_observer.h"
#include "engine/formula_tables.h"
#include "engine/key_handler.h"

namespace linoveta {

struct FormulaEngine {
  FormulaTables tables;
  KeyWork keys;  // the key handler's storage, reused from key to key

  // Installs the start-up key mask and marks lines 0..9 complete: an empty line never
  // blocks graphing, and with no symbols anywhere nothing can be graphed yet.
  void Start() {
    tables.KeyMask = BinToInt(kStartupKeyMaskText);
    for (int i = 0; i < kCompletenessLines; ++i) tables.FormulaIncomplete[i] = false;
  }
  void KeyPress(std::int16_t keyAscii, EngineObserver& observer) {
    Paper_KeyPress(tables, keys, tables.CurrentFunction, keyAscii, observer);
  }
};

}  // namespace linoveta
