// The Results page's tables exported as CSV: data views at full precision, the contents as shown.
#include "platform/strings.h"
#include "results/contents_view.h"
#include "results/decimal_separator.h"
#include "results/results_model.h"
#include "results/results_page.h"
#include "results/table_csv.h"
#include "solution_files.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <charconv>
#include <gtest/gtest.h>

namespace pelorin::test {
namespace {

// Reads RFC 4180 text back into its records (the test's own small reader).
std::vector<std::vector<std::string>> ReadCsv(const std::string& csv) {
  std::vector<std::vector<std::string>> records(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (quoted) {
      if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      records.back().push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') {
      records.back().push_back(field);
      field.clear();
      records.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  EXPECT_TRUE(records.back().empty() && field.empty()) << "the last line must end in CR LF";
  records.pop_back();
  return records;
}

class TableExportTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetDecimalSeparator(',');
    page.BuildPage();
    SimFiles files = ViewSim();
    // Values with more digits than any screen shows.
    files.value = [](const SimVar& var, int file, int component) {
      return component == 2 ? MissingValue : static_cast<float>(file * 1000 + component) / 7.0f - 3.3f;
    };
    ASSERT_TRUE(page.PVLoadSol(files.Write(dir.Path().string()), " ", dir.File("sim.sli"), true, true, error))
        << error;
  }
  void TearDown() override { SetDecimalSeparator('.'); }
  int Line(const std::string& first) const {
    const SimTab& table = page.ContentsTable();
    for (int r = 1; r <= table.nrow; ++r) {
      if (table.Cell(r, 0) == first) {
        return r;
      }
    }
    return 0;
  }

  TempDir dir;
  ScriptedUserInterface ui;
  ResultsModel model{ui};
  ResultsPage page{model, ui};
  ErrorText error;
};

TEST_F(TableExportTest, DataViewValuesRoundTripAtFullPrecision) {
  page.OpenContentsLine(Line("m"));
  ASSERT_EQ(page.State().view, ResultsView::Data);
  ASSERT_TRUE(page.ExportTableAsCsv(dir.File("m.csv"), error)) << error;
  const std::vector<std::vector<std::string>> records = ReadCsv(ReadFileBytes(dir.File("m.csv")));

  DataView view;
  ASSERT_TRUE(BuildDataView(model, page.OpenedItem(), view, error)) << error;
  ASSERT_EQ(records.size(), static_cast<std::size_t>(view.rows + 1));
  ASSERT_EQ(records[0].size(), static_cast<std::size_t>(view.cols + 1));
  const SimTab& shown = page.DataTable();
  for (int c = 0; c <= view.cols; ++c) {
    EXPECT_EQ(records[0][c], Trim(shown.Cell(0, c)));
  }
  int missing = 0;
  for (int r = 1; r <= view.rows; ++r) {
    ASSERT_EQ(records[r].size(), static_cast<std::size_t>(view.cols + 1));
    EXPECT_EQ(records[r][0], Trim(shown.Cell(r, 0)));
    for (int c = 1; c <= view.cols; ++c) {
      const std::string& field = records[r][c];
      if (view.values.At(r, c) == MissingValue) {
        EXPECT_EQ(field, "");
        EXPECT_EQ(shown.Cell(r, c), "n.a.");
        ++missing;
        continue;
      }
      // The screen shows 2 decimals with a comma; the file holds the number itself with a point.
      float read = 0;
      const auto [end, fault] = std::from_chars(field.data(), field.data() + field.size(), read);
      ASSERT_TRUE(fault == std::errc() && end == field.data() + field.size()) << field;
      EXPECT_EQ(read, view.values.At(r, c)) << r << "," << c;
    }
  }
  EXPECT_GT(missing, 0);
  EXPECT_NE(shown.Cell(1, 1).find(','), std::string::npos);
  EXPECT_EQ(page.CsvFileName(), "m.csv");
}

TEST_F(TableExportTest, ContentsAreExportedAsShown) {
  ASSERT_TRUE(page.ExportTableAsCsv(dir.File("contents.csv"), error)) << error;
  const std::vector<std::vector<std::string>> records = ReadCsv(ReadFileBytes(dir.File("contents.csv")));
  const SimTab& table = page.ContentsTable();
  ASSERT_EQ(records.size(), static_cast<std::size_t>(table.nrow + 1));
  for (int r = 0; r <= table.nrow; ++r) {
    for (int c = 0; c <= table.ncol; ++c) {
      EXPECT_EQ(records[r][c], Trim(table.Cell(r, c)));
    }
  }
  EXPECT_EQ(page.CsvFileName(), "contents.csv");
}

TEST_F(TableExportTest, NothingShownOrNoPlaceToWriteIsReported) {
  ScriptedUserInterface otherUi;
  ResultsModel empty(otherUi);
  ResultsPage fresh(empty, otherUi);
  EXPECT_FALSE(fresh.ExportTableAsCsv(dir.File("none.csv"), error));
  EXPECT_EQ(error, "Nothing to export[ExportTableAsCsv]");
  error.clear();
  EXPECT_FALSE(page.ExportTableAsCsv(dir.File("missing/x.csv"), error));
  EXPECT_EQ(error, "Cannot create file " + dir.File("missing/x.csv") + "[ExportTableAsCsv]");
}

TEST(TableCsv, FieldsAreQuotedAndConvertedToUtf8) {
  SimTab table;
  ErrorText error;
  ASSERT_TRUE(InitSimTab(table, 1, 2, error));
  table.Cell(0, 0) = "a,b";
  table.Cell(0, 1) = "say \"hi\"";
  table.Cell(0, 2) = "two\r\nlines";
  table.Cell(1, 0) = "S\xE3o Paulo";
  table.Cell(1, 1) = "S\xC3\xA3o";
  EXPECT_EQ(SimTabCsv(table),
            "\"a,b\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nS\xC3\xA3o Paulo,S\xC3\xA3o,\r\n");
  EXPECT_EQ(SimTabCsv(SimTab{}), "");
}

} // namespace
} // namespace pelorin::test
