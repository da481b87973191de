#pragma once

#include <QDialog>
#include <QTimer>

struct AppContext;

/**
 * "关于" (`Taboutfrm`, menu "关于我们"): a borderless box with rounded corners that fades in; the title,
 * the edition and the memory figures of this computer. A click anywhere or "返回" closes it.
 */
class AboutBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutBox)

public:
    AboutBox(AppContext& ctx, QWidget* parent);

    /** "可用内存为:" + kilobytes with thousands separators + " KB". */
    static QString memoryLine(qint64 availableBytes);
    /** "系统资源为:" + the free percentage as "%d %%" + "可用". */
    static QString resourceLine(int freePercent);

    /** The opacity out of 255, raised by 5 each tick of Timer1 until it reaches 250. */
    int alphaBlendValue() const { return m_alpha; }
    QTimer Timer1;

public Q_SLOTS:
    void Timer1Timer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void closeBox();

    int m_alpha = 0;
};
