#include "shell/rtf_reader.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pelorin {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// Every input of these tests also seeds the fuzzer.
void Seed(std::string_view rtf) {
  test::SaveFuzzSeed("shell_rtf", "seed" + std::to_string(std::hash<std::string_view>{}(rtf)), rtf);
}

std::string Plain(std::string_view rtf) {
  Seed(rtf);
  std::string text;
  ErrorText error;
  EXPECT_TRUE(RtfToPlainText(rtf, text, error)) << error;
  return text;
}

std::string Html(std::string_view rtf) {
  Seed(rtf);
  std::string html;
  ErrorText error;
  EXPECT_TRUE(RtfToHtml(rtf, html, error)) << error;
  return html;
}

// The HTML's paragraphs, without the document around them.
std::string Body(std::string_view rtf) {
  const std::string html = Html(rtf);
  const std::size_t begin = html.find("\">\n", html.find("<body")) + 3;
  return html.substr(begin, html.find("</body>") - begin);
}

std::string Refused(std::string_view rtf) {
  Seed(rtf);
  std::string out = "left over";
  ErrorText error;
  EXPECT_FALSE(RtfToHtml(rtf, out, error));
  EXPECT_EQ(out, "");
  ErrorText plainError;
  EXPECT_FALSE(RtfToPlainText(rtf, out, plainError));
  EXPECT_EQ(plainError.substr(0, plainError.find('[')), error.substr(0, error.find('[')));
  return error;
}

TEST(RtfReader, ParagraphsLineBreaksTabsAndSpacesAsWritten) {
  EXPECT_EQ(Plain("{\\rtf1\\ansi one\\par two  spaced\\line next\\tab tabbed\\par}"),
            "one\ntwo  spaced\nnext\ttabbed\n");
  // Line ends in the file are not line ends of the text; "\" before one is a paragraph; the last paragraph
  // needs no "\par".
  EXPECT_EQ(Plain("{\\rtf1 a\r\nb\\\nc\\page d\\sect e\\cell f\\row g}"), "ab\nc\nd\ne\tf\ng\n");
  EXPECT_EQ(Plain("{\\rtf1 }"), "");
  EXPECT_EQ(Body("{\\rtf1 a\\par\\par b}"),
            "<p style=\"margin-top:0pt; margin-bottom:0pt; white-space:pre-wrap;\">a</p>\n"
            "<p style=\"margin-top:0pt; margin-bottom:0pt; white-space:pre-wrap;\"><br/></p>\n"
            "<p style=\"margin-top:0pt; margin-bottom:0pt; white-space:pre-wrap;\">b</p>\n");
  EXPECT_THAT(Body("{\\rtf1 a\\line b\\tab c}"), HasSubstr(">a<br/>b\tc</p>"));
}

TEST(RtfReader, CharacterFormattingBecomesSpansThatEndWithTheirGroup) {
  const std::string body =
      Body("{\\rtf1 plain {\\b bold {\\i both}} \\ul under\\ulnone  \\strike gone\\strike0  "
           "\\fs30 big\\fs24  x\\super 2\\nosupersub  y\\sub i\\plain  z}");
  EXPECT_THAT(body, HasSubstr(">plain <span style=\"font-weight:bold;\">bold </span>"
                              "<span style=\"font-weight:bold; font-style:italic;\">both</span> "));
  EXPECT_THAT(body, HasSubstr("<span style=\"text-decoration:underline;\">under</span> "
                              "<span style=\"text-decoration:line-through;\">gone</span> "
                              "<span style=\"font-size:15pt;\">big</span> x"
                              "<span style=\"vertical-align:super;\">2</span> y"
                              "<span style=\"vertical-align:sub;\">i</span> z</p>"));
  EXPECT_THAT(
      Body("{\\rtf1 \\fs21\\ul\\strike a}"),
      HasSubstr("<span style=\"font-size:10.5pt; text-decoration:underline line-through;\">a</span>"));
  // "\b0" ends bold as "\b" with no number starts it.
  EXPECT_THAT(Body("{\\rtf1 \\b a\\b0 b}"), HasSubstr("<span style=\"font-weight:bold;\">a</span>b</p>"));
  // Hidden text is not shown.
  EXPECT_EQ(Plain("{\\rtf1 a{\\v hidden\\par}\\v b\\v0 c}"), "ac\n");
}

