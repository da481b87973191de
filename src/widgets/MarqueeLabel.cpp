#include "widgets/MarqueeLabel.h"

#include <QPainter>

MarqueeLabel::MarqueeLabel(QWidget* parent) : QLabel(parent)
{
    QFont f = font();
    f.setBold(true);
    setFont(f);
    setMinimumWidth(260);
    m_timer.setInterval(60);
    connect(&m_timer, &QTimer::timeout, this, &MarqueeLabel::step);
    m_timer.start();
}

void MarqueeLabel::setMarqueeText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    setToolTip(text);
    update();
}

void MarqueeLabel::step()
{
    m_offset += 2;
    const int span = width() + fontMetrics().horizontalAdvance(m_text);
    if (span > 0 && m_offset > span)
        m_offset = 0;
    // Blink: a short dark pause every few seconds.
    if (++m_ticks % 50 == 0)
        m_visible = !m_visible;
    else if (!m_visible && m_ticks % 50 == 8)
        m_visible = true;
    update();
}

void MarqueeLabel::paintEvent(QPaintEvent*)
{
    if (!m_visible)
        return;
    QPainter painter(this);
    painter.setPen(Qt::red);
    painter.setFont(font());
    const int x = width() - m_offset;
    painter.drawText(QRect(x, 0, fontMetrics().horizontalAdvance(m_text) + 4, height()),
                     Qt::AlignVCenter | Qt::AlignLeft, m_text);
}
