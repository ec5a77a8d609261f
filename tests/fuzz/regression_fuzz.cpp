// Arbitrary point sets through the regression model's public interface: finite points in give
// finite coefficients, or the point is refused whole with the overflow error; a refused point
// or degree changes nothing; the equation text can always be typeset.
//
// Input: one byte for the degree (0..25, or an invalid one from 0xF0 up), then 17-byte
// records: a control byte (bit 0: watch the fit's value at this x from now on) and x and y as
// two doubles; non-finite values are skipped, as no entry path lets them in.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QString>

#include "engine/shown_text.h"
#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"
#include "workspace/regression_object.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

double Read(const std::uint8_t* p) {
  double v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

void CheckCoefficients(RegressionObject& fit) {
  for (int k = 0; k <= RegressionObject::kMaxDegree; ++k)
    if (!std::isfinite(fit.Coeff(k))) Fail("every coefficient is finite");
  if (fit.Coeff(-3) != fit.Coeff(3)) Fail("Coeff(-k) is Coeff(k)");
}

void CheckEquation(RegressionObject& fit) {
  const std::string eq = fit.ReturnRegEq();
  if (eq.rfind("f(x) =", 0) != 0) Fail("the equation starts with f(x) =");
  if (fit.XYCount() == 0 && eq != "f(x) =") Fail("no points, no terms");
  if (!linoveta::TypesetterCanShow(eq)) Fail("the equation's mark-up can be shown");
  bool error = false;
  FormulaMessageSink sink;
  sink.setRoute([&error](const QString&) { error = true; });
  RecordingSurface window, page(QSizeF(800, 600));
  basFPrint2::PrintFormula(QString::fromStdString(eq), window, sink);
  basFPrint3::PrintFormula(QString::fromStdString(eq), page, sink, false, QString());
  if (error) Fail("the equation typesets in the window and on the page");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  RegressionObject fit;
  const int degree = data[0] >= 0xF0 ? (data[0] & 1 ? 26 : -1) : data[0] % 26;
  if (degree < 0 || degree > RegressionObject::kMaxDegree) {
    const int before = fit.Degree();
    try {
      fit.Degree(degree);
      Fail("an invalid degree is refused");
    } catch (const RegressionError& e) {
      if (e.number() != RegressionObject::kInvalidDegreeError || fit.Degree() != before)
        Fail("an invalid degree raises 6000 and changes nothing");
    }
  } else {
    fit.Degree(degree);
  }

  int count = 0;
  double sumY = 0;  // only used while the fit is a constant
  double probe = 0;
  for (std::size_t at = 1; at + 17 <= size; at += 17) {
    const std::uint8_t control = data[at];
    const double x = Read(data + at + 1);
    const double y = Read(data + at + 9);
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    if (control & 1) probe = x;
    const double valueBefore = fit.RegVal(probe);
    try {
      fit.XYAdd(x, y);
      ++count;
      sumY += y;
    } catch (const RegressionError& e) {
      if (e.number() != RegressionObject::kOverflowError) Fail("a point is refused as overflow");
      if (fit.XYCount() != count) Fail("a refused point is not counted");
      const double valueAfter = fit.RegVal(probe);
      if (!(valueAfter == valueBefore || (std::isnan(valueAfter) && std::isnan(valueBefore))))
        Fail("a refused point leaves the fit as it was");
    }
    if (fit.XYCount() != count) Fail("XYCount counts the added points");
    CheckCoefficients(fit);
  }

  // A fit of degree 0 (one point, or the degree 0) is the mean of the y values.
  if (count > 0 && (count == 1 || fit.Degree() == 0) && std::isfinite(sumY)) {
    const double mean = sumY / count;
    if (!(std::fabs(fit.RegVal(probe) - mean) <= 1e-9 * std::fabs(mean) + 1e-300))
      Fail("a constant fit is the mean of the y values");
  }
  fit.RegVal(0);
  CheckEquation(fit);

  // Setting the degree empties the fit.
  fit.Degree(fit.Degree());
  if (fit.XYCount() != 0 || fit.RegVal(1) != 0 || fit.ReturnRegEq() != "f(x) =")
    Fail("a new degree empties the fit");
  return 0;
}
