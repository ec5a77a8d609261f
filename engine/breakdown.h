// The term breakdown: files one side of an equation, held in Tokens, as nested groups of
// signed rational monomial terms. Nothing calls it in normal use except ClearBreakdownTables.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/formula_tables.h"

namespace linoveta {

// The breakdown traps nothing: an index beyond a table bound, a division by a zero denominator
// or a text that is not a number stops it with this error; the tables keep what was written.
class BreakdownError : public std::runtime_error {
 public:
  enum class Kind { OutOfRange, Arithmetic, TypeMismatch };
  BreakdownError(Kind kind, const char* what) : std::runtime_error(what), kind(kind) {}
  Kind kind;
};

inline constexpr int kBrkFactorCells = 11;  // 0..10

// Every field starts at its zero value (numbers 0, texts empty) until the first clear.
struct BrkTermRec {
  float Num = 0;
  float Den = 0;
  double Quotient = 0;
  std::array<std::string, kBrkFactorCells> FactorName;
  bool DenFlag = false;
  bool HasDivision = false;
  std::array<float, kBrkFactorCells> FactorExp{};
  std::int16_t FactorCount = 0;
  std::string VarText;
  std::string DispText;
  std::string AltText;
  std::string FractionText;
  std::string Op;
};

struct BrkGroupRec {
  float Multiplier = 0;
  std::int16_t MultStart = 0;
  std::int16_t StartToken = 0;
  std::int16_t EndToken = 0;
  std::int16_t ExpToken = 0;
  std::array<std::string, kBrkFactorCells> MultFactor;
  float PendingExp = 0;
  float GroupExp = 0;
  std::int16_t NextGroup = 0;
  bool IsAbs = false;
  bool DividedByNext = false;
  bool IsDividend = false;
  double SavedNum = 0;
  double SavedDen = 0;
  std::string SavedDispText;
  std::string SavedAltText;
  std::string GroupText;
};

struct BrkLevelRec {
  std::vector<BrkGroupRec> Groups = std::vector<BrkGroupRec>(101);  // 0..100
  std::int16_t GroupCount = 0;
};

// The breakdown's tables and cursors. BrkTerms (2 x 21 x 51 x 101 records) is kept sparse:
// a record that was never written reads as its zero values.
class BreakdownTables {
 public:
  BreakdownTables();

  BrkTermRec& Term(int side, int depth, int group, int term);
  std::int16_t& TermCount(int depth, int group);      // (0..50, 0..50)
  BrkLevelRec& Level(int depth);                      // 0..20
  BrkGroupRec& Group(int depth, int group);           // Level(depth).Groups(group)
  bool& GroupHasProduct(int depth, int group);        // (0..100, 0..100)

  std::int16_t BrkDepth = 0;
  std::int16_t BrkGroup = 0;
  std::int16_t BrkMaxDepth = 0;
  std::int16_t BrkFirstToken = 0;
  std::int16_t BrkLastToken = 0;

 private:
  std::unordered_map<std::uint32_t, BrkTermRec> terms_;
  std::vector<std::int16_t> termCount_;
  std::vector<BrkLevelRec> levels_;
  std::vector<std::array<bool, 101>> hasProduct_;
};

// The main window's public operations: MakeGraphable does nothing; char2str_graph breaks down
// side 0 and returns the terms of the outermost group as text ("+3/1x^+2").
void MakeGraphable();
std::string char2str_graph(FormulaTables& t, BreakdownTables& b);

void BreakdownFunction(FormulaTables& t, BreakdownTables& b);
void BreakIntoTokens(FormulaTables& t);
void NormalizeSigns(FormulaTables& t);
void TrimTokenCount(FormulaTables& t);
int FindRelation(const FormulaTables& t);
void BreakdownEquationSide(FormulaTables& t, BreakdownTables& b);
void ClearBreakdownTables(const FormulaTables& t, BreakdownTables& b, bool Extended);
std::string ExpandENotation(std::string_view S);
std::string FractionToDecimalStr(std::string_view S, bool RoundIt = false);

// The standard text of a Single: up to 7 significant digits, "." as decimal point.
std::string SingleText(float v);

}  // namespace linoveta
