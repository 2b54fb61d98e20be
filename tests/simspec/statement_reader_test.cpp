#include "simspec/statement_reader.h"
#include "support/fuzz_seed.h"
#include "support/scripted_ui.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> Tokens(const std::vector<std::string>& lines) {
  TOpenCMFFile reader;
  reader.Open(lines);
  std::vector<std::string> tokens;
  while (reader.NextToken()) {
    tokens.push_back(reader.Token());
  }
  return tokens;
}

std::vector<std::string> Keywords(const std::vector<std::string>& lines) {
  TOpenCMFFile reader;
  reader.Open(lines);
  std::vector<std::string> keywords;
  while (reader.NextStatement()) {
    keywords.push_back(reader.Keyword());
  }
  return keywords;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + "\n";
  }
  return text;
}

TEST(StatementReader, CommentsAndHashSpansAreRemovedBeforeTokens) {
  EXPECT_EQ(TOpenCMFFile::PrepareLine("exogenous pop ! the rest"), "exogenous pop ");
  // "!!" is not a comment: it is deleted and the character after it kept, even another "!".
  EXPECT_EQ(TOpenCMFFile::PrepareLine("a!!b"), "ab");
  EXPECT_EQ(TOpenCMFFile::PrepareLine("a!!!b"), "a!b");
  EXPECT_EQ(TOpenCMFFile::PrepareLine("a!!!!b"), "a!");
  EXPECT_EQ(TOpenCMFFile::PrepareLine("a!!"), "a");
  EXPECT_EQ(TOpenCMFFile::PrepareLine("x #note# y #a##b# z"), "x  y  z");
  EXPECT_EQ(TOpenCMFFile::PrepareLine("x #unpaired y"), "x ");
  // The comment is cut first, so a "#" after it cannot pair with one before it.
  EXPECT_EQ(TOpenCMFFile::PrepareLine("x # a ! # b"), "x ");
}

TEST(StatementReader, TokensSplitAtBlanksTabsAndPunctuation) {
  EXPECT_THAT(Tokens({"Shock p_x(COM,\"usa\")=uniform\t10;"}),
              ElementsAre("Shock", "p_x", "(", "COM,\"usa\"", ")", "=", "uniform", "10", ";"));
  EXPECT_THAT(Tokens({"file \"my data.har\" ;", "", "   ", "x\"y z"}),
              ElementsAre("file", "\"my data.har\"", ";", "x\"y", "z"));
  // An unclosed quote runs to the end of its line, never into the next.
  EXPECT_THAT(Tokens({"a \"b c ; d", "e"}), ElementsAre("a", "\"b c ; d", "e"));
}

TEST(StatementReader, StatementsSpanLinesAndSkipEmptyKeywords) {
  EXPECT_THAT(Keywords({"Exogenous pop", "  p_x ;  rest", "endogenous ; swap a = b;"}),
              ElementsAre("Exogenous", "rest", "swap"));
  // Empty statements and keywords made only of control characters are passed over.
  EXPECT_THAT(Keywords({"; ;exo a;", "\x01\x02 use x;"}), ElementsAre("exo", "use"));
  EXPECT_THAT(Keywords({"shock a = 1", "shock b = 2;"}), ElementsAre("shock"));
  EXPECT_THAT(Keywords({}), ElementsAre());
  EXPECT_THAT(Keywords({"! only a comment", "#and a span#"}), ElementsAre());
}

TEST(StatementReader, LineCounterIsZeroBasedIndexOfCurrentLine) {
  const std::vector<std::string> lines{"a", "", "b ;"};
  TOpenCMFFile reader;
  reader.Open(lines);
  EXPECT_EQ(reader.LineCount(), -1);
  ASSERT_TRUE(reader.NextToken());
  EXPECT_EQ(reader.LineCount(), 0);
  ASSERT_TRUE(reader.NextToken());
  EXPECT_EQ(reader.Token(), "b");
  EXPECT_EQ(reader.PrevToken(), "a");
  EXPECT_EQ(reader.LineCount(), 2);
  EXPECT_EQ(reader.TokenPos(), 0u);
}

TEST(StatementReader, KeywordsNormaliseByPrefixInTableOrder) {
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("Exo"), "exogenous");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("EXOGENOUS"), "exogenous");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("restore"), "rest");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("endo"), "endogenous");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("Shock"), "shock");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("final"), "final_level");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("file"), "file");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("take"), "take");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("tshock"), "tshock");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("percent"), "percent_change");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("modify"), "modify");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("mod"), "mod");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("SWAP"), "swap");
  EXPECT_EQ(TOpenCMFFile::NormaliseKeyword("Subtotal"), "subtotal");
}

