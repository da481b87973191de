#include "Report.h"

#include "Barcode.h"
#include "Fr3File.h"
#include "ReportRenderer.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {

const ReportBand* findBand(const ReportPage& page, BandKind kind)
{
    for (const ReportBand& band : page.bands)
        if (band.kind == kind)
            return &band;
    return nullptr;
}

/** Lays bands out page by page, top to bottom, evaluating their objects as they are placed. */
class Layouter
{
public:
    Layouter(const ReportTemplate& layout, const QList<QSqlRecord>& rows, const ReportVariables& variables,
             const QDateTime& now, const QString& baseFolder)
        : m_page(layout.page), m_rows(rows), m_baseFolder(baseFolder)
    {
        m_scope.rows = &m_rows;
        m_scope.variables = variables;
        m_scope.now = now;
        m_scope.warnings = &m_result.warnings;
        m_result.printerName = layout.printerName;
        m_result.title = layout.reportName;
    }

    PreparedReport run()
    {
        const ReportBand* title = findBand(m_page, BandKind::ReportTitle);
        const ReportBand* master = findBand(m_page, BandKind::MasterData);
        const ReportBand* summary = findBand(m_page, BandKind::ReportSummary);
        m_footer = findBand(m_page, BandKind::PageFooter);
        m_header = findBand(m_page, BandKind::PageHeader);

        startPage(title);
        if (const ReportBand* header = findBand(m_page, BandKind::Header)) {
            place(*header, 0, 0, m_rows.size());
            if (header->reprintOnNewPage)
                m_columnHeader = header;
        }
        if (master) {
            const bool overData = !master->dataSet.isEmpty();
            if (overData && master->dataSet.compare(Report::DataSetName, Qt::CaseInsensitive) != 0)
                m_result.warnings.append(u"模板引用的数据集“%1”不存在"_s.arg(master->dataSet));
            const int count = overData ? int(m_rows.size()) : master->rowCount;
            for (int i = 0; i < count; ++i)
                placeWithRoom(*master, overData ? i : 0, i, i + 1);
        }
        m_columnHeader = nullptr;
        if (const ReportBand* footer = findBand(m_page, BandKind::Footer))
            placeWithRoom(*footer, int(m_rows.size()) - 1, 0, m_rows.size());
        if (summary)
            placeWithRoom(*summary, int(m_rows.size()) - 1, 0, m_rows.size());
        finishPage();
        resolveTotalPages();
        return std::move(m_result);
    }

private:
    double contentBottom() const
    {
        return m_page.paperHeight - m_page.bottomMargin - (m_footer ? m_footer->height / UnitsPerMm : 0);
    }
    bool fits(double bandHeight) const { return m_y + bandHeight / UnitsPerMm <= contentBottom() + 0.01; }

    /** The report title comes first on the first page, above the page header. */
    void startPage(const ReportBand* title = nullptr)
    {
        PreparedPage page;
        page.sizeMm = {m_page.paperWidth, m_page.paperHeight};
        m_result.pages.append(page);
        m_scope.page = int(m_result.pages.size());
        m_y = m_page.topMargin;
        m_pageFirstRow = m_lastPlacedRow;
        if (title)
            place(*title, 0, 0, m_rows.size());
        if (m_header)
            place(*m_header, qMax(0, m_lastPlacedRow), m_lastPlacedRow, m_lastPlacedRow);
        if (m_columnHeader)
            place(*m_columnHeader, qMax(0, m_lastPlacedRow), 0, m_rows.size());
        m_contentTop = m_y;
        for (const ReportObject& o : m_page.objects)
            placeObject(o, m_page.topMargin, qMax(0, m_lastPlacedRow), 0, m_rows.size());
    }

    void finishPage()
    {
        if (!m_footer)
            return;
        m_y = m_page.paperHeight - m_page.bottomMargin - m_footer->height / UnitsPerMm;
        // Totals in the page footer are over the rows of this page.
        place(*m_footer, qMax(0, m_lastPlacedRow - 1), qMax(0, m_pageFirstRow), m_lastPlacedRow);
    }

    /** Places a band on a new page when it does not fit on this one (unless this one is still empty). */
    void placeWithRoom(const ReportBand& band, int row, int first, qsizetype last)
    {
        if (!fits(band.height) && m_y > m_contentTop + 0.01) {
            finishPage();
            startPage();
        }
        place(band, row, first, last);
    }

    void place(const ReportBand& band, int row, int first, qsizetype last)
    {
        for (const ReportObject& o : band.objects)
            placeObject(o, m_y, row, first, int(last));
        m_y += band.height / UnitsPerMm;
        if (band.kind == BandKind::MasterData)
            m_lastPlacedRow = last;
    }

    void placeObject(const ReportObject& source, double bandTop, int row, int first, int last)
    {
        m_scope.row = m_rows.isEmpty() ? -1 : row;
        m_scope.first = first;
        m_scope.last = last;
        PreparedObject placed{source, QRectF(m_page.leftMargin + source.left / UnitsPerMm,
                                             bandTop + source.top / UnitsPerMm, source.width / UnitsPerMm,
                                             source.height / UnitsPerMm)};
        ReportObject& o = placed.object;
        switch (o.kind) {
        case ObjectKind::Memo:
            o.text = Expressions::expand(o.text, o.displayFormat, m_scope, o.name);
            break;
        case ObjectKind::Barcode:
        case ObjectKind::QrCode:
            o.text = barcodeData(o);
            if (const QString problem = Barcode::check(o.barType, o.text); !problem.isEmpty())
                Expressions::warnOnce(m_result.warnings, u"%1：%2"_s.arg(o.name, problem));
            break;
        case ObjectKind::Picture:
            if (o.picture.isNull() && !o.pictureFile.isEmpty())
                o.picture = loadPicture(o.pictureFile);
            break;
        default:
            break;
        }
        m_result.pages.last().objects.append(placed);
    }

