// The Header Array reader: dimensions, labels, storage methods, version-3 headers, the whole-file and
// single-header reads, and the messages of damaged files. Good headers come from the writer; damaged ones are
// written record by record.

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "platform/memory_status.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>

namespace pelorin {
namespace {

std::string Int32(std::int64_t v) {
  std::string out;
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF));
  }
  return out;
}

std::string Ints(std::initializer_list<std::int64_t> values) {
  std::string out;
  for (std::int64_t v : values) {
    out += Int32(v);
  }
  return out;
}

std::string Pad(std::string text, std::size_t n) {
  text.resize(n, ' ');
  return text;
}

std::string Desc(const std::string& type, const std::string& storage, const std::string& longName,
                 std::initializer_list<std::int64_t> ints) {
  return "    " + type + storage + Pad(longName, 70) + Ints(ints);
}

class HarReaderTest : public ::testing::Test {
protected:
  ~HarReaderTest() override {
    SetMemoryStatusSource(nullptr);
    SetHarWarningHandler(nullptr);
  }

  // A file of good headers followed by raw records; saved as a fuzz seed under `name`.
  std::string Write(const std::string& name, const std::vector<HarHeader>& headers,
                    const std::vector<std::string>& raw = {}, bool fujitsu = false) {
    HarWriteOptions options;
    options.isFujitsu = fujitsu;
    HarWriter writer(options);
    writer.CreateInMemory();
    ErrorText writing;
    for (const HarHeader& header : headers) {
      EXPECT_TRUE(writer.Write(header, writing)) << writing;
    }
    for (const std::string& record : raw) {
      writer.Records().WriteRecord(record, writing);
    }
    if (writer.Bytes().size() < 100'000) {
      test::SaveFuzzSeed("datafiles_har", name, writer.Bytes());
    }
    return dir.Write(name + ".har", writer.Bytes());
  }

  std::unique_ptr<HarData> Read(const std::string& path, bool sort = false, bool skipBad = false) {
    std::unique_ptr<HarData> data;
    bool skipped = false;
    errorText.clear();
    EXPECT_TRUE(ReadHarFile(path, sort, skipBad, data, skipped, errorText)) << errorText;
    return data;
  }

  // The message of a whole-file read that must fail (and must leave nothing allocated).
  std::string Failure(const std::string& path, bool skipBad = false) {
    const std::int64_t before = AllocationTotal();
    std::unique_ptr<HarData> data;
    bool skipped = false;
    errorText.clear();
    EXPECT_FALSE(ReadHarFile(path, false, skipBad, data, skipped, errorText));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(AllocationTotal(), before);
    return errorText;
  }

  test::TempDir dir;
  ErrorText errorText;
};

TEST_F(HarReaderTest, NumberOfDimensionsFollowsTheSizes) {
  struct Case {
    std::array<std::int64_t, 7> sizes;
    int nDim;
  };
  for (const Case& c : {Case{{1, 1, 1, 1, 1, 1, 1}, 1}, Case{{5, 1, 1, 1, 1, 1, 1}, 1},
                        Case{{5, 1, 3, 1, 1, 1, 1}, 3}, Case{{5, 0, 1, 1, 1, 1, 1}, 2}}) {
    int nDim = -1;
    ASSERT_TRUE(FindNDim(c.sizes, nDim, errorText));
    EXPECT_EQ(nDim, c.nDim);
  }
  int nDim = 0;
  EXPECT_FALSE(FindNDim({1, -2, 1, 1, 1, 1, 1}, nDim, errorText));
  EXPECT_EQ(errorText, "Dimension < 0 [FindNDim]");
}

