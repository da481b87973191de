#include "SimpleTicketPrinter.h"

#include "data/DataModule.h"
#include "data/Dialect.h"
#include "data/IniFile.h"
#include "data/RecordLayout.h"
#include "data/Settings.h"
#include "data/Sql.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSqlRecord>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Title = u"称重计量单"_s;

/** One label and its value on the ticket. */
struct Entry
{
    QString label;
    QString value;
    bool strong = false;
};

/** What one ticket shows: sections of entries, each section starting on a new row. */
struct Ticket
{
    QString number;
    QList<QList<Entry>> sections;
};

// Columns the ticket shows in its own places; the other visible layout fields are listed in between.
const QStringList& placedColumns()
{
    static const QStringList columns{u"编号"_s,     u"车号"_s,       u"毛重"_s,       u"皮重"_s,
                                     u"净重"_s,     u"扣杂方式"_s,   u"扣重数"_s,     u"皮重时间"_s,
                                     u"毛重时间"_s, u"皮重操作人"_s, u"毛重操作人"_s, u"补打次数"_s};
    return columns;
}

QString numberText(const QVariant& value)
{
    return QString::number(value.toDouble(), 'f', 2);
}

QString valueText(const QVariant& value, const QString& type)
{
    if (value.isNull())
        return {};
    if (type.compare(u"Float"_s, Qt::CaseInsensitive) == 0)
        return numberText(value);
    if (type.compare(u"DateTime"_s, Qt::CaseInsensitive) == 0) {
        const QDateTime time = Dialect::toDateTime(value);
        return time.isValid() ? Dialect::dateTimeText(time) : value.toString();
    }
    return value.toString();
}

class RecordReader
{
public:
    explicit RecordReader(const QSqlRecord& record) : m_record(record) {}
    QVariant operator()(const QString& column) const
    {
        const int index = m_record.indexOf(column);
        return index < 0 ? QVariant() : m_record.value(index);
    }

private:
    QSqlRecord m_record;
};

std::optional<Ticket> readTicket(DataModule& dm, qlonglong number, const QString& unit)
{
    const QSqlDatabase db = dm.weightdatabase();
    QSqlQuery query = Sql::exec(db, u"SELECT * FROM weight WHERE 编号 = ?"_s, {number});
    if (!query.next())
        return std::nullopt;
    const RecordReader value(query.record());
    const auto weight = [&](const QString& column) { return numberText(value(column)) + u' ' + unit; };
    const auto text = [&](const QString& column) { return valueText(value(column), u"DateTime"_s); };

    QList<Entry> fields{{u"车号"_s, value(u"车号"_s).toString(), true}};
    for (const StructureRow& row : RecordLayout::read(db)) {
        const QString name = row.name.trimmed();
        if (row.visible && !placedColumns().contains(name))
            fields.append({name, valueText(value(name), row.type)});
    }
    Ticket ticket;
    ticket.number = QString::number(number);
    // Three columns: the gross weighing, the tare weighing, the net and its deduction.
    ticket.sections = {
        fields,
        {{u"毛重"_s, weight(u"毛重"_s), true},
         {u"皮重"_s, weight(u"皮重"_s), true},
         {u"净重"_s, weight(u"净重"_s), true},
         {u"毛重时间"_s, text(u"毛重时间"_s)},
         {u"皮重时间"_s, text(u"皮重时间"_s)},
         {u"扣杂方式"_s, value(u"扣杂方式"_s).toString()},
         {u"毛重操作人"_s, value(u"毛重操作人"_s).toString()},
         {u"皮重操作人"_s, value(u"皮重操作人"_s).toString()},
         {u"扣重数"_s, weight(u"扣重数"_s)}},
    };
    return ticket;
}

/** A font that holds Chinese characters, so that a ticket is drawn in one face. */
QString ticketFontFamily()
{
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    for (const QString& preferred :
         {u"WenQuanYi Zen Hei"_s, u"Noto Sans CJK SC"_s, u"Microsoft YaHei"_s, u"SimHei"_s})
        if (chinese.contains(preferred))
            return preferred;
    return chinese.value(0);
}