TEST(CheckKeywords, ReturnsFirstKeywordOutsideTheAllowedList) {
  test::ScriptedUserInterface ui;
  const std::vector<std::string> closure{"Exo pop p_x(COM,REG) 5 ;", "swap a = b;", "Rest endog ;"};
  EXPECT_EQ(CheckKeywords(closure, kClosureKeywords, " in closure memo.", ui).outcome,
            KeywordCheck::Outcome::Ok);

  const std::vector<std::string> shocks{"shock a = 1;", "subtotal a = x;", "exogenous b;", "fred c;"};
  const KeywordCheck check = CheckKeywords(shocks, kShockKeywords, " in shocks memo.", ui);
  EXPECT_EQ(check.outcome, KeywordCheck::Outcome::BadKeyword);
  EXPECT_EQ(check.keyword, "exogenous");
  EXPECT_TRUE(ui.messages.empty());
  test::SaveFuzzSeed("simspec_statements", "closure", Join(closure));
  test::SaveFuzzSeed("simspec_statements", "shocks", Join(shocks));
}

TEST(CheckKeywords, ControlZMayOnlyBeFollowedByBlanks) {
  test::ScriptedUserInterface ui;
  const std::vector<std::string> trailing{"exogenous a;", "rest endogenous ;\x1a   ", "  "};
  EXPECT_EQ(CheckKeywords(trailing, kClosureKeywords, " in closure memo.", ui).outcome,
            KeywordCheck::Outcome::Ok);
  // A Control-Z inside a comment is not part of the text the solver reads.
  const std::vector<std::string> commented{"exogenous a; ! \x1a x"};
  EXPECT_EQ(CheckKeywords(commented, kClosureKeywords, " in closure memo.", ui).outcome,
            KeywordCheck::Outcome::Ok);
  EXPECT_TRUE(ui.messages.empty());

  const std::vector<std::string> followed{"exogenous a;", "rest\x1a x", "endogenous;"};
  EXPECT_EQ(CheckKeywords(followed, kClosureKeywords, " in closure memo.", ui).outcome,
            KeywordCheck::Outcome::ControlZ);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(ui.messages[0].text,
            "ControlZ found in text  in closure memo.\r\nin position 5 in line number 1\r\n"
            "\"rest\x1a x\"\r\n Please remove ControlZ to fix this.\r\n"
            "[Having such a character before the end of the file will\r\n"
            "  confuse some compilers and editors.]");

  // Text on a later line counts too; the message still names the Control-Z's own line (counted from 0).
  ui.messages.clear();
  const std::vector<std::string> later{"\x1a", "", "shock x = 1;"};
  EXPECT_EQ(CheckKeywords(later, kShockKeywords, " in shocks memo.", ui).outcome,
            KeywordCheck::Outcome::ControlZ);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_THAT(ui.messages[0].text,
              ::testing::StartsWith("ControlZ found in text  in shocks memo.\r\nin position 1 "
                                    "in line number 0\r\n\"\x1a\""));
  test::SaveFuzzSeed("simspec_statements", "controlz", Join(followed));
}

TEST(CheckKeywords, AQuoteLeftOpenAtTheEndOfALineIsRefused) {
  // The solver would take "pipes ;" and the whole next line into the string: the shock would be lost.
  test::ScriptedUserInterface ui;
  const std::vector<std::string> swallowing{"Shock TMS = -5 ;", "Subtotal TMS = 12\" pipes ;",
                                            "Shock AO(\"manuf\",\"asia\") = 10 ;"};
  EXPECT_EQ(CheckKeywords(swallowing, kShockKeywords, " in shocks memo.", ui).outcome,
            KeywordCheck::Outcome::OpenQuote);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(
      ui.messages[0].text,
      "A quoted text is not closed at the end of line 2 in shocks memo.\r\n"
      "\"Subtotal TMS = 12\" pipes ;\"\r\n"
      "The solver would take the rest of the line, and the statements after it, as part of the text.\r\n"
      "Please close the quote or remove it.");
  test::SaveFuzzSeed("simspec_statements", "open-quote", Join(swallowing));

  // Closed quotes, wherever they stand in a word, and quotes in comments or "#" spans are fine.
  ui.messages.clear();
  const std::vector<std::string> fine{"Shock AO(\"manuf\",\"asia\") = 10 ; ! the 12\" pipes",
                                      "Subtotal AO = a\"b\"c #12\"# ;", "exogenous b ;"};
  EXPECT_EQ(CheckKeywords(fine, kShockKeywords, " in shocks memo.", ui).outcome,
            KeywordCheck::Outcome::BadKeyword);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(FindOpenQuote(fine), -1);
  EXPECT_EQ(FindOpenQuote(std::vector<std::string>{"exogenous a ;", "exogenous \"b ;"}), 1);
}

TEST(StatementText, DescriptionsCannotEndHideOrSwallowTheirStatement) {
  EXPECT_EQ(StatementText("12\" pipes; \"steel\" ! #1\t"), "12' pipes, 'steel'    1 ");
}

TEST(EditLines, CleaningBlanksEverythingOutsidePrintableAscii) {
  std::vector<std::string> lines{"a\tb\x1a", "\xe9t\xe9~!"};
  CleanEditLines(lines);
  EXPECT_THAT(lines, ElementsAre("a b ", " t ~!"));
  EXPECT_TRUE(IsBlankText(std::vector<std::string>{"", "  \t", "\x1a"}));
  EXPECT_FALSE(IsBlankText(std::vector<std::string>{"", " x"}));
}

} // namespace
} // namespace pelorin
