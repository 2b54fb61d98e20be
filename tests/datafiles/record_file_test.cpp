// The record layer: marker sizes, both flavours, flavour detection, the header scan and every failure
// message.

#include "datafiles/record_file.h"
#include "datafiles/record_writer.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

// A file of records in one flavour, written into a temporary folder.
class RecordFileTest : public ::testing::Test {
protected:
  std::string WriteRecords(const std::vector<std::string>& records, bool fujitsu, const std::string& name,
                           bool seed = true) {
    RecordWriter writer;
    writer.CreateInMemory(fujitsu);
    ErrorText errorText;
    for (const std::string& record : records) {
      EXPECT_TRUE(writer.WriteRecord(record, errorText)) << errorText;
    }
    if (seed) {
      test::SaveFuzzSeed("datafiles_records", name + (fujitsu ? ".fuji" : ".lahey"), writer.Bytes());
    }
    return dir.Write(name, writer.Bytes());
  }

  // Opens a file and reads its first record as a data record with the given shape.
  bool SplitFirst(const std::string& path, std::int64_t structure, std::int64_t element, RecordParts& parts,
                  ErrorText& errorText) {
    LaheyFile file;
    bool fujitsu = false;
    EXPECT_TRUE(OpenLaheyFile(file, path, fujitsu, errorText)) << errorText;
    EXPECT_TRUE(GetRecBuf(file, 0, fujitsu, 1, parts, errorText)) << errorText; // the name record
    return GetRecBuf(file, structure, fujitsu, element, parts, errorText);
  }

  test::TempDir dir;
};