/** The ticket paper from [zdypage] in millimetres; an unusable entry gives the 240 × 95 mm default. */
QSizeF paperSize(const IniFile& ini)
{
    bool widthOk = false;
    bool lengthOk = false;
    const double width = ini.read(Option::PaperWidth).trimmed().toDouble(&widthOk) * 10;
    const double length = ini.read(Option::PaperLength).trimmed().toDouble(&lengthOk) * 10;
    if (!widthOk || !lengthOk || width < 150 || length < 80 || width > 600 || length > 600)
        return {240, 95};
    return {width, length};
}

/** Draws tickets in millimetres on a printer page; fonts are given in points. */
class TicketPainter
{
public:
    TicketPainter(QPrinter& printer, QPainter& painter)
        : m_printer(printer), m_painter(painter), m_dotsPerMm(printer.resolution() / 25.4),
          m_page(printer.pageLayout().fullRect(QPageLayout::Millimeter).size()), m_family(ticketFontFamily())
    {}

    void draw(const Ticket& ticket, const QString& printedAt)
    {
        double y = header(ticket, printedAt);
        const double bottom = m_page.height() - Margin - FooterHeight;
        int rows = 0;
        for (const auto& section : ticket.sections)
            rows += int((section.size() + Columns - 1) / Columns);
        // Rows share the height left on the page, within readable limits; what does not fit goes on.
        const double rowHeight = qBound(5.0, (bottom - y) / qMax(1, rows), 8.0);
        for (const auto& section : ticket.sections) {
            for (qsizetype first = 0; first < section.size(); first += Columns) {
                if (y + rowHeight > bottom + 0.01) {
                    footer();
                    m_printer.newPage();
                    y = header(ticket, printedAt);
                }
                row(section.mid(first, Columns), y, rowHeight);
                y += rowHeight;
            }
        }
        footer();
    }

private:
    static constexpr double Margin = 8;
    static constexpr double FooterHeight = 9;
    static constexpr int Columns = 3;
    static constexpr double LabelWidth = 22;

    QRectF mm(double x, double y, double w, double h) const
    {
        return {x * m_dotsPerMm, y * m_dotsPerMm, w * m_dotsPerMm, h * m_dotsPerMm};
    }
    double contentWidth() const { return m_page.width() - 2 * Margin; }

    QFont font(double points, bool bold = false) const
    {
        QFont f;
        if (!m_family.isEmpty())
            f.setFamily(m_family);
        f.setPointSizeF(points);
        f.setBold(bold);
        return f;
    }

    /** Text in a box, made smaller down to 6.5 pt when it is too wide, then shortened with an ellipsis. */
    void text(const QRectF& box, const QString& value, QFont f, Qt::Alignment alignment)
    {
        const double room = box.width() - 1.5 * m_dotsPerMm;
        while (f.pointSizeF() > 6.5 && QFontMetricsF(f, &m_printer).horizontalAdvance(value) > room)
            f.setPointSizeF(f.pointSizeF() - 0.5);
        m_painter.setFont(f);
        const QString shown = QFontMetricsF(f, &m_printer).elidedText(value, Qt::ElideRight, room);
        m_painter.drawText(box.adjusted(0.75 * m_dotsPerMm, 0, -0.75 * m_dotsPerMm, 0),
                           alignment | Qt::AlignVCenter, shown);
    }

    double header(const Ticket& ticket, const QString& printedAt)
    {
        m_painter.setPen(Qt::black);
        text(mm(Margin, Margin, contentWidth(), 9), Title, font(16, true), Qt::AlignHCenter);
        const double y = Margin + 10;
        text(mm(Margin, y, contentWidth() / 2, 5), u"编号：%1"_s.arg(ticket.number), font(9), Qt::AlignLeft);
        text(mm(Margin + contentWidth() / 2, y, contentWidth() / 2, 5), u"打印时间：%1"_s.arg(printedAt),
             font(9), Qt::AlignRight);
        return y + 6;
    }

    void row(const QList<Entry>& entries, double y, double height)
    {
        const double cell = contentWidth() / Columns;
        QPen line(QColor(60, 60, 60));
        line.setWidthF(0.25 * m_dotsPerMm);
        for (int c = 0; c < Columns; ++c) {
            const double x = Margin + c * cell;
            const QRectF label = mm(x, y, LabelWidth, height);
            const QRectF value = mm(x + LabelWidth, y, cell - LabelWidth, height);
            m_painter.fillRect(label, QColor(235, 240, 248));
            m_painter.setPen(line);
            m_painter.drawRect(label);
            m_painter.drawRect(value);
            if (c >= entries.size())
                continue;
            const Entry& e = entries[c];
            m_painter.setPen(Qt::black);
            text(label, e.label, font(9), Qt::AlignHCenter);
            text(value, e.value, font(e.strong ? 11 : 9, e.strong), Qt::AlignLeft);
        }
    }

