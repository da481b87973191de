#include "ReportPrinting.h"

#include "ReportRenderer.h"

#include <QPrinter>
#include <QPrinterInfo>

using namespace Qt::Literals::StringLiterals;

QString ReportPrinting::choosePrinter(const QString& wanted)
{
    const QStringList installed = QPrinterInfo::availablePrinterNames();
    if (!wanted.trimmed().isEmpty() && installed.contains(wanted.trimmed()))
        return wanted.trimmed();
    const QString fallback = QPrinterInfo::defaultPrinterName();
    return installed.contains(fallback) ? fallback : installed.value(0);
}

std::optional<QString> ReportPrinting::print(const PreparedReport& report, const QString& printerName)
{
    const QString name = choosePrinter(printerName.isEmpty() ? report.printerName : printerName);
    if (name.isEmpty())
        return u"没有可用的打印机"_s;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(name);
    return print(report, printer);
}

std::optional<QString> ReportPrinting::print(const PreparedReport& report, QPrinter& printer)
{
    printer.setFullPage(true);
    if (!report.title.isEmpty())
        printer.setDocName(report.title);
    if (const std::optional<QString> problem = ReportRenderer::render(printer, report))
        return u"打印机%1：%2"_s.arg(printer.printerName(), *problem);
    return std::nullopt;
}