TEST_F(RecordFileTest, LaheyMarkersGrowWithTheirValues) {
  EXPECT_EQ(LaheyLenBytes(63), 1);
  EXPECT_EQ(LaheyLenBytes(64), 2);
  EXPECT_EQ(LaheyLenBytes(16'383), 2);
  EXPECT_EQ(LaheyLenBytes(16'384), 3);
  EXPECT_EQ(LaheyLenBytes(4'194'303), 3);
  EXPECT_EQ(LaheyLenBytes(4'194'304), 4);
  // A record's trailer sizes from the check value: 62 bytes -> C 63 (1 byte); 63 -> C 64 (2 bytes); 16,382
  // bytes have a 2-byte leading marker and C 16,384 (3 bytes).
  RecordWriter writer;
  ErrorText errorText;
  for (std::size_t length : {0u, 62u, 63u, 16'382u}) {
    writer.CreateInMemory(false);
    ASSERT_TRUE(writer.WriteRecord(std::string(length, 'x'), errorText));
    const std::size_t framing = writer.Bytes().size() - 1 - length;
    const std::size_t expected = length == 0 ? 2 : length == 62 ? 2 : length == 63 ? 3 : 5;
    EXPECT_EQ(framing, expected) << length;
  }
  writer.CreateInMemory(false);
  ASSERT_TRUE(writer.WriteRecord("", errorText));
  EXPECT_EQ(writer.Bytes(), std::string("\xFD\x00\x04", 3));
}

TEST_F(RecordFileTest, RecordsOfEveryMarkerSizeReadBackInBothFlavours) {
  const std::vector<std::size_t> lengths{4, 0, 1, 62, 63, 64, 16'382, 16'383, 16'384, 4'194'303, 4'194'304};
  for (bool fujitsu : {false, true}) {
    std::vector<std::string> records;
    for (std::size_t length : lengths) {
      std::string record(length, '\0');
      for (std::size_t i = 0; i < length; ++i) {
        record[i] = static_cast<char>((i * 7 + length) & 0xFF);
      }
      records.push_back(record);
    }
    const std::string path = WriteRecords(records, fujitsu, "sizes", false);
    LaheyFile file;
    bool detected = !fujitsu;
    ErrorText errorText;
    ASSERT_TRUE(OpenLaheyFile(file, path, detected, errorText)) << errorText;
    EXPECT_EQ(detected, fujitsu);
    for (const std::string& record : records) {
      std::int64_t length = -1;
      bool eof = true;
      ASSERT_TRUE(GetLaheyRecA(file, SharedRecordBuffer(), fujitsu, length, eof, errorText)) << errorText;
      ASSERT_FALSE(eof);
      ASSERT_EQ(length, static_cast<std::int64_t>(record.size()));
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(SharedRecordBuffer()), record.size()), record);
    }
    std::int64_t length = 0;
    bool eof = false;
    EXPECT_TRUE(GetLaheyRecA(file, SharedRecordBuffer(), fujitsu, length, eof, errorText));
    EXPECT_TRUE(eof);
  }
}

TEST_F(RecordFileTest, LongestRecordIsReadAndOneByteMoreIsRefused) {
  for (bool fujitsu : {false, true}) {
    // Detection reads five records, so the refused one comes sixth.
    const std::string path = WriteRecords(
        {"HEAD", std::string(8'000'000, 'a'), "    1", "    2", "    3", std::string(8'000'001, 'b')},
        fujitsu, "longest", false);
    LaheyFile file;
    bool detected = false;
    ErrorText errorText;
    ASSERT_TRUE(OpenLaheyFile(file, path, detected, errorText)) << errorText;
    std::int64_t length = 0;
    bool eof = false;
    ASSERT_TRUE(GetLaheyRecA(file, SharedRecordBuffer(), fujitsu, length, eof, errorText));
    ASSERT_TRUE(GetLaheyRecA(file, SharedRecordBuffer(), fujitsu, length, eof, errorText)) << errorText;
    EXPECT_EQ(length, 8'000'000);
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(GetLaheyRecA(file, SharedRecordBuffer(), fujitsu, length, eof, errorText)) << errorText;
    }
    EXPECT_FALSE(GetLaheyRecA(file, SharedRecordBuffer(), fujitsu, length, eof, errorText));
    EXPECT_EQ(errorText, fujitsu ? "File record too long: is 8000001; max is 8000000 [GetLaheyRecA]"
                                 : "File record too long [GetLaheyRecA]");
  }
}

TEST_F(RecordFileTest, DamagedFramingGivesTheLayersMessages) {
  struct Case {
    std::string bytes;
    const char* message;
  };
  // Each file: five good header-name records (enough to decide the flavour), then a damaged one.
  std::string lahey = "\xFD";
  std::string fuji;
  for (int i = 0; i < 5; ++i) {
    lahey += std::string("\x10HEAD\x14", 6);
    fuji += std::string("\x04\0\0\0HEAD\x04\0\0\0", 12);
  }
  const std::vector<Case> cases{
      {lahey + std::string("\x01", 1),
       "Unexpected end-of-file [FileRead] [GetRecLenA] [GetLaheyRecA] [GetRecBuf]"},
      {lahey + std::string("\x20    XXXX\x28", 10),
       "Bad RecLenCheck value [ChkRecLen] [GetLaheyRecA] [GetRecBuf]"},
      {lahey + std::string("\x20    XXXX\x25", 10),
       "Bad NExtraCheck value [ChkRecLen] [GetLaheyRecA] [GetRecBuf]"},
      {lahey + std::string("\x20    XX", 7), "Unexpected end-of-file [FileRead] [GetLaheyRecA] [GetRecBuf]"},
      {fuji + std::string("\xF8\xFF\xFF\xFF", 4), "RecLen<0 [FujiGetRecLen] [GetLaheyRecA] [GetRecBuf]"},
      {fuji + std::string("\x08\0\0\0    XXXX\x09\0\0\0", 16),
       "Bad RecLenCheck value [FujiChkRecLen] [GetLaheyRecA] [GetRecBuf]"},
      {fuji, " [GetRecBuf]"}, // end of file where a record must be
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = dir.Write("damaged" + std::to_string(n), c.bytes);
    test::SaveFuzzSeed("datafiles_records", "damaged" + std::to_string(n++), c.bytes);
    LaheyFile file;
    bool fujitsu = false;
    ErrorText errorText;
    ASSERT_TRUE(OpenLaheyFile(file, path, fujitsu, errorText)) << errorText;
    RecordParts parts;
    for (int i = 0; i < 5; ++i) {
      ASSERT_TRUE(GetRecBuf(file, 0, fujitsu, 1, parts, errorText)) << errorText;
    }
    EXPECT_FALSE(GetRecBuf(file, 0, fujitsu, 1, parts, errorText));
    EXPECT_EQ(errorText, c.message);
  }
}

TEST_F(RecordFileTest, DataRecordsSplitIntoStructureAndElements) {
  const std::string path = WriteRecords({"NAME", std::string("    ABCDEFG", 11)}, true, "split");
  RecordParts parts;
  ErrorText errorText;
  ASSERT_TRUE(SplitFirst(path, 3, 2, parts, errorText)) << errorText;
  EXPECT_EQ(parts.count, 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts.structure), 3), "ABC");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts.elements), 4), "DEFG");
  ASSERT_TRUE(SplitFirst(path, 7, 5, parts, errorText)) << errorText; // exactly prefix + structure
  EXPECT_EQ(parts.count, 0);

  EXPECT_FALSE(SplitFirst(path, 8, 1, parts, errorText));
  EXPECT_EQ(errorText, "Record too Short 11/12 [GetRecBuf]");
  errorText.clear();
  EXPECT_FALSE(SplitFirst(path, 0, 2, parts, errorText));
  EXPECT_EQ(errorText, "Non-Unit Record Length [GetRecBuf]");
  errorText.clear();
  EXPECT_FALSE(SplitFirst(path, 0, 0, parts, errorText));
  EXPECT_EQ(errorText, "sizelms=0 [GetRecBuf]");

  LaheyFile file;
  bool fujitsu = false;
  errorText.clear();
  ASSERT_TRUE(OpenLaheyFile(file, path, fujitsu, errorText));
  std::int32_t ints[16];
  ASSERT_TRUE(GetRecBuf(file, 0, fujitsu, 1, parts, errorText));
  EXPECT_FALSE(GetRecBufInts(file, 16, fujitsu, ints, parts, errorText));
  EXPECT_EQ(errorText, "NumInt(16)>LenIntsArr(15) [GetRecBufInts]");
}