TEST(RtfReader, FontAndColourTablesGiveFamiliesAndColours) {
  const std::string html =
      Html("{\\rtf1\\deff1{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fswiss Arial{\\*\\falt "
           "Helv};}{\\f2\\fmodern Courier New;}\\f3\\fnil Old'Style\"<x>;}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}"
           "a \\f0 serif \\f2\\cf2 mono\\cf1 red\\cf0\\f1  back \\f3 odd \\f9 none \\cf7 nocolour}");
  EXPECT_THAT(html, HasSubstr("<body style=\"font-family:'Arial',sans-serif; font-size:12pt;\">"));
  EXPECT_THAT(html, HasSubstr(">a <span style=\"font-family:'Times New Roman',serif;\">serif </span>"));
  EXPECT_THAT(html,
              HasSubstr("<span style=\"font-family:'Courier New',monospace; color:#0080ff;\">mono</span>"
                        "<span style=\"font-family:'Courier New',monospace; color:#ff0000;\">red</span>"
                        " back "));
  // A font name cannot break out of its quotes or the attribute.
  EXPECT_THAT(html, HasSubstr("<span style=\"font-family:'OldStylex';\">odd </span>"));
  // An unknown font or colour is shown without one.
  EXPECT_THAT(html, HasSubstr("none nocolour</p>"));
}

TEST(RtfReader, ParagraphAlignmentIndentsAndSpacing) {
  const std::string body =
      Body("{\\rtf1 \\qc centred\\par\\pard\\qr\\li720\\ri360\\fi-360\\sb120\\sa240 right\\par"
           "\\pard\\qj\\li15 just\\par{\\pard\\ql left\\par}}");
  EXPECT_THAT(body, HasSubstr("white-space:pre-wrap; text-align:center;\">centred</p>"));
  EXPECT_THAT(body,
              HasSubstr("<p style=\"margin-top:6pt; margin-bottom:12pt; white-space:pre-wrap; "
                        "margin-left:36pt; margin-right:18pt; text-indent:-18pt; text-align:right;\">right"));
  EXPECT_THAT(body, HasSubstr("margin-left:0.75pt; text-align:justify;\">just</p>"));
  EXPECT_THAT(body, HasSubstr("white-space:pre-wrap;\">left</p>"));
}

TEST(RtfReader, HtmlIsEscapedThroughout) {
  EXPECT_THAT(Body("{\\rtf1 <b>&amp; \"x\" \\{\\}\\\\</b>}"),
              HasSubstr(">&lt;b&gt;&amp;amp; &quot;x&quot; {}\\&lt;/b&gt;</p>"));
  EXPECT_THAT(Html("{\\rtf1 <script>}"), Not(HasSubstr("<script>")));
}

TEST(RtfReader, BytesAreReadInTheDocumentsOrTheFontsCodePage) {
  EXPECT_EQ(Plain("{\\rtf1\\ansi caf\\'e9 \\'80 \\'93q\\'94}"), "café € “q”\n");
  EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2}"), "Привет\n");
  EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg1253 \\'e1\\'e2}"), "αβ\n");
  EXPECT_EQ(Plain("{\\rtf1\\mac \\'8e}"), "é\n");
  EXPECT_EQ(Plain("{\\rtf1\\pc \\'82}"), "é\n");
  // A font's character set wins over the document's code page: Central European and Turkish fonts.
  EXPECT_EQ(Plain("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset238 Arial CE;}{\\f2\\fcharset162 Arial "
                  "TUR;}}\\'e8 \\f1\\'e8 \\f2\\'fe}"),
            "è č ş\n");
  // Raw 8-bit bytes, which some writers leave unescaped, read the same way.
  EXPECT_EQ(Plain("{\\rtf1\\ansi caf\xe9}"), "café\n");
  // Double-byte code pages are not read: each character shows as one replacement mark.
  EXPECT_EQ(Plain("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0x\x82\x41y}"), "\xEF\xBF\xBDx\xEF\xBF\xBDy\n");
  // A broken escape shows nothing.
  EXPECT_EQ(Plain("{\\rtf1 a\\'zz b\\'4}"), "azz b4\n");
}