    void footer()
    {
        const double y = m_page.height() - Margin - FooterHeight + 3;
        const double third = contentWidth() / 3;
        const QStringList signatures{u"司磅员："_s, u"司机："_s, u"收货人："_s};
        m_painter.setPen(Qt::black);
        for (int i = 0; i < signatures.size(); ++i)
            text(mm(Margin + i * third, y, third, 6), signatures[i], font(9), Qt::AlignLeft);
    }

    QPrinter& m_printer;
    QPainter& m_painter;
    double m_dotsPerMm;
    QSizeF m_page;
    QString m_family;
};

QString uniqueFile(const QString& base)
{
    QString file = base + u".pdf"_s;
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = u"%1_%2.pdf"_s.arg(base).arg(n);
    return file;
}

} // namespace

SimpleTicketPrinter::Printers SimpleTicketPrinter::systemPrinters()
{
    return {QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName()};
}

SimpleTicketPrinter::SimpleTicketPrinter(DataModule& dm, std::function<Printers()> printers)
    : m_dm(dm), m_printers(std::move(printers))
{}

QString SimpleTicketPrinter::choosePrinter(const QString& configured, const Printers& printers)
{
    const QString wanted = configured.trimmed();
    if (!wanted.isEmpty() && printers.available.contains(wanted))
        return wanted;
    if (!printers.defaultPrinter.isEmpty() && printers.available.contains(printers.defaultPrinter))
        return printers.defaultPrinter;
    return {};
}

QString SimpleTicketPrinter::printerName() const
{
    return choosePrinter(IniFile(m_dm.iniPath()).read(Option::TicketPrinter), m_printers());
}

QString SimpleTicketPrinter::pdfFileFor(const QString& recordNumber) const
{
    const QString folder = m_dm.path(OutputFolder);
    QDir().mkpath(folder);
    return uniqueFile(
        u"%1/%2_%3"_s.arg(folder, recordNumber, QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s)));
}

TicketResult SimpleTicketPrinter::PrintTicket(const QString& recordNumber)
{
    bool isNumber = false;
    const qlonglong number = recordNumber.trimmed().toLongLong(&isNumber);
    if (recordNumber.trimmed().isEmpty())
        return {false, {}, u"没有选择要打印的称重记录"_s};
    const IniFile ini(m_dm.iniPath());
    const QString unit = ini.read(Option::UnitKilograms) ? u"kg"_s : u"t"_s;
    const std::optional<Ticket> ticket = isNumber ? readTicket(m_dm, number, unit) : std::nullopt;
    if (!ticket)
        return {false, {}, u"没有找到编号为%1的称重记录"_s.arg(recordNumber.trimmed())};

    const QString printer = choosePrinter(ini.read(Option::TicketPrinter), m_printers());
    QPrinter device(QPrinter::HighResolution);
    QString destination = printer;
    if (printer.isEmpty()) {
        destination = pdfFileFor(ticket->number);
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(destination);
    } else {
        device.setPrinterName(printer);
    }
    device.setDocName(u"%1 %2"_s.arg(Title, ticket->number));
    device.setCreator(u"Weight"_s);
    device.setFullPage(true);
    device.setPageOrientation(QPageLayout::Portrait);
    device.setPageSize(QPageSize(paperSize(ini), QPageSize::Millimeter, u"zdy"_s));
    device.setPageMargins(QMarginsF(0, 0, 0, 0));

    QPainter painter;
    if (!painter.begin(&device))
        return {false, destination,
                printer.isEmpty() ? u"无法写入磅单文件%1"_s.arg(destination)
                                  : u"无法连接打印机%1"_s.arg(printer)};
    TicketPainter(device, painter)
        .draw(*ticket, QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH:mm:ss"_s));
    if (!painter.end())
        return {false, destination,
                printer.isEmpty() ? u"无法写入磅单文件%1"_s.arg(destination)
                                  : u"打印机%1没有完成打印"_s.arg(printer)};
    return {true, destination, {}};
}
