// The table the charting program reads: what the Results page hands over reads back cell for cell, and a
// malformed table is refused naming its line and cell.
#include "results/chart_table.h"
#include "results/decimal_separator.h"
#include "results/results_page.h"
#include "results/sim_tab.h"
#include "support/fuzz_seed.h"

#include <cmath>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pelorin::test {
namespace {

SimTab Table(char separator) {
  SetDecimalSeparator(separator);
  const float values[] = {1.25f, -2.5f, MissingValue, 0.0f, 1234.5f, -0.125f};
  const std::string rows[] = {"food", "manuf", "services"};
  const std::string cols[] = {"(Sim)", "more labour"};
  SimTab table;
  ErrorText error;
  EXPECT_TRUE(MakeSimpleR2Table(
      table, {.matrix = values, .colLabels = cols, .rowLabels = rows, .corner = "XOUT"}, 3, 2, 3, error))
      << error;
  SetDecimalSeparator('.');
  return table;
}

TEST(ChartTable, WhatTheResultsPageHandsOverReadsBack) {
  for (const char separator : {'.', ','}) {
    const SimTab table = Table(separator);
    std::string text;
    ErrorText error;
    ASSERT_TRUE(ChartTableText(table, 0, 0, text, error)) << error;
    SaveFuzzSeed("results_chart_table", separator == '.' ? "whole" : "comma", text);
    ChartTable chart;
    ASSERT_TRUE(ReadChartTable(text, chart, error)) << error;
    EXPECT_EQ(chart.corner, "XOUT");
    EXPECT_EQ(chart.columnHeadings, (std::vector<std::string>{"(Sim)", "more labour"}));
    EXPECT_EQ(chart.rowLabels, (std::vector<std::string>{"food", "manuf", "services"}));
    EXPECT_EQ(chart.Value(0, 0), 1.25);
    EXPECT_EQ(chart.Value(0, 1), -2.5);
    EXPECT_TRUE(std::isnan(chart.Value(1, 0)));
    EXPECT_EQ(chart.Value(1, 1), 0.0);
    EXPECT_EQ(chart.Value(2, 0), 1234.5);
    EXPECT_EQ(chart.Value(2, 1), -0.125);
  }

  // A row label's table: the headings and one row; a column heading's: the labels and one column.
  const SimTab table = Table('.');
  std::string text;
  ErrorText error;
  ChartTable chart;
  ASSERT_TRUE(ChartTableText(table, 3, 0, text, error));
  ASSERT_TRUE(ReadChartTable(text, chart, error)) << error;
  EXPECT_EQ(chart.Rows(), 1);
  EXPECT_EQ(chart.rowLabels[0], "services");
  EXPECT_EQ(chart.Value(0, 1), -0.125);
  ASSERT_TRUE(ChartTableText(table, 0, 2, text, error));
  SaveFuzzSeed("results_chart_table", "column", text);
  ASSERT_TRUE(ReadChartTable(text, chart, error)) << error;
  EXPECT_EQ(chart.columnHeadings, (std::vector<std::string>{"food", "manuf", "services"}));
  EXPECT_EQ(chart.rowLabels, (std::vector<std::string>{"more labour"}));
  EXPECT_EQ(chart.Value(0, 2), -0.125);
}

TEST(ChartTable, ToleratesWhatClipboardsDoToText) {
  ChartTable chart;
  ErrorText error;
  // Lines ending in LF alone, a final NUL, blank lines at the end, blanks around numbers, exponents.
  ASSERT_TRUE(ReadChartTable(std::string("V\ta\tb\nx\t 1e3 \t\ny\t-.5\t+2,5E-1\n\n") + '\0', chart, error))
      << error;
  EXPECT_EQ(chart.Rows(), 2);
  EXPECT_EQ(chart.Value(0, 0), 1000.0);
  EXPECT_TRUE(std::isnan(chart.Value(0, 1)));
  EXPECT_EQ(chart.Value(1, 0), -0.5);
  EXPECT_EQ(chart.Value(1, 1), 0.25);
}

TEST(ChartTable, MalformedTablesAreRefusedNamingTheirFault) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "The table is empty[ReadChartTable]"},
      {"\r\n\r\n", "The table is empty[ReadChartTable]"},
      {"V\ta\tb\r\n", "The table has a heading line but no line of numbers[ReadChartTable]"},
      {"V\r\nx\r\n", "The heading line has no column heading after the corner label[ReadChartTable]"},
      {"V\ta\tb\r\nx\t1\t2\r\ny\t3\r\n", "Line 3 has 2 cells but the heading line has 3[ReadChartTable]"},
      {"V\ta\r\nx\t1\r\n\r\ny\t2\r\n", "Line 3 is empty[ReadChartTable]"},
      {"V\ta\tb\r\nx\t1\tabc\r\n", "Line 2, cell 3: \"abc\" is not a number[ReadChartTable]"},
      {"V\ta\r\nx\tnan\r\n", "Line 2, cell 2: \"nan\" is not a number[ReadChartTable]"},
      {"V\ta\r\nx\t-inf\r\n", "Line 2, cell 2: \"-inf\" is not a number[ReadChartTable]"},
      {"V\ta\r\nx\t1.2.3\r\n", "Line 2, cell 2: \"1.2.3\" is not a number[ReadChartTable]"},
      {"V\ta\r\nx\t1e\r\n", "Line 2, cell 2: \"1e\" is not a number[ReadChartTable]"},
      {"V\ta\r\nx\t1e999\r\n", "Line 2, cell 2: \"1e999\" is not a number[ReadChartTable]"},
      {"V\ta\r\nx\t" + std::string(50, '7') + "x\r\n",
       "Line 2, cell 2: \"" + std::string(40, '7') + "...\" is not a number[ReadChartTable]"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& [text, message] = cases[i];
    ChartTable chart;
    ErrorText error;
    EXPECT_FALSE(ReadChartTable(text, chart, error)) << text;
    EXPECT_EQ(error, message);
    SaveFuzzSeed("results_chart_table", "bad" + std::to_string(i), text);
  }
}

TEST(ChartTable, SocketNameBelongsToTheUser) {
  const std::string name = VexmoorSocketName();
  EXPECT_EQ(name.substr(name.size() - 11), "/VexmoorMsg");
  EXPECT_NE(name.find(std::to_string(::getuid())), std::string::npos);
}

} // namespace
} // namespace pelorin::test