TEST_F(HarReaderTest, HeadersKeepTheirLabelsAndDimensionTexts) {
  const HarDim com = SetDim("COM", {"food", "mfg"});
  auto data = Read(
      Write("labels",
            {MakeReals("AB", "  Flows  ", {com, SizeDim(3, "UNK3"), com}, std::vector<float>(12, 1)),
             MakeReals("UNKS", "", {SizeDim(23, "unk23"), SizeDim(23, "UNK24")}, std::vector<float>(529, 0)),
             MakeRealMatrix("ROW", "?", 1, 12, std::vector<float>(12, 2)),
             MakeIntMatrix("INTM", "Integers", 2, 3, {1, 2, 3, 4, 5, 6})}));
  ASSERT_NE(data, nullptr);
  const THeadRecz& ab = *data->heads[0];
  EXPECT_EQ(ab.name, "AB  ");
  EXPECT_EQ(ab.longName, "Flows");
  EXPECT_EQ(ab.nDim, 3);
  EXPECT_EQ(ab.dimTextLabelled, "COM*3*COM");
  EXPECT_EQ(ab.dimTextSizes, "2*3*2");
  EXPECT_EQ(ab.elements[0], ab.elements[2]); // one list for both dimensions over COM
  EXPECT_EQ((*ab.elements[0])[2], "mfg");
  EXPECT_EQ(ab.setNames[1], ""); // "UNK3" of a dimension of size 3 is no set name
  const THeadRecz& unks = *data->heads[1];
  EXPECT_EQ(unks.setNames[0], "");
  EXPECT_EQ(unks.setNames[1], "UNK24");
  const THeadRecz& row = *data->heads[2];
  EXPECT_EQ(row.headType, "RE");
  EXPECT_EQ(row.orgHeadType, "2R");
  EXPECT_EQ(row.nDim, 1);
  EXPECT_EQ(row.sizes[0], 12);
  EXPECT_EQ(row.numValues, 12);
  EXPECT_EQ(row.longName, " ");
  const THeadRecz& intm = *data->heads[3];
  EXPECT_EQ(intm.dimTextSizes, "2*3");
  EXPECT_EQ(intm.intMatrix.At(2, 3), 6);
}

TEST_F(HarReaderTest, SparseArraysReadTheirValuesAndZeroTheRest) {
  HarHeader empty = MakeReals("NONE", "All zero", {SetDim("A", {"a1", "a2", "a3"})}, {0, 0, 0});
  empty.sparse = true;
  HarHeader some =
      MakeDoubles("SOME", "Some", {SetDim("A", {"a1", "a2", "a3"}), SizeDim(2)}, {0, 0, 5, 0, 0, -1});
  some.sparse = true;
  auto data = Read(Write("sparse", {empty, some}));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(std::vector<float>(data->heads[0]->values.Data(), data->heads[0]->values.Data() + 3),
            (std::vector<float>{0, 0, 0}));
  EXPECT_EQ(data->heads[1]->values.At(3, 1), 5);
  EXPECT_EQ(data->heads[1]->values.At(3, 2), -1);
  EXPECT_EQ(data->heads[1]->values.At(1, 2), 0);
}

TEST_F(HarReaderTest, NonFiniteValuesBecomeTheMarkerAndAreCounted) {
  const float inf = std::numeric_limits<float>::infinity();
  HarHeader sparse = MakeReals("SPNF", "Sparse", {SetDim("A", {"a", "b"})}, {std::nanf(""), 0});
  sparse.sparse = true;
  auto data =
      Read(Write("nonfinite", {MakeReals("FULL", "Full", {SizeDim(3)}, {1, inf, -inf}),
                               MakeDoubles("DBL", "Doubles", {SizeDim(3)}, {std::nan(""), 1e300, 2.5}),
                               sparse, MakeRealMatrix("MAT", "Matrix", 2, 2, {inf, 1, 2, 3})}));
  ASSERT_NE(data, nullptr);
  const THeadRecz& full = *data->heads[0];
  EXPECT_EQ(full.values.At(2), kNonFiniteValue);
  EXPECT_EQ(full.values.At(3), kNonFiniteValue);
  EXPECT_EQ(full.numNonFinite, 2);
  // A finite double beyond the single range would become an infinity; it is marked the same way.
  const THeadRecz& dbl = *data->heads[1];
  EXPECT_EQ(dbl.values.At(1), kNonFiniteValue);
  EXPECT_EQ(dbl.values.At(2), kNonFiniteValue);
  EXPECT_EQ(dbl.values.At(3), 2.5f);
  EXPECT_EQ(data->heads[2]->values.At(1), kNonFiniteValue);
  EXPECT_EQ(data->heads[3]->values.At(1, 1), kNonFiniteValue);
}

