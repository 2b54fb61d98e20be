#pragma once

// The results model: the open solutions of the last simulation and the variable plan that merges their
// variables into one alphabetical list. Everything the Results page shows is read from here.
//
//   ResultsModel model(ui);
//   model.InitPlan(err);                                               // once, when the page is built
//   model.PVLoadSol("work/sim.sol", " ", "work/sim.sli", true, true, err); // after each successful solve
//   for (int i = 1; i <= model.PlanCount(); ++i) { const PVRec& pv = model.PV(model.VarOrder(i)); ... }

#include "datafiles/har_data.h"
#include "modelinfo/name_index.h"
#include "modelinfo/sol_info.h"
#include "platform/error_text.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

class UserInterface;

/// Most solutions open at once.
inline constexpr int kMaxSolutions = 1000;
/// Most distinct variable names the plan holds over the life of the program.
inline constexpr int kMaxPlanVars = 2000;
/// Most dimensions a variable may have to be kept in the plan.
inline constexpr int kMaxPlanDims = 3;
/// Longest solution label made from a file name or subtotal description.
inline constexpr std::size_t kSolLabelPart = 30;

/// One variable's result in an open solution: the header of the solution file and what the solution
/// summary says about the variable.
struct ResultHeader {
  THeadRecz* head = nullptr; ///< owned by the solution's HarData; null for an emptied slot
  std::string varName;       ///< the variable's name (up to 15 characters)
  /// Number of dimensions as the results treat it: 0 for a scalar (one value over no set).
  int nDim = 0;
  bool merged = false;   ///< the solution summary knew the variable
  char changeType = ' '; ///< 'c' ordinary change, 'p' percentage change (blank when not merged)
  int numArgs = 0;
  std::array<int, kMaxVarArgs> argSets{};             ///< set numbers in the solution's set list
  std::array<std::string, kMaxVarArgs> argSetNames{}; ///< their names
  std::vector<std::uint8_t> exoMarks;                 ///< per value, non-zero for an exogenous element

  /// Number of values.
  std::int64_t NumValues() const { return head ? head->numValues : 0; }
  /// Size of dimension d (1-based).
  std::int64_t Size(int d) const { return head && d >= 1 && d <= 7 ? head->sizes[d - 1] : 1; }
  /// The values, dimension 1 fastest.
  std::span<const float> Values() const;
  /// The exogeneity mark of value `offset` (0-based); 0 when there are no marks.
  std::uint8_t Mark(std::int64_t offset) const {
    return offset >= 0 && offset < static_cast<std::int64_t>(exoMarks.size()) ? exoMarks[offset] : 0;
  }
  /// The set name of dimension d (1-based): the summary's name, else the file's label; empty when none.
  std::string SetName(int d) const;
  /// The set name of dimension d, or its size when it has none.
  std::string SetOrSize(int d) const;
  /// The set number (in the solution's set list) of dimension d, 0 when unknown.
  int SetNumber(int d) const { return d >= 1 && d <= numArgs && d <= kMaxVarArgs ? argSets[d - 1] : 0; }
  /// Element names of dimension d (1-based list), or null when the dimension has none.
  const PStrVec* Elements(int d) const;
  /// The label of element i (1-based) of dimension d: its name, or its number when there are no names.
  std::string ElementLabel(int d, std::int64_t i) const;
  /// The dimension text with set names (COM*REG; a dimension without set name shows its size; "1" for a
  /// scalar) or with sizes only (23*10).
  std::string DimText(bool withSets) const;
  /// The long name trimmed, and when it holds "#" only the text after the first "#" without a final "#".
  std::string CleanLongName() const;
};

/// The cleaned long name rule on its own.
std::string CleanLongName(std::string_view longName);

/// One set of an open solution, moved out of the solution summary.
struct SolSet {
  std::string name;
  std::vector<std::string> elements; ///< 0-based; empty for a set freed because no variable used it
  bool present = false;              ///< false once freed
  bool hasElements = false;          ///< the set's element names are known
};

/// One open solution.
struct OpenSolution {
  std::unique_ptr<HarData> data;
  std::vector<ResultHeader> vars;    ///< parallel to data->heads
  std::vector<SolSet> sets;          ///< the set list, numbered from 1 (index 0 unused)
  std::vector<std::string> ElmNames; ///< distinct element names of all sets, sorted ignoring case
  std::string SolLabel;
  std::string displayName;
  TDesclines SolDesc;
  /// For each set (by number) the 1-based position of the filter element in it, 0 when absent.
  std::vector<int> FilterPos;

  int NumSets() const { return sets.empty() ? 0 : static_cast<int>(sets.size()) - 1; }
};

/// One variable of the plan.
struct PVRec {
  std::string name;
  int VarPos = 0;
  /// For each open solution s (index s), the 1-based header slot of the variable there, 0 when absent.
  std::vector<int> slots;
  int SolCount = 0;
  bool ScalarSomewhere = false;
};

/// The open solutions and the variable plan.
class ResultsModel {
public:
  explicit ResultsModel(UserInterface& ui);
  ~ResultsModel();
  ResultsModel(const ResultsModel&) = delete;
  ResultsModel& operator=(const ResultsModel&) = delete;

  // Loading.

