// Marks where exponents, fractions and roots open and close, and writes the display and
// script forms of the current line.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "engine/key_handler.h"
#include "engine/line_translation.h"
#include "engine/shown_text.h"

namespace linoveta {

namespace {

bool OneOf(std::string_view s, std::initializer_list<const char*> set) {
  for (const char* c : set)
    if (s == c) return true;
  return false;
}

bool IsTrigLetter(const std::string& s) { return s == "S" || s == "C" || s == "T"; }

constexpr int kCells = TranslationBuffers::kCells;

// Makes every cell of a reused buffer empty again, kCells long; only the first `used`
// cells can hold anything.
void EmptyCells(std::vector<std::string>& cells, int used) {
  const std::size_t dirty = std::min(cells.size(), static_cast<std::size_t>(std::max(used, 0)));
  for (std::size_t i = 0; i < dirty; ++i)
    if (!cells[i].empty()) cells[i].clear();
  cells.resize(kCells);
}

class Translation {
 public:
  Translation(const std::vector<std::string>& tokens, int openBarCount, LevelState& level,
              TranslationBuffers& buffers)
      : tokens_(tokens),
        openBarCount_(openBarCount),
        levelState_(level),
        ct_(buffers.ct),
        out_(buffers.out),
        buffers_(buffers) {
    // The working cells are left empty by the previous translation (see Run).
    EmptyCells(ct_, buffers.ctUsed);
    buffers.ctUsed = 0;
  }

  void Run(LineTranslation& result);

 private:
  const std::string& Tok(int i) const { return (i >= 0 && i < kCells) ? ct_[i] : empty_; }
  const std::string& Out(int i) const { return (i >= 0 && i < kCells) ? out_[i] : empty_; }
  void SetOut(int i, const std::string& v) {
    if (i < 0 || i >= kFormulaCells) {
      fits_ = false;
      return;
    }
    if (v.size() == 1 && v[0] == '#') NoteFractionMark(i);
    out_[i] = v;
    outUsed_ = std::max(outUsed_, i + 1);
  }
  void NoteFractionMark(int i) {
    if (out_[i] != "#") fractionMarks_.push_back(i);
  }
  std::int16_t& Level(int depth, int bar) {
    if (depth < 0 || depth >= kLevelDepths || bar < 0 || bar >= kLevelBars) {
      scratchLevel_ = 0;
      return scratchLevel_;
    }
    return levelState_[depth][bar];
  }

  bool ExpAtDepth() const { return expOpen_ && expDepth_ == depth_; }
  bool FracAtDepth() const { return fracOpen_ && fracDepth_ == depth_; }
  bool RootAtDepth() const { return rootOpen_ && rootDepth_ == depth_; }

