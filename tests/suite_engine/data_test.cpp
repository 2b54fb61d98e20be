#include "datafiles/har_writer.h"
#include "engine/data_io.h"
#include "engine/runtime.h"
#include "mrklang/parser.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace pelorin::engine {
namespace {

TEST(TextData, WritesAndReadsBackEveryValueExactly) {
  DataFile data;
  data.order = {"REG", "FLOW", "ONE"};
  data.arrays["REG"].isStrings = true;
  data.arrays["REG"].strings = {"usa", "eu"};
  data.arrays["FLOW"].dims = {2, 3};
  data.arrays["FLOW"].values = {0.1, 1.0 / 3.0, -2.5e-17, 1e300, 4, 5};
  data.arrays["FLOW"].longName = "Trade flows";
  data.arrays["ONE"].values = {42};
  const std::string text = TextDataBytes(data);
  test::SaveFuzzSeed("suite_stored_input", "data.txt", text);
  DataFile back;
  ErrorText err;
  ASSERT_TRUE(ParseTextData(text, "d.txt", back, err)) << err;
  EXPECT_EQ(back.order, data.order);
  EXPECT_EQ(back.arrays["REG"].strings, data.arrays["REG"].strings);
  EXPECT_EQ(back.arrays["FLOW"].dims, data.arrays["FLOW"].dims);
  EXPECT_EQ(back.arrays["FLOW"].values, data.arrays["FLOW"].values);
  EXPECT_EQ(back.arrays["FLOW"].longName, "Trade flows");
  EXPECT_EQ(back.arrays["ONE"].values, std::vector<double>{42});
}

TEST(TextData, RefusesDamagedFilesNamingTheLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"1 2 3\n",
       "d.txt:1: error: expected a line `header \"NAME\" real SIZES ;` or `header \"NAME\" strings COUNT ;`"},
      {"header \"TOOLONG\" real 1 ;\n1\n",
       "d.txt:1: error: header name \"TOOLONG\" must have 1 to 4 characters"},
      {"header \"A\" real 2 ;\n1\n",
       "d.txt:2: error: the file ends inside header \"A\" (1 of 2 values read)"},
      {"header \"A\" real 2 ;\n1 x\n", "d.txt:2: error: \"x\" is not a number"},
      {"header \"A\" real 1 ;\n1 2\n", "d.txt:2: error: header \"A\" has more than 1 values"},
      {"header \"A\" real -1 ;\n", "d.txt:1: error: size \"-1\" is not a whole number from 0 to 100000000"},
      {"header \"A\" real 1 ;\n1\nheader \"a\" real 1 ;\n2\n", "d.txt:3: error: header \"A\" appears twice"},
      {"header \"S\" strings 2 ;\nonly\n", "d.txt:2: error: the file ends inside header \"S\""},
      {"header \"A\" matrix 1 ;\n", "d.txt:1: error: expected real or strings but found \"matrix\""},
  };
  int n = 0;
  for (const auto& c : cases) {
    DataFile data;
    ErrorText err;
    EXPECT_FALSE(ParseTextData(c.text, "d.txt", data, err)) << c.text;
    EXPECT_EQ(err, c.error);
    test::SaveFuzzSeed("suite_stored_input", "baddata" + std::to_string(n++) + ".txt", c.text);
  }
}

