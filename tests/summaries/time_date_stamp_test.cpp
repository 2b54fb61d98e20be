#include "datafiles/har_writer.h"
#include "platform/strings.h"
#include "summaries/time_date_stamp.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

const std::string kStamp = "Wed Apr 10 09:30:00 2024";

std::string Padded(const std::string& text, std::size_t length) {
  std::string padded = text;
  padded.resize(length, ' ');
  return padded;
}

class TimeDateStampTest : public ::testing::Test {
protected:
  // A model information file with the stamp line after "#TMDATE".
  std::string WriteMin(const std::string& name, const std::string& stampLine) {
    return dir.Write(name, "#MRKFILE\r\nmodel.mrk\r\n#TMDATE\r\n" + stampLine + "\r\n#KVVER\r\n11\r\n");
  }
  // An auxiliary table file with a "DTXT" header of the given strings, in either record flavour.
  std::string WriteAxt(const std::string& name, const std::vector<std::string>& strings,
                       std::int64_t length = 40, bool fujitsu = false) {
    std::vector<HarHeader> headers{MakeReals("COEF", "A coefficient", {SizeDim(2)}, {1.0f, 2.0f})};
    if (!strings.empty()) {
      headers.push_back(MakeStrings("DTXT", "Time and date of compilation", strings, length));
    }
    ErrorText writeError;
    const std::string fileName = dir.File(name);
    EXPECT_TRUE(WriteHarFile(fileName, headers, {.isFujitsu = fujitsu}, writeError)) << writeError;
    return fileName;
  }
  TimeDateStamp Lookup(StampKind kind, const std::string& fileName) {
    TimeDateStamp stamp;
    EXPECT_TRUE(GetTimeDateStamp(kind, fileName, kind == StampKind::Text ? "#TMDATE" : "DTXT", stamp, error))
        << error;
    return stamp;
  }

  test::TempDir dir;
  ErrorText error;
};

TEST_F(TimeDateStampTest, TextStampIsTheLineAfterTheExactKey) {
  TimeDateStamp stamp = Lookup(StampKind::Text, WriteMin("m.min", Padded(kStamp, 50) + "tail beyond 40"));
  EXPECT_TRUE(stamp.found);
  EXPECT_EQ(stamp.stamp, kStamp);

  stamp = Lookup(StampKind::Text, dir.Write("lower.min", "#tmdate\n" + kStamp + "\n#TMDATE \nx\n"));
  EXPECT_FALSE(stamp.found);
  EXPECT_EQ(stamp.stamp, "?");

  stamp = Lookup(StampKind::Text, dir.Write("last.min", "#SETS\n0\n#TMDATE"));
  EXPECT_TRUE(stamp.found);
  EXPECT_EQ(stamp.stamp, "");

  EXPECT_FALSE(GetTimeDateStamp(StampKind::Text, dir.File("none.min"), "#TMDATE", stamp, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("none.min") + "[TxtOpen][GetTimeDateStamp]");
}

TEST_F(TimeDateStampTest, BinaryStampIsOneStringOfLength40) {
  for (bool fujitsu : {false, true}) {
    TimeDateStamp stamp = Lookup(StampKind::Binary, WriteAxt("m.axt", {kStamp}, 40, fujitsu));
    EXPECT_TRUE(stamp.found);
    EXPECT_EQ(stamp.stamp, kStamp);
  }
  EXPECT_FALSE(Lookup(StampKind::Binary, WriteAxt("two.axt", {kStamp, kStamp})).found);
  EXPECT_FALSE(Lookup(StampKind::Binary, WriteAxt("short.axt", {kStamp}, 39)).found);
  const TimeDateStamp none = Lookup(StampKind::Binary, WriteAxt("none.axt", {}));
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.stamp, "?");

  TimeDateStamp stamp;
  EXPECT_FALSE(GetTimeDateStamp(StampKind::Binary, dir.File("missing.axt"), "DTXT", stamp, error));
  EXPECT_TRUE(error.ends_with("[GetTimeDateStamp]")) << error;
  error.clear();
  EXPECT_FALSE(
      GetTimeDateStamp(StampKind::Binary, dir.Write("text.axt", "not a header array"), "DTXT", stamp, error));
  EXPECT_TRUE(error.ends_with("[GetTimeDateStamp]")) << error;
}

TEST_F(TimeDateStampTest, CompatibleFilesCarryTheSameFoundStamp) {
  test::ScriptedUserInterface ui;
  bool same = false;
  // Trailing blanks do not count.
  ASSERT_TRUE(MinAxtCompatible(WriteMin("m.min", kStamp + "   "), WriteAxt("m.axt", {kStamp}), 120, false, ui,
                               same, error))
      << error;
  EXPECT_TRUE(same);
  EXPECT_TRUE(ui.messages.empty());

  const std::string minFile = WriteMin("old.min", "Tue Apr  9 09:30:00 2024");
  const std::string axtFile = WriteAxt("new.axt", {kStamp});
  ASSERT_TRUE(MinAxtCompatible(minFile, axtFile, 120, true, ui, same, error));
  EXPECT_FALSE(same);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_TRUE(MinAxtCompatible(minFile, axtFile, 120, false, ui, same, error));
  EXPECT_FALSE(same);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].kind, MessageKind::Error);
  EXPECT_EQ(ui.messages[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(ui.messages[0].helpTopic, 120);
  EXPECT_EQ(ui.messages[0].text, "Model Information File " + UpperCase(minFile) +
                                     " was not created at the same time as the Auxiliary Table File " +
                                     UpperCase(axtFile));

  // Neither stamp found: both are "?", yet the files differ.
  ASSERT_TRUE(MinAxtCompatible(dir.Write("plain.min", "#SETS\n0\n"), WriteAxt("plain.axt", {}), 0, true, ui,
                               same, error));
  EXPECT_FALSE(same);
}

TEST_F(TimeDateStampTest, UnreadableFileFailsWithoutAMessage) {
  test::ScriptedUserInterface ui;
  bool same = true;
  EXPECT_FALSE(
      MinAxtCompatible(WriteMin("m.min", kStamp), dir.File("missing.axt"), 120, false, ui, same, error));
  EXPECT_FALSE(same);
  EXPECT_TRUE(ui.messages.empty());
  error.clear();
  EXPECT_FALSE(
      MinAxtCompatible(dir.File("missing.min"), WriteAxt("m.axt", {kStamp}), 120, false, ui, same, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("missing.min") + "[TxtOpen][GetTimeDateStamp]");
  EXPECT_TRUE(ui.messages.empty());
}

} // namespace
} // namespace pelorin
