// Data headers that carry set and element labels are checked against the model's sets before their values
// are read by position.

#include "datafiles/har_writer.h"
#include "engine/closure.h"
#include "engine/command_file.h"
#include "engine/data_io.h"
#include "engine/runtime.h"
#include "engine/solver.h"
#include "harmake/har_text.h"
#include "mrklang/parser.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace pelorin::engine {
namespace {

// Sectors and factors of the same size, so that an array over the one fits the other by its sizes alone.
const char* const kModel = R"(model M ;
file D input har ;
set SEC = (agr, man) ;
set FAC = (lab, cap) ;
set REG = read D "REG" ;
coefficient TAX(s in SEC) = read D "TAX" ;
coefficient F(s in SEC, f in FAC) = read D "F" ;
coefficient Y(r in REG) = read D "Y" ;
)";

struct Loaded {
  bool ok = false;
  ErrorText error;
  ModelRuntime rt;
};

void Load(const mrk::Model& model, const DataFile& data, const std::string& name, Loaded& out) {
  out.ok = out.rt.Load(model, {&data}, {name}, out.error);
}

mrk::Model Parse(const char* source) {
  mrk::Model model;
  std::vector<mrk::Diagnostic> diagnostics;
  EXPECT_TRUE(mrk::ParseModel(source, model, diagnostics));
  return model;
}

TEST(DataLabels, HeadersOverOtherSetsOrInAnotherOrderAreRefusedNamingWhereTheyDiffer) {
  const mrk::Model model = Parse(kModel);
  const HarHeader regions = MakeStrings("REG", "Regions", {"usa", "eu"});
  const HarHeader tax = MakeReals("TAX", "Tax", {SetDim("SEC", {"agr", "man"})}, {0.1f, 0.2f});
  const HarHeader factors =
      MakeReals("F", "Factors", {SetDim("SEC", {"agr", "man"}), SetDim("FAC", {"lab", "cap"})}, {1, 2, 3, 4});
  const HarHeader income = MakeReals("Y", "Income", {SetDim("REG", {"usa", "eu"})}, {5, 6});
  const struct {
    HarHeader header;
    const char* error;
  } cases[] = {
      {MakeReals("TAX", "Tax", {SetDim("SEC", {"man", "agr"})}, {0.2f, 0.1f}),
       "(model line 6) coefficient TAX: header \"TAX\" of file base.har, dimension 1, position 1: element "
       "\"agr\" of set SEC is expected but \"man\" was found"},
      {MakeReals("F", "Factors", {SetDim("FAC", {"lab", "cap"}), SetDim("SEC", {"agr", "man"})},
                 {1, 3, 2, 4}),
       "(model line 7) coefficient F: header \"F\" of file base.har, dimension 1 is over set FAC but set SEC "
       "is expected"},
      {MakeReals("F", "Factors", {SetDim("SEC", {"agr", "man"}), SetDim("FAC", {"cap", "lab"})},
                 {3, 4, 1, 2}),
       "(model line 7) coefficient F: header \"F\" of file base.har, dimension 2, position 1: element "
       "\"lab\" of set FAC is expected but \"cap\" was found"},
      {MakeReals("TAX", "Tax", {SetDim("REG", {"usa", "eu"})}, {0.1f, 0.2f}),
       "(model line 6) coefficient TAX: header \"TAX\" of file base.har, dimension 1 is over set REG but set "
       "SEC is expected"},
      {MakeReals("TAX", "Tax", {SetDim("SEC", {"usa", "eu"})}, {0.1f, 0.2f}),
       "(model line 6) coefficient TAX: header \"TAX\" of file base.har, dimension 1, position 1: element "
       "\"agr\" of set SEC is expected but \"usa\" was found"},
      // A set read from data takes its order from its strings; arrays over it must follow that order.
      {MakeReals("Y", "Income", {SetDim("REG", {"eu", "usa"})}, {6, 5}),
       "(model line 8) coefficient Y: header \"Y\" of file base.har, dimension 1, position 1: element "
       "\"usa\" "
       "of set REG is expected but \"eu\" was found"},
      // An unlabelled dimension that names its set is checked by that name.
      {MakeReals("TAX", "Tax", {SizeDim(2, "FAC")}, {0.1f, 0.2f}, true),
       "(model line 6) coefficient TAX: header \"TAX\" of file base.har, dimension 1 is over set FAC but set "
       "SEC is expected"},
      // Labels in double precision are read the same way; a difference beyond the common part is a size.
      {MakeDoubles("TAX", "Tax", {SetDim("SEC", {"agr", "man", "ser"})}, {0.1, 0.2, 0.3}),
       "(model line 6) coefficient TAX: header \"TAX\" of file base.har has size 3 but 2 is needed"},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    std::vector<HarHeader> headers{regions, tax, factors, income};
    for (HarHeader& h : headers) {
      if (h.name == c.header.name) {
        h = c.header;
      }
    }
    ErrorText err;
    ASSERT_TRUE(WriteHarFile(dir.File("base.har"), headers, {}, err)) << err;
    DataFile data;
    ASSERT_TRUE(ReadDataFile(dir.File("base.har"), false, data, err)) << err;
    Loaded loaded;
    Load(model, data, "base.har", loaded);
    EXPECT_FALSE(loaded.ok) << c.error;
    EXPECT_EQ(loaded.error, c.error);
  }

  // A dimension that is one element of a set is checked by its element alone.
  {
    const mrk::Model one = Parse(R"(model M ;
file D input har ;
set SEC = (agr, man) ;
set ONE = (usa) ;
coefficient C(s in SEC, o in ONE) = read D "C" ;
)");
    for (const char* element : {"usa", "eu"}) {
      ErrorText err;
      ASSERT_TRUE(WriteHarFile(
          dir.File("one.har"),
          {MakeReals("C", "C", {SetDim("SEC", {"agr", "man"}), ElementDim("REG", element)}, {1, 2}, true)},
          {}, err))
          << err;
      DataFile data;
      ASSERT_TRUE(ReadDataFile(dir.File("one.har"), false, data, err)) << err;
      Loaded loaded;
      Load(one, data, "one.har", loaded);
      EXPECT_EQ(loaded.ok, std::string(element) == "usa") << loaded.error;
      if (!loaded.ok) {
        EXPECT_EQ(loaded.error, "(model line 5) coefficient C: header \"C\" of file one.har, dimension 2, "
                                "position 1: element \"usa\" of set ONE is expected but \"eu\" was found");
      }
    }
  }

  // Labels that agree, in any case, are read; so are headers without labels, by position as ever.
  ErrorText err;
  ASSERT_TRUE(WriteHarFile(dir.File("base.har"),
                           {regions, MakeReals("TAX", "Tax", {SetDim("sec", {"AGR", "Man"})}, {0.1f, 0.2f}),
                            MakeReals("F", "Factors", {SizeDim(2), SizeDim(2)}, {1, 2, 3, 4}), income},
                           {}, err))
      << err;
  DataFile data;
  ASSERT_TRUE(ReadDataFile(dir.File("base.har"), false, data, err)) << err;
  Loaded loaded;
  Load(model, data, "base.har", loaded);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_EQ(loaded.rt.CoefficientValues(model.FindCoefficient("F")), (std::vector<double>{1, 2, 3, 4}));
}

