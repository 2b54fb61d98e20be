#include "simspec/solve_method_dialog.h"
#include "support/scripted_ui.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using Focus = TSolveMethodDlg::Focus;

struct MethodDialog : ::testing::Test {
  SolveMethodRec method = DefaultSolveMethod();
  AccuracyOptions accuracy = DefaultAccuracyOptions();
  test::ScriptedUserInterface ui;
  TSolveMethodDlg dialog{method, accuracy, ui};

  void TypeSteps(std::string_view a, std::string_view b, std::string_view c) {
    dialog.StepsChanged(0, a);
    dialog.StepsChanged(1, b);
    dialog.StepsChanged(2, c);
  }
};

TEST(MethodText, LabelsDescribeMethodStepsAndSubintervals) {
  EXPECT_EQ(MethodLabelText(DefaultSolveMethod()), "Gragg: 2-4-6 steps extrapolation");
  EXPECT_EQ(MethodLabelText(StartupSolveMethod()), "Johansen: 1 step");
  EXPECT_EQ(MethodLabelText({SolutionMethod::Euler, 2, {3, 6, 9}, 4, false}),
            "Euler: 3-6 steps extrapolation");
  EXPECT_EQ(MethodLabelText({SolutionMethod::Midpoint, 1, {2, 6, 9}, 1, false}), "Midpoint: 2 steps");
  EXPECT_EQ(MethodLabelText({SolutionMethod::Gragg, 3, {2, 4, 6}, 4, false}),
            "Gragg: 2-4-6 steps extrapolation (4 subintervals)");
  EXPECT_EQ(MethodLabelText({SolutionMethod::Gragg, 3, {2, 4, 6}, 4, true}),
            "Gragg: 2-4-6 steps extrapolation (Automatic Accuracy)");
}

TEST(MethodText, StatementsForTheCommandFile) {
  AccuracyOptions accuracy;
  accuracy.subintervals = 7;
  EXPECT_THAT(MethodStatements({SolutionMethod::Gragg, 3, {2, 4, 6}, 4, false}, accuracy),
              ElementsAre("Method = Gragg;", "Steps = 2 4 6;", "subintervals = 4;"));
  EXPECT_THAT(MethodStatements({SolutionMethod::Johansen, 1, {1, 3, 5}, 1, false}, accuracy),
              ElementsAre("Method = Johansen;", "Steps = 1;", "subintervals = 1;"));
  EXPECT_THAT(MethodStatements({SolutionMethod::Euler, 3, {3, 6, 9}, 4, true}, accuracy),
              ElementsAre("Method = Euler;", "Steps = 3 6 9;", "subintervals = 7;"));

  EXPECT_THAT(AutomaticAccuracyStatements(DefaultSolveMethod(), accuracy),
              ElementsAre("automatic accuracy = no;"));
  accuracy.stopOnFailure = false;
  accuracy.criterion = 2;
  EXPECT_THAT(AutomaticAccuracyStatements({SolutionMethod::Gragg, 3, {2, 4, 6}, 1, true}, accuracy),
              ElementsAre("automatic accuracy = yes;", "accuracy figures = 4;", "accuracy percent = 80;",
                          "minimum subinterval length =  1.0E-0003;", "minimum subinterval fails = continue;",
                          "accuracy criterion = Both;"));
}

TEST(MethodText, SubintervalsTheDialogHidesAreNeitherWrittenNorRun) {
  // The "Sub-intervals" box shows only with three solutions; a count kept from earlier must not reach the
  // solver while the Solve page says nothing of it.
  AccuracyOptions accuracy;
  accuracy.subintervals = 7;
  const SolveMethodRec euler{SolutionMethod::Euler, 2, {3, 6, 9}, 5, false};
  EXPECT_THAT(MethodStatements(euler, accuracy),
              ElementsAre("Method = Euler;", "Steps = 3 6;", "subintervals = 1;"));
  EXPECT_EQ(MethodLabelText(euler), "Euler: 3-6 steps extrapolation");
  // Johansen is one step whatever the settings file says of solutions and subintervals.
  const SolveMethodRec johansen{SolutionMethod::Johansen, 3, {1, 3, 5}, 3, false};
  EXPECT_THAT(MethodStatements(johansen, accuracy),
              ElementsAre("Method = Johansen;", "Steps = 1;", "subintervals = 1;"));
  EXPECT_EQ(MethodLabelText(johansen), "Johansen: 1 step");
  // Automatic accuracy needs three solutions: with fewer it is neither written nor announced.
  const SolveMethodRec twoAutomatic{SolutionMethod::Gragg, 2, {2, 4, 6}, 3, true};
  EXPECT_THAT(MethodStatements(twoAutomatic, accuracy),
              ElementsAre("Method = Gragg;", "Steps = 2 4;", "subintervals = 1;"));
  EXPECT_THAT(AutomaticAccuracyStatements(twoAutomatic, accuracy), ElementsAre("automatic accuracy = no;"));
  EXPECT_EQ(MethodLabelText(twoAutomatic), "Gragg: 2-4 steps extrapolation");
  // With three solutions the count runs and the label says so.
  const SolveMethodRec three{SolutionMethod::Euler, 3, {3, 6, 9}, 5, false};
  EXPECT_THAT(MethodStatements(three, accuracy),
              ElementsAre("Method = Euler;", "Steps = 3 6 9;", "subintervals = 5;"));
  EXPECT_EQ(MethodLabelText(three), "Euler: 3-6-9 steps extrapolation (5 subintervals)");
}

