#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <string>

class QWidget;

namespace pelorin {

class WindowProgram;

/// What the tour lends its viewer steps: a picture of one window, and of the screen around every window.
struct TourPictures {
  std::function<void(QWidget* window, const QString& name)> window;
  std::function<void(const QString& name)> screen;
};

/// The viewers after a solve of Trade: with the model the running program shows (Trade) solved, pictures the
/// View menu, then takes each viewer the View menu starts, with the arguments it starts them with, and drives
/// it as a person would: Lumarix on the converted solution's 3-D trade volumes as slices, Telvari with a
/// second simulation side by side, Brisolent on an equation's terms. The viewers run in the tour's own
/// process so their windows can be driven. False when there is no solution to view.
bool TourViewers(WindowProgram& program, const std::string& programDir, const TourPictures& pictures,
                 QStringList& messages);

} // namespace pelorin
