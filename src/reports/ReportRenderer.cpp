#include "ReportRenderer.h"

#include "Barcode.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::Literals::StringLiterals;

namespace {

/** The family a template names when installed; else one that holds Chinese, so no text draws as boxes. */
QString familyFor(const QString& wanted)
{
    static QHash<QString, QString> chosen;
    auto found = chosen.find(wanted);
    if (found != chosen.end())
        return *found;
    QString family = wanted;
    if (!QFontDatabase::hasFamily(wanted)) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        family = chinese.value(0, wanted);
        for (const QString& preferred : {u"WenQuanYi Zen Hei"_s, u"Noto Sans CJK SC"_s, u"SimSun"_s})
            if (chinese.contains(preferred)) {
                family = preferred;
                break;
            }
    }
    chosen.insert(wanted, family);
    return family;
}

class PageDrawer
{
public:
    PageDrawer(QPainter& painter, double dotsPerMm) : m_p(painter), m_dots(dotsPerMm) {}

    void draw(const PreparedObject& placed)
    {
        const ReportObject& o = placed.object;
        const QRectF box(placed.mm.x() * m_dots, placed.mm.y() * m_dots, placed.mm.width() * m_dots,
                         placed.mm.height() * m_dots);
        switch (o.kind) {
        case ObjectKind::Memo:
            fill(o, box);
            text(o, box);
            frame(o, box);
            break;
        case ObjectKind::Line:
            line(o, box);
            break;
        case ObjectKind::Shape:
            shape(o, box);
            break;
        case ObjectKind::Picture:
            picture(o, box);
            frame(o, box);
            break;
        case ObjectKind::Barcode:
        case ObjectKind::QrCode:
            barcode(o, box);
            break;
        }
    }

private:
    double units(double fileUnits) const { return fileUnits / UnitsPerMm * m_dots; }

    QPen pen(const ReportObject& o) const
    {
        QPen pen(o.frameColor);
        pen.setWidthF(qMax(units(o.frameWidth), m_dots * 0.1));
        pen.setCapStyle(Qt::FlatCap);
        return pen;
    }

    QFont font(const ReportFont& f) const
    {
        QFont font(familyFor(f.name));
        const double pixels = units(f.pixelHeight);
        const int dpi = m_p.device() ? m_p.device()->logicalDpiY() : 96;
        font.setPointSizeF(qMax(0.5, pixels * 72.0 / dpi));
        font.setBold(f.bold);
        font.setItalic(f.italic);
        font.setUnderline(f.underline);
        return font;
    }

    void fill(const ReportObject& o, const QRectF& box)
    {
        if (o.fill.isValid())
            m_p.fillRect(box, o.fill);
    }

    void frame(const ReportObject& o, const QRectF& box)
    {
        if (!o.frameSides)
            return;
        m_p.setPen(pen(o));
        if (o.frameSides & FrameSide::Left)
            m_p.drawLine(box.topLeft(), box.bottomLeft());
        if (o.frameSides & FrameSide::Right)
            m_p.drawLine(box.topRight(), box.bottomRight());
        if (o.frameSides & FrameSide::Top)
            m_p.drawLine(box.topLeft(), box.topRight());
        if (o.frameSides & FrameSide::Bottom)
            m_p.drawLine(box.bottomLeft(), box.bottomRight());
    }

    void text(const ReportObject& o, const QRectF& box)
    {
        if (o.text.isEmpty())
            return;
        int flags = o.hAlign == HAlign::Center  ? Qt::AlignHCenter
                    : o.hAlign == HAlign::Right ? Qt::AlignRight
                    : o.hAlign == HAlign::Block ? Qt::AlignJustify
                                                : Qt::AlignLeft;
        flags |= o.vAlign == VAlign::Center ? Qt::AlignVCenter : o.vAlign == VAlign::Bottom ? Qt::AlignBottom : Qt::AlignTop;
        if (o.wordWrap)
            flags |= Qt::TextWordWrap;
        QString shown = o.text;
        shown.replace(u"\r\n"_s, u"\n"_s);
        m_p.setFont(font(o.font));
        m_p.setPen(o.font.color);
        // The engine's gaps: 2 units across, 1 down.
        m_p.drawText(box.adjusted(units(2), units(1), -units(2), -units(1)), flags, shown);
    }

    void line(const ReportObject& o, const QRectF& box)
    {
        m_p.setPen(pen(o));
        if (o.diagonal)
            m_p.drawLine(box.topLeft(), box.bottomRight());
        else if (box.height() <= 0.01 || box.width() > box.height() * 20)
            m_p.drawLine(box.topLeft(), box.topRight());
        else
            m_p.drawLine(box.topLeft(), box.bottomLeft());
    }

    void shape(const ReportObject& o, const QRectF& box)
    {
        m_p.save();
        m_p.setRenderHint(QPainter::Antialiasing, o.shape != ShapeKind::Rectangle);
        m_p.setPen(pen(o));
        m_p.setBrush(o.fill.isValid() ? QBrush(o.fill) : QBrush());
        if (o.shape == ShapeKind::Ellipse)
            m_p.drawEllipse(box);
        else if (o.shape == ShapeKind::RoundRectangle)
            m_p.drawRoundedRect(box, units(8), units(8));
        else
            m_p.drawRect(box);
        m_p.restore();
    }

