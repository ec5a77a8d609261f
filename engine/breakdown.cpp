#include "engine/breakdown.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "engine/number_text.h"

namespace linoveta {
namespace {

[[noreturn]] void OutOfRange() {
  throw BreakdownError(BreakdownError::Kind::OutOfRange, "Subscript out of range");
}
[[noreturn]] void DivisionByZero() {
  throw BreakdownError(BreakdownError::Kind::Arithmetic, "Division by zero");
}
[[noreturn]] void TypeMismatch() {
  throw BreakdownError(BreakdownError::Kind::TypeMismatch, "Type mismatch");
}

std::string& Cell(FormulaTables& t, int i) {
  if (i < 0 || i >= kFormulaCells) OutOfRange();
  return t.Tokens[static_cast<std::size_t>(i)];
}
const std::string& Cell(const FormulaTables& t, int i) {
  if (i < 0 || i >= kFormulaCells) OutOfRange();
  return t.Tokens[static_cast<std::size_t>(i)];
}

bool IsNumberChar(std::string_view c, std::string_view before) {
  if (c.size() != 1) return false;
  const char ch = c[0];
  if ((ch >= '0' && ch <= '9') || ch == '.' || ch == '~' || ch == 'E' || ch == '/') return true;
  return (ch == '+' || ch == '-') && before == "E";
}

// A whole text read as a Double; anything that is not a number is a type mismatch.
double ReadDouble(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  s = s.substr(b, e - b);
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s[0] == '+' || s[0] == '-') TypeMismatch();
  double v = 0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ptr != s.data() + s.size()) TypeMismatch();
  if (r.ec == std::errc::result_out_of_range)
    throw BreakdownError(BreakdownError::Kind::Arithmetic, "Overflow");
  return negative ? -v : v;
}

// A Single holds what a double of at most its largest magnitude rounds to; anything more is
// the overflow error, never an infinity.
float Single(double v) {
  if (!(std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max())))
    throw BreakdownError(BreakdownError::Kind::Arithmetic, "Overflow");
  return static_cast<float>(v);
}

float Val(std::string_view s) { return Single(ParseLeadingNumber(s)); }

}  // namespace

BreakdownTables::BreakdownTables()
    : termCount_(51 * 51, 0), levels_(21), hasProduct_(101) {
  for (auto& row : hasProduct_) row.fill(false);
}

BrkTermRec& BreakdownTables::Term(int side, int depth, int group, int term) {
  if (side < 0 || side > 1 || depth < 0 || depth > 20 || group < 0 || group > 50 || term < 0 ||
      term > 100)
    OutOfRange();
  const auto key = static_cast<std::uint32_t>(((side * 21 + depth) * 51 + group) * 101 + term);
  return terms_[key];
}

std::int16_t& BreakdownTables::TermCount(int depth, int group) {
  if (depth < 0 || depth > 50 || group < 0 || group > 50) OutOfRange();
  return termCount_[static_cast<std::size_t>(depth * 51 + group)];
}

BrkLevelRec& BreakdownTables::Level(int depth) {
  if (depth < 0 || depth > 20) OutOfRange();
  return levels_[static_cast<std::size_t>(depth)];
}

BrkGroupRec& BreakdownTables::Group(int depth, int group) {
  BrkLevelRec& level = Level(depth);
  if (group < 0 || group > 100) OutOfRange();
  return level.Groups[static_cast<std::size_t>(group)];
}

bool& BreakdownTables::GroupHasProduct(int depth, int group) {
  if (depth < 0 || depth > 100 || group < 0 || group > 100) OutOfRange();
  return hasProduct_[static_cast<std::size_t>(depth)][static_cast<std::size_t>(group)];
}

