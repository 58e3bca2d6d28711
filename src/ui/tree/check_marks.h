// The four check marks of the directory tree, drawn by the program in the colours of the
// current palette, so they suit light and dark themes and stay sharp at any scale:
//   kNone         an empty box
//   kWithSubdirs  a filled box with a tick (the folder and everything below it)
//   kAlone        an open box with a tick (the folder, not everything below it)
//   kBelow        an open box with a small filled square (something below is ticked)
#pragma once

#include <QPalette>
#include <QRectF>

#include "ui/tree/dir_tree_model.h"

class QPainter;

namespace orvane {

// The side of a mark's box, in device-independent pixels.
inline constexpr int kCheckMarkSize = 14;

void DrawCheckMark(QPainter& painter, const QRectF& box, TreeCheck check, const QPalette& palette);

}  // namespace orvane
