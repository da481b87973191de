#include "AboutBox.h"

#include "app/SkyGradient.h"
#include "platform/AppContext.h"
#include "platform/SystemShell.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int AlphaStep = 5;
constexpr int AlphaEnd = 250;

/** A truck on a weighbridge, drawn: the box's picture at the lower left. */
QPixmap scalePicture()
{
    QPixmap picture(120, 64);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 90, 110));
    painter.drawRect(4, 52, 112, 8);
    painter.setBrush(QColor(30, 110, 190));
    painter.drawRoundedRect(10, 16, 70, 30, 3, 3);
    painter.setBrush(QColor(230, 120, 30));
    painter.drawRoundedRect(82, 26, 26, 20, 3, 3);
    painter.setBrush(QColor(180, 220, 250));
    painter.drawRect(92, 30, 12, 8);
    painter.setBrush(QColor(40, 40, 40));
    for (int x : {24, 60, 96})
        painter.drawEllipse(QPoint(x, 48), 6, 6);
    return picture;
}

} // namespace

AboutBox::AboutBox(AppContext& ctx, QWidget* parent) : QDialog(parent)
{
    setObjectName(u"Taboutfrm"_s);
    setWindowTitle(u"关于"_s);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(420, 300);

    auto* title = new QLabel(u"Hemlo汽车衡(地磅)称重管理软件"_s, this);
    title->setObjectName(u"Label1"_s);
    title->setStyleSheet(u"font-size: 18px; font-weight: bold; color: rgb(0, 0, 128);"_s);
    auto* edition = new QLabel(u"单机标准版(含视频监控)"_s, this);
    edition->setObjectName(u"Label2"_s);
    auto* picture = new QLabel(this);
    picture->setObjectName(u"Image1"_s);
    picture->setPixmap(scalePicture());
    auto* separator = new QFrame(this);
    separator->setFixedHeight(1);
    separator->setStyleSheet(u"border-top: 1px dashed rgb(0, 0, 128);"_s);
    auto* memory = new QLabel(memoryLine(ctx.shell.availableMemory()), this);
    memory->setObjectName(u"Label3"_s);
    auto* resources = new QLabel(resourceLine(ctx.shell.freeMemoryPercent()), this);
    resources->setObjectName(u"Label4"_s);
    auto* back = new QPushButton(u"返回"_s, this);
    back->setObjectName(u"BitBtn1"_s);
    back->setToolTip(u"退出本窗体返回主窗体"_s);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(edition, 0, Qt::AlignHCenter);
    layout->addStretch();
    layout->addWidget(separator);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(picture, 0, Qt::AlignBottom);
    auto* figures = new QVBoxLayout;
    figures->addWidget(memory);
    figures->addWidget(resources);
    figures->addWidget(back, 0, Qt::AlignRight);
    bottom->addLayout(figures, 1);
    layout->addLayout(bottom);

    setWindowOpacity(0.0);
    Timer1.setInterval(66);
    connect(&Timer1, &QTimer::timeout, this, &AboutBox::Timer1Timer);
    connect(back, &QPushButton::clicked, this, &AboutBox::closeBox);
    Timer1.start();
}

QString AboutBox::memoryLine(qint64 availableBytes)
{
    return u"可用内存为:"_s + QLocale(QLocale::English).toString(availableBytes / 1024) + u" KB"_s;
}

QString AboutBox::resourceLine(int freePercent)
{
    return u"系统资源为:"_s + QString::asprintf("%d %%", freePercent) + u"可用"_s;
}

void AboutBox::Timer1Timer()
{
    m_alpha = std::min(m_alpha + AlphaStep, 255);
    setWindowOpacity(m_alpha / 255.0);
    if (m_alpha >= AlphaEnd)
        Timer1.stop();
}

void AboutBox::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(rect()), 15, 15);
    setMask(QRegion(outline.toFillPolygon().toPolygon()));
}

void AboutBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintSkyGradient(painter, rect());
}

void AboutBox::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    closeBox();
}

void AboutBox::closeBox()
{
    Timer1.stop();
    accept();
}