std::string SingleText(float v) {
  if (v == 0) return "0";
  char buf[48];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::scientific, 6);
  const std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
  const std::size_t epos = s.find('e');
  std::string digits;
  for (char c : s.substr(0, epos))
    if (c >= '0' && c <= '9') digits += c;
  // to_chars writes the exponent as "e+05" or "e-07"; from_chars takes no "+".
  const std::string_view expText = s.substr(epos + (s[epos + 1] == '+' ? 2 : 1));
  int exp10 = 0;
  std::from_chars(expText.data(), expText.data() + expText.size(), exp10);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int len = static_cast<int>(digits.size());
  std::string out = v < 0 ? "-" : "";
  if (exp10 >= 7 || exp10 <= -5) {
    out += digits[0];
    if (len > 1) out += "." + digits.substr(1);
    out += exp10 < 0 ? "E-" : "E+";
    const int e = std::abs(exp10);
    if (e < 10) out += '0';
    out += WholeNumberText(e);
  } else if (exp10 >= 0) {
    if (len <= exp10 + 1) {
      out += digits + std::string(static_cast<std::size_t>(exp10 + 1 - len), '0');
    } else {
      out += digits.substr(0, static_cast<std::size_t>(exp10 + 1)) + "." +
             digits.substr(static_cast<std::size_t>(exp10 + 1));
    }
  } else {
    out += "0." + std::string(static_cast<std::size_t>(-exp10 - 1), '0') + digits;
  }
  return out;
}

void MakeGraphable() {}

std::string ExpandENotation(std::string_view S) {
  const std::size_t e = S.find('E');
  if (e == std::string_view::npos) return std::string(S);
  const double mantissa = ReadDouble(S.substr(0, e));
  std::string_view rest = S.substr(e + 1);
  int sign = 1;
  if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
    sign = rest[0] == '-' ? -1 : 1;
    rest.remove_prefix(1);
  }
  if (rest.empty()) TypeMismatch();
  int exponent = 0;
  auto r = std::from_chars(rest.data(), rest.data() + rest.size(), exponent);
  if (r.ec != std::errc() || r.ptr != rest.data() + rest.size()) TypeMismatch();
  const double v = mantissa * std::pow(10.0, sign * exponent);
  if (!std::isfinite(v)) throw BreakdownError(BreakdownError::Kind::Arithmetic, "Overflow");
  return NumberText(v);
}

std::string FractionToDecimalStr(std::string_view S, bool /*RoundIt*/) {
  std::optional<std::string> result;
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (S[i] != '/') continue;
    const double a = ReadDouble(S.substr(0, i));
    const double b = ReadDouble(S.substr(i + 1));
    if (b == 0)
      result = std::string();
    else
      result = NumberText(a / b);
  }
  return result ? *result : std::string(S);
}

void TrimTokenCount(FormulaTables& t) {
  for (int i = 1; i <= t.TokenCount; ++i) {
    if (Cell(t, i).empty()) {
      t.TokenCount = static_cast<std::int16_t>(i);
      return;
    }
  }
}

int FindRelation(const FormulaTables& t) {
  for (int i = 0; i <= t.TokenCount; ++i) {
    const std::string& c = Cell(t, i);
    if (c == "<" || c == "=" || c == ">") return Cell(t, i + 1) == "=" ? i + 1 : i;
  }
  return t.TokenCount;
}

void BreakIntoTokens(FormulaTables& t) {
  std::vector<std::string> out;
  bool inNumber = false;
  auto input = [&t](int j) -> std::string {
    if (j < 0 || j >= kFormulaCells) return std::string();
    return t.Tokens[static_cast<std::size_t>(j)];
  };
  for (int j = 0; j < t.TokenCount; ++j) {
    const std::string c = Cell(t, j);
    if (!IsNumberChar(c, input(j - 1))) {
      if (!c.empty()) {
        out.push_back(c);
        inNumber = false;
      }
      continue;
    }
    if (!inNumber) {
      out.push_back(c);
      inNumber = c == "." || c == "~" || (c[0] >= '0' && c[0] <= '9');
      continue;
    }
    std::string& number = out.back();
    const std::size_t k = out.size() - 1;
    const std::string before1 = k >= 1 ? out[k - 1] : std::string();
    const std::string before2 = k >= 2 ? out[k - 2] : std::string();
    if (c == "/" && (before1 == "^" || (before2 == "^" && before1 == "-") || IsNumFraction(number))) {
      out.push_back(c);
      inNumber = false;
    } else if (c != "/") {
      number += c;
    } else {
      const std::string next = input(j + 1);
      const std::string after = input(j + 2);
      const bool afterOk = after == "." || IsOperator(after) || after == "(" || after == "|" ||
                           after == ")" || after.empty() || IsNumericText(after);
      if (IsNumericText(next) && input(j - 1) != ")" && afterOk) {
        number += c;
      } else {
        out.push_back(c);
        inNumber = false;
      }
    }
  }
  if (out.size() > static_cast<std::size_t>(kFormulaCells)) OutOfRange();
  for (int i = 0; i < kFormulaCells; ++i)
    t.Tokens[static_cast<std::size_t>(i)] =
        static_cast<std::size_t>(i) < out.size() ? out[static_cast<std::size_t>(i)] : std::string();
  t.TokenCount = static_cast<std::int16_t>(static_cast<int>(out.size()) - 1 + 4);
}

