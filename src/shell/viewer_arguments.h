#pragma once

// The arguments the viewers are started with: a file (in double quotes when it holds blanks), "#" + a file to
// view it read-only, or "%" + a folder to choose a file there.

#include <string>
#include <string_view>

namespace pelorin {

/// What a viewer's argument asks for.
enum class ViewerArgumentKind {
  None,         ///< no argument (or a blank one)
  File,         ///< open the file
  ReadOnlyFile, ///< "#" + file: open it for viewing only
  Folder,       ///< "%" + folder: choose a file in that folder
};

struct ViewerArgument {
  ViewerArgumentKind kind = ViewerArgumentKind::None;
  std::string path;
};

/// Reads one argument: blanks around it and one pair of double quotes around the whole (or around the path
/// after "#" or "%") are dropped.
ViewerArgument ParseViewerArgument(std::string_view argument);

} // namespace pelorin