    QString barcodeData(const ReportObject& o)
    {
        if (o.expression.trimmed().isEmpty())
            return Expressions::expand(o.text, {}, m_scope, o.name);
        try {
            return Expressions::format(Expressions::evaluate(o.expression, m_scope), {});
        } catch (const ExpressionError& e) {
            Expressions::warnOnce(m_result.warnings, u"%1的表达式%2有误：%3"_s.arg(o.name, o.expression, e.message()));
            return {};
        }
    }

    QImage loadPicture(const QString& file)
    {
        // Files written on Windows name their pictures with backslashes.
        QString path = QString(file).replace(u'\\', u'/');
        if (QFileInfo(path).isRelative())
            path = QDir(m_baseFolder).filePath(path);
        auto cached = m_pictures.find(path);
        if (cached == m_pictures.end()) {
            QImage image(path);
            if (image.isNull())
                Expressions::warnOnce(m_result.warnings, u"图片文件%1无法读取"_s.arg(path));
            cached = m_pictures.insert(path, image);
        }
        return *cached;
    }

    void resolveTotalPages()
    {
        const QString total = QString::number(m_result.pages.size());
        for (PreparedPage& page : m_result.pages)
            for (PreparedObject& placed : page.objects)
                if (placed.object.text.contains(TotalPagesMark))
                    placed.object.text.replace(TotalPagesMark, total);
    }

    const ReportPage& m_page;
    const QList<QSqlRecord>& m_rows;
    QString m_baseFolder;
    ExpressionScope m_scope;
    PreparedReport m_result;
    const ReportBand* m_header = nullptr;
    const ReportBand* m_footer = nullptr;
    /** The master's header while its rows go on to new pages, when it is printed on each. */
    const ReportBand* m_columnHeader = nullptr;
    double m_y = 0;
    double m_contentTop = 0;
    qsizetype m_pageFirstRow = 0;
    qsizetype m_lastPlacedRow = 0;
    QHash<QString, QImage> m_pictures;
};

} // namespace

void PreparedReport::stamp(const QString& text)
{
    for (PreparedPage& page : pages) {
        PreparedObject mark;
        mark.object.kind = ObjectKind::Memo;
        mark.object.name = u"Stamp"_s;
        mark.object.text = text;
        mark.object.font.pixelHeight = 16;
        mark.object.font.bold = true;
        mark.object.font.color = QColor(200, 0, 0);
        mark.object.hAlign = HAlign::Right;
        mark.object.wordWrap = false;
        mark.mm = QRectF(page.sizeMm.width() - 62, 2, 60, 7);
        page.objects.append(mark);
    }
}

QList<int> PreparedReport::pagesContaining(const QString& text) const
{
    QList<int> found;
    for (int i = 0; i < pages.size(); ++i)
        for (const PreparedObject& placed : pages[i].objects)
            if (placed.object.kind == ObjectKind::Memo && placed.object.text.contains(text, Qt::CaseInsensitive)) {
                found.append(i);
                break;
            }
    return found;
}

bool Report::load(const QString& path)
{
    m_layout = {};
    m_path = path;
    m_unsupported.clear();
    m_problem.clear();
    m_baseFolder = QFileInfo(QFileInfo(path).absolutePath()).absolutePath();
    const Fr3File::Loaded loaded = Fr3File::read(path);
    if (!loaded.report) {
        m_problem = loaded.problem;
        return false;
    }
    m_layout = *loaded.report;
    m_unsupported = loaded.unsupported;
    return true;
}

void Report::setTemplate(const ReportTemplate& layout)
{
    m_layout = layout;
    m_problem.clear();
    m_unsupported.clear();
}

void Report::setRows(QSqlQuery& query)
{
    m_rows.clear();
    while (query.next())
        m_rows.append(query.record());
}

PreparedReport Report::prepare() const
{
    PreparedReport prepared =
        Layouter(m_layout, m_rows, m_variables, m_now.isValid() ? m_now : QDateTime::currentDateTime(), m_baseFolder)
            .run();
    if (!m_unsupported.isEmpty())
        prepared.warnings.prepend(u"模板中有本程序不支持的内容，已略过：%1"_s.arg(m_unsupported.join(u"、"_s)));
    if (!m_problem.isEmpty())
        prepared.warnings.prepend(m_problem);
    return prepared;
}

std::optional<QString> Report::exportPdf(const QString& file) const
{
    return ReportRenderer::writePdf(prepare(), file);
}

ReportVariables Report::recordReportVariables(const QString& title1, const QString& title2, const QString& pz,
                                              const QString& mz, const QString& jz, const QString& cs)
{
    return [=](const QString& name) -> std::optional<QVariant> {
        if (name == u"Title1"_s)
            return title1;
        if (name == u"Title2"_s)
            return title2;
        const QString lower = name.toLower();
        if (lower == u"pz"_s)
            return pz;
        if (lower == u"mz"_s)
            return mz;
        if (lower == u"jz"_s)
            return jz;
        if (lower == u"cs"_s)
            return cs;
        return std::nullopt;
    };
}
