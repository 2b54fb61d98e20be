// Writer -> reader round trips of every header kind, in both flavours and with records split finely.

#include "datafiles/har_data.h"
#include "datafiles/har_writer.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <cmath>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

std::vector<float> Ramp(std::int64_t n, float scale = 1.0f) {
  std::vector<float> values(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) {
    values[static_cast<std::size_t>(i)] = static_cast<float>(i + 1) * scale;
  }
  return values;
}

// Every kind the writer knows, labelled and unlabelled, full and sparse, version 1 and 3.
std::vector<HarHeader> SampleHeaders() {
  std::vector<HarHeader> headers;
  headers.push_back(MakeStrings("NOTE", "Some notes", {"first line", "", "third  line"}, 20));
  headers.push_back(
      MakeIntMatrix("INTS", "An integer matrix", 3, 4, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -12}));
  headers.push_back(MakeRealMatrix("MATR", "A real matrix", 2, 3, {1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f}));
  headers.push_back(MakeRealMatrix("ROWV", "One row", 1, 4, {1, 2, 3, 4}));
  const HarDim com = SetDim("COM", {"food", "mfg", "svc"});
  const HarDim reg = SetDim("REG", {"north", "south"});
  headers.push_back(MakeReals("PRIC", "Prices # by commodity and region #", {com, reg}, Ramp(6, 0.5f)));
  headers.push_back(MakeReals("UNLB", "Unlabelled", {SizeDim(4), SizeDim(3)}, Ramp(12)));
  headers.push_back(MakeReals("SQUA", "Square over one set", {com, com}, Ramp(9)));
  headers.push_back(MakeReals("ELEM", "One element", {com, ElementDim("REG", "south")}, Ramp(3)));
  HarHeader sparse = MakeReals("SPAR", "Sparse", {com, reg}, {0, 0, 7, 0, -2, 0});
  sparse.sparse = true;
  headers.push_back(sparse);
  headers.push_back(MakeDoubles("DBLE", "Doubles", {com}, {0.25, -1.5, 3.0}));
  headers.push_back(MakeDoubles("DBLU", "Unlabelled doubles", {SizeDim(2)}, {8.0, 9.0}));
  HarHeader sparseDouble = MakeDoubles("SPDB", "Sparse doubles", {reg}, {0.0, 4.0});
  sparseDouble.sparse = true;
  headers.push_back(sparseDouble);
  HarHeader v3 = MakeReals("V3RE", "Version three", {com, reg}, Ramp(6));
  v3.version3 = true;
  v3.coefficient = "Coef3";
  headers.push_back(v3);
  HarHeader v3d = MakeDoubles("V3DL", "Version three doubles", {SizeDim(5)}, {1, 2, 3, 4, 5});
  v3d.version3 = true;
  headers.push_back(v3d);
  HarHeader v3i = MakeIntMatrix("V3IN", "Version three integers", 2, 2, {1, 2, 3, 4});
  v3i.version3 = true;
  headers.push_back(v3i);
  HarHeader scalar = MakeReals("SCAL", "A scalar", {}, {42.0f});
  scalar.version3 = true;
  headers.push_back(scalar);
  HarHeader seven = MakeReals(
      "SEVN", "Seven dimensions",
      {SizeDim(2), SizeDim(1), SizeDim(3), SizeDim(1), SizeDim(2), SizeDim(1), SizeDim(2)}, Ramp(24));
  headers.push_back(seven);
  // Longer along dimension 1 than a small record holds, so blocks cut dimension 1 itself.
  headers.push_back(MakeReals("LONG", "Long first dimension", {SizeDim(20), SizeDim(3)}, Ramp(60)));
  return headers;
}

void ExpectSameHeader(const HarHeader& a, const HarHeader& b) {
  SCOPED_TRACE(a.name);
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.longName, b.longName);
  EXPECT_EQ(a.kind, b.kind);
  EXPECT_EQ(a.strings, b.strings);
  EXPECT_EQ(a.rows, b.rows);
  EXPECT_EQ(a.cols, b.cols);
  EXPECT_EQ(a.ints, b.ints);
  EXPECT_EQ(a.reals, b.reals);
  EXPECT_EQ(a.doubles, b.doubles);
  EXPECT_EQ(a.sparse, b.sparse);
  EXPECT_EQ(a.version3, b.version3);
  ASSERT_EQ(a.dims.size(), b.dims.size());
  for (std::size_t d = 0; d < a.dims.size(); ++d) {
    EXPECT_EQ(a.dims[d].size, b.dims[d].size);
    EXPECT_EQ(a.dims[d].setName, b.dims[d].setName);
    EXPECT_EQ(a.dims[d].elements, b.dims[d].elements);
    EXPECT_EQ(a.dims[d].elementName, b.dims[d].elementName);
  }
}