    void picture(const ReportObject& o, const QRectF& box)
    {
        if (o.picture.isNull())
            return;
        QRectF target = box;
        const QSizeF natural(units(o.picture.width()), units(o.picture.height()));
        if (!o.stretched) {
            target.setSize(natural.boundedTo(box.size()));
        } else if (o.keepAspectRatio) {
            const QSizeF fitted = QSizeF(o.picture.size()).scaled(box.size(), Qt::KeepAspectRatio);
            target = QRectF(box.x() + (box.width() - fitted.width()) / 2, box.y() + (box.height() - fitted.height()) / 2,
                            fitted.width(), fitted.height());
        }
        m_p.save();
        m_p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        m_p.drawImage(target, o.picture);
        m_p.restore();
    }

    void barcode(const ReportObject& o, const QRectF& box)
    {
        QRectF bars = box;
        const bool withText = o.showText && o.kind == ObjectKind::Barcode && !o.text.isEmpty();
        if (withText)
            bars.setBottom(box.bottom() - units(o.font.pixelHeight) * 1.3);
        Barcode::draw(m_p, bars, o.barType, o.text);
        if (withText) {
            m_p.setFont(font(o.font));
            m_p.setPen(Qt::black);
            m_p.drawText(QRectF(box.left(), bars.bottom(), box.width(), box.bottom() - bars.bottom()),
                         Qt::AlignHCenter | Qt::AlignVCenter, o.text);
        }
    }

    QPainter& m_p;
    double m_dots;
};

QPageSize pageSizeOf(const PreparedPage& page, const QString& name)
{
    const QPageSize standard(page.sizeMm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    if (name.isEmpty() && standard.id() != QPageSize::Custom)
        return standard;
    return QPageSize(page.sizeMm, QPageSize::Millimeter, name, QPageSize::ExactMatch);
}

} // namespace

void ReportRenderer::drawPage(QPainter& painter, const PreparedPage& page, double dotsPerMm)
{
    PageDrawer drawer(painter, dotsPerMm);
    for (const PreparedObject& placed : page.objects)
        drawer.draw(placed);
}

std::optional<QString> ReportRenderer::render(QPagedPaintDevice& device, const PreparedReport& report)
{
    const QList<PreparedPage> blank{PreparedPage{{210, 297}, {}}};
    const QList<PreparedPage>& pages = report.pages.isEmpty() ? blank : report.pages;
    const auto setPaper = [&](const PreparedPage& page) {
        const bool landscape = page.sizeMm.width() > page.sizeMm.height();
        const PreparedPage portrait{landscape ? page.sizeMm.transposed() : page.sizeMm, {}};
        device.setPageLayout(QPageLayout(pageSizeOf(portrait, report.paperName),
                                         landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
    };
    setPaper(pages.first());
    QPainter painter;
    if (!painter.begin(&device))
        return u"无法开始打印"_s;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            setPaper(pages[i]);
            device.newPage();
        }
        const QRectF paper = device.pageLayout().fullRectPixels(device.logicalDpiX());
        drawPage(painter, pages[i], paper.width() / pages[i].sizeMm.width());
    }
    if (!painter.end())
        return u"打印没有完成"_s;
    return std::nullopt;
}

std::optional<QString> ReportRenderer::renderFitted(QPagedPaintDevice& device, const PreparedReport& report)
{
    QPainter painter;
    if (!painter.begin(&device))
        return u"无法开始打印"_s;
    const QRectF paper = device.pageLayout().fullRectPixels(device.logicalDpiX());
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        const QSizeF size = report.pages[i].sizeMm;
        drawPage(painter, report.pages[i], qMin(paper.width() / size.width(), paper.height() / size.height()));
    }
    if (!painter.end())
        return u"打印没有完成"_s;
    return std::nullopt;
}

std::optional<QString> ReportRenderer::writePdf(const PreparedReport& report, const QString& file)
{
    QPdfWriter writer(file);
    writer.setResolution(600);
    writer.setCreator(u"Weight"_s);
    writer.setTitle(report.title);
    if (const std::optional<QString> problem = render(writer, report))
        return u"无法写入PDF文件%1：%2"_s.arg(file, *problem);
    if (!QFileInfo::exists(file))
        return u"无法写入PDF文件%1"_s.arg(file);
    return std::nullopt;
}

QImage ReportRenderer::pageImage(const PreparedPage& page, double dpi)
{
    const double dotsPerMm = dpi / 25.4;
    QImage image(qMax(1, qRound(page.sizeMm.width() * dotsPerMm)), qMax(1, qRound(page.sizeMm.height() * dotsPerMm)),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dotsPerMm * 1000));
    image.setDotsPerMeterY(qRound(dotsPerMm * 1000));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawPage(painter, page, dotsPerMm);
    return image;
}

std::optional<QString> ReportRenderer::writeImages(const PreparedReport& report, const QString& file, double dpi)
{
    const QFileInfo info(file);
    const QString suffix = info.suffix().isEmpty() ? u"png"_s : info.suffix();
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        const QString name = i == 0 ? file
                                    : u"%1/%2_%3.%4"_s.arg(info.absolutePath(), info.completeBaseName())
                                          .arg(i + 1)
                                          .arg(suffix);
        if (!pageImage(report.pages[i], dpi).save(name, suffix.toLatin1().toUpper().constData()))
            return u"无法写入图片文件%1"_s.arg(name);
    }
    return std::nullopt;
}