  void EmitToken(int p) {
    if (!Tok(p).empty()) {
      SetOut(pos_, Tok(p));
      pos_ += 4;
    }
  }
  // Collects the marker of a requested, open kind met at cell i; innermost first.
  void Collect(const std::string& c, bool& rf, bool& rr, bool& re, std::string& markers,
               bool allowFrac = true) {
    if (c == "^" && re) {
      markers += '^';
      expOpen_ = false;
      re = false;
    } else if (c == "#" && rf && allowFrac) {
      markers += '#';
      fracOpen_ = false;
      rf = false;
    } else if (c == "~" && rr) {
      markers += '~';
      rootOpen_ = false;
      rr = false;
    }
  }
  void PlaceMarkers(int p, const std::string& markers) {
    for (int k = 1; k <= static_cast<int>(markers.size()) && k <= 3; ++k) {
      for (int c = p - 4 + k; c <= p - 1; ++c) {
        if (Out(c).empty()) {
          SetOut(c, std::string(1, markers[k - 1]));
          break;
        }
      }
    }
  }
  void CloseGroupsInGap(int p, bool rf, bool rr, bool re, bool barOpen) {
    std::string markers;
    if (rf && !rr && !re && !barOpen) {
      // Only a fraction to close and no bar to stop at: its mark is the nearest "#" at or
      // before p, found among the cells that hold one rather than by reading back the term.
      int nearest = 0;
      for (int cell : fractionMarks_)
        if (cell <= p && cell > nearest && out_[cell] == "#") nearest = cell;
      if (nearest >= 1) Collect(out_[nearest], rf, rr, re, markers);
      PlaceMarkers(p, markers);
      EmitToken(p);
      return;
    }
    bool collecting = true;
    // Nothing more can be collected once every group asked for is closed.
    for (int i = p; i >= 1 && collecting && (rf || rr || re); --i) {
      const std::string& c = Out(i);
      Collect(c, rf, rr, re, markers);
      if (c == "|" && barOpen) collecting = false;
    }
    PlaceMarkers(p, markers);
    EmitToken(p);
  }
  void CloseGroupsToBar(int p, bool rf, bool rr, bool re) {
    std::string markers;
    for (int i = p; i >= 1 && (rf || rr || re); --i) {
      const std::string& c = Out(i);
      if (c == "|") break;
      Collect(c, rf, rr, re, markers);
    }
    PlaceMarkers(p, markers);
    EmitToken(p);
  }
  void CloseGroupsAtOperator(int p, bool rf, bool rr, bool re) {
    std::string markers;
    const std::string& before = Out(p - 4);
    const std::string& before2 = Out(p >= 8 ? p - 8 : 0);
    const bool keepOpen =
        before == "^" || before == "~" || (before == "-" && (before2 == "^" || before2 == "~"));
    if (!keepOpen) {
      const bool allowFrac = before != "/";
      for (int i = p; i >= 1 && ((rf && allowFrac) || rr || re); --i)
        Collect(Out(i), rf, rr, re, markers, allowFrac);
    }
    PlaceMarkers(p, markers);
    EmitToken(p);
  }
  void CloseGroupsAtEnd() {
    if (!fracOpen_ && !rootOpen_ && !expOpen_) return;
    std::string markers;
    for (int i = pos_ + 20; i >= 0; --i) {
      const std::string& c = Out(i);
      if (c.empty()) continue;
      if (c == "#" && fracOpen_) {
        markers += '#';
        fracOpen_ = false;
      } else if (c == "~" && rootOpen_) {
        markers += '~';
        rootOpen_ = false;
      } else if (c == "^" && expOpen_) {
        markers += Out(pos_ - 4) == "^" ? "?^" : "^";
        expOpen_ = false;
      }
    }
    int start = pos_ - 3;
    if (!Out(pos_ - 3).empty()) start = Out(pos_ - 2).empty() ? pos_ - 2 : pos_ - 1;
    for (std::size_t k = 0; k < markers.size(); ++k)
      SetOut(start + static_cast<int>(k), std::string(1, markers[k]));
  }
  // At ")": close, innermost first, everything opened after the matching "(".
  void CloseInsideParens() {
    int running = depth_;
    int next = pos_ - 3;
    auto place = [&](char m) {
      while (next <= pos_ - 1 && !Out(next).empty()) ++next;
      if (next <= pos_ - 1) SetOut(next++, std::string(1, m));
    };
    for (int i = pos_; i >= 0; --i) {
      const std::string& c = Out(i);
      if (c == "^" && expOpen_) {
        place('^');
        expOpen_ = false;
      } else if (c == "#" && fracOpen_) {
        place('#');
        fracOpen_ = false;
      } else if (c == "~" && rootOpen_) {
        place('~');
        rootOpen_ = false;
      } else if (c == ")") {
        ++running;
      } else if (c == "(") {
        if (running == depth_) break;
        --running;
      }
    }
  }

  void MarkToken(int p);
  std::string WriteScript();

  const std::vector<std::string>& tokens_;
  int openBarCount_;
  LevelState& levelState_;
  std::int16_t scratchLevel_ = 0;
  const std::string empty_;

