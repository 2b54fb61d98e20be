#include "support/scripted_ui.h"
#include "tools/clipboard_copy.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

// A clipboard that another program holds for the first `busy` attempts.
class BusyClipboard : public test::ScriptedUserInterface {
public:
  explicit BusyClipboard(int busyAttempts) : busy_(busyAttempts) {}
  bool SetClipboardText(std::string_view text) override {
    ++attempts;
    return attempts > busy_ && ScriptedUserInterface::SetClipboardText(text);
  }
  int attempts = 0;

private:
  int busy_;
};

TEST(ClipboardCopy, RetriesWithGrowingPausesAndGivesUpAfterTen) {
  BusyClipboard soon(3);
  std::vector<int> waits;
  EXPECT_TRUE(CopyTextWithRetries(soon, "report", [&](int ms) { waits.push_back(ms); }));
  EXPECT_EQ(soon.clipboard, "report");
  EXPECT_EQ(waits, (std::vector<int>{20, 40, 60}));

  BusyClipboard never(100);
  waits.clear();
  EXPECT_FALSE(CopyTextWithRetries(never, "report", [&](int ms) { waits.push_back(ms); }));
  EXPECT_EQ(never.attempts, 10);
  EXPECT_EQ(waits, (std::vector<int>{20, 40, 60, 80, 100, 120, 140, 160, 180}));
  EXPECT_EQ(never.clipboard, "");
}

} // namespace
} // namespace pelorin
