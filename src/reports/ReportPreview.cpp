#include "ReportPreview.h"

#include "ReportPrinting.h"
#include "ReportRenderer.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr double ScreenDotsPerMm = 96 / 25.4;
}

/** The page itself, drawn at the zoom on a grey desk. */
class ReportPreviewPane::PageView final : public QWidget
{
public:
    explicit PageView(ReportPreviewPane& pane) : m_pane(pane) { setAttribute(Qt::WA_OpaquePaintEvent); }

    QSize paperPixels() const
    {
        const PreparedReport& report = m_pane.report();
        const QSizeF mm = report.pages.isEmpty() ? QSizeF(210, 297) : report.pages[m_pane.page()].sizeMm;
        const double dots = ScreenDotsPerMm * m_pane.zoom();
        return QSize(qRound(mm.width() * dots), qRound(mm.height() * dots));
    }

    void relayout() { setFixedSize(paperPixels() + QSize(2 * Desk, 2 * Desk)); update(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        const QRect paper(QPoint(Desk, Desk), paperPixels());
        p.fillRect(paper.translated(3, 3), QColor(70, 70, 70));
        p.fillRect(paper, Qt::white);
        const PreparedReport& report = m_pane.report();
        if (report.pages.isEmpty())
            return;
        p.translate(paper.topLeft());
        p.setRenderHint(QPainter::TextAntialiasing);
        ReportRenderer::drawPage(p, report.pages[m_pane.page()], ScreenDotsPerMm * m_pane.zoom());
    }

private:
    static constexpr int Desk = 12;
    ReportPreviewPane& m_pane;
};

ReportPreviewPane::ReportPreviewPane(QWidget* parent)
    : QWidget(parent), m_scroll(new QScrollArea(this)), m_view(new PageView(*this))
{
    setObjectName(u"frxPreview"_s);
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    m_view->relayout();
}

void ReportPreviewPane::setReport(const PreparedReport& report)
{
    m_report = report;
    m_page = 0;
    m_view->relayout();
    Q_EMIT pageChanged(m_page);
}

void ReportPreviewPane::setPage(int page)
{
    const int bounded = qBound(0, page, qMax(0, pageCount() - 1));
    if (bounded == m_page)
        return;
    m_page = bounded;
    m_view->relayout();
    m_scroll->verticalScrollBar()->setValue(0);
    Q_EMIT pageChanged(m_page);
}

void ReportPreviewPane::setZoom(double zoom)
{
    m_zoom = qBound(0.1, zoom, 8.0);
    m_view->relayout();
}

double ReportPreviewPane::pageWidthZoom() const
{
    const QSizeF mm = m_report.pages.isEmpty() ? QSizeF(210, 297) : m_report.pages[m_page].sizeMm;
    return (m_scroll->viewport()->width() - 40) / (mm.width() * ScreenDotsPerMm);
}

double ReportPreviewPane::wholePageZoom() const
{
    const QSizeF mm = m_report.pages.isEmpty() ? QSizeF(210, 297) : m_report.pages[m_page].sizeMm;
    return qMin(pageWidthZoom(), (m_scroll->viewport()->height() - 40) / (mm.height() * ScreenDotsPerMm));
}

bool ReportPreviewPane::findNext(const QString& text)
{
    const QList<int> pages = m_report.pagesContaining(text);
    if (pages.isEmpty())
        return false;
    // A new text starts at the current page; the same text again goes on to the next page holding it.
    const int from = text == m_found ? m_page + 1 : m_page;
    m_found = text;
    auto next = std::find_if(pages.begin(), pages.end(), [&](int p) { return p >= from; });
    setPage(next == pages.end() ? pages.first() : *next);
    return true;
}

ReportPreviewWindow::ReportPreviewWindow(const PreparedReport& report, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_pane(new ReportPreviewPane(this)), m_printer(QPrinter::HighResolution)
{
    setObjectName(u"TfrxPreviewForm"_s);
    setWindowTitle(u"预览"_s);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildToolBar();
    layout->addWidget(findChild<QToolBar*>());
    // What the template holds that cannot print, or refers to wrongly, is told without stopping the preview.
    if (!report.warnings.isEmpty()) {
        auto* warning = new QLabel(report.warnings.join(u'\n'), this);
        warning->setObjectName(u"WarningL"_s);
        warning->setWordWrap(true);
        warning->setStyleSheet(u"background: #fff3c4; color: #6b4e00; padding: 4px;"_s);
        layout->addWidget(warning);
    }
    layout->addWidget(m_pane, 1);
    connect(m_pane, &ReportPreviewPane::pageChanged, this, &ReportPreviewWindow::showPageNumber);
    m_pane->setReport(report);
    resize(1000, 760);
    const QString wanted = ReportPrinting::choosePrinter(report.printerName);
    if (!wanted.isEmpty())
        m_printer.setPrinterName(wanted);
}

void ReportPreviewWindow::buildToolBar()
{
    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [&](const QString& text, const QString& name, auto slot) {
        QAction* action = bar->addAction(text, this, slot);
        action->setObjectName(name);
        return action;
    };
    add(u"打印"_s, u"PrintB"_s, &ReportPreviewWindow::printReport)->setShortcut(QKeySequence::Print);
    add(u"导出PDF"_s, u"PdfB"_s, &ReportPreviewWindow::exportPdf);
    add(u"导出图片"_s, u"PngB"_s, &ReportPreviewWindow::exportPng);
    add(u"页面设置"_s, u"PageSettingsB"_s, &ReportPreviewWindow::pageSetup);
    bar->addSeparator();
    add(u"首页"_s, u"FirstB"_s, [this] { m_pane->setPage(0); });
    add(u"上一页"_s, u"PriorB"_s, [this] { m_pane->setPage(m_pane->page() - 1); })->setShortcut(Qt::Key_PageUp);
    m_pageLabel = new QLabel(bar);
    m_pageLabel->setObjectName(u"PageE"_s);
    m_pageLabel->setMinimumWidth(70);
    m_pageLabel->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_pageLabel);
    add(u"下一页"_s, u"NextB"_s, [this] { m_pane->setPage(m_pane->page() + 1); })->setShortcut(Qt::Key_PageDown);
    add(u"末页"_s, u"LastB"_s, [this] { m_pane->setPage(m_pane->pageCount() - 1); });
    bar->addSeparator();
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(u"ZoomCB"_s);
    m_zoomBox->addItems({u"50%"_s, u"75%"_s, u"100%"_s, u"150%"_s, u"200%"_s, u"页宽"_s, u"整页"_s});
    m_zoomBox->setCurrentIndex(2);
    connect(m_zoomBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QString text = m_zoomBox->itemText(index);
        m_pane->setZoom(text == u"页宽"_s   ? m_pane->pageWidthZoom()
                        : text == u"整页"_s ? m_pane->wholePageZoom()
                                            : text.chopped(1).toDouble() / 100);
    });
    bar->addWidget(m_zoomBox);
    bar->addSeparator();
    m_findBox = new QLineEdit(bar);
    m_findBox->setObjectName(u"FindE"_s);
    m_findBox->setPlaceholderText(u"查找文字"_s);
    m_findBox->setMaximumWidth(160);
    connect(m_findBox, &QLineEdit::returnPressed, this, &ReportPreviewWindow::findText);
    bar->addWidget(m_findBox);
    add(u"查找"_s, u"FindB"_s, &ReportPreviewWindow::findText);
    bar->addSeparator();
    add(u"关闭"_s, u"CancelB"_s, &QDialog::accept);
}