TEST(HarWriter, EveryKindRoundTripsInBothFlavoursAndSmallRecords) {
  test::TempDir dir;
  const std::vector<HarHeader> headers = SampleHeaders();
  for (bool fujitsu : {false, true}) {
    for (std::int64_t maxRecord : {std::int64_t{8'000'000}, std::int64_t{64}}) {
      SCOPED_TRACE(std::string(fujitsu ? "Fujitsu " : "Lahey ") + std::to_string(maxRecord));
      HarWriteOptions options;
      options.isFujitsu = fujitsu;
      options.maxRecordBytes = maxRecord;
      const std::string file = dir.File("sample.har");
      ErrorText err;
      ASSERT_TRUE(WriteHarFile(file, headers, options, err)) << err;
      if (maxRecord == 64) {
        test::SaveFuzzSeed("datafiles_har", fujitsu ? "sample_small_fujitsu" : "sample_small_lahey",
                           test::ReadFileBytes(file));
      }
      std::unique_ptr<HarData> data;
      bool skipped = false;
      ASSERT_TRUE(ReadHarFile(file, false, false, data, skipped, err)) << err;
      EXPECT_EQ(data->isLahey, !fujitsu);
      ASSERT_EQ(data->NumHeads(), static_cast<int>(headers.size()));
      for (std::size_t i = 0; i < headers.size(); ++i) {
        const HarHeader back = HarHeaderFromHead(*data->heads[i]);
        HarHeader expected = headers[i];
        // The reader keeps the doubles as singles; the samples are exact in single precision.
        ExpectSameHeader(back, expected);
      }
    }
  }
}

} // namespace
} // namespace pelorin

namespace pelorin {
namespace {

// An array larger than the longest record is split over several; the reader takes it back whole.
TEST(HarWriter, ArraysLargerThanARecordAreSplit) {
  test::TempDir dir;
  const std::int64_t n = 2'500'000; // 10,000,000 bytes
  HarHeader big = MakeReals("BIG", "Big", {SizeDim(n / 1000), SizeDim(1000)}, Ramp(n));
  HarHeader strings = MakeStrings("STRS", "Strings", std::vector<std::string>(100'000, "abcdefghij"), 70);
  ErrorText errorText;
  const std::string file = dir.File("big.har");
  ASSERT_TRUE(WriteHarFile(file, {big, strings}, {}, errorText)) << errorText;
  std::unique_ptr<HarData> data;
  bool skipped = false;
  ASSERT_TRUE(ReadHarFile(file, false, false, data, skipped, errorText)) << errorText;
  EXPECT_EQ(HarHeaderFromHead(*data->heads[0]).reals, big.reals);
  EXPECT_EQ(data->heads[1]->strings[100'000], "abcdefghij");
}

TEST(HarWriter, RefusesHeadersTheFormatCannotCarry) {
  struct Case {
    HarHeader header;
    const char* message;
  };
  HarHeader sparseUnlabelled = MakeReals("SPU", "", {SizeDim(2)}, {1, 2});
  sparseUnlabelled.sparse = true;
  const std::vector<Case> cases{
      {MakeStrings("TOOLONG", "", {"a"}), "Header \"TOOLONG\": name must have 1 to 4 characters [HarWriter]"},
      {MakeReals("CNT", "", {SizeDim(3)}, {1, 2}),
       "Header \"CNT\": the sizes give 3 values but 2 are given [HarWriter]"},
      {sparseUnlabelled, "Header \"SPU\": only labelled arrays are stored sparse [HarWriter]"},
      {MakeReals("SETS", "", {SetDim("S", {"a", "b"}), SetDim("S", {"a", "c"})}, {1, 2, 3, 4}),
       "Header \"SETS\": set S has two different element lists [HarWriter]"},
      {MakeStrings("STR", "", {"abcdef"}, 3),
       "Header \"STR\": a string is longer than the string length 3 [HarWriter]"},
  };
  for (const Case& c : cases) {
    HarWriter writer;
    writer.CreateInMemory();
    ErrorText errorText;
    EXPECT_FALSE(writer.Write(c.header, errorText));
    EXPECT_EQ(errorText, c.message);
  }
}

} // namespace
} // namespace pelorin
