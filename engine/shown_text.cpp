#include "engine/shown_text.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "engine/formula_tables.h"

namespace linoveta {

namespace {

// Splits a fraction's text at the last "/" outside parentheses, bars and roots, as the
// typesetter does; without one, both parts are empty and nothing is drawn.
std::pair<std::string_view, std::string_view> FractionParts(std::string_view s) {
  int parens = 0, bars = 0, roots = 0;
  std::string_view numerator, denominator;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '(') ++parens;
    else if (c == ')') --parens;
    else if (c == '|') bars = bars > 0 ? bars - 1 : bars + 1;
    else if (c == '~') roots = roots > 0 ? roots - 1 : roots + 1;
    else if (c == '/' && parens == 0 && bars == 0 && roots == 0) {
      numerator = s.substr(0, i);
      denominator = s.substr(i + 1);
    }
  }
  return {numerator, denominator};
}

// The ")" and "|" that finishing a text still puts into it: one for each "(" it leaves open,
// and one for a bar it leaves open.
std::size_t Closers(std::string_view s) {
  std::ptrdiff_t opens = 0, bars = 0;
  for (const char c : s) {  // one pass: this runs for every key on the whole line
    opens += (c == '(') - (c == ')');
    bars += c == '|';
  }
  return static_cast<std::size_t>(std::max<std::ptrdiff_t>(opens, 0) + bars % 2);
}

// Whether the line's last key waits for an operand: it is an operator, "(" or an opening bar,
// it began a root or a denominator, or it is a "." that a ")" or "|" may not follow while the
// line still needs one. The operand goes into every group open at the end.
bool WaitsForOperand(std::string_view line) {
  std::string_view s = line;
  std::string_view marks = "#^~";
  for (bool inner = true; inner;) {
    inner = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      if (c != '#' && c != '^' && c != '~') continue;  // the only marks; skips the search
      if (marks.find(c) == std::string_view::npos) continue;
      const std::size_t close = s.find(c, i + 1);
      if (close == std::string_view::npos) return false;  // cannot be shown anyway
      if (close + 1 == s.size()) {  // the group open at the end: look inside
        s = s.substr(i + 1, close - i - 1);
        if (c == '#') s = FractionParts(s).second;
        marks = c == '#' ? "^~" : c == '^' ? "~" : "#^";
        inner = true;
        break;
      }
      i = close;
    }
  }
  while (!s.empty() && (s.back() == '[' || s.back() == ']')) s.remove_suffix(1);
  if (s.empty()) return true;
  switch (s.back()) {
    case '+': case '-': case '*': case '/': case '(': return true;
    case '|': return std::count(line.begin(), line.end(), '|') % 2 == 1;
    case '.': return Closers(line) > 0;
    default: return false;
  }
}

// Reads mark-up as the typesetter does: a group runs from its mark to the next occurrence
// of the same mark in the text of the level that opened it. With `finish`, each text open at
// the line's end must also keep room for what finishing the line puts into it.
class GroupReader {
 public:
  explicit GroupReader(bool limits, bool finish = false,
                       int fractionPartChars = kTypesetFractionPartChars)
      : limits_(limits), finish_(finish), fractionPartChars_(fractionPartChars) {}

  bool Line(std::string_view text) {
    std::string spelled;
    spelled.reserve(text.size() * 3);
    for (char c : text) {
      if (c == 'S') spelled += "sin";
      else if (c == 'C') spelled += "cos";
      else if (c == 'T') spelled += "tan";
      else spelled += c;
    }
    operand_ = finish_ && WaitsForOperand(spelled) ? 1 : 0;
    return Groups(spelled, kTypesetLineChars, "#^~", finish_);
  }

 private:
  bool TooLong(std::string_view s, int limit, bool atEnd) const {
    const std::size_t room = atEnd ? Closers(s) + operand_ : 0;
    return limits_ && s.size() + room > static_cast<std::size_t>(limit);
  }

  // A text of at most `limit` characters whose groups, of the given marks, can all be shown.
  bool Groups(std::string_view s, int limit, std::string_view marks, bool atEnd) const {
    if (TooLong(s, limit, atEnd)) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      if (c != '#' && c != '^' && c != '~') continue;  // the only marks; skips the search
      if (marks.find(c) == std::string_view::npos) continue;
      const std::size_t close = s.find(c, i + 1);
      if (close == std::string_view::npos) return false;
      if (!Group(c, s.substr(i + 1, close - i - 1), atEnd && close + 1 == s.size())) return false;
      i = close;
    }
    return true;
  }

  // Inside an exponent only a root is a group; inside a root, fractions and exponents.
  bool Group(char mark, std::string_view inner, bool atEnd) const {
    if (mark == '#') {
      const auto [numerator, denominator] = FractionParts(inner);
      return Groups(numerator, fractionPartChars_, "^~", false) &&
             Groups(denominator, fractionPartChars_, "^~", atEnd);
    }
    if (mark == '^') return Groups(inner, kTypesetGroupChars, "~", atEnd);
    return Groups(inner, kTypesetGroupChars, "#^", atEnd);
  }

  bool limits_;
  bool finish_;
  int fractionPartChars_;
  std::size_t operand_ = 0;
};

// The marks that close what is open at the end of a cut text, innermost first, for text
// whose groups nest properly.
std::string OpenGroupClosers(std::string_view text) {
  std::vector<char> open;
  for (char c : text) {
    if (c != '#' && c != '^' && c != '~') continue;
    const char inside = open.empty() ? '\0' : open.back();
    if (c == inside) open.pop_back();
    else if (inside == '^' && c == '#') continue;  // printed as it stands in an exponent
    else open.push_back(c);
  }
  return std::string(open.rbegin(), open.rend());
}

}  // namespace

bool TypesetterCanShow(std::string_view text) { return GroupReader(true).Line(text); }

bool TypesetterCanShowOnScreen(std::string_view text) {
  return GroupReader(true, false, kTypesetGroupChars).Line(text);
}

bool TypesetterCanShowFinished(std::string_view text) {
  return GroupReader(true, true, kTypesetGroupChars).Line(text);
}

std::string ShownDisplayText(std::string text, bool tokensCut) {
  const bool charactersCut = text.size() > static_cast<std::size_t>(kDisplayJoinCells);
  if (charactersCut) text.resize(kDisplayJoinCells);
  GroupReader structure(false);
  if ((!charactersCut && !tokensCut) || structure.Line(text)) return text;
  for (;;) {
    std::string closed = text + OpenGroupClosers(text);
    if (closed.size() <= static_cast<std::size_t>(kDisplayJoinCells) && structure.Line(closed))
      return closed;
    text.pop_back();
  }
}

}  // namespace linoveta