  std::vector<std::string>& ct_;
  std::vector<std::string>& out_;
  TranslationBuffers& buffers_;
  int pos_ = 4;
  int depth_ = 0;
  int expDepth_ = 0;
  int rootDepth_ = 0;
  int fracDepth_ = 0;
  bool bar_ = false;
  int barLevel_ = 0;
  bool expOpen_ = false;
  bool fracOpen_ = false;
  bool rootOpen_ = false;
  bool fits_ = true;
  int outUsed_ = 0;  // out cells from here on are empty
  // Every out cell set to "#" while it held something else: each "#" is among them.
  std::vector<int> fractionMarks_;
};

void Translation::MarkToken(int p) {
  const std::string t = Tok(p);
  const std::string& prev = Tok(p - 4);
  const std::string& prevprev = Tok(p >= 8 ? p - 8 : 0);
  const bool afterSignInExp = prevprev == "^" && prev == "-";
  const bool afterSignInRoot = prevprev == "~" && prev == "-";

  if (t == "^") {
    SetOut(pos_, "^");
    pos_ += 4;
    expDepth_ = depth_;
    expOpen_ = true;
  } else if (IsNumFraction(t)) {
    if (expOpen_ || fracOpen_) {
      EmitToken(p);
    } else {
      SetOut(pos_ - 3, "#");
      EmitToken(p);
      const std::string& next = Tok(p + 4);
      if (next.empty() || IsOperator(next)) {
        SetOut(pos_ - 3, "#");
      } else {
        fracOpen_ = true;
        fracDepth_ = depth_;
      }
    }
  } else if (t == "-") {
    const bool sign = prev == "^" || prev == "~";
    CloseGroupsInGap(p, FracAtDepth() && !sign, RootAtDepth() && !sign, ExpAtDepth() && !sign,
                     bar_);
    if (prev != "~" && !expOpen_) Level(depth_, barLevel_) = static_cast<std::int16_t>(p);
  } else if (t == "+" || t == "=") {
    CloseGroupsInGap(p, FracAtDepth(), RootAtDepth(), ExpAtDepth(), bar_);
    Level(depth_, barLevel_) = static_cast<std::int16_t>(p);
  } else if (t == "~") {
    bool rf = FracAtDepth(), rr = RootAtDepth(), re = ExpAtDepth();
    if (prev == "^" || prev == "/" || afterSignInExp) rf = rr = re = false;
    CloseGroupsInGap(p, rf, rr, re, bar_);
    rootDepth_ = depth_;
    rootOpen_ = true;
  } else if (t == "(") {
    if (IsTrigLetter(prev) || prev == "/") {
      EmitToken(p);
    } else {
      const bool sign = prev == "^" || prev == "~";
      bool rf = FracAtDepth() && !sign;
      bool re = ExpAtDepth() && !sign;
      bool rr = RootAtDepth() && !sign;
      // After the sign of an exponent or a radicand nothing closes: a group opened before the
      // root encloses it and cannot end while the root is still open.
      if (afterSignInExp || afterSignInRoot) rf = rr = re = false;
      CloseGroupsInGap(p, rf, rr, re, bar_);
    }
    ++depth_;
    Level(depth_, barLevel_) = static_cast<std::int16_t>(p);
  } else if (t == ")") {
    CloseInsideParens();
    --depth_;
    EmitToken(p);
  } else if (t == "P") {
    SetOut(pos_, "`");
    pos_ += 4;
  } else if (t == "/") {
    const bool sign = prev == "^" || prev == "~";
    CloseGroupsInGap(p, FracAtDepth() && !sign, RootAtDepth() && !sign, ExpAtDepth() && !sign,
                     bar_);
    const int termStart = Level(depth_, barLevel_);
    if (!expOpen_ && !fracOpen_) {
      // The new fraction belongs to this depth even when a number fraction is its numerator:
      // a depth left from an earlier fraction would keep it open past its own term.
      fracDepth_ = depth_;
      if (IsNumFraction(prev)) {
        SetOut(termStart + 1, "#");
      } else {
        if (Out(termStart + 1) != "#" && Out(termStart + 2) != "#" && Out(termStart + 3) != "#")
          SetOut(termStart + 1, "#");
      }
      fracOpen_ = true;
    }
    // The numerator absorbs number fractions and fractions closed inside it.
    // Only the cells once set to "#" can hold one; those that no longer do are forgotten.
    const int top = std::min(pos_, kFormulaCells - 1);
    std::size_t kept = 0;
    for (int cell : fractionMarks_) {
      if (out_[cell] != "#") continue;
      if (cell >= termStart + 4 && cell <= top) {
        out_[cell].clear();
        continue;
      }
      fractionMarks_[kept++] = cell;
    }
    fractionMarks_.resize(kept);
  } else if (IsNumericText(t)) {
    EmitToken(p);
  } else if (t == "*") {
    CloseGroupsInGap(p, FracAtDepth(), RootAtDepth(), ExpAtDepth(), bar_);
    Level(depth_, barLevel_) = static_cast<std::int16_t>(p);
  } else if (t == "|") {
    const bool rf = FracAtDepth(), rr = RootAtDepth(), re = ExpAtDepth();
    if (!rf && !rr && !re) {
      EmitToken(p);
      bar_ = !bar_;
    } else if (bar_) {
      CloseGroupsToBar(p, rf, rr, re);
      bar_ = false;
    } else {
      CloseGroupsAtOperator(p, rf, rr, re);
      bar_ = true;
    }
    barLevel_ += bar_ ? 1 : -1;
    if (bar_) Level(depth_, barLevel_) = static_cast<std::int16_t>(p);
  } else if (t.empty()) {
  } else if (IsTrigLetter(t)) {
    // A root open at this depth ends before a function name. It closes like any other
    // group, so an open bar or a group opened inside the root is respected.
    // A sign right after "~" is the radicand's own: the root stays open for the function.
    const bool rootEnds = RootAtDepth() && prev != "~" && !afterSignInRoot && !expOpen_;
    const bool sign = prev == "^" || prev == "~";
    bool rf = FracAtDepth() && !sign;
    bool re = ExpAtDepth() && !sign;
    bool rr = RootAtDepth() && !sign;
    if (prev == "/" || afterSignInExp || afterSignInRoot) rf = rr = re = false;
    CloseGroupsInGap(p, rf, rr || rootEnds, re, bar_);
  } else {
    EmitToken(p);
  }
}

// Script cells for the marked list, with the bracket kinds kept on a stack so that a
// division splits the brackets only where they belong to a fraction.
std::string Translation::WriteScript() {
  enum class Bracket { kParen, kAbs, kFrac, kRoot, kExp };
  std::vector<Bracket> open;
  auto pop = [&] {
    if (!open.empty()) open.pop_back();
  };
  auto innermostIsFraction = [&] { return !open.empty() && open.back() == Bracket::kFrac; };

  const int last = std::min(pos_ + 20, kFormulaCells - 1);
  // Matching ")" of every "(" cell, to drop only a truly doubled pair.
  // Cells past last+4 are never read here.
  std::vector<int>& match = buffers_.match;
  std::fill(match.begin(), match.begin() + last + 5, -1);
  {
    std::vector<int> stack;
    for (int i = 0; i <= last; ++i) {
      if (out_[i] == "(") stack.push_back(i);
      else if (out_[i] == ")" && !stack.empty()) {
        match[stack.back()] = i;
        stack.pop_back();
      }
    }
  }
  std::vector<char>& dropped = buffers_.dropped;
  std::fill(dropped.begin(), dropped.begin() + last + 5, 0);

  // The script pieces are appended to raw as they are made; prev is the last piece.
  std::string& raw = buffers_.raw;
  raw.clear();
  std::size_t lastPiece = 0;
  auto push = [&](std::string_view piece) {
    lastPiece = raw.size();
    raw += piece;
  };
  bool barOn = false, fracOn = false;
  enum class Root { kOff, kPlain, kParen } root = Root::kOff;
  enum class Exp { kOff, kOwnParen, kNone } exp = Exp::kOff;

  for (int i = 0; i <= last; ++i) {
    const std::string& c = out_[i];
    if (c.empty()) continue;
    // Read only before this cell's first push, which may move it.
    const std::string_view prev = std::string_view(raw).substr(lastPiece);
    const bool prevEndsParen = !prev.empty() && prev.back() == ')';
    const bool prevEndsDigit = !prev.empty() && prev.back() >= '0' && prev.back() <= '9';
    const std::string& next = Out(i + 4);

    if (IsNumFraction(c)) {
      std::string s = c;
      if (innermostIsFraction()) {
        std::string r;
        for (char ch : s) r += ch == '/' ? std::string(")/(") : std::string(1, ch);
        s = r;
      }
      push(s);
    } else if (c == "|" && !barOn) {
      // A value in front (a letter, a number, a closing bracket, a digit ending pi or a
      // number fraction) multiplies the absolute value.
      if (raw.empty()) push("abs(");
      else if (IsLetter(prev) || IsNumericText(prev) || prevEndsParen || prevEndsDigit)
        push("*abs(");
      else
        push("abs(");
      barOn = true;
      open.push_back(Bracket::kAbs);
    } else if (c == "|") {
      push(")");
      barOn = false;
      pop();
    } else if (c == "#") {
      push(fracOn ? ")" : "(");
      if (fracOn) pop();
      else open.push_back(Bracket::kFrac);
      fracOn = !fracOn;
    } else if (c == "~" && next != "(" && root == Root::kOff) {
      push(prev == ")" ? "*(" : "(");
      root = Root::kPlain;
      open.push_back(Bracket::kRoot);
    } else if (c == "~" && root == Root::kPlain) {
      push(")^(.5)");
      root = Root::kOff;
      pop();
    } else if (c == "~" && root == Root::kOff) {
      push("(");
      root = Root::kParen;
      open.push_back(Bracket::kRoot);
    } else if (c == "~" && root == Root::kParen) {
      push("^.5)");
      root = Root::kOff;
      pop();
    } else if (c == "^" && exp == Exp::kOff) {
      if (next == "(") {
        push("^");
        exp = Exp::kNone;
      } else {
        push("^(");
        exp = Exp::kOwnParen;
        open.push_back(Bracket::kExp);
      }
    } else if (c == "^") {
      if (exp == Exp::kOwnParen) {
        push(")");
        pop();
      }
      exp = Exp::kOff;
    } else if (c == "`") {
      if (IsNumericText(prev)) push("*3.14159265388");
      else if (prevEndsDigit || prevEndsParen) push("*3.1415926538");
      else push("3.1415926538");
    } else if (IsTrigLetter(c) &&
               ((!prev.empty() && prev.find('(') == std::string::npos &&
                 !OneOf(prev, {"+", "-", "*", "/"})) ||
                prevEndsParen || prevEndsDigit)) {
      // A value in front multiplies the function, also the denominator of a number fraction.
      push("*");
      push(c);
    } else if (c == "/" && exp == Exp::kOff) {
      push(innermostIsFraction() ? ")/(" : "/");
    } else if (c == "(" && next == "(") {
      const int outer = match[i];
      const int inner = match[i + 4];
      if (outer >= 0 && inner >= 0 && outer == inner + 4) {
        dropped[outer] = 1;  // a doubled pair is written once
      } else {
        push("(");
        open.push_back(Bracket::kParen);
      }
    } else if (c == ")" && dropped[i]) {
    } else if (IsLetter(c) && prev == ")") {
      push("*");
      push(c);
    } else {
      push(c);
      if (c == "(") open.push_back(Bracket::kParen);
      else if (c == ")") pop();
    }
  }

  // Every ")(" becomes ")*(".
  std::string script;
  script.reserve(raw.size() + 8);
  std::size_t from = 0;
  for (std::size_t at = raw.find(")(", from); at != std::string::npos; at = raw.find(")(", from)) {
    script.append(raw, from, at - from);
    script += ")*(";
    from = at + 2;
  }
  script.append(raw, from, std::string::npos);
  return script;
}

void Translation::Run(LineTranslation& result) {
  result.fits = true;
  result.endPos = 4;
  result.incomplete = result.expOpen = result.rootOpen = false;
  result.script.clear();
  int count = 0;
  for (std::size_t k = 1; k < tokens_.size(); ++k) {
    if (tokens_[k].empty()) continue;
    ++count;
    if (count > kMaxTokens) {
      result.fits = false;
      break;
    }
    ct_[4 * count] = tokens_[k];
    buffers_.ctUsed = 4 * count + 1;
  }
  if (!result.fits) {
    result.marked.clear();
    result.usedCells = 0;
    return;
  }
  const int end = 4 * (count + 1);
  levelState_[0][0] = 0;
  levelState_[0][1] = 0;

  for (int p = 4; p <= end; p += 4) MarkToken(p);

  const std::string& lastToken = Out(pos_ - 4);
  bool incomplete = OneOf(lastToken, {"^", ".", ","}) || IsOperator(lastToken) ||
                    (lastToken == "~" && rootOpen_) || depth_ > 0;
  if (!incomplete) incomplete = openBarCount_ >= 1;
  result.incomplete = incomplete;
  result.rootOpen = rootOpen_;
  result.expOpen = expOpen_;
  CloseGroupsAtEnd();

  result.script = WriteScript();
  if (static_cast<int>(result.script.size()) > kFormulaCells) fits_ = false;
  result.fits = fits_;
  out_.resize(kFormulaCells);
  // The caller's old cells, emptied, become the next translation's working cells.
  result.marked.swap(out_);
  EmptyCells(out_, result.usedCells);
  result.usedCells = std::min(outUsed_, kFormulaCells);
  result.endPos = pos_;
}

std::vector<std::string> DisplayTokens(const FormulaTables& t, int line) {
  std::vector<std::string> tokens(1);
  const CellLine& disp = t.FormulaDisp[line];
  const int last = std::min<int>(t.DispLen + 1, kFormulaCells - 1);
  for (int k = 1; k <= last; ++k)
    if (!disp[k].empty()) tokens.push_back(disp[k]);
  return tokens;
}

}  // namespace

std::string JoinDisplayCells(const std::vector<std::string>& marked) {
  const std::size_t end = std::min<std::size_t>(marked.size(), kDisplayJoinCells);
  std::string text;
  text.reserve(2 * kDisplayJoinCells);
  for (std::size_t i = 0; i < end; ++i) text += marked[i];
  return text;
}

std::string DisplayTextOf(const std::vector<std::string>& marked, std::string joined) {
  bool tokensCut = false;
  for (std::size_t i = kDisplayJoinCells; i < marked.size() && !tokensCut; ++i)
    tokensCut = !marked[i].empty();
  return ShownDisplayText(std::move(joined), tokensCut);
}

std::string DisplayTextOf(const std::vector<std::string>& marked) {
  return DisplayTextOf(marked, JoinDisplayCells(marked));
}

void TranslateTokens(const std::vector<std::string>& tokens, int openBarCount,
                     LevelState& levelState, LineTranslation& result,
                     TranslationBuffers& buffers) {
  Translation tr(tokens, openBarCount, levelState, buffers);
  tr.Run(result);
}

LineTranslation TranslateTokens(const std::vector<std::string>& tokens, int openBarCount,
                                LevelState& levelState) {
  LineTranslation result;
  TranslationBuffers buffers;
  TranslateTokens(tokens, openBarCount, levelState, result, buffers);
  return result;
}

bool TranslateToEval(FormulaTables& t, EngineObserver& observer) {
  const int line = t.CurrentFunction;
  if (line < 0 || line >= kFormulaLines) return true;
  const LineTranslation tr =
      TranslateTokens(DisplayTokens(t, line), t.Edit[line].OpenBarCount, t.ConvLevelState);
  KeepTranslation(t, tr, observer);
  return true;
}

void KeepTranslation(FormulaTables& t, const LineTranslation& tr, EngineObserver& observer) {
  KeepTranslation(t, tr, observer, JoinDisplayCells(tr.marked), true);
}

void KeepTranslation(FormulaTables& t, const LineTranslation& tr, EngineObserver& observer,
                     const std::string& joinedDisplay, bool storeMarked) {
  const int line = t.CurrentFunction;
  if (line < 0 || line >= kFormulaLines) return;
  t.FracOpen[line] = t.RootOpen[line] = t.ExpOpen[line] = false;
  // A line too long for the tables (only reachable by bypassing the key handler) is kept
  // as far as it fits and marked incomplete, so it is never evaluated.
  t.FormulaIncomplete[line] = tr.incomplete || !tr.fits;
  observer.SetGraphCommandsEnabled(CanGraph(t));
  t.Edit[line].RootTyped = tr.rootOpen;
  t.Edit[line].ExpTyped = tr.expOpen;

  if (storeMarked) {
    CellLine& disp = t.FormulaDisp[line];
    const std::size_t n = std::min(tr.marked.size(), disp.size());
    for (std::size_t i = 0; i < n; ++i)
      if (disp[i] != tr.marked[i]) disp[i] = tr.marked[i];
    for (std::size_t i = n; i < disp.size(); ++i)
      if (!disp[i].empty()) disp[i].clear();
  }
  str2char_expr(t, tr.script, line);

  // The two mirrors are what char2str_disp and char2str_expr would read back from the cells
  // just written: the marked cells 0..1000 joined, and the script as far as its cells hold it.
  const std::size_t exprChars = std::min<std::size_t>(tr.script.size(), kFormulaCells);
  observer.SetHiddenMirrors(joinedDisplay, tr.script.substr(0, exprChars));
  t.DispLen = static_cast<std::int16_t>(tr.endPos);
}

std::string FormatFormula(FormulaTables& t, EngineObserver& observer) {
  for (int i = 0; i < 21; ++i)
    if (TranslateToEval(t, observer)) break;
  const int line = t.CurrentFunction;
  if (line < 0 || line >= kFormulaLines) return std::string();
  return DisplayTextOf(t.FormulaDisp[line]);
}

bool CanGraph(const FormulaTables& t) {
  for (int i = 0; i < kCompletenessLines; ++i)
    if (t.FormulaIncomplete[i]) return false;
  if (t.LastFunction < 0) return false;
  const int last = std::min<int>(t.LastFunction, kFormulaLines - 1);
  for (int i = 0; i <= last; ++i)
    if (t.FormulaLen[i] > 0) return true;
  return false;
}

}  // namespace linoveta
