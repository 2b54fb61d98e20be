#pragma once

#include <memory>
#include <string>
#include <vector>

namespace pelorin::mrk {

/// Where a logical file's data goes: read by the model, or written by it.
enum class FileKind { Input, Output };
/// How a logical file stores its arrays.
enum class FileFormat { Har, Text };

/// A logical file of the model; the command file gives each one its actual path.
struct LogicalFile {
  std::string name;
  std::string description;
  FileKind kind = FileKind::Input;
  FileFormat format = FileFormat::Har;
  bool updated = false; ///< an input file the simulation writes again with post-simulation values
  int line = 0;
};

/// A set: listed elements, or elements read from a header of an input file (then unknown until run time).
struct SetDecl {
  std::string name;
  std::string label;
  std::vector<std::string> elements; ///< listed elements (empty for a set read from data)
  bool fromData = false;
  int file = -1;      ///< logical file the elements come from
  std::string header; ///< header holding the element names
  int line = 0;
};

/// The declaration that every element of set `small` is an element of set `big`.
struct SubsetDecl {
  int small = -1;
  int big = -1;
  int line = 0;
};

/// One argument of a coefficient or variable reference: an index (a slot of the formula) or a fixed element.
struct Arg {
  int slot = -1;       ///< index slot, or -1 for a fixed element
  std::string element; ///< element name when slot is -1
  int argSet = -1;     ///< the declared set of this argument position
};

/// Operations of an expression tree.
enum class Op { Const, Coef, Var, Neg, Add, Sub, Mul, Div, Pow, Exp, Ln, Sqrt, Sum, Prod };

/// One node of a checked expression. Sum and Prod bind `slot` to the elements of `set` while evaluating `a`.
struct Expr {
  Op op = Op::Const;
  double value = 0.0;    ///< Const
  int ref = -1;          ///< Coef: coefficient number; Var: variable number
  std::vector<Arg> args; ///< Coef, Var
  int slot = -1;         ///< Sum, Prod
  int set = -1;          ///< Sum, Prod
  std::unique_ptr<Expr> a, b;
  int line = 0;
  int col = 0;
};

/// An expression with its index slots: the first `domain.size()` slots range over the domain's sets, the
/// others are bound by sums and products inside the expression.
struct Formula {
  std::vector<int> domain;            ///< sets of the quantified indexes, in order
  std::vector<int> slotSets;          ///< set of every slot (domain first)
  std::vector<std::string> slotNames; ///< the index name of every slot, as written
  std::unique_ptr<Expr> expr;
};

/// How a coefficient's values or a variable's initial levels are obtained.
enum class Source { Read, Formula };

/// A coefficient: constant data of the model, read from a file or computed by a formula.
struct Coefficient {
  std::string name;
  std::string description;
  std::vector<int> sets;
  Source source = Source::Read;
  int file = -1;
  std::string header;
  Formula formula; ///< domain equals `sets`
  int order = 0;   ///< position among the coefficient and variable declarations
  int line = 0;
};

/// A levels variable with its change type and initial levels.
struct Variable {
  std::string name;
  std::string description;
  bool percent = true; ///< percentage-change variable (positive levels); else ordinary change
  std::vector<int> sets;
  Source source = Source::Read;
  int file = -1;
  std::string header;
  Formula formula;
  int order = 0; ///< position among the coefficient and variable declarations
  int line = 0;
};

/// An equation family: one equation per element combination of its domain, lhs = rhs.
struct Equation {
  std::string name;
  std::string description;
  Formula lhs; ///< carries the domain and all slots
  std::unique_ptr<Expr> rhs;
  int line = 0;
};

/// A header of an updated input file that takes post-simulation values.
struct Update {
  int file = -1;
  std::string header;
  Formula value;
  int line = 0;
};

/// A coefficient or variable (initial levels) written to an output file, or shown in the display file.
struct Output {
  bool isVariable = false;
  int ref = -1;
  int file = -1; ///< -1 for a display
  std::string header;
  int line = 0;
};

/// A checked model, ready to be stored and loaded by the engine.
struct Model {
  std::string name;
  std::string description;
  std::vector<std::string> descriptionLines;
  std::vector<LogicalFile> files;
  std::vector<SetDecl> sets;
  std::vector<SubsetDecl> subsets;
  std::vector<Coefficient> coefficients;
  std::vector<Variable> variables;
  std::vector<Equation> equations;
  std::vector<Update> updates;
  std::vector<Output> writes;
  std::vector<Output> displays;

  /// Number of a set, file, coefficient or variable by name ignoring case, -1 when there is none.
  int FindSet(const std::string& wanted) const;
  int FindFile(const std::string& wanted) const;
  int FindCoefficient(const std::string& wanted) const;
  int FindVariable(const std::string& wanted) const;
  /// True when set `small` is `big` or declared (directly or through a chain) a subset of it.
  bool IsSubsetOf(int small, int big) const;
};

/// True for the logical file of data typed at the terminal (declared `file terminal ... input text`): its
/// data are the stored input's lines after the command file, and its logical name is "(terminal)".
bool IsTerminalFile(const LogicalFile& file);

/// Longest names the model information and Header Array files can hold.
inline constexpr std::size_t kMaxSetName = 12;
inline constexpr std::size_t kMaxVariableName = 15;
inline constexpr std::size_t kMaxFileName = 20;
inline constexpr std::size_t kMaxElementName = 12;
inline constexpr std::size_t kMaxHeaderName = 4;
inline constexpr std::size_t kMaxArguments = 7;

} // namespace pelorin::mrk
