#include "UniversalTicket.h"

#include "data/DataModule.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"
#include "platform/SystemShell.h"
#include "platform/Spreadsheet.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString OutputFolder = u"磅单输出"_s;

QString cellText(const QVariant& value, ColumnKind kind)
{
    if (value.isNull())
        return {};
    if (kind == ColumnKind::Number)
        return QString::number(value.toDouble(), 'f', 2);
    if (kind == ColumnKind::DateTime) {
        const QDateTime time = Dialect::toDateTime(value);
        return time.isValid() ? Dialect::dateTimeText(time) : value.toString();
    }
    return value.toString();
}

QString pdfFileFor(const DataModule& dm, const QString& number)
{
    const QString base = u"%1/%2_%3_万能"_s.arg(dm.path(OutputFolder), number,
                                                QDateTime::currentDateTime().toString(u"yyyyMMdd_HHmmss"_s));
    QString file = base + u".pdf"_s;
    for (int n = 2; QFileInfo::exists(file); ++n)
        file = u"%1_%2.pdf"_s.arg(base).arg(n);
    return file;
}

} // namespace

UniversalTicketPrinter::UniversalTicketPrinter(DataModule& dm, Spreadsheet& spreadsheet)
    : m_dm(dm), m_spreadsheet(spreadsheet)
{}

TicketResult UniversalTicketPrinter::PrintTicket(const QString& recordNumber)
{
    const QString number = recordNumber.trimmed();
    if (number.isEmpty())
        return {false, {}, u"没有选择要打印的称重记录"_s};
    bool isNumber = false;
    const qlonglong key = number.toLongLong(&isNumber);
    const QSqlDatabase db = m_dm.weightdatabase();
    QSqlQuery query = Sql::exec(db, u"SELECT * FROM weight WHERE 编号 = ?"_s, {isNumber ? key : -1});
    if (!isNumber || !query.next())
        return {false, {}, u"没有找到编号为%1的称重记录"_s.arg(number)};

    Workbook* workbook = m_spreadsheet.ticketWorkbook();
    if (!workbook)
        return {false, {}, NotOpenProblem};
    QStringList names;
    QStringList values;
    const QList<ColumnInfo> columns = m_dm.dialect().columns(db, u"weight"_s);
    const QSqlRecord record = query.record();
    for (const ColumnInfo& column : columns) {
        names.append(column.name);
        values.append(cellText(record.value(column.name), column.kind));
    }
    try {
        workbook->writeCells(1, 1, 1, {names, values}, 0);
        return {true, workbook->printSheet(2, pdfFileFor(m_dm, number)), {}};
    } catch (const SpreadsheetError& e) {
        return {false, {}, e.text()};
    }
}

TicketKindPrinter::TicketKindPrinter(const QString& iniPath, TicketPrinter& quick, TicketPrinter& universal)
    : m_iniPath(iniPath), m_quick(quick), m_universal(universal)
{}

TicketPrinter& TicketKindPrinter::printerInForce() const
{
    return IniFile(m_iniPath).read(Option::PrintQuick) ? m_quick : m_universal;
}

TicketResult TicketKindPrinter::PrintTicket(const QString& recordNumber)
{
    return printerInForce().PrintTicket(recordNumber);
}

TicketResult TicketKindPrinter::ReprintTicket(const QString& recordNumber)
{
    return printerInForce().ReprintTicket(recordNumber);
}

namespace UniversalTicket {

void openWorkbook(AppContext& ctx)
{
    try {
        ctx.spreadsheet.holdTicketWorkbook(ctx.spreadsheet.open(ctx.dm.path(UniversalTicketPrinter::WorkbookName)));
    } catch (const SpreadsheetError&) {
        ctx.prompter.information(OpenFailedMessage, u"提示!"_s);
    }
}

void design(AppContext& ctx)
{
    ctx.dm.WriteLog(ctx.login.CurrentOperator, u"修改磅单"_s, QString());
    ctx.prompter.information(DesignMessage, u"提示"_s);
    ctx.spreadsheet.releaseTicketWorkbook();
    // The program folder is not necessarily the working folder, so the workbook is named in full.
    if (!ctx.shell.open(ctx.dm.path(UniversalTicketPrinter::WorkbookName)))
        ctx.prompter.information(u"缺少zdy.xls电子表格文件，用户可以在"_s + ctx.dm.ProgramFolder()
                                     + u"目录下自己新建一个zdy.xls文件！"_s,
                                 u"提示"_s);
}

} // namespace UniversalTicket
