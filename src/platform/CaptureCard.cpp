#include "CaptureCard.h"

#include <QPainter>
#include <QPainterPath>

QImage CaptureCard::withOverlay(QImage picture, int channel) const
{
    const QString text = overlay(channel);
    if (text.isEmpty() || picture.isNull())
        return picture;
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture = picture.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font;
    font.setPixelSize(qMax(14, picture.height() / 12));
    font.setBold(true);
    // Outlined white text stays readable on a bright and on a dark scene.
    QPainterPath path;
    const int margin = font.pixelSize() / 2;
    path.addText(margin, margin + font.pixelSize(), font, text);
    painter.setPen(QPen(Qt::black, qMax(2, font.pixelSize() / 7)));
    painter.setBrush(Qt::white);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.drawPath(path);
    return picture;
}