void NormalizeSigns(FormulaTables& t) {
  // 1. A leading sign.
  if (!IsSign(Cell(t, 0))) {
    for (int i = kFormulaCells - 1; i >= 1; --i) t.Tokens[static_cast<std::size_t>(i)] = t.Tokens[static_cast<std::size_t>(i - 1)];
    t.Tokens[0] = "+";
    ++t.TokenCount;
  }
  // 2. A sign after every "=", refilled from the list as it stood before this step.
  {
    const CellLine copy = t.Tokens;
    const int last = t.TokenCount + 1;
    for (int i = 0; i <= last; ++i) {
      if (Cell(t, i) == "=" && !IsSign(Cell(t, i + 1))) {
        Cell(t, i + 1) = "+";
        for (int j = i + 2; j < kFormulaCells; ++j)
          t.Tokens[static_cast<std::size_t>(j)] = copy[static_cast<std::size_t>(j - 1)];
        ++t.TokenCount;
      }
    }
  }
  // 3. Signs after "(", "|" and "="; "*" before "(" dropped but where it is needed.
  std::vector<std::string> b(1);
  auto back = [&t](int i, int k) -> const std::string& { return Cell(t, i - k < 0 ? 0 : i - k); };
  const int last = t.TokenCount + 1;
  for (int i = 0; i <= last; ++i) {
    const std::string& c = Cell(t, i);
    if (c == "(" || c == "|" || c == "=") {
      b.push_back(c);
      const std::string& next = Cell(t, i + 1);
      if (!IsSign(next) && !next.empty()) b.push_back(ParseLeadingNumber(next) < 0 ? "-" : "+");
    } else if (c == "*" && Cell(t, i + 1) == "(") {
      const bool keep = back(i, 2) == "^" || IsNumFraction(back(i, 1)) ||
                        (back(i, 2) == "/" && back(i, 3) != ")" &&
                         (IsLetter(back(i, 3)) || IsLetter(back(i, 4)) || IsLetter(back(i, 5))));
      if (keep) b.push_back(c);
    } else {
      b.push_back(c);
    }
  }
  const int m = static_cast<int>(b.size());
  if (m > kFormulaCells - 1) OutOfRange();
  b.push_back(std::string());
  // 4. Two operators in a row: the second is not written.
  for (int i = 0; i <= m; ++i) {
    const std::string& v = b[static_cast<std::size_t>(i)];
    if (i > 0 && IsOperator(v) && IsOperator(b[static_cast<std::size_t>(i - 1)])) continue;
    t.Tokens[static_cast<std::size_t>(i)] = v;
  }
  t.TokenCount = static_cast<std::int16_t>(m);
  for (int i = m; i < kFormulaCells; ++i) t.Tokens[static_cast<std::size_t>(i)].clear();
}

