#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

/// One entry of a file dialog's type list: what it is called and the name patterns it shows.
struct DialogFilter {
  std::string label;
  std::vector<std::string> patterns;

  friend bool operator==(const DialogFilter&, const DialogFilter&) = default;
};

/// Splits a dialog filter written as label|patterns pairs ("Zip Files|*.ZIP", "HA Files (*.HAR,*.DAT)|*.HAR;
/// *.DAT|All Files|*.*") into its entries. File names here are case-sensitive while the filters were written
/// for a file system that is not, so each pattern also comes in lower and upper case ("*.ZIP" matches
/// model.zip), and "*.*" becomes "*" (it means every file, also one without a dot). A pattern list already in
/// the label ("ZIP Files (*.ZIP)") is dropped from it; an entry without patterns is skipped.
std::vector<DialogFilter> ParseDialogFilter(std::string_view filter);

/// True when a proposed file name is a pattern ("*.ZIP", "*.har;*.dat") rather than a name to pre-fill.
bool IsNamePattern(std::string_view fileName);

} // namespace pelorin
