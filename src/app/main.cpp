// The program `weight`: runs the weighing-management program on a program folder, or makes a new one.
#include "MainWindow.h"
#include "StartUp.h"
#include "data/DataModule.h"
#include "data/ProgramFolderSetup.h"
#include "maintenance/Maintenance.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/DesktopShell.h"
#include "platform/LibreOfficeSpreadsheet.h"
#include "platform/QtPrompter.h"
#include "platform/QtSound.h"
#include "records/ExportCommand.h"
#include "reports/QuickTicketPrinter.h"
#include "reports/ReportRenderer.h"
#include "reports/Tickets.h"
#include "records/UniversalTicket.h"
#include "weighing/video/CameraCard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>
#include <QPrinterInfo>
#include <QScreen>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

int initFolder(const QString& folder, const QString& port)
{
    QTextStream err(stderr);
    const auto problem = ProgramFolderSetup::create(folder, {port});
    if (problem) {
        err << u"weight: "_s << *problem << Qt::endl;
        return 1;
    }
    QTextStream(stdout) << u"程序目录已建立："_s << QDir(folder).absolutePath() << Qt::endl;
    return 0;
}

void warnWithoutChineseFont(Prompter& prompter)
{
    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
        prompter.warning(u"系统中没有安装中文字体，界面文字将无法正常显示。请安装中文字体（例如文泉驿正黑）。"_s,
                         u"提示"_s);
}

/** Qt's own dialog texts in Chinese ("确定", "取消"), whatever the desktop's language. */
void loadQtChinese(QTranslator& translator)
{
    if (translator.load(u"qtbase_zh_CN"_s, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
    else
        QTextStream(stderr) << u"weight: Qt的中文翻译（qtbase_zh_CN.qm）没有找到，标准对话框将显示英文"_s << Qt::endl;
}

struct Arguments
{
    bool init = false;
    bool backup = false;
    QString backupTarget;
    QString folder;
    QString port;
    bool exportRecords = false;
    ExportCommandArguments exportArgs;
    QString ticket;
    QString pdf;
    QString ticketTemplate;
};

/** weight --folder DIR --ticket N --pdf OUT [--template NAME|PATH]: one record's ticket as a PDF file. */
int ticketToPdf(const Arguments& args)
{
    QTextStream err(stderr);
    DataModule dm(args.folder);
    if (dm.open() != DataModule::OpenResult::Ok) {
        err << u"weight: "_s << dm.lastOpenError() << Qt::endl;
        return 1;
    }
    try {
        const QString file = args.ticketTemplate.isEmpty() ? Tickets::defaultTicketPath(dm)
                                                           : Tickets::resolveTemplate(dm, args.ticketTemplate);
        const Tickets::Prepared ticket = Tickets::prepare(dm, args.ticket, file);
        if (!ticket.report) {
            err << u"weight: "_s << ticket.problem << Qt::endl;
            return 1;
        }
        for (const QString& warning : ticket.report->warnings)
            err << u"weight: "_s << warning << Qt::endl;
        if (const auto problem = ReportRenderer::writePdf(*ticket.report, args.pdf)) {
            err << u"weight: "_s << *problem << Qt::endl;
            return 1;
        }
    } catch (const AppError& e) {
        err << u"weight: "_s << e.text() << Qt::endl;
        return 1;
    }
    return 0;
}

Arguments parseArguments(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"汽车衡称重管理系统"_s);
    parser.addHelpOption();
    const QCommandLineOption init(u"init"_s, u"Create a new program folder DIR and exit."_s, u"DIR"_s);
    const QCommandLineOption folder(u"folder"_s, u"Run on the program folder DIR."_s, u"DIR"_s);
    const QCommandLineOption port(u"port"_s, u"With --init: serial port of the selected indicator model."_s,
                                  u"DEVICE"_s);
    const QCommandLineOption backup(u"backup"_s, u"Make the checked copy of the weighing database at TARGET "
                                                 "(default: the month's file under backup/) and exit."_s);
    const QCommandLineOption exportTo(u"export"_s,
                                      u"Write the records found by the conditions to OUT (.xlsx, .csv, .htm, .rtf, "
                                      ".txt) and exit."_s,
                                      u"OUT"_s);
    const QCommandLineOption from(u"from"_s, u"With --export: start of the range, yyyy-MM-dd HH:mm:ss."_s, u"T"_s);
    const QCommandLineOption to(u"to"_s, u"With --export: end of the range, yyyy-MM-dd HH:mm:ss."_s, u"T"_s);
    const QCommandLineOption time(u"time"_s, u"With --export: 皮重时间 or 毛重时间 (default)."_s, u"COLUMN"_s,
                                  u"毛重时间"_s);
    const QCommandLineOption field(u"field"_s, u"With --export: NAME=V1,V2 (repeatable)."_s, u"NAME=VALUES"_s);
    const QCommandLineOption anyField(u"or"_s, u"With --export: a record matches any field condition."_s);
    const QCommandLineOption ticket(u"ticket"_s, u"Write record N's ticket as a PDF file (with --pdf) and exit."_s,
                                    u"N"_s);
    const QCommandLineOption pdf(u"pdf"_s, u"With --ticket: the PDF file to write."_s, u"OUT"_s);
    const QCommandLineOption ticketTemplate(
        u"template"_s, u"With --ticket: a catalogue template name or a template file (default: the default ticket)."_s,
        u"NAME|PATH"_s);
    parser.addOptions({init, folder, port, backup, exportTo, from, to, time, field, anyField, ticket, pdf,
                       ticketTemplate});
    parser.addPositionalArgument(u"TARGET"_s, u"With --backup: the backup file."_s, u"[TARGET]"_s);
    parser.process(app);
    Arguments args;
    if (parser.isSet(init)) {
        args.init = true;
        args.folder = parser.value(init);
        args.port = parser.value(port);
        return args;
    }
    if (parser.isSet(ticket) && !parser.isSet(pdf)) {
        QTextStream(stderr) << u"weight: --ticket needs --pdf OUT"_s << Qt::endl;
        std::exit(2);
    }
    args.folder = parser.isSet(folder) ? parser.value(folder) : QCoreApplication::applicationDirPath();
    args.backup = parser.isSet(backup);
    args.backupTarget = parser.positionalArguments().value(0);
    args.exportRecords = parser.isSet(exportTo);
    args.exportArgs = {args.folder,        parser.value(exportTo), parser.value(from),     parser.value(to),
                       parser.value(time), parser.values(field),   parser.isSet(anyField)};
    args.ticket = parser.value(ticket);
    args.pdf = parser.value(pdf);
    args.ticketTemplate = parser.value(ticketTemplate);
    return args;
}

bool wantsNoDisplay(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).startsWith("--init") || QByteArray(argv[i]) == "--backup" ||
            QByteArray(argv[i]).startsWith("--export"))
            return true;
    return false;
}