TEST_F(HarReaderTest, DoublePrecisionValuesAreKeptAsStoredWhenAsked) {
  std::vector<double> values{356.62452187, 1.0 / 3.0, -2.5e-300, 1e300, 0.1};
  for (int i = 0; i < 55; ++i) {
    values.push_back(i / 7.0);
  }
  std::vector<double> some(values.size(), 0.0);
  some[1] = 1.0 / 3.0;
  some[58] = 0.1;
  HarHeader full = MakeDoubles("FULL", "Full", {SetDim("A", {"a1", "a2", "a3"}), SizeDim(20)}, values);
  HarHeader unlabelled = MakeDoubles("DL", "Unlabelled", {SizeDim(60)}, values);
  HarHeader sparse = MakeDoubles("SPSE", "Sparse", {SizeDim(60)}, some, true);
  sparse.sparse = true;
  HarHeader v3 = MakeDoubles("V3", "Version 3", {SizeDim(60)}, values);
  v3.version3 = true;
  HarWriteOptions small;
  small.maxRecordBytes = 200; // values split over several records
  ErrorText writing;
  const std::string path = dir.File("doubles.har");
  ASSERT_TRUE(WriteHarFile(path, {full, unlabelled, sparse, v3}, small, writing)) << writing;
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ASSERT_TRUE(ReadHarFile(path, false, false, data, skipped, errorText, HarReadOptions{true})) << errorText;
  ASSERT_EQ(data->NumHeads(), 4);
  EXPECT_EQ(data->heads[0]->doubles, values);
  EXPECT_EQ(data->heads[1]->doubles, values);
  EXPECT_EQ(data->heads[2]->doubles, some);
  EXPECT_EQ(data->heads[3]->doubles, values);
  // The singles beside them are as ever, and a header written back keeps the doubles.
  EXPECT_EQ(data->heads[0]->values.At(1, 1), 356.62452187f);
  EXPECT_EQ(HarHeaderFromHead(*data->heads[0]).doubles, values);

  std::unique_ptr<THeadRecz> one;
  ASSERT_TRUE(ReadHeaderFromHarFile(path, "FULL", false, one, errorText, HarReadOptions{true})) << errorText;
  EXPECT_EQ(one->doubles, values);
  // Without asking, nothing more is held.
  ASSERT_TRUE(ReadHeaderFromHarFile(path, "FULL", false, one, errorText)) << errorText;
  EXPECT_TRUE(one->doubles.empty());
}

TEST_F(HarReaderTest, VersionThreeHeadersBecomeVersionOneHeaders) {
  HarHeader scalar = MakeReals("SCAL", "A scalar", {}, {4.5f});
  scalar.version3 = true;
  HarHeader ints = MakeIntMatrix("INT3", "Integers", 2, 2, {1, 2, 3, 4});
  ints.version3 = true;
  auto data = Read(Write("v3", {scalar, ints}));
  ASSERT_NE(data, nullptr);
  const THeadRecz& s = *data->heads[0];
  EXPECT_TRUE(s.isV3);
  EXPECT_EQ(s.nDim, 0);
  EXPECT_EQ(s.scalarValue, 4.5f);
  EXPECT_EQ(s.dimTextSizes, "1");
  EXPECT_EQ(data->heads[1]->headType, "2I");
  EXPECT_EQ(data->heads[1]->intMatrix.At(1, 2), 3);

  HarHeader chars = MakeReals("CHR3", "Characters", {SizeDim(2)}, {1, 2});
  chars.version3 = true;
  std::string bytes = HarFileBytes({chars});
  const std::size_t code = bytes.find("rlFULL");
  ASSERT_NE(code, std::string::npos);
  bytes.replace(code, 2, "cl");
  const std::string path = dir.Write("v3chars.har", bytes);
  test::SaveFuzzSeed("datafiles_har", "v3chars", bytes);
  EXPECT_EQ(Failure(path),
            "At header CHR3\r\nCannnot yet process this V3 Data Type \"cl\" at header CHR3\r\n"
            "v3 string type not yet supported\r\nYou may need a later program version to read this "
            "file [GetHeaderDetails] [GetHeaderRecord] [ReadMoreIntoHarFile] [ReadHarFile]");
}

