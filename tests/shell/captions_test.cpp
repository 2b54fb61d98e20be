#include "shell/captions.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

class CaptionsTest : public ::testing::Test {
protected:
  bool Read(std::string_view name, std::string_view text) {
    test::SaveFuzzSeed("shell_captions", name, text);
    error.clear();
    return ReadCaptions(dir.Write(std::string(name) + ".tit", text), captions, error);
  }
  test::TempDir dir;
  ModelCaptions captions;
  ErrorText error;
};

TEST_F(CaptionsTest, ReadsTheBackgroundAndFourRecords) {
  ASSERT_TRUE(Read("full", "clCream\r\n1.5 clNavy\r\nMinimal\r\n1 Red\r\nA small model\r\n0.8 $00FF00\r\n"
                           "line three\r\n0.5 16711680\r\n\r\n"));
  EXPECT_EQ(error, "");
  EXPECT_EQ(captions.background, (CaptionColour{true, 0xFFFBF0}));
  EXPECT_EQ(captions.records[0].text, "Minimal");
  EXPECT_EQ(captions.records[0].size, 1.5);
  EXPECT_EQ(captions.records[0].colour, (CaptionColour{true, 0x000080}));
  EXPECT_EQ(captions.records[1].colour, (CaptionColour{true, 0xFF0000}));
  EXPECT_EQ(captions.records[2].colour, (CaptionColour{true, 0x00FF00}));
  EXPECT_EQ(captions.records[3].colour,
            (CaptionColour{true, 0x0000FF})); // table order: blue in the high byte
  EXPECT_TRUE(captions.records[3].read);
  EXPECT_EQ(captions.records[3].text, "");
}

TEST_F(CaptionsTest, StopsAtTheFirstProblemKeepingWhatWasRead) {
  EXPECT_FALSE(Read("one-line", "clWhite\n"));
  EXPECT_EQ(error, "Premature end of file[ReadCaption][ReadCaptions]");
  EXPECT_FALSE(captions.records[0].read);

  EXPECT_FALSE(Read("cut", "clWhite\n2 clBlue\nTitle\n1 clRed\n"));
  EXPECT_EQ(error, "Premature end of file[ReadCaption][ReadCaptions]");
  EXPECT_EQ(captions.records[0].text, "Title");
  EXPECT_FALSE(captions.records[1].read);

  EXPECT_FALSE(Read("bad-size", "clWhite\nbig clBlue\nTitle\n"));
  EXPECT_EQ(error, "Invalid size big[ReadCaption][ReadCaptions]");
  EXPECT_FALSE(Read("empty", ""));
  EXPECT_EQ(error, "Premature end of file[ReadCaption][ReadCaptions]");

  error.clear();
  EXPECT_FALSE(ReadCaptions(dir.File("none.tit"), captions, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("none.tit") + "[TxtOpen][ReadCaptions]");
}

TEST_F(CaptionsTest, SystemColoursByNameAndNumber) {
  const CaptionColour btnFace{true, 0xF0F0F0};
  EXPECT_EQ(ParseCaptionColour("clBtnFace"), btnFace);
  EXPECT_EQ(ParseCaptionColour("BTNFACE"), btnFace);
  EXPECT_EQ(ParseCaptionColour("$FF00000F"), btnFace);
  EXPECT_EQ(ParseCaptionColour("-16777201"), btnFace);
  EXPECT_EQ(ParseCaptionColour("clWindowText"), (CaptionColour{true, 0x000000}));
  EXPECT_EQ(ParseCaptionColour("clInfoBk"), (CaptionColour{true, 0xFFFFE1}));
  EXPECT_EQ(ParseCaptionColour("-16777203"), (CaptionColour{true, 0x0078D7})); // 13: the highlight
  EXPECT_EQ(ParseCaptionColour("clLtGray"), (CaptionColour{true, 0xC0C0C0}));
  EXPECT_EQ(ParseCaptionColour("$00000080"), (CaptionColour{true, 0x800000})); // maroon in table order
  // 25 is no system colour; -1 and the palette numbers are no colours at all.
  EXPECT_EQ(ParseCaptionColour("$FF000019"), CaptionColour{});
  EXPECT_EQ(ParseCaptionColour("-1"), CaptionColour{});
  EXPECT_EQ(ParseCaptionColour("$02FF0000"), CaptionColour{});
  EXPECT_EQ(ParseCaptionColour("-99999999999"), CaptionColour{});
  EXPECT_EQ(ParseCaptionColour("-"), CaptionColour{});
}

TEST_F(CaptionsTest, UnknownColoursAndSizesStayHarmless) {
  EXPECT_EQ(ParseCaptionColour("clNoSuchColour"), CaptionColour{});
  EXPECT_EQ(ParseCaptionColour("99999999999"), CaptionColour{});
  EXPECT_EQ(ParseCaptionColour("$1000000"), CaptionColour{});
  EXPECT_EQ(ParseCaptionColour("0x0000ff"), (CaptionColour{true, 0xFF0000}));
  EXPECT_EQ(CaptionFontHeight(1080, 2.0), 25); // 1080 div 43 = 25
  EXPECT_EQ(CaptionFontHeight(1080, -3), 0);
  EXPECT_EQ(CaptionFontHeight(1080, 1e300), 0);
  EXPECT_EQ(CaptionLabelHeight(25), 28);
}

} // namespace
} // namespace pelorin