TEST(RtfReader, UnicodeCharactersSkipTheirFallback) {
  EXPECT_EQ(Plain("{\\rtf1 \\u8364?x \\uc2\\u8364\\'80\\'80y \\uc0\\u8364 z}"), "€x €y €z\n");
  // Negative numbers stand for the upper half; pairs of surrogates make one character.
  EXPECT_EQ(Plain("{\\rtf1 \\u-200?\\u-10179?\\u-8704?}"), "Ｘ😀\n");
  // The fallback never reaches past its group, and a control word counts as one of it.
  EXPECT_EQ(Plain("{\\rtf1 {\\uc3\\u955 ?}b \\u955\\emdash c}"), "λb λc\n");
  // Surrogates without their other half, and numbers beyond Unicode, are replaced.
  EXPECT_EQ(Plain("{\\rtf1 \\u-10179?a\\u-8704?b\\u2000000?}"), "\xEF\xBF\xBD"
                                                                "a\xEF\xBF\xBD"
                                                                "b\xEF\xBF\xBD\n");
  // A high surrogate left at the very end, inside a group or outside all of them, and one in hidden text.
  EXPECT_EQ(Plain("{\\rtf1 a{\\b\\u-10179?}}"), "a\xEF\xBF\xBD\n");
  EXPECT_EQ(Plain("{\\rtf1 a\\u-10179?}"), "a\xEF\xBF\xBD\n");
  EXPECT_EQ(Plain("{\\rtf1 a{\\v\\u-10179?}}"), "a\n");
  // Control characters are no text.
  EXPECT_EQ(Plain("{\\rtf1 a\\u7?\\u0?\\u9?b}"), "a\tb\n");
}

TEST(RtfReader, SpecialCharactersAndBullets) {
  EXPECT_EQ(Plain("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote|\\~|\\-|\\_|"
                  "\\emspace\\enspace\\qmspace}"),
            "—–•‘’“”|\u00A0||\u2011|\u2003\u2002\u2005\n");
  EXPECT_THAT(Body("{\\rtf1 a\\-b}"), HasSubstr(">a&shy;b</p>"));
  // List bullets from symbol fonts, as bytes and as their private-use Unicode form.
  EXPECT_EQ(Plain("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}{\\f2\\fcharset2 Wingdings;}}"
                  "{\\pntext\\f1\\'b7\\tab}one\\par{\\listtext\\f2\\'a7\\tab}two\\par\\f1\\u-3913?three}"),
            "•\tone\n▪\ttwo\n•three\n");
}

TEST(RtfReader, DestinationsThatHoldNoTextAreSkipped) {
  EXPECT_EQ(Plain("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}{\\*\\generator G;}"
                  "{\\header head\\par}{\\footer foot\\par}{\\*\\unknown x}{\\*\\pn{\\pntxtb\\'b7}}"
                  "{\\pict\\wmetafile8 0a0b\\bin5 }}{{x}shown"
                  "{\\field{\\*\\fldinst HYPERLINK \"http://h\"}{\\fldrslt link}}"
                  "{\\object\\objemb{\\*\\objdata 0102}{\\result result}}}"),
            "shownlinkresult\n");
  // The font and colour tables are read, not shown.
  EXPECT_EQ(Plain("{\\rtf1{\\fonttbl\\f0 Arial;\\f1 Times;}{\\colortbl;\\red1\\green2\\blue3;}text}"),
            "text\n");
}