TEST(MethodText, ExponentFormHasTwoDigitsAndFourExponentDigits) {
  EXPECT_EQ(ExponentText(0.001f), " 1.0E-0003");
  EXPECT_EQ(ExponentText(1e-9), " 1.0E-0009");
  EXPECT_EQ(ExponentText(0.00125), " 1.3E-0003");
  EXPECT_EQ(ExponentText(-2.5e12), "-2.5E+0012");
  EXPECT_EQ(ExponentText(0.0), " 0.0E+0000");
  EXPECT_EQ(ExponentText(9.99), " 1.0E+0001");
}

TEST_F(MethodDialog, GraggStepsMustBeIncreasingAndOfOneParity) {
  dialog.Open();
  TypeSteps("2", "3", "4");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps2);
  TypeSteps("4", "4", "6");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps2);
  TypeSteps("2", "4", "4");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps3);
  TypeSteps("1", "3", "5");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps1);
  EXPECT_THAT(ui.Texts(),
              ElementsAre("For Gragg or MidPoint,\r\nSteps must be ALL odd or ALL even",
                          "Sequence of steps must be increasing", "Sequence of steps must be increasing",
                          "For Gragg or MidPoint,\r\nFirst solution must have 2 or more steps"));
  TypeSteps("4", "6", "8");
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_EQ(method.steps, (std::array<int, 3>{4, 6, 8}));
  EXPECT_TRUE(dialog.Changed());
}

TEST_F(MethodDialog, OneSolutionRulesPerMethod) {
  method = {SolutionMethod::Midpoint, 1, {1, 4, 6}, 1, false};
  dialog.Open();
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(ui.Texts().back(), "For Gragg or MidPoint,\r\nFirst solution must have 2 or more steps");
  dialog.MethodChanged(2);
  dialog.SolutionsChanged(1);
  dialog.StepsChanged(0, "1");
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_EQ(method.method, SolutionMethod::Euler);
  EXPECT_EQ(MethodLabelText(method), "Euler: 1 steps");
}

TEST_F(MethodDialog, EmptyOrOutOfRangeStepBoxIsRefusedNotStored) {
  dialog.Open();
  TypeSteps("2", "", "6");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps2);
  EXPECT_EQ(ui.Texts().back(), "Number of steps must be a whole number from 1 to 999");
  TypeSteps("0", "4", "6");
  dialog.MethodChanged(2); // Euler
  dialog.StepsChanged(0, "0");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps1);
  // An unused box may hold anything.
  dialog.SolutionsChanged(1);
  dialog.StepsChanged(0, "3");
  dialog.StepsChanged(1, "x");
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_EQ(method.steps[0], 3);
}

TEST_F(MethodDialog, TheRulesMessagesComeBeforeTheWholeNumberCheck) {
  dialog.Open();
  TypeSteps("0", "4", "6");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps1);
  TypeSteps("4", "0", "6");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps2);
  TypeSteps("2", "4", "");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps3);
  dialog.MethodChanged(2);
  dialog.SolutionsChanged(1);
  dialog.StepsChanged(0, "0");
  EXPECT_FALSE(dialog.OkClick());
  EXPECT_EQ(dialog.FocusTarget(), Focus::Steps1);
  EXPECT_THAT(ui.Texts(), ElementsAre("For Gragg or MidPoint,\r\nFirst solution must have 2 or more steps",
                                      "Sequence of steps must be increasing",
                                      "Number of steps must be a whole number from 1 to 999",
                                      "Number of steps must be a whole number from 1 to 999"));
}

