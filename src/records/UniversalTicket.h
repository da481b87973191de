#pragma once

#include "platform/TicketPrinter.h"

#include <QString>

class DataModule;
class Spreadsheet;
struct AppContext;

/**
 * The universal ticket: the workbook zdy.xls of the program folder, which the site lays out itself. The
 * record goes into the first worksheet (row 1 the column names, row 2 the values) and the second
 * worksheet, the printed layout that refers to the first, is printed. The workbook is the one the main
 * window holds open in the spreadsheet application; when there is no printer the ticket is written as a
 * PDF file into the folder 磅单输出.
 */
class UniversalTicketPrinter final : public TicketPrinter
{
public:
    inline static const QString WorkbookName = QStringLiteral("zdy.xls");
    inline static const QString NotOpenProblem =
        QStringLiteral("万能磅单工作簿zdy.xls没有打开，请重新进入系统后再打印万能磅单");

    UniversalTicketPrinter(DataModule& dm, Spreadsheet& spreadsheet);

    /** Spreadsheet failures come back as a problem; throws DbError when the record cannot be read. */
    TicketResult PrintTicket(const QString& recordNumber) override;

private:
    DataModule& m_dm;
    Spreadsheet& m_spreadsheet;
};

/**
 * Prints each ticket as [Print] Type says at that moment: the quick ticket when it is true (the default),
 * the universal ticket otherwise.
 */
class TicketKindPrinter final : public TicketPrinter
{
public:
    TicketKindPrinter(const QString& iniPath, TicketPrinter& quick, TicketPrinter& universal);
    TicketResult PrintTicket(const QString& recordNumber) override;
    TicketResult ReprintTicket(const QString& recordNumber) override;

private:
    TicketPrinter& printerInForce() const;

    QString m_iniPath;
    TicketPrinter& m_quick;
    TicketPrinter& m_universal;
};

/** The main window's handling of the universal-ticket workbook. */
namespace UniversalTicket {

inline const QString OpenFailedMessage = QStringLiteral("请按照完整版Office 2003，以便于设置磅单格式");
inline const QString DesignMessage =
    QStringLiteral("进入设计时期，用户无法使用系统功能打印，\n需设计磅单完毕后，关闭磅单Excel文件，重新进入系统才生效！\n"
                   "用户在调试磅单时，可以使用Excel的打印或者打印预览功能来完成调试");

/** Opens zdy.xls of the program folder and holds it for printing; a failure is told once, as a message. */
void openWorkbook(AppContext& ctx);
/**
 * "4.自定义万能磅单格式": logs "修改磅单", tells the operator that the universal ticket is unavailable
 * until the next start, releases the held workbook and opens zdy.xls in the desktop's spreadsheet program.
 */
void design(AppContext& ctx);

} // namespace UniversalTicket
