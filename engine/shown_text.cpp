#include "engine/shown_text.h"

#include <cstddef>
#include <vector>

#include "engine/formula_tables.h"

namespace linoveta {

namespace {

// Reads mark-up as the typesetter does: a group runs from its mark to the next occurrence
// of the same mark in the text of the level that opened it.
class GroupReader {
 public:
  explicit GroupReader(bool limits) : limits_(limits) {}

  bool Line(std::string_view text) const {
    std::string spelled;
    spelled.reserve(text.size() * 3);
    for (char c : text) {
      if (c == 'S') spelled += "sin";
      else if (c == 'C') spelled += "cos";
      else if (c == 'T') spelled += "tan";
      else spelled += c;
    }
    return Groups(spelled, kTypesetLineChars, "#^~");
  }

 private:
  bool TooLong(std::string_view s, int limit) const {
    return limits_ && s.size() > static_cast<std::size_t>(limit);
  }

  // A text of at most `limit` characters whose groups, of the given marks, can all be shown.
  bool Groups(std::string_view s, int limit, std::string_view marks) const {
    if (TooLong(s, limit)) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
      const char c = s[i];
      if (c != '#' && c != '^' && c != '~') continue;  // the only marks; skips the search
      if (marks.find(c) == std::string_view::npos) continue;
      const std::size_t close = s.find(c, i + 1);
      if (close == std::string_view::npos) return false;
      if (!Group(c, s.substr(i + 1, close - i - 1))) return false;
      i = close;
    }
    return true;
  }

  // Inside an exponent only a root is a group; inside a root, fractions and exponents.
  bool Group(char mark, std::string_view inner) const {
    if (mark == '#') return Fraction(inner);
    if (mark == '^') return Groups(inner, kTypesetGroupChars, "~");
    return Groups(inner, kTypesetGroupChars, "#^");
  }

  // Split at the last "/" outside parentheses, bars and roots; without one nothing is drawn.
  bool Fraction(std::string_view s) const {
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
    return Groups(numerator, kTypesetFractionPartChars, "^~") &&
           Groups(denominator, kTypesetFractionPartChars, "^~");
  }

  bool limits_;
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

std::string ShownDisplayText(std::string text, bool tokensCut) {
  const bool charactersCut = text.size() > static_cast<std::size_t>(kDisplayJoinCells);
  if (charactersCut) text.resize(kDisplayJoinCells);
  const GroupReader structure(false);
  if ((!charactersCut && !tokensCut) || structure.Line(text)) return text;
  for (;;) {
    std::string closed = text + OpenGroupClosers(text);
    if (closed.size() <= static_cast<std::size_t>(kDisplayJoinCells) && structure.Line(closed))
      return closed;
    text.pop_back();
  }
}

}  // namespace linoveta
