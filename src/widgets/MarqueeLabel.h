#pragma once

#include <QLabel>
#include <QTimer>

/** A status pane whose text scrolls from right to left and blinks, in red bold. */
class MarqueeLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MarqueeLabel)

public:
    explicit MarqueeLabel(QWidget* parent = nullptr);
    /** The text as set, without scrolling. */
    QString marqueeText() const { return m_text; }
    void setMarqueeText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void step();

    QString m_text;
    QTimer m_timer;
    int m_offset = 0;
    int m_ticks = 0;
    bool m_visible = true;
};
