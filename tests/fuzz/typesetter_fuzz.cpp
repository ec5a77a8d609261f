// Arbitrary mark-up through the three back ends of the typesetter, on recording surfaces. Each
// must end (a bounded number of drawing calls per character), draw only at sensible positions,
// leave the font size as it found it, and raise its error exactly where the key handler's
// picture of the typesetter says it would.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <QString>

#include "engine/formula_tables.h"
#include "engine/shown_text.h"
#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text) {
  std::fprintf(stderr, "invariant broken: %s\ntext: \"%.*s\"\n", what,
               static_cast<int>(text.size()), text.data());
  std::abort();
}

struct Outcome {
  bool error = false;
};

// Drawing calls and their positions for `expanded` characters (sin, cos, tan spelled out):
// every character is printed once, and each bar, radical and run of spaces a group adds
// covers characters that are already counted, at most a few groups deep.
void CheckDrawing(const RecordingSurface& s, std::size_t expanded, double bottom,
                  std::string_view text, const char* backEnd) {
  const double n = static_cast<double>(expanded);
  if (static_cast<double>(s.calls().size()) > 8 * n + 32) Fail(backEnd, text);
  // Each character moves the print position a bounded step: across by its width, and up or
  // down only as a group begins (a fraction inside a radicand on the printer and in the
  // regression window leaves the rest of it 5 units higher).
  const double right = 20 * (n + 10);
  const double drift = 200 + 10 * n;
  for (const RecordedCall& c : s.calls()) {
    for (double v : {c.x, c.y, c.x2, c.y2})
      if (!std::isfinite(v)) Fail("positions are finite", text);
    if (c.x < -50 || c.x > right || c.y < -drift || c.y > bottom + drift)
      Fail("positions stay near the text", text);
  }
  if (s.fontSize() != 12) Fail("the font size is 12 again after the line", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const QString markup = QString::fromLatin1(text.data(), static_cast<qsizetype>(size));
  std::size_t expanded = size;
  for (char c : text) expanded += (c == 'S' || c == 'C' || c == 'T') ? 2 : 0;

  bool error = false;
  FormulaMessageSink sink;
  sink.setRoute([&error](const QString&) { error = true; });

  RecordingSurface screen;
  screen.setFontSize(12);
  basFprint::PrintFormula(markup, screen, sink);
  const bool screenError = error;
  CheckDrawing(screen, expanded, 600, text, "screen: bounded drawing calls");

  error = false;
  RecordingSurface page(QSizeF(800, 600));
  page.setFontSize(12);
  basFPrint3::PrintFormula(markup, page, sink, true, QStringLiteral("255"));
  const bool pageError = error;
  CheckDrawing(page, expanded, 600, text, "printer: bounded drawing calls");

  error = false;
  RecordingSurface explain;
  explain.setFontSize(12);
  basFPrint2::PrintFormula(markup, explain, sink);
  const bool explainError = error;
  CheckDrawing(explain, expanded, 600, text, "regression window: bounded drawing calls");

  // The printer and the regression window have the smallest tables, which the key handler
  // keeps every line within; the screen's are larger.
  const bool shows = linoveta::TypesetterCanShow(text);
  if (pageError == shows || explainError == shows)
    Fail("the key handler's picture of the typesetter matches it", text);
  if (shows && screenError) Fail("what the printer shows, the screen shows", text);

  // A display text cut where the formula cells end is closed there and stays showable as
  // far as its structure goes.
  const std::string cut = linoveta::ShownDisplayText(std::string(text), true);
  if (cut.size() > static_cast<std::size_t>(linoveta::kDisplayJoinCells))
    Fail("a cut display text fits the cells", text);
  return 0;
}
