#include "sample_model.h"

#include <string>

namespace pelorin::test {

ModelInfoDescription SampleModel() {
  ModelInfoDescription d;
  d.files = {
      TFileRec{"basedata", "in", true, "har", "", "Input-output data"},
      TFileRec{"(terminal)", "in", false, "txt", "", ""},
      TFileRec{"summary", "out", false, "har", "", "Summary of results"},
      TFileRec{"(display)", "out", true, "txt", "", ""},
  };
  d.mrkFile = "trade.mrk";
  d.stiFile = "%none";
  d.tmDate = "2024/03/05 10:11:12 trade";
  d.sets = {
      SetDescription{"COM", "Commodities", 3, {"food", "mnfcs", "svces"}},
      SetDescription{"TRADCOM", "Traded commodities", 2, {"food", "mnfcs"}},
      SetDescription{"FOODCOM", "Food", 1, {"food"}},
      SetDescription{"REG", "Regions", 2, {}},
      SetDescription{"COMMODITIES", "Long name", 2, {}},
      SetDescription{"SECT", "Sectors read from data", -1, {}},
  };
  d.variables = {
      VariableDescription{"p", 3, {1}, 'N', {}, 'p', 'b', "Prices"},
      VariableDescription{"qxs", 6, {1, 4}, 'x', {{1, 3}, {5, 5}}, 'p', 'c', "Exports by region"},
      VariableDescription{"tm", 12, {1, 4, 4}, 'X', {}, 'p', 'c', "Import tax"},
      VariableDescription{"del_t", 1, {}, 'N', {}, 'c', 'b', "Change in trade balance"},
      VariableDescription{"xsect", -1, {6}, '?', {}, 'p', 'b', "Output by sector"},
      VariableDescription{"z4", 12, {1, 2, 3, 5}, 'B', {}, 'c', 'b', "Four arguments"},
  };
  d.subsets = {{2, 1}, {3, 1}, {3, 2}};
  d.descriptionLines = {"Two-region trade model", "", "  indented line"};
  d.kvVer = 12;
  d.prVer = 3;
  return d;
}

ModelInfoDescription LargeModel(int numSets, int numVariables) {
  ModelInfoDescription d;
  d.tmDate = "large model";
  for (int s = 1; s <= numSets; ++s) {
    SetDescription set{"S" + std::to_string(s), "Set number " + std::to_string(s), 10, {}};
    for (int e = 1; e <= 10; ++e) {
      set.elements.push_back("s" + std::to_string(s) + "e" + std::to_string(e));
    }
    d.sets.push_back(std::move(set));
  }
  for (int v = 1; v <= numVariables; ++v) {
    VariableDescription var;
    var.name = "var" + std::to_string(v);
    const int first = 1 + v % numSets;
    const int second = 1 + (v / 7) % numSets;
    var.argSets = {first, second};
    var.size = 100;
    var.description = "Variable " + std::to_string(v) + " of the large model";
    switch (v % 3) {
    case 0:
      var.exoStat = 'X';
      var.vcStat = 'c';
      break;
    case 1:
      var.exoStat = 'N';
      break;
    default:
      var.exoStat = 'x';
      var.exogenousRanges = {{1, 10}, {21, 30}, {99, 100}};
      var.vcStat = 'c';
      break;
    }
    var.vcTp = v % 2 == 0 ? 'p' : 'c';
    d.variables.push_back(std::move(var));
  }
  for (int s = 2; s <= numSets; ++s) {
    d.subsets.emplace_back(s, 1);
  }
  d.descriptionLines = {"Large model for speed measurements"};
  d.kvVer = 12;
  return d;
}

} // namespace pelorin::test