TEST_F(MethodDialog, ABoxNotInUseKeepsItsValueUnlessItHoldsACount) {
  dialog.Open();
  dialog.SolutionsChanged(2);
  TypeSteps("4", "8", "00");
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_EQ(method.steps, (std::array<int, 3>{4, 8, 6}));
  dialog.Open();
  TypeSteps("2", "6", "10");
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_EQ(method.steps, (std::array<int, 3>{2, 6, 10}));
  // Nor does a switch of method carry a 0 into the record.
  dialog.Open();
  dialog.SolutionsChanged(3);
  TypeSteps("2", "6", "0");
  dialog.MethodChanged(2);
  dialog.MethodChanged(3);
  EXPECT_EQ(dialog.State().steps, (std::array<std::string, 3>{"2", "6", "10"}));
}

TEST_F(MethodDialog, SwitchingMethodsRemembersTypedSteps) {
  dialog.Open();
  TypeSteps("4", "6", "8");
  dialog.MethodChanged(2);
  EXPECT_EQ(dialog.State().steps, (std::array<std::string, 3>{"3", "4", "5"}));
  dialog.MethodChanged(1);
  EXPECT_EQ(dialog.State().steps[0], "1");
  EXPECT_FALSE(dialog.State().solutionsEnabled);
  EXPECT_FALSE(dialog.State().steps1Enabled);
  EXPECT_FALSE(dialog.State().steps2Visible);
  dialog.MethodChanged(3);
  EXPECT_EQ(dialog.State().steps, (std::array<std::string, 3>{"4", "6", "8"}));
  EXPECT_TRUE(dialog.State().solutionsEnabled);
  EXPECT_TRUE(dialog.State().steps3Visible);
}

TEST_F(MethodDialog, FewerThanThreeSolutionsSwitchAutomaticAccuracyOff) {
  method.automaticAccuracy = true;
  accuracy.subintervals = 150;
  dialog.Open();
  EXPECT_TRUE(dialog.State().tall);
  EXPECT_TRUE(dialog.State().subintervalsVisible);
  EXPECT_EQ(dialog.State().subintervals, 150);
  EXPECT_EQ(dialog.State().subintervalsMax, 150);
  EXPECT_EQ(dialog.State().exponent, -3);
  dialog.SolutionsChanged(2);
  EXPECT_FALSE(method.automaticAccuracy);
  EXPECT_FALSE(dialog.State().tall);
  EXPECT_FALSE(dialog.State().subintervalsVisible);
  EXPECT_FALSE(dialog.State().steps3Visible);
  EXPECT_FALSE(dialog.State().automaticAccuracyEnabled);
}

TEST_F(MethodDialog, SubintervalsBoxWritesTheFieldInUse) {
  dialog.Open();
  dialog.SubintervalsChanged(4);
  EXPECT_EQ(method.subintervals, 4);
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_TRUE(dialog.Changed());
  EXPECT_EQ(MethodLabelText(method), "Gragg: 2-4-6 steps extrapolation (4 subintervals)");

  method.automaticAccuracy = true;
  dialog.Open();
  dialog.SubintervalsChanged(5);
  dialog.ExponentChanged(-5);
  EXPECT_EQ(accuracy.subintervals, 5);
  EXPECT_EQ(method.subintervals, 4);
  EXPECT_FLOAT_EQ(accuracy.minimumLength, 1e-5f);
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_TRUE(dialog.Changed());
}

TEST_F(MethodDialog, CancelRestoresAndUnchangedOkReportsNoChange) {
  dialog.Open();
  dialog.MethodChanged(2);
  dialog.SolutionsChanged(2);
  dialog.FiguresChanged(6);
  dialog.CancelClick();
  EXPECT_EQ(method, DefaultSolveMethod());
  EXPECT_EQ(accuracy, DefaultAccuracyOptions());

  // Steps of solutions not in use and subintervals under automatic accuracy do not count as changes.
  method = {SolutionMethod::Gragg, 2, {2, 4, 6}, 1, false};
  dialog.Open();
  dialog.StepsChanged(2, "8");
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_FALSE(dialog.Changed());
  dialog.Open();
  dialog.MethodChanged(4);
  dialog.MethodChanged(3);
  EXPECT_TRUE(dialog.OkClick());
  EXPECT_FALSE(dialog.Changed());
}

} // namespace
} // namespace pelorin
