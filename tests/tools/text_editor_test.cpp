#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "tools/editor_file.h"
#include "tools/string_text_buffer.h"
#include "tools/text_editor.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

OrfEditorOptions Options(const std::string& file, bool editable) {
  OrfEditorOptions options;
  options.file = file;
  options.captionPrefix = editable ? "CMFSTART file" : "Simulation Command file";
  options.editable = editable;
  options.closeCaption = "&Back to Orvane";
  return options;
}

TEST(OrfEditor, ReadOnlyViewingHidesEditingItemsAndAsksNothingOnClosing) {
  test::TempDir dir;
  const std::string file = dir.Write("sim.cmf", "! command file\r\nmethod = euler ;\r\n");
  test::ScriptedUserInterface ui;
  OrfEditor editor(ui, Options(file, false));
  ErrorText err;
  ASSERT_TRUE(editor.Open(err)) << err;
  EXPECT_EQ(editor.Document().text, "! command file\nmethod = euler ;\n");
  EXPECT_TRUE(editor.Document().crlf);
  EXPECT_EQ(editor.Caption(), "Simulation Command file: " + file);
  EXPECT_FALSE(editor.Menus().editingItems);
  EXPECT_EQ(editor.InitialStateField(), "Read only");
  EXPECT_EQ(editor.StateField(false), "Read Only");
  EXPECT_EQ(OrfEditor::PositionField(3, 14), "3:14");
  EXPECT_TRUE(editor.FormCloseQuery(true, [] { return std::string("changed"); }));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(test::ReadFileBytes(file), "! command file\r\nmethod = euler ;\r\n");

  // Replace does nothing on a read-only text, whatever the dialog would say.
  StringTextBuffer buffer(editor.Document().text);
  bool dialogShown = false;
  editor.Replace1Click(buffer, [&](SearchState&, bool) { return dialogShown = true; }, {});
  EXPECT_FALSE(dialogShown);
  EXPECT_FALSE(editor.SearchAgainEnabled());
}

TEST(OrfEditor, HelpItemsFollowTheirTopics) {
  test::ScriptedUserInterface ui;
  OrfEditorOptions options = Options("f", true);
  auto menus = [&](int fileHelp, int editingHelp) {
    options.fileHelp = fileHelp;
    options.editingHelp = editingHelp;
    return OrfEditor(ui, options).Menus();
  };
  EXPECT_FALSE(menus(0, 0).helpMenu);
  const OrfEditorMenus onlyFile = menus(12, 0);
  EXPECT_TRUE(onlyFile.helpMenu && onlyFile.fileHelp && !onlyFile.editingHelp);
  const OrfEditorMenus onlyEditing = menus(0, 7);
  EXPECT_TRUE(onlyEditing.helpMenu && !onlyEditing.fileHelp && onlyEditing.editingHelp);
  EXPECT_TRUE(menus(1, 2).editingItems); // editable until a file says otherwise
}

TEST(OrfEditor, ClosingModifiedAndAnsweringNoKeepsTheFile) {
  test::TempDir dir;
  const std::string file = dir.Write("CMFSTART", "old\n");
  test::ScriptedUserInterface ui;
  ui.answers = {MessageAnswer::No};
  OrfEditor editor(ui, Options(file, true));
  ErrorText err;
  ASSERT_TRUE(editor.Open(err)) << err;
  EXPECT_EQ(editor.StateField(true), "Modified");
  EXPECT_EQ(editor.StateField(false), "");
  EXPECT_TRUE(editor.FormCloseQuery(true, [] { return std::string("new\n"); }));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Save Changes?");
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::YesNo);
  EXPECT_TRUE(ui.dialogs.empty());
  EXPECT_EQ(test::ReadFileBytes(file), "old\n");
  EXPECT_FALSE(fs::exists(dir.File("CMFSTART.BAK")));
}