TEST_F(RecordFileTest, HeaderScanFindsNameRecordsSkippingDataByBothMeans) {
  const std::vector<std::string> records{"ab1 ", std::string(100'000, 'd'), "    data", "Cd2x",
                                         std::string(70, 'e')};
  for (bool fujitsu : {false, true}) {
    for (bool byReading : {false, true}) {
      const std::string path = WriteRecords(records, fujitsu, "scan", false);
      LaheyFile file;
      bool detected = false;
      ErrorText errorText;
      ASSERT_TRUE(OpenLaheyFile(file, path, detected, errorText)) << errorText;
      file.skipByReading = byReading;
      std::string name;
      bool found = false;
      ASSERT_TRUE(GetHead(file, fujitsu, name, found, errorText));
      EXPECT_TRUE(found);
      EXPECT_EQ(name, "AB1 ");
      ASSERT_TRUE(GetHead(file, fujitsu, name, found, errorText)) << errorText;
      EXPECT_EQ(name, "CD2X");
      ASSERT_TRUE(GetHead(file, fujitsu, name, found, errorText)) << errorText;
      EXPECT_FALSE(found);
      EXPECT_EQ(name, "    ");
    }
  }
}

TEST_F(RecordFileTest, FlavourDetection) {
  ErrorText errorText;
  bool fujitsu = false;
  // Fewer than five records still decide the flavour.
  EXPECT_TRUE(IsWhichLaheyFile(WriteRecords({"NAME", "    x"}, false, "two"), fujitsu, errorText));
  EXPECT_FALSE(fujitsu);
  EXPECT_TRUE(IsWhichLaheyFile(WriteRecords({"NAME", "    x"}, true, "two"), fujitsu, errorText));
  EXPECT_TRUE(fujitsu);

  struct Case {
    std::string name;
    std::string bytes;
    std::string message;
  };
  const std::vector<Case> cases{
      {"empty", "", "Empty file:"},
      {"only_start", "\xFD", "Unexpected end-of-file [FileRead] [FujiGetRecLen]"},
      // Starts like a Lahey file but its first record is no header name; the Fujitsu reading then fails too.
      {"not_lahey",
       std::string("\xFD\x14"
                   "ABCDE\x18",
                   8),
       "File record too long"},
      {"first_not_4", std::string("\x05\0\0\0ABCDE\x05\0\0\0", 13), "First record not length 4"},
      {"too_long", std::string("\x04\0\0\0ABCD\x04\0\0\0\x01\x12\x7A\0", 16), "File record too long"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.Write(c.name, c.bytes);
    test::SaveFuzzSeed("datafiles_records", c.name, c.bytes);
    errorText.clear();
    EXPECT_FALSE(IsWhichLaheyFile(path, fujitsu, errorText)) << c.name;
    const std::string expected = c.message.back() == ':' ? c.message + path : c.message;
    EXPECT_EQ(errorText, expected + " [IsWhichLaheyFile]") << c.name;
  }
  errorText.clear();
  EXPECT_FALSE(CheckLaheyFile(dir.File("missing"), errorText));
  EXPECT_EQ(errorText, "No such file:" + dir.File("missing") + " [IsWhichLaheyFile]");
  LaheyFile file;
  errorText.clear();
  EXPECT_FALSE(OpenLaheyFile(file, dir.File("missing"), fujitsu, errorText));
  EXPECT_EQ(errorText, "No such file:" + dir.File("missing") + " [IsWhichLaheyFile] [OpenLaheyFile]");
  EXPECT_FALSE(file.file.IsOpen());
}

TEST_F(RecordFileTest, CursorReadsStopAtTheRecordsEnd) {
  const std::string bytes = std::string("\x07\0\0\0", 4) + "ab c-D_@ " + std::string("\x01\0\0\0\0\0\0\0", 8);
  RecordCursor cursor{reinterpret_cast<const unsigned char*>(bytes.data()),
                      static_cast<std::int64_t>(bytes.size()), 0};
  ErrorText errorText;
  std::int32_t value = 0;
  std::string name;
  std::int64_t wide = 0;
  ASSERT_TRUE(ReadIntAt(cursor, value, errorText));
  EXPECT_EQ(value, 7);
  ASSERT_TRUE(ReadFixedName(cursor, 9, name, errorText));
  EXPECT_EQ(name, "abcD_@");
  ASSERT_TRUE(ReadInt64At(cursor, wide, errorText));
  EXPECT_EQ(wide, 1);
  EXPECT_FALSE(ReadIntAt(cursor, value, errorText));
  EXPECT_EQ(errorText, "Read past end of record 21 [ReadIntAt]");
}

} // namespace
} // namespace pelorin
