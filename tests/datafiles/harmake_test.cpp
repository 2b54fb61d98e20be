// The text form harmake reads: every statement, and errors that name their line.

#include "harmake/har_text.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(HarText, DescribesEveryKindOfHeader) {
  const char* text = R"(# a comment
flavour fujitsu
history "made for a test"

header NOTE "Two lines"   # trailing comment
  type 1C
  string "first line"
  string second
end
header FLOW "Flows"
  type RE sparse
  coefficient FLW
  set COM food mfg
  element REG north
  size 2
  values 1 0
         1*0 7.5
end
header MAT
  type 2I
  shape 2 2
  values 1 2 3 4
end
header DBL "Doubles, version 3"
  type DL v3
  size 2
  values 0.1 -2e3
end
)";
  HarText result;
  ErrorText errorText;
  ASSERT_TRUE(ParseHarText(text, result, errorText)) << errorText;
  EXPECT_TRUE(result.options.isFujitsu);
  ASSERT_EQ(result.headers.size(), 5u);
  EXPECT_EQ(result.headers[0].name, "XXHS");
  const HarHeader& note = result.headers[1];
  EXPECT_EQ(note.strings, (std::vector<std::string>{"first line", "second"}));
  const HarHeader& flow = result.headers[2];
  EXPECT_TRUE(flow.sparse);
  EXPECT_TRUE(flow.labelled);
  EXPECT_EQ(flow.coefficient, "FLW");
  ASSERT_EQ(flow.dims.size(), 3u);
  EXPECT_EQ(flow.dims[1].status, 'e');
  EXPECT_EQ(flow.reals, (std::vector<float>{1, 0, 0, 7.5f}));
  EXPECT_EQ(result.headers[3].ints, (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_TRUE(result.headers[4].version3);
  EXPECT_EQ(result.headers[4].doubles, (std::vector<double>{0.1, -2e3}));
}

TEST(HarText, ErrorsNameTheirLine) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"header A\n  type RE\n  size 2\n  values 1\nend\n", "line 5: header A needs 2 values but has 1"},
      {"header A\n  type XX\nend\n", "line 3: unknown type \"XX\""},
      {"header A\n  type 2R\n  values 1\nend\n", "line 4: a 2R header needs \"shape ROWS COLS\""},
      {"header A\n  type RL\n  set S a b\n  values 1 2\nend\n",
       "line 5: an RL header has no set labels; use RE or DE"},
      {"header TOOLONG\n", "line 1: a header name has 1 to 4 characters"},
      {"header A\n  type 1C\n", "line 3: header A is not ended by \"end\""},
      {"header A\n  type RL\n  values x\n", "line 3: \"x\" is not a number"},
      {"nonsense\n", "line 1: expected flavour, bookkeeping, history or header, found \"nonsense\""},
      {"header A \"open\n", "line 1: unclosed double quote"},
      {"header AB\n type 1C\nend\nheader X\n type 1C\nend\nheader ab\n type 1C\nend\n",
       "line 7: header ab is given twice: at line 1 and at line 7"},
      {"history \"h\"\nheader XXHS\n type 1C\nend\n",
       "line 2: header XXHS is given twice: made by the statement at line 1 and at line 2"},
      {"header XXCD\n type 1C\nend\nbookkeeping \"me\"\n",
       "line 1: header XXCD is given twice: made by the statement at line 4 and at line 1"},
  };
  for (const Case& c : cases) {
    HarText result;
    ErrorText errorText;
    EXPECT_FALSE(ParseHarText(c.text, result, errorText)) << c.text;
    EXPECT_EQ(errorText.rfind(c.message, 0), 0u) << errorText;
  }
}

} // namespace
} // namespace pelorin
