#include "QuickTicketPrinter.h"

#include "ReportPrinting.h"
#include "ReportRenderer.h"
#include "Tickets.h"
#include "data/DataModule.h"
#include "data/IniFile.h"
#include "data/Settings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

namespace {

QString uniqueFile(const QString& base)
{
    QString file = base + u".pdf"_s;
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = u"%1_%2.pdf"_s.arg(base).arg(n);
    return file;
}

int reprintCount(const QSqlRecord& record)
{
    const int index = record.indexOf(u"补打次数"_s);
    return index < 0 ? 0 : record.value(index).toInt();
}

} // namespace

QuickTicketPrinter::Printers QuickTicketPrinter::systemPrinters()
{
    return {QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName()};
}

QuickTicketPrinter::QuickTicketPrinter(DataModule& dm, std::function<Printers()> printers)
    : m_dm(dm), m_printers(std::move(printers))
{}

QString QuickTicketPrinter::choosePrinter(const QStringList& wanted, const Printers& printers)
{
    for (const QString& name : wanted)
        if (!name.trimmed().isEmpty() && printers.available.contains(name.trimmed()))
            return name.trimmed();
    if (!printers.defaultPrinter.isEmpty() && printers.available.contains(printers.defaultPrinter))
        return printers.defaultPrinter;
    return {};
}

QString QuickTicketPrinter::pdfFileFor(const QString& recordNumber) const
{
    const QString folder = m_dm.path(OutputFolder);
    QDir().mkpath(folder);
    return uniqueFile(
        u"%1/%2_%3"_s.arg(folder, recordNumber, QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s)));
}

TicketResult QuickTicketPrinter::PrintTicket(const QString& recordNumber)
{
    return print(recordNumber, false);
}

TicketResult QuickTicketPrinter::ReprintTicket(const QString& recordNumber)
{
    return print(recordNumber, true);
}

TicketResult QuickTicketPrinter::print(const QString& recordNumber, bool reprint)
{
    int reprintNumber = 0;
    if (reprint)
        if (const std::optional<QSqlRecord> record = Tickets::readRecord(m_dm, recordNumber))
            reprintNumber = reprintCount(*record) + 1;
    const Tickets::Prepared ticket =
        Tickets::prepare(m_dm, recordNumber, Tickets::defaultTicketPath(m_dm), reprintNumber);
    if (!ticket.report)
        return {false, {}, ticket.problem};

    const QString number = recordNumber.trimmed();
    const QString printer = choosePrinter(
        {ticket.report->printerName, IniFile(m_dm.iniPath()).read(Option::TicketPrinter)}, m_printers());
    if (printer.isEmpty()) {
        const QString file = pdfFileFor(number);
        if (const auto problem = ReportRenderer::writePdf(*ticket.report, file))
            return {false, file, *problem};
        return {true, file, {}};
    }
    if (const auto problem = ReportPrinting::print(*ticket.report, printer))
        return {false, printer, *problem};
    return {true, printer, {}};
}