TEST_F(HarReaderTest, WholeFileReadPutsXXHeadersFirstAndSortsOnRequest) {
  const std::string path = Write("order", {MakeStrings("ZZ", "", {"z"}), MakeStrings("XXAB", "", {"x"}),
                                           MakeStrings("AA", "", {"a"}),
                                           MakeStrings("XXCD", "Creation Date and Time", {"at noon"}, 70)});
  auto plain = Read(path);
  ASSERT_NE(plain, nullptr);
  ASSERT_EQ(plain->NumHeads(), 3);
  EXPECT_EQ(plain->heads[0]->name, "XXAB");
  EXPECT_EQ(plain->heads[1]->name, "ZZ  ");
  EXPECT_EQ(plain->xxcd->strings[1], "at noon");
  auto sorted = Read(path, true);
  ASSERT_NE(sorted, nullptr);
  EXPECT_EQ(sorted->heads[1]->name, "AA  ");
  EXPECT_EQ(sorted->heads[2]->name, "ZZ  ");
}

TEST_F(HarReaderTest, SolviewHistoryMarksPercentAndChangeHeaders) {
  auto data = Read(Write("solview", {MakeStrings("XXHS", "File History", {"  #solview output", "more"}, 60),
                                     MakeReals("P", "Prices (p)", {SizeDim(1)}, {1}),
                                     MakeReals("C", "Stocks (c)", {SizeDim(1)}, {1}),
                                     MakeReals("N", "Neither", {SizeDim(1)}, {1})}));
  ASSERT_NE(data, nullptr);
  EXPECT_TRUE(data->solView);
  EXPECT_EQ(data->heads[0]->mark, 'p');
  EXPECT_EQ(data->heads[1]->mark, 'c');
  EXPECT_EQ(data->heads[2]->mark, ' ');
}

TEST_F(HarReaderTest, HeaderLimitIsTenThousandFifty) {
  std::vector<HarHeader> headers;
  for (int i = 0; i < kMaxHeaders; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "%04X", i);
    headers.push_back(MakeIntMatrix(name, "", 1, 1, {i}));
  }
  auto data = Read(Write("limit", headers));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->NumHeads(), kMaxHeaders);
  headers.push_back(MakeIntMatrix("MORE", "", 1, 1, {0}));
  EXPECT_EQ(Failure(Write("limit1", headers)),
            "Too many headers: max is 10050 [ReadMoreIntoHarFile] [ReadHarFile]");
}

TEST_F(HarReaderTest, SingleHeaderReadFindsOrMissesWithoutFailing) {
  const std::string path = Write(
      "single", {MakeStrings("ONE", "", {"1"}), MakeReals("two", "Two", {SizeDim(2)}, {3, 4})}, {}, true);
  std::unique_ptr<THeadRecz> head;
  ASSERT_TRUE(ReadHeaderFromHarFile(path, "Two", false, head, errorText)) << errorText;
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(head->values.At(2), 4);
  ASSERT_TRUE(ReadHeaderFromHarFile(path, "NONE", false, head, errorText));
  EXPECT_EQ(head, nullptr);
}

TEST_F(HarReaderTest, BadDescriptionsFailOrAreSkipped) {
  const std::string path = Write("baddesc", {MakeStrings("GOOD", "", {"g"})},
                                 {"BAD ", Desc("ZZ", "FULL", "", {2, 1, 1}), "AFT ",
                                  Desc("1C", "FULL", "", {2, 1, 1}), "    " + Ints({1, 1, 1}) + "x"});
  EXPECT_EQ(Failure(path),
            "Bad details at header \"BAD \"\r\nUnrecognized Data Type ZZ\r\nYou may be able to read this "
            "data using a more recent version of this program. [GetDesc] [GetHeaderRecord] "
            "[ReadMoreIntoHarFile] [ReadHarFile]");
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ASSERT_TRUE(ReadHarFile(path, false, true, data, skipped, errorText)) << errorText;
  EXPECT_TRUE(skipped);
  ASSERT_EQ(data->NumHeads(), 2);
  EXPECT_EQ(data->heads[1]->name, "AFT ");
  std::unique_ptr<THeadRecz> head;
  EXPECT_TRUE(ReadHeaderFromHarFile(path, "BAD", true, head, errorText));
  EXPECT_EQ(head, nullptr);
  errorText.clear();
  EXPECT_FALSE(ReadHeaderFromHarFile(path, "BAD", false, head, errorText));
  EXPECT_EQ(errorText.substr(0, 26), "Bad details at header \"BAD");
}

