#pragma once

// The contents list of the current solution (unfiltered, or filtered on one element name), its table, and the
// data view of one contents line.

#include "datafiles/dyn_arrays.h"
#include "platform/error_text.h"
#include "results/sim_tab.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {

class ResultsModel;

/// Most members of one group line's data view.
inline constexpr int kMaxGroupMembers = 5000;

/// What a contents line stands for.
enum ContentsItemType : int {
  kNoData = 0,                ///< the list would be empty
  kMacroGroup = 1,            ///< all scalars
  kVector = 2,                ///< one vector variable
  kVectorSizeGroup = 3,       ///< vectors of one size and set (grouped format)
  kMatrix = 4,                ///< one matrix variable
  kThreeDim = 5,              ///< one 3-dimensional variable (viewed only when filtered)
  kVectorFilterGroup = 6,     ///< vectors containing the filter element
  kMatrixSlice = 7,           ///< one matrix sliced at the filter element
  kMatrixFilterSizeGroup = 8, ///< matrix slices of one size and set (grouped format)
  kThreeDimSlice = 9,         ///< one 3-dimensional variable sliced at the filter element
};

/// One line of the contents list.
struct ContentsItem {
  int ContentsItemType = kNoData;
  int pv = 0;            ///< the plan record of the variable that made the line (a group: its first member)
  std::int64_t size = 0; ///< elements (filtered matrices: of the dimension not filtered; filtered vectors: 1)
  std::string label;     ///< up to 30 characters
  int count = 0;         ///< variables the line stands for
  int filterDim = 0;     ///< k of filtered lines
  std::string setName;   ///< up to 12 characters (grouped format)
  std::string key;       ///< the sort key
};

/// The contents list in key order.
using ContentsList = std::vector<ContentsItem>;

/// "0001" style: the decimal digits of n, with leading zeros to at least 4 characters.
std::string Pad4(std::int64_t n);

/// The contents of the current solution, unfiltered (the element filter must be off: "ElmFiltered set
/// wrong"), and its table. Suffix "[MakeContentsList]".
bool MakeContentsList(ResultsModel& model, ContentsList& list, SimTab& table, ErrorText& errorText);
/// The contents filtered on the filter element (the filter must be on). Suffix "[MakeFilteredContentsList]".
bool MakeFilteredContentsList(ResultsModel& model, ContentsList& list, SimTab& table, ErrorText& errorText);
/// The contents table: "Variable", "Size", "No.", "Name", one row per line. Suffix "[MakeContentsTable]".
bool MakeContentsTable(const ResultsModel& model, const ContentsList& list, SimTab& table,
                       ErrorText& errorText);

/// The numbers of one data view before they become a table.
struct DataView {
  std::string title;
  std::string corner;
  std::vector<std::string> rowLabels;
  std::vector<std::string> colLabels;
  Mat2<float> values;       ///< rows x columns; MissingValue where there is no result
  Mat2<std::uint8_t> marks; ///< non-zero for an exogenous element
  int rows = 1;
  int cols = 1;
};

/// Assembles the data view of an opened contents line. Fails for a line type without a view ("Invalid
/// ContentsItemType") and for a group of more than 5000 members. Suffix "[BuildDataTable]".
bool BuildDataView(const ResultsModel& model, const ContentsItem& item, DataView& view, ErrorText& errorText);
/// The data view of an opened contents line as a table with `decimals` decimals; `title` is the line the
/// page shows above it. Suffix "[BuildDataTable]".
bool BuildDataTable(const ResultsModel& model, const ContentsItem& item, int decimals, SimTab& table,
                    std::string& title, ErrorText& errorText);

/// Shortens column labels that all share a prefix up to "-" and four digits (BASE-2011, base-2012 become
/// 2011, 2012); leaves them as they are otherwise.
void ShortenColumnLabels(std::vector<std::string>& labels);

} // namespace pelorin