void ClearBreakdownTables(const FormulaTables& t, BreakdownTables& b, bool Extended) {
  b.BrkMaxDepth = b.BrkDepth = b.BrkGroup = 0;
  const int e = Extended ? 10 : 0;
  const int side = t.EquationSide;
  const int relation = FindRelation(t);
  for (int d = 0; d <= 5 + e; ++d) {
    BrkLevelRec& level = b.Level(d);
    for (int g = 0; g <= level.GroupCount + 5 + e; ++g) {
      b.GroupHasProduct(d, g) = false;
      BrkGroupRec& gr = b.Group(d, g);
      gr.StartToken = static_cast<std::int16_t>(side == 0 ? 0 : relation);
      gr.EndToken = static_cast<std::int16_t>(side == 0 ? relation : t.TokenCount);
      gr.MultStart = 1;
      gr.ExpToken = t.TokenCount;
      gr.IsAbs = gr.DividedByNext = gr.IsDividend = false;
      gr.NextGroup = -1;
      gr.Multiplier = gr.GroupExp = gr.PendingExp = 1;
      gr.SavedNum = gr.SavedDen = 1;
      gr.GroupText.clear();
      const int terms = b.TermCount(d, g) + 4 + e;
      for (int k = 1; k <= terms; ++k) {
        if (k < 10) gr.MultFactor[static_cast<std::size_t>(k)].clear();
        BrkTermRec& term = b.Term(side, d, g, k);
        term.VarText.clear();
        term.DispText.clear();
        term.AltText.clear();
        term.FractionText.clear();
        term.DenFlag = term.HasDivision = false;
        term.Quotient = 1;
        term.Num = term.Den = 1;
        term.FactorCount = 1;
        for (int f = 0; f <= 2; ++f) {
          term.FactorExp[static_cast<std::size_t>(f)] = 1;
          term.FactorName[static_cast<std::size_t>(f)].clear();
        }
      }
      b.TermCount(d, g) = 0;
    }
    level.GroupCount = 0;
  }
}

