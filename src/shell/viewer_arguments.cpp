#include "shell/viewer_arguments.h"

#include "platform/strings.h"

namespace pelorin {

namespace {

std::string Unquoted(std::string_view text) {
  std::string trimmed = Trim(text);
  if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"') {
    trimmed = Trim(std::string_view(trimmed).substr(1, trimmed.size() - 2));
  }
  return trimmed;
}

} // namespace

ViewerArgument ParseViewerArgument(std::string_view argument) {
  std::string text = Unquoted(argument);
  ViewerArgument result;
  if (text.empty()) {
    return result;
  }
  if (text.front() == '#' || text.front() == '%') {
    result.kind = text.front() == '#' ? ViewerArgumentKind::ReadOnlyFile : ViewerArgumentKind::Folder;
    result.path = Unquoted(std::string_view(text).substr(1));
    if (result.path.empty()) {
      result.kind = ViewerArgumentKind::None;
    }
    return result;
  }
  result.kind = ViewerArgumentKind::File;
  result.path = text;
  return result;
}

} // namespace pelorin