// Each damaged header follows one good one; the expected text is the message before the routine tags.
TEST_F(HarReaderTest, DamagedHeadersGiveTheReadersMessages) {
  struct Case {
    const char* name;
    std::vector<std::string> records;
    std::string message;
  };
  const std::string strings1C = Desc("1C", "FULL", "", {2, 2, 4});
  const std::string full = Desc("RL", "FULL", "", {7, 2, 1, 1, 1, 1, 1, 1});
  const std::string sparse = Desc("RE", "SPSE", "", {7, 2, 1, 1, 1, 1, 1, 1});
  const std::string noSets = "    " + Ints({0, 1, 0}) + Pad("", 12) + Ints({0, 0});
  const std::string dims = "    " + Ints({3, 7, 2, 1, 1, 1, 1, 1, 1});
  const std::string limits = "    " + Ints({2, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  const std::vector<Case> cases{
      {"illegal02", {Desc("02", "FULL", "", {})}, "Illegal data type 02 [GetDesc]"},
      {"storage", {Desc("1C", "SPSE", "", {2, 1, 1})}, "Unrecognized Storage Method: SPSE [GetDesc]"},
      {"desclen", {Desc("RE", "FULL", "", {7, 1})}, "Description Record wrong length [GetDesc]"},
      {"strtotal",
       {strings1C, "    " + Ints({1, 3, 2}) + "abcdefgh"},
       "Expected 2 strings in record, but found 3"},
      {"strcount", {strings1C, "    " + Ints({1, 2, 1}) + "abcdefgh"}, "1C record wrong length"},
      {"strfew", {strings1C, "    " + Ints({1, 2, 1}) + "abcd"}, "Too few strings in 1C record"},
      {"strmany",
       {strings1C, "    " + Ints({2, 2, 2}) + "abcdefgh", "    " + Ints({1, 2, 2}) + "abcdefgh"},
       "Too many strings in 1C record"},
      {"strbig",
       {Desc("1C", "FULL", "", {2, 1'000'000, 9})},
       "Cannot read 1000000 strings length 9 (total size 9000000) since buffer size MaxHarBuf is set to just "
       "8000000"},
      {"strshort",
       {Desc("1C", "FULL", "", {2, 4'000'000, 2})},
       "File too short for 4000000 strings length 2"},
      {"rllength", {full, dims, limits, "    " + Ints({1, 5})}, "RL record wrong length"},
      {"rllimits",
       {full, dims, "    " + Ints({2, 1, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}), "    " + Ints({1, 5, 6})},
       "RL record limits out of range: dimension 1 from 1 to 3 of 2"},
      {"intkind", {sparse, noSets, "    " + Ints({1, 8, 4})}, "Expected 4 byte integer kind: found 8"},
      {"realkind", {sparse, noSets, "    " + Ints({1, 4, 8})}, "Expected 4 byte real kind: found 8"},
      {"nhere",
       {sparse, noSets, "    " + Ints({1, 4, 4}), "    " + Ints({1, 1, 1, 1, 5, 6})},
       "Nhere(1) <>(Extra(3) div 2) at KREC=1"},
      {"nnz", {sparse, noSets, "    " + Ints({1, 4, 4}), "    " + Ints({1, 2, 1, 1, 5})}, "TOTAL <> NNZ"},
      {"nread",
       {sparse, noSets, "    " + Ints({2, 4, 4}), "    " + Ints({1, 2, 1, 1, 5})},
       "NRead(1) <> NNZ(2)"},
      {"offset",
       {sparse, noSets, "    " + Ints({1, 4, 4}), "    " + Ints({1, 1, 1, -1, 5})},
       "unexpected offset<0"},
      {"offsetbig",
       {sparse, noSets, "    " + Ints({1, 4, 4}), "    " + Ints({1, 1, 1, 3, 5})},
       "unexpected offset 3 outside 1..2"},
      {"acdim", {sparse, "    " + Ints({0, 1, 16})}, "AcDim too large=16 but max is 15"},
      {"rdelst",
       {sparse, "    " + Ints({0, 1, 1}) + Pad("", 12) + Ints({1}) + Pad("A", 12) + "x" + Ints({2, 0})},
       "RDelst not k, e, u or n"},
      {"neltrd",
       {sparse, "    " + Ints({0, 1, 1}) + Pad("", 12) + Ints({1}) + Pad("A", 12) + "e" + Ints({2, 0})},
       "neltrd mismatch: J=1,NEltrd=0"},
      {"setsread",
       {sparse, "    " + Ints({2, 1, 1}) + Pad("", 12) + Ints({1}) + Pad("A", 12) + "k" + Ints({2, 0}),
        "    " + Ints({1, 2, 2}) + Pad("a1", 12) + Pad("a2", 12)},
       "SetsToRead mismatch"},
      {"twosizes",
       {Desc("RE", "FULL", "", {7, 2, 3, 1, 1, 1, 1, 1}),
        "    " + Ints({1, 1, 2}) + Pad("", 12) + Ints({1}) + Pad("A", 12) + Pad("A", 12) + "kk" +
            Ints({2, 3, 0}),
        "    " + Ints({1, 2, 2}) + Pad("a1", 12) + Pad("a2", 12)},
       "Set A has 2 different sizes in same header. "},
      {"cut", {full, dims, limits}, " [GetRecBuf]"},
      {"negative",
       {Desc("RL", "FULL", "", {7, 2, -1, 1, 1, 1, 1, 1})},
       "At header DAMG\r\nDimension < 0 [FindNDim]"},
      {"v3count",
       {Desc("03", "FULL", "", {}), "    " + Ints({4, 4, 70, 12, 12, 12})},
       "expected Ints^[1]>=5"},
      {"v3records",
       {Desc("03", "FULL", "", {}), "    " + Ints({5, 4, 70, 12, 12, 12}), "    " + Ints({1, 0, 0, 0, 0}),
        "    " + Ints({0, 0})},
       "Expect 1 record here"},
      {"hugedouble",
       {Desc("DL", "FULL", "", {7, 268'435'455, 1, 1, 1, 1, 1, 1}), dims},
       "Dimension too large(268435455), max is 268435454 [AllocArr7UK (Real)] [AllocMat7UK]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> records{"DAMG"};
    records.insert(records.end(), c.records.begin(), c.records.end());
    const std::string message = Failure(Write(c.name, {MakeStrings("GOOD", "", {"g"})}, records));
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
  }
}

// A file cut short anywhere fails with a message and leaves nothing allocated.
TEST_F(HarReaderTest, FilesCutAnywhereFailCleanly) {
  HarHeader sparse = MakeReals("SPAR", "Sparse", {SetDim("A", {"a1", "a2", "a3"})}, {0, 2, 0});
  sparse.sparse = true;
  HarHeader v3 = MakeReals("V3RE", "Version three", {SetDim("A", {"a1", "a2", "a3"})}, {1, 2, 3});
  v3.version3 = true;
  for (bool fujitsu : {false, true}) {
    const std::string bytes = test::ReadFileBytes(Write(
        "cut",
        {MakeStrings("NOTE", "", {"abc"}), MakeReals("RE", "", {SetDim("A", {"a1", "a2", "a3"})}, {1, 2, 3}),
         sparse, v3, MakeIntMatrix("INTS", "", 2, 1, {1, 2})},
        {}, fujitsu));
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
      const std::string path = dir.Write("cut.har", bytes.substr(0, cut));
      const std::int64_t before = AllocationTotal();
      std::unique_ptr<HarData> data;
      bool skipped = false;
      errorText.clear();
      if (!ReadHarFile(path, false, false, data, skipped, errorText)) {
        EXPECT_FALSE(errorText.empty()) << cut;
        EXPECT_EQ(data, nullptr);
      }
      data.reset();
      EXPECT_EQ(AllocationTotal(), before) << cut;
    }
  }
}

TEST_F(HarReaderTest, HeadersTooLargeForMemoryAreSkippedWithAWarning) {
  // Sparse, so that the file is small while its array is not.
  HarHeader big = MakeReals("BIG", "Big one", {SizeDim(300'000, "S")}, std::vector<float>(300'000, 0), true);
  big.reals[7] = 1;
  big.sparse = true;
  const std::string path = Write("toolarge", {big, MakeReals("SMAL", "Small", {SizeDim(2)}, {1, 2})});
  std::vector<std::string> warnings;
  SetHarWarningHandler([&](const std::string& text) { warnings.push_back(text); });
  SetMemoryStatusSource([] { return MemoryStatus{(50ull << 20) + (1ull << 20), 1ull << 20}; }); // 1 MB free
  auto data = Read(path);
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(data->NumHeads(), 1);
  EXPECT_EQ(data->heads[0]->name, "SMAL");
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].substr(0, 58), "At header BIG    Big one\r\nof file " + path.substr(0, 24));
  EXPECT_NE(warnings[0].find("Not enough memory for Real array size (300000*1*1*1*1*1*1) \r\n"),
            std::string::npos);
  EXPECT_NE(warnings[0].find("\r\nThis header will be ignored. "), std::string::npos);

  SetMemoryStatusSource([] { return MemoryStatus{50ull << 20, 0}; }); // nothing free
  EXPECT_EQ(Failure(path).substr(0, 37), "Insufficient Memory to read HAR file ");
  EXPECT_EQ(Failure(dir.File("missing.har")),
            "File " + dir.File("missing.har") + " does not exist.  [ReadMoreIntoHarFile] [ReadHarFile]");
}

TEST_F(HarReaderTest, UnderAnAddressSpaceLimitAHugeHeaderIsSkippedAndTheRestRead) {
  // 20,000 x 20,000 reals (1.6 GB) stored sparse with one value, then a small header. The huge header is
  // written record by record: the writer would need its whole array.
  const std::string huge = Desc("RE", "SPSE", "Huge one", {7, 20'000, 20'000, 1, 1, 1, 1, 1});
  const std::string noSets = "    " + Ints({0, 1, 0}) + Pad("", 12) + Ints({0, 0});
  std::string value(4, '\0');
  const float one = 1.0f;
  std::memcpy(value.data(), &one, 4);
  HarWriter writer;
  writer.CreateInMemory();
  ErrorText writing;
  for (const std::string& record :
       {std::string("HUGE"), huge, noSets, "    " + Ints({1, 4, 4}), "    " + Ints({1, 1, 1, 7}) + value}) {
    ASSERT_TRUE(writer.Records().WriteRecord(record, writing)) << writing;
  }
  ASSERT_TRUE(writer.Write(MakeReals("SMAL", "Small", {SizeDim(2)}, {1, 2}), writing)) << writing;
  ASSERT_TRUE(writer.Close(writing)) << writing;
  const std::string path = dir.Write("addresslimit.har", writer.Bytes());
  // The child may map only a little more than it already does: far less than the machine's memory, which
  // is all the estimates looked at before.
  EXPECT_EXIT(
      {
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = MappedBytes() + (768ull << 20);
        if (setrlimit(RLIMIT_AS, &limit) != 0) {
          std::fprintf(stderr, "setrlimit failed\n");
          std::_Exit(2);
        }
        std::vector<std::string> warnings;
        SetHarWarningHandler([&](const std::string& text) { warnings.push_back(text); });
        std::unique_ptr<HarData> data;
        bool skipped = false;
        ErrorText error;
        const bool ok = ReadHarFile(path, false, false, data, skipped, error);
        std::fprintf(stderr, "read=%d heads=%d first=%s warnings=%zu warning=%s error=%s\n", ok ? 1 : 0,
                     data ? data->NumHeads() : -1,
                     data && data->NumHeads() > 0 ? data->heads[0]->name.c_str() : "", warnings.size(),
                     warnings.empty() ? "" : warnings[0].substr(0, 25).c_str(), error.c_str());
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0),
      "read=1 heads=1 first=SMAL warnings=1 warning=At header HUGE   Huge one error=\n");
}

TEST_F(HarReaderTest, RealDetailsKeepRealHeadersWithValuesAndSplitTheirNames) {
  const std::string path = Write(
      "details",
      {MakeStrings("TEXT", "", {"t"}), MakeReals("P", "p # Price of goods # extra", {SizeDim(2)}, {0, 1}),
       MakeReals("Z", "Zeros", {SizeDim(2)}, {0, -0.0f}), MakeReals("E", "Empty", {SizeDim(0)}, {})});
  std::unique_ptr<HarData> data;
  ASSERT_TRUE(GetRealDetails(path, data, errorText)) << errorText;
  ASSERT_EQ(data->NumHeads(), 2);
  EXPECT_EQ(data->heads[0]->name, "P   ");
  EXPECT_EQ(data->heads[0]->shortText, "p");
  EXPECT_EQ(data->heads[0]->longName, "Price of goods");
  EXPECT_FALSE(data->heads[0]->allZero);
  EXPECT_TRUE(data->heads[1]->allZero);
}

} // namespace
} // namespace pelorin