void ReportPreviewWindow::showPageNumber()
{
    m_pageLabel->setText(u"%1 / %2"_s.arg(m_pane->page() + 1).arg(qMax(1, m_pane->pageCount())));
}

std::optional<QString> ReportPreviewWindow::printWithDialog(const PreparedReport& report)
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setWindowTitle(u"打印"_s);
    if (dialog.exec() != QDialog::Accepted)
        return u""_s;
    if (m_useChosenPaper)
        return ReportRenderer::renderFitted(m_printer, report);
    return ReportPrinting::print(report, m_printer);
}

void ReportPreviewWindow::printReport()
{
    const std::optional<QString> problem = m_print ? m_print(m_pane->report()) : printWithDialog(m_pane->report());
    if (!problem) {
        Q_EMIT printed();
        return;
    }
    // An empty problem: the print dialog was cancelled.
    if (!problem->isEmpty())
        m_prompter.error(*problem);
}

void ReportPreviewWindow::exportPdf()
{
    const auto file = m_prompter.chooseSaveFile(u"导出PDF"_s, m_pane->report().title + u".pdf"_s, u"PDF(*.pdf)"_s);
    if (!file)
        return;
    QString name = *file;
    if (!name.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        name += u".pdf"_s;
    if (const auto problem = ReportRenderer::writePdf(m_pane->report(), name))
        m_prompter.error(*problem);
}

void ReportPreviewWindow::exportPng()
{
    const auto file = m_prompter.chooseSaveFile(u"导出图片"_s, m_pane->report().title + u".png"_s,
                                                u"PNG(*.png);;JPEG(*.jpg);;BMP(*.bmp)"_s);
    if (!file)
        return;
    QString name = *file;
    if (!QStringList{u"png"_s, u"jpg"_s, u"jpeg"_s, u"bmp"_s}.contains(QFileInfo(name).suffix().toLower()))
        name += u".png"_s;
    if (const auto problem = ReportRenderer::writeImages(m_pane->report(), name))
        m_prompter.error(*problem);
}

void ReportPreviewWindow::pageSetup()
{
    QPageSetupDialog dialog(&m_printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_useChosenPaper = true;
}

void ReportPreviewWindow::findText()
{
    const QString text = m_findBox->text().trimmed();
    if (!text.isEmpty() && !m_pane->findNext(text))
        m_prompter.information(u"没有找到“%1”"_s.arg(text), u"提示"_s);
}
