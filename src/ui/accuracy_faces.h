#pragma once

#include <QColor>
#include <QPixmap>

namespace pelorin {

/// The number of accuracy faces: 0 (worst) to 10 (best).
inline constexpr int kAccuracyFaces = 11;

/// Accuracy face `grade` (0 worst .. 10 best), `size` pixels square on a transparent ground: a round face
/// from red through amber to green whose mouth turns from a deep frown to a broad smile.
QPixmap AccuracyFace(int grade, int size = 20, qreal devicePixelRatio = 1.0);
/// The face colour of a grade.
QColor AccuracyFaceColour(int grade);
/// The picture of the accuracy dialog's "Click and hold" button: a strip of faces from red to green over an
/// arrow pointing down, where the legend opens.
QPixmap ClickAndHoldPicture(int size = 24, qreal devicePixelRatio = 1.0);

} // namespace pelorin
