#pragma once

#include "platform/user_interface.h"
#include "shell/fatal.h"
#include "shell/solve_method.h"

#include <functional>
#include <string>

namespace pelorin {

struct AppState;
class ModelSetUp;
struct SolInfoRec;
class ClosurePage;
class ShocksPage;
class SolvePage;

/// Pages of the main window the simulation pages send the user to.
inline constexpr int kModelDataPage = 3;
inline constexpr int kClosurePage = 4;
inline constexpr int kShocksPage = 5;
inline constexpr int kOutputPage = 6;
inline constexpr int kSolvePage = 7;

/// Help topics of the messages of the closure, shock, subtotal and solve logic.
inline constexpr int kHelpClosure = 400;
inline constexpr int kHelpShocks = 500;
inline constexpr int kHelpSubtotals = 560;
inline constexpr int kHelpSolve = 700;

/// The options of the Options menu that the command and answer files depend on.
struct SolveOptions {
  bool createXacFile = true;
  bool getSubtotalsResults = true;
  bool ignoreLevelsResults = false;
};

/// What the simulation pages ask of the parts around them. The application object sets them; an unset hook is
/// skipped.
struct SimulationHooks {
  /// Shows a page of the main window.
  std::function<void(int page)> showPage;
  /// Starts the closure-check job (it writes the check's files through CheckClosureCMF and runs the solver).
  std::function<void()> startClosureCheck;
  /// Starts the solve job "solve1".
  std::function<void()> startSolve;
  /// The Options menu's current choices (the application keeps them with the settings). Unset: the context's
  /// own `options`.
  std::function<SolveOptions()> solveOptions;
};

/// The state the simulation pages share: the application's records, the model set-up, the current model
/// information, the person, the solution method and options, the hooks, and the three pages themselves.
struct SimulationContext {
  SimulationContext(AppState& appState, ModelSetUp& modelSetUp, SolInfoRec& info, UserInterface& person)
      : app(appState), model(modelSetUp), solInfo(info), ui(person) {}

  AppState& app;
  ModelSetUp& model;
  SolInfoRec& solInfo;
  UserInterface& ui;
  SolveMethodRec method = StartupSolveMethod();
  AccuracyOptions accuracy = DefaultAccuracyOptions();
  SolveOptions options;
  SimulationHooks hooks;
  /// How a fatal error ends the program (the shell's fatal exits call it). Unset: the program goes on.
  ExitHook exit;
  ClosurePage* closure = nullptr;
  ShocksPage* shocks = nullptr;
  SolvePage* solve = nullptr;

  /// The Options menu's choices now.
  SolveOptions CurrentOptions() const { return hooks.solveOptions ? hooks.solveOptions() : options; }

  /// The exit hook, or one that lets the program go on when none is set.
  ExitHook Exit() const {
    return exit ? exit : ExitHook([](int) {});
  }

  /// Shows a page through the hook.
  void ShowPage(int page) const {
    if (hooks.showPage) {
      hooks.showPage(page);
    }
  }
};

} // namespace pelorin