TEST(RtfReader, BadInputIsRefusedWithItsReason) {
  EXPECT_EQ(Refused(""), "Not rich text: it does not start with {\\rtf[RtfToHtml]");
  EXPECT_EQ(Refused("\x89PNG\r\n\x1a\n\0\0"), "Not rich text: it does not start with {\\rtf[RtfToHtml]");
  EXPECT_EQ(Refused("{\\rtf1 {\\b open"),
            "Rich text groups do not balance: 2 groups are not closed at the end[RtfToHtml]");
  EXPECT_EQ(Refused("{\\rtf1 open"),
            "Rich text groups do not balance: 1 group is not closed at the end[RtfToHtml]");
  EXPECT_EQ(Refused("{\\rtf1 " + std::string(1000, '{') + std::string(1000, '}') + "}"),
            "Rich text groups nested deeper than 1000 levels at byte 1007[RtfToHtml]");
  EXPECT_EQ(Refused("{\\rtf1 \\fs12345678901 x}"),
            "A number in the rich text is too large at byte 21[RtfToHtml]");
  EXPECT_EQ(Refused("{\\rtf1 \\li3000000000 x}"),
            "A number in the rich text is too large at byte 21[RtfToHtml]");
  EXPECT_EQ(Refused("{\\rtf1{\\pict\\bin100 ab}}"),
            "Binary data runs past the end of the rich text at byte 21[RtfToHtml]");
  EXPECT_EQ(Refused("{\\rtf1 \\bin-1 x}"), "Binary data of a negative length at byte 15[RtfToHtml]");
  // Leading blanks and a byte-order mark are allowed; what follows the document's own group is not read.
  EXPECT_EQ(Plain("\xEF\xBB\xBF \r\n{\\rtf1 a} trailing {"), "a\n");
  // Junk inside a document is read as text where it can be, without failing.
  EXPECT_EQ(Plain(std::string("{\\rtf1 a\0b\x01\x7f", 12) + "}"), "ab\n");
}

TEST(RtfReader, OutputThatWouldOutgrowItsInputManyTimesIsRefused) {
  // Each paragraph mark becomes a whole paragraph of HTML: a document of nothing else would grow a
  // twentyfold; it is refused once its output passes its bounds.
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 1000000; ++i) {
    rtf += "\\par";
  }
  rtf += "}";
  std::string html;
  ErrorText error;
  EXPECT_FALSE(RtfToHtml(rtf, html, error));
  EXPECT_THAT(error, HasSubstr("Rich text of 4000008 bytes turns into more than 67108864 bytes of text"));
  std::string text;
  error.clear();
  EXPECT_TRUE(RtfToPlainText(rtf, text, error)) << error;
  EXPECT_EQ(text, std::string(1000000, '\n'));
}

// The descriptions the demo models ship with, as their Text pages show them.
TEST(RtfReader, TheDemoModelsDescriptionsRead) {
  for (const char* model : {"Minimal", "Trade"}) {
    const std::string path = std::string(PELORIN_MODELS_DIR) + "/" + model + "/" + model + ".rtf";
    Seed(test::ReadFileBytes(path));
    std::string html;
    ErrorText error;
    ASSERT_TRUE(RtfFileToHtml(path, html, error)) << error;
    EXPECT_THAT(html, HasSubstr("<span style=\"font-size:16pt; font-weight:bold;")) << model;
    EXPECT_THAT(html, HasSubstr("font-family:'Courier New',monospace;")) << model;
  }
  EXPECT_THAT(
      Plain(test::ReadFileBytes(std::string(PELORIN_MODELS_DIR) + "/Minimal/Minimal.rtf")),
      HasSubstr("on three goods \u2013 food, manufactures and services \u2013 in fixed budget shares"));
}

TEST(RtfReader, FilesAreReadWholeOrRefusedUnread) {
  test::TempDir dir;
  std::string html;
  ErrorText error;
  ASSERT_TRUE(RtfFileToHtml(dir.Write("m.rtf", "{\\rtf1 The model\\par}"), html, error)) << error;
  EXPECT_THAT(html, HasSubstr(">The model</p>"));

  EXPECT_FALSE(RtfFileToHtml(dir.File("none.rtf"), html, error));
  EXPECT_EQ(error, "Cannot open file " + dir.File("none.rtf") + "[RtfFileToHtml]");
  error.clear();
  EXPECT_FALSE(RtfFileToHtml(dir.Write("bad.rtf", "plain words"), html, error));
  EXPECT_EQ(error, "Not rich text: it does not start with {\\rtf[RtfToHtml][RtfFileToHtml]");

  // A file of a gigabyte (sparse: it takes no room) is refused by its size, without being read.
  const std::string huge = dir.File("huge.rtf");
  std::filesystem::resize_file(dir.Write("huge.rtf", "{\\rtf1 "), 1u << 30);
  error.clear();
  EXPECT_FALSE(RtfFileToHtml(huge, html, error));
  EXPECT_EQ(error, "The file " + huge + " is too large for a model description: 1073741824 bytes, at most " +
                       "33554432[RtfFileToHtml]");
  EXPECT_EQ(html, "");
}

} // namespace
} // namespace pelorin