void BreakdownEquationSide(FormulaTables& t, BreakdownTables& b) {
  CollectLetters(t);
  ClearBreakdownTables(t, b, false);
  NormalizeSigns(t);
  TrimTokenCount(t);
  b.BrkMaxDepth = b.BrkDepth = b.BrkGroup = 0;
  const int side = t.EquationSide;
  if (side == 0) {
    b.BrkFirstToken = 0;
    b.BrkLastToken = static_cast<std::int16_t>(FindRelation(t));
  } else {
    b.BrkFirstToken = static_cast<std::int16_t>(FindRelation(t) + 1);
    b.BrkLastToken = static_cast<std::int16_t>(t.TokenCount + 1);
  }

  float sign = 1, coef = 1, pendingExp = 1;
  int factorIndex = 1;
  std::string termLetters, groupLetters, multText;
  bool absOpen = false;
  int parentGroup = 0;
  float asideNum = 0, asideDen = 0;
  std::string asideDisp, asideAlt;

  auto term = [&]() -> BrkTermRec& {
    return b.Term(side, b.BrkDepth, b.BrkGroup, b.TermCount(b.BrkDepth, b.BrkGroup));
  };
  auto group = [&]() -> BrkGroupRec& { return b.Group(b.BrkDepth, b.BrkGroup); };
  auto factor = [&](int i) -> std::size_t {
    if (i < 0 || i >= kBrkFactorCells) OutOfRange();
    return static_cast<std::size_t>(i);
  };
  auto resetTerm = [&]() {
    coef = 1;
    pendingExp = 1;
    factorIndex = 1;
    termLetters.clear();
    groupLetters.clear();
    multText.clear();
  };
  // A new group at the next depth, as a bar or a parenthesis opens it.
  auto openGroup = [&]() {
    parentGroup = b.BrkGroup;
    ++b.BrkDepth;
    BrkLevelRec& level = b.Level(b.BrkDepth);
    if (b.TermCount(b.BrkDepth, level.GroupCount) > 0) ++level.GroupCount;
    if (b.BrkDepth > b.BrkMaxDepth) b.BrkMaxDepth = b.BrkDepth;
    b.BrkGroup = level.GroupCount;
  };

  const int last = b.BrkLastToken;
  for (int i = b.BrkFirstToken; i <= last; ++i) {
    const std::string tok = Cell(t, i);
    if (tok.empty()) continue;
    if (IsLetter(tok)) {
      BrkTermRec& tr = term();
      if (tr.Num == 1) tr.Num = tr.Num * sign;
      tr.FactorExp[factor(factorIndex)] = 1;
      if (factorIndex > 1) tr.FactorExp[factor(factorIndex - 1)] = pendingExp;
      tr.FactorName[factor(factorIndex)] = tok;
      ++tr.FactorCount;
      tr.VarText += tok;
      termLetters += tok;
      groupLetters += tok;
      if (IsNumFraction(Cell(t, i - 1)) || tr.DenFlag) {
        tr.AltText = termLetters;
        tr.DenFlag = true;
      } else {
        tr.DispText = termLetters;
      }
      factorIndex = tr.FactorCount;
    } else if (tok == "+" || tok == "-") {
      ++b.TermCount(b.BrkDepth, b.BrkGroup);
      term().Op = tok;
      sign = tok == "+" ? 1.0f : -1.0f;
      resetTerm();
    } else if (tok == "=") {
      group().EndToken = static_cast<std::int16_t>(i);
      BrkTermRec& tr = term();
      if (tr.DenFlag) tr.AltText = termLetters;
      sign = 1;
      coef = 0;
      multText.clear();
      pendingExp = 1;
    } else if (tok == "*") {
      ++b.TermCount(b.BrkDepth, b.BrkGroup);
      term().Op = "*";
      sign = 1;
      coef = 1;
      pendingExp = 1;
      factorIndex = 1;
      termLetters.clear();
      groupLetters.clear();
      b.GroupHasProduct(b.BrkDepth, b.BrkGroup) = true;
    } else if (tok == "/") {
      BrkTermRec& tr = term();
      tr.VarText += "/";
      groupLetters = termLetters + "/";
      if (Cell(t, i - 1) == ")" || group().GroupExp > 1) {
        b.Group(b.BrkDepth + 1, b.BrkGroup).IsDividend = true;
      } else {
        tr.DispText = termLetters;
        tr.HasDivision = true;
      }
      if (Cell(t, i + 1) == "(")
        group().DividedByNext = true;
      else
        tr.DenFlag = true;
      sign = 1;
      termLetters.clear();
      multText.clear();
      factorIndex = 1;
    } else if (tok == "|") {
      if (absOpen) {
        group().EndToken = static_cast<std::int16_t>(i);
        --b.BrkDepth;
        coef = 1;
        b.BrkGroup = b.Level(b.BrkDepth).GroupCount;
        absOpen = false;
      } else {
        openGroup();
        BrkGroupRec& g = group();
        g.IsAbs = true;
        g.StartToken = static_cast<std::int16_t>(i);
        g.Multiplier = coef;
        g.MultFactor[factor(factorIndex)] = multText;
        g.GroupExp = pendingExp;
        multText.clear();
        coef = pendingExp = 1;
        if (!IsOperator(Cell(t, i - 1))) --b.TermCount(b.BrkDepth - 1, parentGroup);
        absOpen = true;
      }
    } else if (tok == "(") {
      const bool afterClose = Cell(t, i - 1) == ")";
      if (!afterClose) {
        const BrkTermRec& tr = term();
        asideNum = tr.Num;
        asideDen = tr.Den;
        asideDisp = tr.DispText;
        asideAlt = tr.AltText;
      }
      openGroup();
      BrkGroupRec& g = group();
      g.StartToken = static_cast<std::int16_t>(i);
      if (afterClose) {
        const int lower = b.BrkGroup == 0 ? 0 : b.BrkGroup - 1;
        b.Group(b.BrkDepth, lower).NextGroup = b.BrkGroup;
      }
      if (coef == 0) coef = 1;
      BrkGroupRec& g2 = group();
      g2.Multiplier = coef * sign;
      g2.MultFactor[factor(factorIndex)] = multText;
      g2.SavedNum = asideNum;
      g2.SavedDen = asideDen;
      g2.SavedDispText = asideDisp;
      g2.SavedAltText = asideAlt;
      g2.PendingExp = pendingExp;
      g2.GroupText = groupLetters;
      groupLetters.clear();
      multText.clear();
      pendingExp = 1;
      const std::string& before = Cell(t, i - 1);
      if (before != ")" && !IsOperator(before)) --b.TermCount(b.BrkDepth - 1, parentGroup);
      sign = 1;
      coef = 1;
      pendingExp = 1;
    } else if (tok == ")") {
      group().EndToken = static_cast<std::int16_t>(i);
      --b.BrkDepth;
      coef = 1;
      b.BrkGroup = b.Level(b.BrkDepth).GroupCount;
    } else if (tok == "^") {
      const std::string next = Cell(t, i + 1);
      const bool negative = next == "-";
      float e = pendingExp;
      const int readAt = i + 1;
      if (IsNumericText(next)) {
        e = Val(next);
        i += 1;
      } else if (negative) {
        e = -Val(Cell(t, i + 2));
        i += 2;
      }
      const std::string eText = SingleText(e);
      if (negative) groupLetters += "^-" + eText;
      const std::string& before = Cell(t, readAt - 2);
      if (before == ")" || (before == "|" && !negative)) {
        BrkGroupRec& g = b.Group(b.BrkDepth + 1, b.Level(b.BrkDepth + 1).GroupCount);
        g.GroupExp = e;
        g.ExpToken = static_cast<std::int16_t>(readAt);
      } else {
        BrkTermRec& tr = term();
        tr.FactorExp[factor(factorIndex)] = e;
        const std::string text = "^" + eText;
        tr.VarText += text;
        if (tr.DenFlag)
          tr.AltText += text;
        else
          tr.DispText += text;
        termLetters += text;
        groupLetters += text;
      }
      pendingExp = e;
    } else if (tok == "[" || tok == "]") {
      // drawing marks only
    } else if (tok.find('~') != std::string::npos) {
      const std::size_t at = tok.find('~');
      const std::string before = tok.substr(0, at);
      const std::string after = tok.substr(at + 1);
      const float c = before.empty() ? 1.0f : Val(before);
      BrkTermRec& tr = term();
      tr.Num = Single(static_cast<double>(tr.Num) * sign * c);
      tr.FactorExp[factor(factorIndex)] = pendingExp;
      tr.DispText = "~" + after;
      termLetters += "~" + after;
    } else {
      BrkTermRec& tr = term();
      if (tr.DenFlag) {
        tr.Den = Val(FractionToDecimalStr(tok));
        if (tr.Den == 0) DivisionByZero();
        tr.Quotient = static_cast<double>(tr.Num) / static_cast<double>(tr.Den);
        coef = Single(static_cast<double>(coef) / tr.Den);
        if (!IsLetter(Cell(t, i + 1))) tr.DenFlag = tr.HasDivision = false;
        if (IsNumFraction(tok)) tr.FractionText = tok;
      } else {
        coef = Val(ExpandENotation(tok));
        if (IsNumFraction(tok)) {
          const std::size_t slash = tok.find('/');
          tr.Num = sign * Val(tok.substr(0, slash));
          tr.Den = Val(tok.substr(slash + 1));
          tr.FractionText = tok;
        } else {
          tr.Num = sign * coef;
          tr.DispText = termLetters;
        }
        tr.FactorExp[factor(factorIndex)] = pendingExp;
      }
    }
  }
}

void BreakdownFunction(FormulaTables& t, BreakdownTables& b) {
  BreakIntoTokens(t);
  BreakdownEquationSide(t, b);
}

std::string char2str_graph(FormulaTables& t, BreakdownTables& b) {
  t.EquationSide = 0;
  BreakdownFunction(t, b);
  const int n = b.TermCount(0, 0);
  std::string result;
  for (int k = 1; k <= n; ++k) {
    const BrkTermRec& term = b.Term(0, 0, 0, k);
    std::string text = term.Num >= 0 ? "+" : "-";
    text += SingleText(std::fabs(term.Num)) + "/" + SingleText(std::fabs(term.Den)) + term.DispText;
    std::string out;
    for (char c : text) {
      out += c;
      if (c == '^') out += '+';
    }
    result += out;
  }
  return result;
}

}  // namespace linoveta