TEST(DataLabels, TextDataCarryLabelsThroughWritingAndReadingAndAreCheckedAlike) {
  const mrk::Model model = Parse(R"(model M ;
file D input text ;
set SEC = (agr, man) ;
set FAC = (lab, cap) ;
coefficient F(s in SEC, f in FAC) = read D "F" ;
)");
  DataFile written;
  written.order = {"F"};
  DataArray& f = written.arrays["F"];
  f.dims = {2, 2};
  f.values = {1, 2, 3, 4};
  f.setNames = {"SEC", "FAC"};
  f.elementNames = {{"agr", "man"}, {"lab", "cap"}};
  const std::string text = TextDataBytes(written);
  EXPECT_EQ(text, "header \"F\" real 2 2 ;\nset SEC agr man ;\nset FAC lab cap ;\n1 2\n3 4\n");
  test::SaveFuzzSeed("suite_stored_input", "labelled.txt", text);
  DataFile back;
  ErrorText err;
  ASSERT_TRUE(ParseTextData(text, "d.txt", back, err)) << err;
  EXPECT_EQ(back.arrays["F"].setNames, f.setNames);
  EXPECT_EQ(back.arrays["F"].elementNames, f.elementNames);
  Loaded loaded;
  Load(model, back, "d.txt", loaded);
  EXPECT_TRUE(loaded.ok) << loaded.error;

  ASSERT_TRUE(ParseTextData("header \"F\" real 2 2 ;\nset FAC lab, cap ;\nset SEC agr, man ;\n1 2 3 4\n",
                            "d.txt", back, err))
      << err;
  Load(model, back, "d.txt", loaded);
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.error, "(model line 5) coefficient F: header \"F\" of file d.txt, dimension 1 is over set "
                          "FAC but set SEC is expected");

  const struct {
    const char* text;
    const char* error;
  } bad[] = {
      {"header \"F\" real 2 2 ;\nset SEC agr ;\nset FAC lab cap ;\n1 2 3 4\n",
       "d.txt:2: error: set SEC lists 1 elements but dimension 1 of header \"F\" has size 2"},
      {"header \"F\" real 2 2 ;\nset SEC agr man ;\n1 2 3 4\n",
       "d.txt:3: error: header \"F\" has 2 dimensions but 1 set lines"},
      {"header \"F\" real 2 ;\nset SEC agr man ;\nset FAC lab cap ;\n1 2\n",
       "d.txt:3: error: header \"F\" has 1 dimensions but more set lines"},
      {"header \"F\" real 1 ;\nset ABCDEFGHIJKLM x ;\n1\n",
       "d.txt:2: error: expected `set NAME element element ... ;` with a set name of 1 to 12 characters"},
      {"header \"F\" real 1 ;\nset S abcdefghijklm ;\n1\n",
       "d.txt:2: error: element name \"abcdefghijklm\" must have 1 to 12 characters"},
  };
  for (const auto& c : bad) {
    DataFile data;
    ErrorText error;
    EXPECT_FALSE(ParseTextData(c.text, "d.txt", data, error)) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

// ---- The demo models' data, permuted and transposed at random ----

struct DemoModel {
  mrk::Model model;
  std::vector<std::string> fileNames;
  std::vector<DataFile> data;
};

// The model compiled from its source and its data files written by harmake's reader and read back as the
// engine reads them, so the labels are those of the installed files.
void LoadDemo(const std::string& name, const test::TempDir& dir, DemoModel& demo) {
  const std::filesystem::path folder = std::filesystem::path(PELORIN_MODELS_DIR) / name;
  std::vector<mrk::Diagnostic> diagnostics;
  ASSERT_TRUE(mrk::ParseModel(test::ReadFileBytes(folder / (name + ".mrk")), demo.model, diagnostics));
  demo.data.assign(demo.model.files.size(), {});
  demo.fileNames.assign(demo.model.files.size(), {});
  for (std::size_t f = 0; f < demo.model.files.size(); ++f) {
    if (demo.model.files[f].kind != mrk::FileKind::Input) {
      continue;
    }
    std::string stem = demo.model.files[f].name;
    std::transform(stem.begin(), stem.end(), stem.begin(), [](unsigned char c) { return std::tolower(c); });
    HarText text;
    ErrorText err;
    ASSERT_TRUE(ParseHarText(test::ReadFileBytes(folder / (stem + ".txt")), text, err)) << stem << err;
    demo.fileNames[f] = dir.File(stem + ".har");
    ASSERT_TRUE(WriteHarFile(demo.fileNames[f], text.headers, text.options, err)) << err;
    ASSERT_TRUE(ReadDataFile(demo.fileNames[f], false, demo.data[f], err)) << err;
  }
}

// The same data stored another way: dimension `d` in the order `order` (new position i holds old element
// order[i]), or dimensions `d` and `e` swapped.
DataArray Permuted(const DataArray& a, std::size_t d, const std::vector<std::size_t>& order) {
  DataArray b = a;
  for (std::size_t i = 0; i < order.size(); ++i) {
    b.elementNames[d][i] = a.elementNames[d][order[i]];
  }
  std::int64_t stride = 1;
  for (std::size_t k = 0; k < d; ++k) {
    stride *= a.dims[k];
  }
  const std::int64_t n = a.dims[d];
  for (std::int64_t k = 0; k < static_cast<std::int64_t>(a.values.size()); ++k) {
    const std::int64_t i = (k / stride) % n;
    const std::int64_t from =
        k + (static_cast<std::int64_t>(order[static_cast<std::size_t>(i)]) - i) * stride;
    b.values[static_cast<std::size_t>(k)] = a.values[static_cast<std::size_t>(from)];
  }
  return b;
}

DataArray Transposed(const DataArray& a, std::size_t d, std::size_t e) {
  DataArray b = a;
  std::swap(b.dims[d], b.dims[e]);
  std::swap(b.setNames[d], b.setNames[e]);
  std::swap(b.elementNames[d], b.elementNames[e]);
  const std::size_t n = a.dims.size();
  std::vector<std::int64_t> index(n, 0);
  for (std::size_t k = 0; k < a.values.size(); ++k) {
    // index runs over the old array, dimension 1 fastest
    std::vector<std::int64_t> to = index;
    std::swap(to[d], to[e]);
    std::int64_t offset = 0;
    std::int64_t stride = 1;
    for (std::size_t j = 0; j < n; ++j) {
      offset += to[j] * stride;
      stride *= b.dims[j];
    }
    b.values[static_cast<std::size_t>(offset)] = a.values[k];
    for (std::size_t j = 0; j < n && ++index[j] == a.dims[j]; ++j) {
      index[j] = 0;
    }
  }
  return b;
}

bool SameLabels(const DataArray& a, const DataArray& b) {
  return a.setNames == b.setNames && a.elementNames == b.elementNames;
}

// Johansen solutions of the model on its data with its own closure and shocks: the y moves of every
// component.
std::vector<double> Solve(const DemoModel& demo, const std::vector<const DataFile*>& inputs,
                          const std::string& commands) {
  ModelRuntime rt;
  CommandFile cmf;
  Simulation sim;
  ErrorText err;
  std::vector<double> moves;
  if (!(rt.Load(demo.model, inputs, demo.fileNames, err) && ParseCommandFile(commands, "t.cmf", cmf, err) &&
        BuildClosure(cmf, rt, sim, err) && BuildShocks(cmf, rt, sim, err) && rt.BuildTapes(err))) {
    ADD_FAILURE() << err;
    return moves;
  }
  Solver solver(rt, sim, [](const std::string&) {});
  MethodOptions method;
  method.method = MethodOptions::Johansen;
  method.steps = {1};
  SolveOutcome out;
  std::string reason;
  EXPECT_TRUE(solver.CheckClosure(reason)) << reason;
  EXPECT_TRUE(solver.Solve(method, nullptr, {}, out, err)) << err;
  for (std::size_t k = 0; k < out.y1.size(); ++k) {
    moves.push_back(out.y1[k] - out.y0[k]);
  }
  return moves;
}

TEST(DataLabels, DemoDataPermutedOrTransposedAtRandomAreRefusedUnlessUnchanged) {
  const struct {
    const char* name;
    const char* commands;
  } models[] = {
      {"Minimal",
       "exogenous QFAC INCOME ; rest endogenous ; shock QFAC(\"labour\") = 10 ; shock INCOME = 5 ;"},
      {"Trade", "exogenous TMS EXPEND AO ; rest endogenous ; shock TMS(\"food\", \"usa\", \"eu\") = -5 ; "
                "shock AO(\"manuf\", \"asia\") = 10 ;"},
  };
  std::mt19937 random(17);
  for (const auto& m : models) {
    SCOPED_TRACE(m.name);
    test::TempDir dir;
    DemoModel demo;
    LoadDemo(m.name, dir, demo);
    if (HasFatalFailure()) {
      return;
    }
    std::vector<const DataFile*> inputs;
    for (const DataFile& d : demo.data) {
      inputs.push_back(&d);
    }
    const std::vector<double> expected = Solve(demo, inputs, m.commands);
    ASSERT_FALSE(expected.empty());

    // The labelled headers the model reads, as (file, header).
    std::vector<std::pair<std::size_t, std::string>> read;
    for (const mrk::Coefficient& c : demo.model.coefficients) {
      if (c.source == mrk::Source::Read && !c.sets.empty()) {
        read.emplace_back(static_cast<std::size_t>(c.file), c.header);
      }
    }
    ASSERT_FALSE(read.empty());
    int refused = 0;
    int unchanged = 0;
    for (int trial = 0; trial < 60; ++trial) {
      const auto& [file, header] = read[random() % read.size()];
      const DataArray& original = demo.data[file].arrays.at(header);
      ASSERT_EQ(original.elementNames.size(), original.dims.size()) << header << " carries no labels";
      DataArray changed;
      const std::size_t d = random() % original.dims.size();
      const std::size_t e = random() % original.dims.size();
      if (trial % 3 == 2 && d != e && original.setNames[d] != original.setNames[e]) {
        changed = Transposed(original, d, e);
      } else {
        std::vector<std::size_t> order(static_cast<std::size_t>(original.dims[d]));
        std::iota(order.begin(), order.end(), 0);
        if (trial % 4 != 0) {
          std::shuffle(order.begin(), order.end(), random);
        }
        changed = Permuted(original, d, order);
      }
      std::vector<DataFile> data = demo.data;
      data[file].arrays[header] = changed;
      std::vector<const DataFile*> changedInputs;
      for (const DataFile& df : data) {
        changedInputs.push_back(&df);
      }
      if (SameLabels(changed, original)) {
        ++unchanged;
        EXPECT_EQ(Solve(demo, changedInputs, m.commands), expected) << header;
        continue;
      }
      ModelRuntime rt;
      ErrorText err;
      EXPECT_FALSE(rt.Load(demo.model, changedInputs, demo.fileNames, err)) << header;
      EXPECT_NE(err.find("header \"" + header + "\" of file " + demo.fileNames[file] + ", dimension "),
                std::string::npos)
          << err;
      ++refused;
    }
    EXPECT_GT(refused, 20);
    EXPECT_GT(unchanged, 5);
  }
}

} // namespace
} // namespace pelorin::engine
