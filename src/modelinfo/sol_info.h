#pragma once

#include "modelinfo/name_index.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

/// Most sets a model information record holds.
inline constexpr int kMaxSets = 1000;
/// Most logical files a model information record holds.
inline constexpr int kMaxFiles = 150;
/// Most description lines a record holds.
inline constexpr int kMaxDescLines = 500;
/// Most argument sets of one variable.
inline constexpr int kMaxVarArgs = 7;
/// Variable counts from this value on are refused.
inline constexpr int kVarCountLimit = 19173962;
/// Exogenous flags are kept only for variables smaller than this.
inline constexpr int kExoFlagsSizeLimit = 1073741822;

/// One set of the model.
struct TSetRec {
  /// Number of elements; negative when the size is not known until the model runs.
  int size = 0;
  /// Set name (at most 12 characters), blanks trimmed.
  std::string name;
  /// Description; the set name when the file gives none.
  std::string label;
  /// The file listed the element names.
  bool ElementsKnown = false;
  /// The listed element names, in order (empty unless ElementsKnown). Names of a set whose elements are not
  /// listed are made on demand by Element(), so a huge declared size costs no memory.
  std::vector<std::string> elements;

  /// Element i (1-based, 1..size): the listed name, or the first 9 characters of the set name followed by i
  /// (REG1, REG2, ... for set REG). Empty for an index outside 1..size.
  std::string Element(int i) const;
  /// Every element name 1..size (listed or made); empty for a set of unknown size.
  std::vector<std::string> ElementNames() const;
};

/// One variable of the model.
struct TVarRec {
  /// Number of components; -1 when any argument set has a negative size.
  int size = 0;
  /// Variable name (at most 15 characters), trimmed.
  std::string name;
  /// The trimmed rest of the variable line.
  std::string description;
  /// Number of exogenous components.
  int NExog = 0;
  /// Number of arguments, 0..7.
  int numArgs = 0;
  /// Argument set names joined with "*" (COM*REG); empty for a scalar.
  std::string ArgsText;
  /// The name in upper case.
  std::string UpperName;
  /// Set number (1-based) of each argument; 0 beyond numArgs.
  std::array<int, kMaxVarArgs> ArgSets{};
  /// Closure status: X, N, B, ?, s, o or x.
  char ExoStat = ' ';
  /// b or c, from #VCSTAT (blank until read).
  char VcStat = ' ';
  /// p (percentage change) or c (ordinary change), from #VCTP (blank until read).
  char VcTp = ' ';
  /// 1 where component i (1..size) is exogenous; index 0 stands for no component. Empty when not requested or
  /// when the variable does not qualify (unknown size, status "?", more than 3 arguments, too large).
  std::vector<std::uint8_t> ExoFlags;
};

/// One logical file of the model, from the file section.
struct TFileRec {
  /// Logical name (at most 20 characters), trimmed; pseudo-files are in parentheses, e.g. "(terminal)".
  std::string logicalName;
  /// Columns 23-25, lower-cased and trimmed: "in" or "out".
  std::string direction;
  /// Column 30 was "y" or "Y": the model updates the file (for "(display)": a display file is made).
  bool updated = false;
  /// Columns 33-35, lower-cased and trimmed: "har" or "txt".
  std::string fileType;
  /// Column 38 to the end of the line: the file name fixed inside the model, usually blank.
  std::string rest;
  /// The description line that follows a file whose logical name does not start with "(".
  std::string description;

  bool operator==(const TFileRec&) const = default;
};

/// Free-text description lines (at most 500).
struct TDesclines {
  std::vector<std::string> lines;

  /// Number of lines held.
  int Count() const { return static_cast<int>(lines.size()); }
  /// Adds a line; a full record is left alone, and the line that would be the 500th becomes "Description
  /// truncated due to lack of space".
  void Add(std::string line);
};

/// The subset relation: Get(i, j) is true when set i is a subset of set j (1-based). One bit per entry.
class SubsetMatrix {
public:
  /// A dim x dim matrix of false.
  explicit SubsetMatrix(int dim = 0);
  int Dim() const { return dim_; }
  /// Entry (i, j), 1-based; false outside 1..Dim().
  bool Get(int i, int j) const;
  /// Sets entry (i, j), 1-based; ignored outside 1..Dim().
  void Set(int i, int j, bool value = true);

