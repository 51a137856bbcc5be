#include "qt/icons.h"

#include <QPainter>
#include <QPixmap>

namespace tvx::qt {

namespace {

QPixmap drawPrinter(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  const QColor ink(60, 60, 60);
  p.setPen(QPen(ink, 1.5));
  // Paper in, the printer's body, paper out with lines of text.
  p.setBrush(Qt::white);
  p.drawRect(QRectF(9, 3, 14, 9));
  p.setBrush(QColor(150, 150, 150));
  p.drawRoundedRect(QRectF(3, 11, 26, 11), 2, 2);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(8, 18, 16, 11));
  p.setPen(QPen(ink, 1));
  for (int y : {22, 25}) p.drawLine(QPointF(11, y), QPointF(21, y));
  p.setBrush(QColor(80, 180, 80));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(25, 14.5), 1.5, 1.5);
  return pixmap;
}

}  // namespace

QIcon drawnPrintIcon() {
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48}) icon.addPixmap(drawPrinter(size));
  return icon;
}

QIcon printIcon() { return QIcon::fromTheme("document-print", drawnPrintIcon()); }

}  // namespace tvx::qt
