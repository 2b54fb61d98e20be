#include "platform/dialog_filter.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using Filters = std::vector<DialogFilter>;

TEST(DialogFilter, PatternsMatchEitherCaseAndStarDotStarMeansEveryFile) {
  EXPECT_EQ(ParseDialogFilter("Zip Files|*.ZIP"), (Filters{{"Zip Files", {"*.ZIP", "*.zip"}}}));
  EXPECT_EQ(ParseDialogFilter("HA Files (*.HAR,*.DAT)|*.HAR;*.DAT|All Files|*.*"),
            (Filters{{"HA Files", {"*.HAR", "*.har", "*.DAT", "*.dat"}}, {"All Files", {"*"}}}));
  EXPECT_EQ(ParseDialogFilter("Model Files (*.EXE,*.GSS)|*.exe;*.gss"),
            (Filters{{"Model Files", {"*.exe", "*.EXE", "*.gss", "*.GSS"}}}));
  EXPECT_EQ(ParseDialogFilter("Solution Files|*.Sl4"),
            (Filters{{"Solution Files", {"*.Sl4", "*.sl4", "*.SL4"}}}));
}

TEST(DialogFilter, OddFiltersGiveWhatCanBeUsed) {
  EXPECT_EQ(ParseDialogFilter(""), Filters{});
  EXPECT_EQ(ParseDialogFilter("Text only"), Filters{});
  EXPECT_EQ(ParseDialogFilter("Empty| ; |Text|*.txt|Dangling"), (Filters{{"Text", {"*.txt", "*.TXT"}}}));
  EXPECT_EQ(ParseDialogFilter("|*.mdf"), (Filters{{"*.mdf", {"*.mdf", "*.MDF"}}}));
  // A label's own parentheses stay when they list no patterns.
  EXPECT_EQ(ParseDialogFilter("Logs (solver)|*.log"), (Filters{{"Logs (solver)", {"*.log", "*.LOG"}}}));
}

TEST(DialogFilter, PatternsAreNotNamesToPropose) {
  EXPECT_TRUE(IsNamePattern("*.ZIP"));
  EXPECT_TRUE(IsNamePattern("*.har;*.dat"));
  EXPECT_FALSE(IsNamePattern("Minimal.MDF"));
  EXPECT_FALSE(IsNamePattern(""));
}

} // namespace
} // namespace pelorin
