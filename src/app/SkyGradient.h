#pragma once

#include <QLinearGradient>
#include <QPainter>

/** The white-to-sky-blue background of the about box and the upgrade window. */
inline void paintSkyGradient(QPainter& painter, const QRect& area)
{
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, QColor(135, 206, 235));
    painter.fillRect(area, gradient);
}
