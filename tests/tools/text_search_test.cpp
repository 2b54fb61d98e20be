#include "support/scripted_ui.h"
#include "tools/string_text_buffer.h"
#include "tools/text_search.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

// Answers "Replace this instance?" from a list and counts the questions.
struct Questions {
  std::vector<ReplaceAnswer> answers;
  int asked = 0;
  ReplaceQuestion Ask() {
    return [this] {
      return asked < static_cast<int>(answers.size()) ? answers[asked++] : (++asked, ReplaceAnswer::Yes);
    };
  }
};

SearchState Replace(std::string find, std::string with) {
  SearchState state;
  state.findText = std::move(find);
  state.replaceText = std::move(with);
  state.replaceMode = true;
  return state;
}

TEST(SearchRounds, AllAtTheFirstQuestionReplacesEveryMatchWithoutMoreQuestions) {
  test::ScriptedUserInterface ui;
  StringTextBuffer buffer("cat\ncat and\nthe cat\n");
  SearchState state = Replace("cat", "dog");
  Questions questions{{ReplaceAnswer::All}};
  EXPECT_EQ(RunSearchRounds(buffer, state, ui, questions.Ask()), 3);
  EXPECT_EQ(buffer.Text(), "dog\ndog and\nthe dog\n");
  EXPECT_EQ(questions.asked, 1);
  EXPECT_FALSE(state.promptOnReplace);
  EXPECT_TRUE(ui.messages.empty()); // the end of a Replace all that found something says nothing
}

TEST(SearchRounds, PromptAsksOncePerMatchAndNoSkipsCancelStops) {
  test::ScriptedUserInterface ui;
  StringTextBuffer yes("a-a-a");
  SearchState state = Replace("a", "b");
  Questions three{{ReplaceAnswer::Yes, ReplaceAnswer::Yes, ReplaceAnswer::Yes}};
  EXPECT_EQ(RunSearchRounds(yes, state, ui, three.Ask()), 3);
  EXPECT_EQ(three.asked, 3);
  EXPECT_EQ(yes.Text(), "b-b-b");
  EXPECT_TRUE(state.promptOnReplace);

  StringTextBuffer skip("a-a-a");
  Questions noThenCancel{{ReplaceAnswer::No, ReplaceAnswer::Yes, ReplaceAnswer::Cancel}};
  EXPECT_EQ(RunSearchRounds(skip, state, ui, noThenCancel.Ask()), 1);
  EXPECT_EQ(skip.Text(), "a-b-a");
  EXPECT_EQ(skip.Selection(), "a"); // the cancelled match stays selected
  EXPECT_EQ(skip.SelectionStart(), 4u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(SearchRounds, AbsentTextIsReportedOnceInEveryMode) {
  for (const bool replaceMode : {false, true}) {
    test::ScriptedUserInterface ui;
    StringTextBuffer buffer("nothing to see\n");
    SearchState state = Replace("absent", "x");
    state.replaceMode = replaceMode;
    Questions questions;
    EXPECT_EQ(RunSearchRounds(buffer, state, ui, questions.Ask()), 0);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(ui.messages[0].text, "Could not find \"absent\".");
    EXPECT_EQ(questions.asked, 0);
  }
}

TEST(SearchRounds, OneReplacementWithoutReplaceAllAndNoMessageAfterIt) {
  test::ScriptedUserInterface ui;
  StringTextBuffer buffer("x x x");
  SearchState state = Replace("x", "y");
  state.replaceAll = false;
  state.promptOnReplace = false;
  EXPECT_EQ(RunSearchRounds(buffer, state, ui, {}), 1);
  EXPECT_EQ(buffer.Text(), "y x x");
  // Once more from the caret: the next one. At the end, "Could not find" even in Replace mode: the round
  // that found nothing was the first.
  EXPECT_EQ(RunSearchRounds(buffer, state, ui, {}), 1);
  EXPECT_EQ(RunSearchRounds(buffer, state, ui, {}), 1);
  EXPECT_EQ(RunSearchRounds(buffer, state, ui, {}), 0);
  EXPECT_EQ(buffer.Text(), "y y y");
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Could not find \"x\"."});
}

TEST(SearchRounds, ReplacementHoldingTheFindTextEndsInBothDirections) {
  for (const bool up : {false, true}) {
    test::ScriptedUserInterface ui;
    StringTextBuffer buffer("a b a");
    buffer.SetCaret(up ? 5 : 0);
    SearchState state = Replace("a", "aa");
    state.promptOnReplace = false;
    state.up = up;
    EXPECT_EQ(RunSearchRounds(buffer, state, ui, {}), 2) << "up=" << up;
    EXPECT_EQ(buffer.Text(), "aa b aa");
  }
}

TEST(SearchRounds, FindUpFromTheEndSelectsTheLastMatchAndScrollsToAnotherLine) {
  test::ScriptedUserInterface ui;
  const std::string text = "Shock x;\nshock y;\nSHOCK z;";
  StringTextBuffer buffer(text);
  buffer.SetCaret(text.size());
  SearchState state;
  state.findText = "shock";
  state.up = true;
  RunSearchRounds(buffer, state, ui, {});
  EXPECT_EQ(buffer.SelectionStart(), 18u);
  EXPECT_EQ(buffer.Reveals(), 0); // the caret was already on the last line
  RunSearchRounds(buffer, state, ui, {});
  EXPECT_EQ(buffer.SelectionStart(), 9u);
  EXPECT_EQ(buffer.Reveals(), 1);
  state.matchCase = true;
  RunSearchRounds(buffer, state, ui, {});
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Could not find \"shock\"."});
  EXPECT_EQ(buffer.SelectionStart(), 9u); // nothing found leaves the selection alone
}

TEST(SearchRounds, WholeWordSkipsMatchesInsideWords) {
  test::ScriptedUserInterface ui;
  StringTextBuffer buffer("xp xp_1 axp xp.");
  SearchState state = Replace("xp", "Q");
  state.wholeWord = true;
  state.promptOnReplace = false;
  EXPECT_EQ(RunSearchRounds(buffer, state, ui, {}), 2);
  EXPECT_EQ(buffer.Text(), "Q xp_1 axp Q.");
  StringTextBuffer accented("\xC3\xA9xp xp");
  EXPECT_EQ(RunSearchRounds(accented, state, ui, {}), 1);
  EXPECT_EQ(accented.Text(), "\xC3\xA9xp Q");
}

TEST(SearchRounds, EmptyFindTextFindsNothing) {
  test::ScriptedUserInterface ui;
  StringTextBuffer buffer("abc");
  SearchState state = Replace("", "x");
  EXPECT_EQ(RunSearchRounds(buffer, state, ui, {}), 0);
  EXPECT_EQ(ui.Texts(), std::vector<std::string>{"Could not find \"\"."});
}

} // namespace
} // namespace pelorin
