#pragma once

#include <functional>

class QWidget;

namespace pelorin {

class Application;
class QtUserInterface;

/// "&About/Diagnostics": the about box over `owner` with the running program's facts and the suite's
/// version, its "&Diagnostics" button opening the diagnostics window, its icon entering developer mode
/// (`refresh` then shows the main window's new state).
void AboutDiagnostics1Click(Application& core, QtUserInterface& ui, QWidget* owner,
                            const std::function<void()>& refresh);

} // namespace pelorin
