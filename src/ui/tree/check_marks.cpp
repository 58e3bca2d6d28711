#include "ui/tree/check_marks.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace orvane {

void DrawCheckMark(QPainter& painter, const QRectF& box, TreeCheck check, const QPalette& palette) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal s = box.width();
  const QRectF frame = box.adjusted(0.5, 0.5, -0.5, -0.5);
  const qreal radius = s * 0.18;
  const QColor accent = palette.color(QPalette::Highlight);
  QColor border = palette.color(QPalette::Text);
  border.setAlphaF(0.7f);

  if (check == TreeCheck::kWithSubdirs) {
    painter.setPen(QPen(accent, 1.0));
    painter.setBrush(accent);
  } else {
    painter.setPen(QPen(check == TreeCheck::kNone ? border : accent, 1.0));
    painter.setBrush(palette.color(QPalette::Base));
  }
  painter.drawRoundedRect(frame, radius, radius);

  if (check == TreeCheck::kWithSubdirs || check == TreeCheck::kAlone) {
    QPainterPath tick;
    tick.moveTo(box.left() + s * 0.22, box.top() + s * 0.52);
    tick.lineTo(box.left() + s * 0.42, box.top() + s * 0.72);
    tick.lineTo(box.left() + s * 0.78, box.top() + s * 0.28);
    const QColor ink = check == TreeCheck::kWithSubdirs ? palette.color(QPalette::HighlightedText)
                                                        : palette.color(QPalette::Text);
    painter.setPen(QPen(ink, s * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
  } else if (check == TreeCheck::kBelow) {
    const qreal inset = s * 0.3;
    painter.setPen(Qt::NoPen);
    painter.setBrush(accent);
    painter.drawRoundedRect(box.adjusted(inset, inset, -inset, -inset), s * 0.06, s * 0.06);
  }
  painter.restore();
}

}  // namespace orvane