TEST(OrfEditor, SavingOverAFileKeepsTheOldOneAsBakAndTrimsLineEnds) {
  test::TempDir dir;
  const std::string file = dir.Write("shocks.shf", "shock x = 1 ;\r\n");
  ::chmod(file.c_str(), 0640);
  test::ScriptedUserInterface ui;
  ui.files = {file};
  OrfEditor editor(ui, Options(file, true));
  ErrorText err;
  ASSERT_TRUE(editor.Open(err)) << err;
  EXPECT_TRUE(editor.FormCloseQuery(true, [] { return std::string("shock x = 2 ;  \t\n\nshock y = 3 ; "); }));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].initialDir, dir.Path().string() + "/");
  EXPECT_EQ(ui.dialogs[0].fileName, "shocks.shf");
  EXPECT_EQ(ui.dialogs[0].filter, "All files|*.*");
  EXPECT_TRUE(ui.dialogs[0].confirmOverwrite);
  EXPECT_EQ(ui.overwriteQuestions, std::vector<std::string>{file});
  EXPECT_EQ(test::ReadFileBytes(file), "shock x = 2 ;\r\n\r\nshock y = 3 ;");
  EXPECT_EQ(test::ReadFileBytes(dir.File("shocks.BAK")), "shock x = 1 ;\r\n");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms(0640));
  // No scratch file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST(OrfEditor, SaveAsAnotherNameChangesTheFileNameAndCaption) {
  test::TempDir dir;
  const std::string file = dir.Write("a.txt", "one\n");
  const std::string other = dir.File("b.txt");
  test::ScriptedUserInterface ui;
  ui.files = {other};
  OrfEditor editor(ui, Options(file, true));
  ErrorText err;
  ASSERT_TRUE(editor.Open(err)) << err;
  EXPECT_TRUE(editor.SaveAs1Click("two\n"));
  EXPECT_EQ(editor.FileName(), other);
  EXPECT_EQ(editor.Caption(), "CMFSTART file: " + other);
  EXPECT_EQ(test::ReadFileBytes(other), "two\n");
  EXPECT_EQ(test::ReadFileBytes(file), "one\n");
  EXPECT_FALSE(fs::exists(dir.File("b.BAK"))); // nothing was saved over
  // A cancelled dialog changes nothing.
  EXPECT_FALSE(editor.SaveAs1Click("three\n"));
  EXPECT_EQ(editor.FileName(), other);
}

TEST(OrfEditor, FailedSaveKeepsTheOldFileSaysWhyAndKeepsTheWindowOpen) {
  test::TempDir dir;
  const std::string file = dir.Write("run.cmf", "keep me\n");
  // A folder where the backup must go makes the save fail after the new text was written aside.
  fs::create_directory(dir.File("run.BAK"));
  const std::string nowhere = dir.File("gone/run.cmf");
  test::ScriptedUserInterface ui;
  ui.files = {file, nowhere};
  OrfEditor editor(ui, Options(file, true));
  ErrorText err;
  ASSERT_TRUE(editor.Open(err)) << err;
  EXPECT_FALSE(editor.FormCloseQuery(true, [] { return std::string("lost?\n"); }));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].kind, MessageKind::Error);
  EXPECT_EQ(ui.messages[1].text, "Cannot save " + file + ": cannot replace " + dir.File("run.BAK") +
                                     " (Is a directory)[SaveEditorFile]");
  EXPECT_EQ(test::ReadFileBytes(file), "keep me\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);

  EXPECT_FALSE(editor.SaveAs1Click("lost?\n"));
  EXPECT_EQ(ui.messages.back().text, "Cannot save " + nowhere +
                                         ": cannot create a file in its folder (No such file or directory)"
                                         "[SaveEditorFile]");
  EXPECT_EQ(editor.FileName(), file);
}

TEST(OrfEditor, FileThatIsNotTextOpensReadOnlyWithANote) {
  test::TempDir dir;
  const std::string latin1 = dir.Write("old.txt", "caf\xE9\r\n");
  test::ScriptedUserInterface ui;
  OrfEditor editor(ui, Options(latin1, true));
  ErrorText err;
  ASSERT_TRUE(editor.Open(err)) << err;
  EXPECT_TRUE(editor.ReadOnly());
  EXPECT_FALSE(editor.Menus().editingItems);
  EXPECT_EQ(editor.Note(),
            "This file is not UTF-8 text: it is shown read-only, so that saving cannot change its bytes.");
  EXPECT_EQ(editor.Document().text, "caf\xE9\r\n"); // left as read
  EXPECT_TRUE(editor.FormCloseQuery(true, {}));
  EXPECT_TRUE(ui.messages.empty());

  OrfEditor missing(ui, Options(dir.File("none.txt"), true));
  EXPECT_FALSE(missing.Open(err));
  EXPECT_EQ(err, "Cannot open file " + dir.File("none.txt") + ": No such file or directory[LoadEditorFile]");
}

