// Arbitrary texts in the number boxes of point entry, Calculate Area and Evaluate f(x), under
// several locales. A text the check accepts must be read as the value the check saw wherever
// the box is read, and the texts the boxes show for a value must pass the check again.
//
// Input: one byte picks the locale; the rest, as UTF-8, is split at newlines into box texts,
// of which the first three are used (x, y and dx for the boxes that take three).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include <QLocale>
#include <QString>
#include <QStringList>

#include "engine/number_text.h"
#include "workspace/area_sum.h"
#include "workspace/dialogs/dialog_parts.h"
#include "workspace/locale_numbers.h"
#include "workspace/point_series.h"
#include "workspace/regression_object.h"

namespace {

using namespace linoveta;

[[noreturn]] void Fail(const char* what, const QString& text) {
  std::fprintf(stderr, "invariant broken: %s\ntext: \"%s\"\n", what, qPrintable(text));
  std::abort();
}

// The numeric test and the parse agree, and an accepted text reads as its value.
std::optional<double> CheckBox(const QString& text, const QLocale& locale) {
  const std::optional<double> typed = ParseLocaleNumber(text, locale);
  if (typed.has_value() != IsLocaleNumeric(text, locale))
    Fail("the numeric test accepts exactly the texts the parse reads", text);
  if (!typed) return typed;
  if (!std::isfinite(*typed)) Fail("an accepted number is finite", text);
  if (BoxNumberValue(text, locale) != *typed) Fail("a box reads as the value its check saw", text);

  // What the boxes and the grid show for the value passes the check and reads as the value's
  // 15 digits.
  const double shown = NumberTextValue(*typed);
  const QString boxText = LocaleNumberText(*typed, locale);
  const std::optional<double> again = ParseLocaleNumber(boxText, locale);
  if (!again || *again != shown) Fail("a box's number text reads back", boxText);
  return typed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                    QLocale(QLocale::German, QLocale::Germany),
                                    QLocale(QLocale::French, QLocale::France)};
  const QLocale& locale = locales[data[0] % 4];
  const QString all = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                        static_cast<qsizetype>(size - 1));
  QStringList boxes = all.split(QLatin1Char('\n'));
  while (boxes.size() > 3) boxes.removeLast();
  while (boxes.size() < 3) boxes.append(QString());

  std::optional<double> values[3];
  for (int i = 0; i < 3; ++i) values[i] = CheckBox(boxes[i], locale);

  // Point entry stores exactly what the checks saw.
  RegressionObject fit;
  PointList points;
  const PointEntry entry = AddTypedPoint(fit, points, boxes[0], boxes[1], locale);
  if ((entry == PointEntry::NotNumbers) != (!values[0] || !values[1]))
    Fail("a point is refused as not numbers exactly when a box fails its check", all);
  if (entry == PointEntry::Added &&
      (fit.XYCount() != 1 || points(1).X != *values[0] || points(1).Y != *values[1]))
    Fail("the point stored is the one the checks saw", all);

  // Calculate Area sums from the minimum the check saw, and never past the maximum.
  if (values[0] && values[1] && values[2] && *values[0] <= *values[1] &&
      AreaSum::CheckStep(*values[0], *values[1], *values[2]).isEmpty() &&
      (*values[1] - *values[0]) / *values[2] < 1000) {
    std::vector<double> xs;
    const AreaSum::Result r = AreaSum::Calculate(
        boxes[0], boxes[1], boxes[2], locale, [&xs](const double* x, double* y, std::size_t n) {
          for (std::size_t i = 0; i < n; ++i) {
            xs.push_back(x[i]);
            y[i] = 1;
          }
        });
    if (!r.message.isEmpty() && r.message != AreaSum::kAreaOverflow)
      Fail("the area takes the texts its checks accepted", all);
    if (r.message.isEmpty() && *values[2] > 0 && (xs.empty() || xs.front() != *values[0]))
      Fail("the sum starts at the minimum the check saw", all);
    for (double x : xs)
      if (x > *values[1]) Fail("the sum never passes the maximum", all);
  }
  return 0;
}
