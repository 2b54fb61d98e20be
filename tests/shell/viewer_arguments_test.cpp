// The viewers' argument forms: a file, quoted or not, "#" + file for viewing only, "%" + folder.

#include "shell/viewer_arguments.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(ViewerArguments, EveryFormIsRead) {
  struct Case {
    const char* argument;
    ViewerArgumentKind kind;
    const char* path;
  };
  for (const Case& c : {Case{"/data/base.har", ViewerArgumentKind::File, "/data/base.har"},
                        Case{"\"/my data/base.har\"", ViewerArgumentKind::File, "/my data/base.har"},
                        Case{"  /data/base.har ", ViewerArgumentKind::File, "/data/base.har"},
                        Case{"#/data/base.har", ViewerArgumentKind::ReadOnlyFile, "/data/base.har"},
                        Case{"\"#/my data/base.har\"", ViewerArgumentKind::ReadOnlyFile, "/my data/base.har"},
                        Case{"#\"/my data/base.har\"", ViewerArgumentKind::ReadOnlyFile, "/my data/base.har"},
                        Case{"%/work/out", ViewerArgumentKind::Folder, "/work/out"},
                        Case{"%\"/work/my out\"", ViewerArgumentKind::Folder, "/work/my out"},
                        Case{"", ViewerArgumentKind::None, ""}, Case{"\"\"", ViewerArgumentKind::None, ""},
                        Case{"#", ViewerArgumentKind::None, ""}, Case{"%  ", ViewerArgumentKind::None, ""}}) {
    const ViewerArgument read = ParseViewerArgument(c.argument);
    EXPECT_EQ(read.kind, c.kind) << c.argument;
    EXPECT_EQ(read.path, c.path) << c.argument;
  }
}

} // namespace
} // namespace pelorin