TEST(OrfEditor, SearchAgainWaitsForAConfirmedDialogAndRepeatsItsMode) {
  test::ScriptedUserInterface ui;
  OrfEditor editor(ui, Options("f", true));
  StringTextBuffer buffer("one two one two");
  editor.Find1Click(buffer, [](SearchState&, bool) { return false; }, {});
  EXPECT_FALSE(editor.SearchAgainEnabled());
  editor.SearchAgain1Click(buffer, {});
  EXPECT_TRUE(ui.messages.empty());

  bool replaceDialog = true;
  editor.Find1Click(buffer,
                    [&](SearchState& state, bool replace) {
                      replaceDialog = replace;
                      state.findText = "two";
                      return true;
                    },
                    {});
  EXPECT_FALSE(replaceDialog);
  EXPECT_TRUE(editor.SearchAgainEnabled());
  EXPECT_EQ(buffer.SelectionStart(), 4u);
  editor.SearchAgain1Click(buffer, {});
  EXPECT_EQ(buffer.SelectionStart(), 12u);

  editor.Replace1Click(buffer,
                       [](SearchState& state, bool replace) {
                         state.findText = "one";
                         state.replaceText = "1";
                         state.promptOnReplace = false;
                         state.up = true;
                         return replace;
                       },
                       {});
  EXPECT_EQ(buffer.Text(), "1 two 1 two");
  EXPECT_TRUE(editor.Search.replaceMode);
}

TEST(EditorFile, TextCheckRefusesWhatTheWidgetCannotHoldUnchanged) {
  EXPECT_TRUE(IsValidText(""));
  EXPECT_TRUE(IsValidText("plain ASCII text that is longer than eight bytes\n"));
  EXPECT_TRUE(IsValidText("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 mixed"));
  EXPECT_FALSE(IsValidText(std::string("abcdefghij\0klm", 14))); // NUL in a long run
  EXPECT_FALSE(IsValidText(std::string("a\0", 2)));              // NUL in the tail
  EXPECT_FALSE(IsValidText("\xC0\xAF"));                         // overlong
  EXPECT_FALSE(IsValidText("\xE0\x80\xAF"));                     // overlong
  EXPECT_FALSE(IsValidText("\xED\xA0\x80"));                     // surrogate
  EXPECT_FALSE(IsValidText("\xF4\x90\x80\x80"));                 // above U+10FFFF
  EXPECT_FALSE(IsValidText("abc\xE2\x82"));                      // cut short
  EXPECT_FALSE(IsValidText("\x80 stray continuation"));
}

TEST(EditorFile, SavedTextTrimsEveryLineAndKeepsTheLastLineEnd) {
  EXPECT_EQ(SavedText("a \t\nb\n", false), "a\nb\n");
  EXPECT_EQ(SavedText("a \nb  ", true), "a\r\nb");
  EXPECT_EQ(SavedText("   \n\n", true), "\r\n\r\n");
  EXPECT_EQ(SavedText("", false), "");
  EXPECT_EQ(BackupName("/m/CMFSTART"), "/m/CMFSTART.BAK");
  EXPECT_EQ(BackupName("/m.d/run.cmf"), "/m.d/run.BAK");
}

TEST(EditorFile, SavingThroughALinkWritesItsFileAndABakFileIsNotItsOwnBackup) {
  test::TempDir dir;
  const std::string real = dir.Write("real.txt", "before\n");
  const std::string link = dir.File("link.txt");
  fs::create_symlink(real, link);
  ErrorText err;
  ASSERT_TRUE(SaveEditorFile(link, "after\n", false, err)) << err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::ReadFileBytes(real), "after\n");
  EXPECT_EQ(test::ReadFileBytes(dir.File("real.BAK")), "before\n");

  const std::string bak = dir.File("real.BAK");
  ASSERT_TRUE(SaveEditorFile(bak, "edited backup\n", false, err)) << err;
  EXPECT_EQ(test::ReadFileBytes(bak), "edited backup\n");
}

} // namespace
} // namespace pelorin
