// The job runner joins the application: the simulation pages hand it their jobs, the main window's timer
// ticks it once start-up is over, and it reaches back for the timer, the window, the pages and "&Copy".

#include "app/application.h"

namespace pelorin {

void Application::AttachJobs() {
  Jobs.Exit = options_.exit;
  Jobs.Interpreter = Interpreter;
  Jobs.Hooks.setTimer = [this](bool enabled) { Window.timerEnabled = enabled; };
  Jobs.Hooks.enableMainWindow = [this](bool enabled) { Window.enabled = enabled; };
  Jobs.Hooks.showPage = [this](int page) { ShowPage(page); };
  Jobs.Hooks.enableCopy = [this] { Menu.Copy.enabled = true; };

  Simulation.Context.hooks.startSolve = [this] { Jobs.StartSolve(); };
  Simulation.Context.hooks.startClosureCheck = [this] { Jobs.StartClosureCheck(); };
  // Start-up fixes how console jobs are started: through the command interpreter chosen when the program
  // began.
  Parts.chooseJobStart = [this] { Jobs.Interpreter = Interpreter; };
  Parts.pollJob = [this] { Jobs.DosJobTimerTimer(); };
}

} // namespace pelorin
