// The simulation pages join the application: settings, the closure and shock edits the page changes pass on,
// Copy, the model set-up's calls into the closure logic, and the main window's pages.

#include "app/application.h"
#include "results/decimal_separator.h"

namespace pelorin {

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text.append(line).push_back('\n');
  }
  return text;
}

// "&Copy" takes the selection when there is one, else the whole text; the selection is gone afterwards.
std::string TakeSelectionOrAll(std::string& selection, const std::vector<std::string>& lines) {
  std::string text = selection.empty() ? JoinLines(lines) : std::move(selection);
  selection.clear();
  return text;
}

} // namespace

void Application::AttachSimulation() {
  SimulationContext& context = Simulation.Context;
  context.exit = options_.exit;
  context.hooks.showPage = [this](int page) { ShowPage(page); };
  context.hooks.solveOptions = [this] {
    return SolveOptions{Settings.createXacFile, Settings.getSubtotalsResults, Settings.ignoreLevelsResults};
  };
  Simulation.Shocks.DecimalComma = LocaleDecimalSeparator() == ',';
  Simulation.ConnectModelHooks(Model.Hooks);
  Model.Hooks.xacWanted = [this] {
    return Settings.createXacFile && Simulation.Context.method.solutions == 3;
  };

  // The model set-up takes its part of the settings first, then the simulation pages theirs.
  Parts.applySettings = [this, model = Parts.applySettings](const IniOptions& settings) {
    if (model) {
      model(settings);
    }
    Simulation.ApplySettings(settings);
  };
  Parts.storeSettings = [this, model = Parts.storeSettings](IniOptions& settings) {
    if (model) {
      model(settings);
    }
    Simulation.StoreSettings(settings);
  };
  Parts.closureChanged = [this] { Simulation.Closure.WhenClosureChanged(); };
  Parts.hideShockType = [this] { Simulation.Shocks.TypeVisible = false; };
  Parts.takeClosureEdited = [this] { return Simulation.Closure.Modified; };
  Parts.takeShocksEdited = [this] {
    const bool edited = Simulation.Shocks.Modified;
    Simulation.Shocks.Modified = false;
    return edited;
  };
  Parts.copyClosure = [this] {
    return TakeSelectionOrAll(Simulation.Closure.Selection, Simulation.Closure.Lines);
  };
  Parts.copyShocks = [this] {
    return TakeSelectionOrAll(Simulation.Shocks.Selection, Simulation.Shocks.Lines);
  };
}

} // namespace pelorin
