// Test helper: random formula lines made only of keys the key handler accepted, typed as the
// window types them (sin, cos and tan through their commands), short and long, with runs of
// one key that fill a group or a table up to its bound.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/formula_engine.h"
#include "engine/key_handler.h"

namespace linoveta::test {

// A fixed pseudo-random sequence, so that a failing line reproduces from its seed.
class LineRandom {
 public:
  explicit LineRandom(std::uint32_t seed) : seed_(seed) {}
  std::uint32_t operator()() {
    seed_ = seed_ * 1664525u + 1013904223u;
    return seed_ >> 8;
  }

 private:
  std::uint32_t seed_;
};

// Sends one key to the current line as the window does: "S", "C" and "T" as their commands
// (the letter, then "(", and a Backspace when the "(" is refused).
inline void SendWindowKey(FormulaEngine& engine, char c) {
  FormulaTables& t = engine.tables;
  if (c == 'S' || c == 'C' || c == 'T') {
    t.AllowTrigLetters = true;
    Paper_KeyPress(t, engine.keys, t.CurrentFunction, c);
    t.AllowTrigLetters = false;
    if (!t.KeyAccepted) return;
    Paper_KeyPress(t, engine.keys, t.CurrentFunction, '(');
    if (!t.KeyAccepted) Paper_KeyPress(t, engine.keys, t.CurrentFunction, kKeyBackspace);
    return;
  }
  Paper_KeyPress(t, engine.keys, t.CurrentFunction, c);
}

// Types one random line of about `keys` keys into `line`: every group kind, numbers with
// points and number fractions, Backspaces, and now and then a run of 20 to 300 of one key.
// Returns the symbols the line holds.
inline std::string TypeAcceptedLine(FormulaEngine& engine, int line, LineRandom& next,
                                    int keys) {
  FormulaTables& t = engine.tables;
  static constexpr std::string_view kKeys = "0123456789..xx++--*//^^(())~~||PSCT\b";
  t.CurrentFunction = static_cast<std::int16_t>(line);
  for (int k = 0; k < keys;) {
    const char c = kKeys[next() % kKeys.size()];
    const int repeat = next() % 16 == 0 ? 20 + static_cast<int>(next() % 281) : 1;
    for (int r = 0; r < repeat && k < keys; ++r, ++k) SendWindowKey(engine, c);
  }
  return char2str_sym(t, line);
}

// The same on a fresh engine's line 0.
inline std::string AcceptedLine(LineRandom& next, int keys) {
  auto engine = std::make_unique<FormulaEngine>();
  engine->Start();
  return TypeAcceptedLine(*engine, 0, next, keys);
}

}  // namespace linoveta::test