  /// Closes every open solution and loads those of one simulation: the cumulative solution from `solFile`,
  /// the levels solutions when `showLevels`, the subtotal solutions when `showSubtotals`; sorts the plan and
  /// switches the element filter off. With more than one solution, solution 1 is labelled "(Sim)" and made
  /// current. Failures end with " [PVLoadSol]"; solutions registered before a failure stay open.
  bool PVLoadSol(const std::string& solFile, const std::string& displayName, const std::string& sliFile,
                 bool showSubtotals, bool showLevels, ErrorText& errorText);
  /// Reads and registers every solution of one simulation (see PVLoadSol).
  bool GatherSolutionInformation(const std::string& displayName, const std::string& solFile,
                                 const std::string& sliFile, bool showLevels, bool showSubtotals,
                                 ErrorText& errorText);
  /// Appends an open solution and makes it current. Fails with "Too many solutions: Max is 1000."; suffix
  /// "[IncSol]".
  bool IncSol(std::unique_ptr<HarData> data, const std::string& displayName, const std::string& label,
              ErrorText& errorText);
  /// Closes solution i; the later ones move down and every plan record follows. Suffix "[ClearSol]".
  bool ClearSol(int i, ErrorText& errorText);
  /// Enriches solution s's headers from the summary record (change type, argument sets, exogenous marks),
  /// takes the record's exogenous flags and used sets, frees unused sets and builds the element list.
  bool MergeSolinfoToHar(SolInfoRec& info, int s, ErrorText& errorText);
  /// Drops solution s's headers of more than 3 dimensions and adds the others to the plan. Suffix
  /// "[MergeSoltoFmt]".
  bool MergeSoltoFmt(int s, ErrorText& errorText);
  /// Registers header slot `slot` (1-based) of solution s in the plan. Fails with "Header should be nil for
  /// " + name + ", sol " + s, or "Too many variables: Max is 2000." when a 2001st name would be added;
  /// suffix "[AddVarToPlan]".
  bool AddVarToPlan(int s, int slot, ErrorText& errorText);

  // The plan.

  /// Empties the plan (freeing it first when it is not empty).
  bool InitPlan(ErrorText& errorText);
  /// Frees every plan record and the name index.
  bool Freeplan(ErrorText& errorText);
  /// Gives every record its alphabetical position (case ignored) and rebuilds the order.
  bool alfasortvars(ErrorText& errorText);
  /// Rebuilds the order from the positions. Fails with "Duplicate VarPos entries [SetVarOrder]" or "Unused
  /// VarOrder entries [SetVarOrder]".
  bool SetVarOrder(ErrorText& errorText);
  /// Fills the filter positions of every open solution for element name `element` (case ignored).
  void SetFilterPositions(const std::string& element);

  // Reading the model.

  int Nsol() const { return static_cast<int>(solutions_.size()); }
  /// Open solution s (1-based).
  const OpenSolution& Sol(int s) const { return *solutions_[static_cast<std::size_t>(s - 1)]; }
  OpenSolution& Sol(int s) { return *solutions_[static_cast<std::size_t>(s - 1)]; }
  int CurSol() const { return curSol_; }
  /// Makes solution s current (ignored outside 1..Nsol).
  void SetCurSol(int s) {
    if (s >= 1 && s <= Nsol()) {
      curSol_ = s;
    }
  }
  /// Number of plan records.
  int PlanCount() const { return static_cast<int>(plan_.size()); }
  /// Plan record i (1-based).
  const PVRec& PV(int i) const { return plan_[static_cast<std::size_t>(i - 1)]; }
  /// The plan record at alphabetical position i (1-based), as last ordered.
  int VarOrder(int i) const { return varOrder_[static_cast<std::size_t>(i)]; }
  /// The plan record of a variable name (case ignored), 0 when unknown.
  int FindPV(std::string_view name) const;
  /// The result of plan record pv in solution s, or null when the solution does not hold the variable.
  const ResultHeader* Header(int pv, int s) const;
  /// True when the result of plan record pv in solution s holds the filter element in dimension k (1-based);
  /// `position` is then its 1-based position along that dimension.
  bool ContainsFilterElement(int pv, int s, int k, int& position) const;

  // Filter and format state (set by the Results page).

  bool ElmFiltered = false;
  std::string FilterElement;
  int ContentsFormat = 0; ///< 0, or 2 to group vectors by size and set

private:
  bool LoadOne(const std::string& file, const SolInfoRec& info, const std::string& displayName,
               const std::string& label, TDesclines desc, ErrorText& errorText);
  void WarningScan(const OpenSolution& sol, TDesclines& desc) const;

  UserInterface& ui_;
  std::vector<std::unique_ptr<OpenSolution>> solutions_;
  int curSol_ = 0;
  std::vector<PVRec> plan_;
  NameIndex planIndex_;
  std::vector<int> varOrder_{0}; ///< [1..PlanCount]
};

/// The distinct element names of a set list (numbered from 1), sorted ignoring case (the first spelling met
/// is kept). Fails with "nil setelms, i: " + i for a used set without element names, "nil setelms^[j], i: "
/// + i + " j:" + j for an empty name, or "ElmNames<>nil" when the list exists already; suffix
/// "[BuildElementList]".
bool BuildElementList(const std::vector<SolSet>& sets, std::vector<std::string>& elmNames,
                      ErrorText& errorText);

/// The warning list text of variable names: each name after two blanks, a line break and two blanks before
/// the 10th, 20th, ... name.
std::string WarningListText(const std::vector<std::string>& names);

} // namespace pelorin