  /// Adds every entry (i, k) reachable through a chain of entries, leaving the diagonal as it was: a set is
  /// never made its own subset. One pass over bit rows (cubic / 64 word operations).
  void CloseTransitively();

private:
  int dim_ = 0;
  int wordsPerRow_ = 0;
  std::vector<std::uint64_t> bits_;
};

/// The sections ("data items") of a model information file, numbered as the file format numbers them.
enum class DataItem : int {
  Files = 0,
  MrkFile = 1,
  TmDate = 2,
  StiFile = 3,
  Sets = 4,
  Variables = 5,
  VcStat = 6,
  VcTp = 7,
  Subsets = 8,
  Coefficients = 9,
  Equations = 10,
  Reads = 11,
  ReadExtra = 12,
  NcVariables = 13,
  Statements = 14,
  Avail = 15,
  LevN = 16,
  NSol = 17,
  VbDsc = 18,
  KvVer = 19,
  PrVer = 20,
  FinalLevel = 21,
};
inline constexpr int kNumDataItems = 22;

/// The heading line of a data item, e.g. "#SETS".
const char* DataItemHeading(DataItem item);

/// A set of data items to read.
class DataItemSet {
public:
  DataItemSet() = default;
  DataItemSet(std::initializer_list<DataItem> items) {
    for (DataItem item : items) {
      bits_.set(static_cast<std::size_t>(item));
    }
  }
  bool Has(DataItem item) const { return bits_.test(static_cast<std::size_t>(item)); }
  DataItemSet& Add(DataItem item) {
    bits_.set(static_cast<std::size_t>(item));
    return *this;
  }

private:
  std::bitset<kNumDataItems> bits_;
};

/// The request every read in the application uses: #SETS, #VARIABLES, #VCSTAT, #VCTP and #VBDSC.
DataItemSet StandardRequest();

/// Options of a read.
struct SolInfoOptions {
  /// Variable names are entered in the name index in lower case.
  bool foldCase = false;
  /// Fill the variables' ExoFlags.
  bool exoFlags = false;
  /// Most bytes the exogenous flags of one read may take; 0 means the machine's available memory.
  std::uint64_t memoryLimit = 0;
};

/// The model information record: sets, subset relation, variables, logical files, description lines and
/// version fields of one model, closure or solution information file. Indexes in the file are 1-based; the
/// vectors hold element i at [i - 1] (use Set(i) and Var(i)).
struct SolInfoRec {
  /// Number of sets read from #SETS.
  int NumSets = 0;
  /// Sets 1..NumSets.
  std::vector<TSetRec> SetData;
  /// #SETS has been met (the set list exists, possibly empty).
  bool SetDataPresent = false;
  /// Subset relation, NumSets x NumSets; absent until #SUBSETS has been read.
  std::optional<SubsetMatrix> IsSubSet;
  /// Number of variables read.
  int NVar = 0;
  /// Variables 1..NVar.
  std::vector<TVarRec> SVarData;
  /// Number of logical files read from the file section.
  int NFiles = 0;
  /// Logical files 1..NFiles.
  std::vector<TFileRec> FileData;
  /// Variable name -> variable number.
  NameIndex VarIndex;
  /// Description lines from #VBDSC.
  TDesclines DescLines;
  /// One flag per data item, set when the item was read.
  std::array<bool, kNumDataItems> ItemRead{};
  int KvVer = 0;
  int PrVer = 0;
  std::string TmDate;
  std::string StiFile;
  std::string MrkFile;

  /// Set i (1-based).
  const TSetRec& Set(int i) const { return SetData[static_cast<std::size_t>(i - 1)]; }
  TSetRec& Set(int i) { return SetData[static_cast<std::size_t>(i - 1)]; }
  /// Variable i (1-based).
  const TVarRec& Var(int i) const { return SVarData[static_cast<std::size_t>(i - 1)]; }
  TVarRec& Var(int i) { return SVarData[static_cast<std::size_t>(i - 1)]; }
  /// True when the item has been read.
  bool Read(DataItem item) const { return ItemRead[static_cast<std::size_t>(item)]; }
};

} // namespace pelorin