TEST(HeaderArrayData, DoublePrecisionHeadersAreReadAndCopiedAtTheirOwnPrecision) {
  test::TempDir dir;
  const std::vector<double> precise{356.62452187, 1.0 / 3.0};
  ErrorText err;
  ASSERT_TRUE(WriteHarFile(dir.File("in.har"),
                           {MakeDoubles("KEEP", "Kept", {SetDim("REG", {"usa", "eu"})}, precise),
                            MakeDoubles("NEW", "Replaced", {SizeDim(2)}, {1, 2})},
                           {}, err))
      << err;
  DataFile data;
  ASSERT_TRUE(ReadDataFile(dir.File("in.har"), false, data, err)) << err;
  EXPECT_EQ(data.arrays["KEEP"].values, precise);

  // An updated file copies the headers it does not replace without rounding them to single precision.
  DataFile replacements;
  replacements.order = {"NEW"};
  replacements.arrays["NEW"].dims = {2};
  replacements.arrays["NEW"].values = {0.1, 0.2};
  ASSERT_TRUE(WriteUpdatedDataFile(dir.File("in.har"), false, dir.File("out.har"), replacements, "test", err))
      << err;
  DataFile updated;
  ASSERT_TRUE(ReadDataFile(dir.File("out.har"), false, updated, err)) << err;
  EXPECT_EQ(updated.arrays["KEEP"].values, precise);
  EXPECT_EQ(updated.arrays["KEEP"].elementNames, (std::vector<std::vector<std::string>>{{"usa", "eu"}}));
  EXPECT_EQ(updated.arrays["NEW"].values, (std::vector<double>{0.1, 0.2}));
}

TEST(TextData, FindsFilesWhoseNameOrFolderDiffersInCase) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.Path() / "Models");
  const std::string real = (dir.Path() / "Models" / "xshock.pre").string();
  std::ofstream(real) << "1\n";
  EXPECT_EQ(ResolvePathIgnoringCase((dir.Path() / "MODELS" / "XSHOCK.PRE").string()), real);
  EXPECT_EQ(ResolvePathIgnoringCase(real), real);
  const std::string missing = (dir.Path() / "none" / "x").string();
  EXPECT_EQ(ResolvePathIgnoringCase(missing), missing);
}

TEST(ModelRuntime, RefusesDataThatDoNotFitTheModel) {
  const char* model = R"(model M ;
file D input text ;
set REG = read D "REG" ;
set SUB = (eu) ;
subset SUB of REG ;
coefficient C(r in REG) = read D "C" ;
variable percent V(r in REG) = read D "V" ;
variable W = V("usa") ;
)";
  const struct {
    const char* data;
    const char* error;
  } cases[] = {
      {"header \"REG\" strings 2 ;\nusa\neu\nheader \"C\" real 3 ;\n1 2 3\nheader \"V\" real 2 ;\n1 1\n",
       "(model line 6) coefficient C: header \"C\" of file d.txt has size 3 but 2 is needed"},
      {"header \"REG\" strings 2 ;\nusa\neu\nheader \"V\" real 2 ;\n1 1\n",
       "(model line 6) coefficient C: header \"C\" is not in file d.txt"},
      {"header \"REG\" strings 2 ;\nusa\neu\nheader \"C\" real 2 ;\n1 2\nheader \"V\" real 2 ;\n1 0\n",
       "(model line 7) the initial level of V(\"eu\") is 0.000000; a percentage-change variable needs "
       "positive "
       "levels"},
      {"header \"REG\" strings 2 ;\nusa\nchina\nheader \"C\" real 2 ;\n1 2\nheader \"V\" real 2 ;\n1 1\n",
       "(model line 5) set SUB is declared a subset of REG but holds elements that are not in it"},
      {"header \"REG\" strings 2 ;\neu\nEU\n",
       "(model line 3) set REG: element \"EU\" appears twice in header \"REG\""},
      {"header \"REG\" strings 1 ;\neu\nheader \"C\" real 1 ;\n1\nheader \"V\" real 1 ;\n1\n",
       "(model line 8) \"usa\" is not an element of set REG"},
  };
  mrk::Model m;
  std::vector<mrk::Diagnostic> diagnostics;
  ASSERT_TRUE(mrk::ParseModel(model, m, diagnostics));
  for (const auto& c : cases) {
    DataFile data;
    ErrorText err;
    ASSERT_TRUE(ParseTextData(c.data, "d.txt", data, err)) << err;
    ModelRuntime rt;
    EXPECT_FALSE(rt.Load(m, {&data}, {"d.txt"}, err)) << c.data;
    EXPECT_EQ(err, c.error);
  }
}

} // namespace
} // namespace pelorin::engine