bool hasOption(int argc, char* argv[], const char* option)
{
    for (int i = 1; i < argc; ++i)
        if (QByteArray(argv[i]).startsWith(option))
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    // Making a program folder, the backup and the export need no display, so they run without the widget
    // application.
    if (wantsNoDisplay(argc, argv)) {
        QCoreApplication app(argc, argv);
        const Arguments args = parseArguments(app);
        if (args.backup) {
            QTextStream out(stdout), err(stderr);
            return Maintenance::backupCommand(args.folder, args.backupTarget, QDate::currentDate(), out, err);
        }
        if (args.exportRecords) {
            QTextStream out(stdout), err(stderr);
            return runExportCommand(args.exportArgs, out, err);
        }
        return initFolder(args.folder, args.port);
    }

    // A ticket file needs fonts but no display.
    if (hasOption(argc, argv, "--ticket")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return ticketToPdf(parseArguments(app));
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Weight"_s);
    QTranslator qtChinese;
    loadQtChinese(qtChinese);
    const Arguments args = parseArguments(app);

    QtPrompter prompter;
    SystemClock clock;
    DesktopShell shell;
    DataModule dm(args.folder);
    if (!OpenDataModule(dm, prompter)) {
        if (!dm.lastOpenError().isEmpty())
            QTextStream(stderr) << u"weight: "_s << dm.lastOpenError() << Qt::endl;
        return 1;
    }
    warnWithoutChineseFont(prompter);

    QtSound sound;
    LibreOfficeSpreadsheet spreadsheet([] { return QPrinterInfo::defaultPrinterName(); });
    QuickTicketPrinter quickTicket(dm);
    UniversalTicketPrinter universalTicket(dm, spreadsheet);
    TicketKindPrinter ticketPrinter(dm.iniPath(), quickTicket, universalTicket);
    AppContext ctx{dm, prompter, clock, shell, sound, ticketPrinter, spreadsheet, {}};
    ctx.makeCaptureCard = [&] { return makeCaptureCard(dm.iniPath(), clock); };
    MainWindow window(ctx);
    // Without a window manager "maximised" means nothing; start at the screen's size either way.
    window.resize(window.screen()->availableGeometry().size());
    window.showMaximized();
    return app.exec();
}
