#include "gui/app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace kvt::gui {

namespace {

QPixmap drawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);  // drawn on the 64-unit grid of kvt.svg
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1d, 0x5b, 0x79));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

  const QColor light(0xe8, 0xf1, 0xf5);
  painter.setPen(QPen(light, 3, Qt::SolidLine, Qt::RoundCap));
  for (int x : {17, 23, 29}) {
    painter.drawLine(QLineF(x, 10, x, 16));
    painter.drawLine(QLineF(x, 48, x, 54));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(light);
  painter.drawRoundedRect(QRectF(12, 16, 22, 32), 2, 2);

  painter.setPen(QPen(QColor(0xf2, 0xb1, 0x34), 3, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  for (double radius : {10.0, 16.0, 22.0}) {
    painter.drawArc(QRectF(36 - radius, 32 - radius, 2 * radius, 2 * radius), -45 * 16, 90 * 16);
  }
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(drawIcon(size));
  return icon;
}

}  // namespace kvt::gui
