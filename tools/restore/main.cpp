// The restore program: installed in the Restore folder of a program folder, started by the weighing
// program's "数据恢复..." after which that program ends. Puts a chosen backup in place of the weighing
// database and starts the weighing program again on request.
#include "maintenance/RestoreJob.h"
#include "maintenance/RestoreWindow.h"
#include "platform/Clock.h"
#include "platform/QtPrompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QProcess>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(u"称重数据恢复"_s);
    parser.addHelpOption();
    const QCommandLineOption folder(u"folder"_s, u"The program folder (default: the folder above this program)."_s,
                                    u"DIR"_s);
    parser.addOption(folder);
    parser.process(app);
    const QString programFolder = QDir::cleanPath(
        parser.isSet(folder) ? QDir(parser.value(folder)).absolutePath() : QCoreApplication::applicationDirPath() + u"/.."_s);

    QtPrompter prompter;
    SystemClock clock;
    RestoreWindow window(programFolder, prompter, clock);
    QObject::connect(&window, &RestoreWindow::restartRequested, &window, [&] {
        const QString program = RestoreJob::mainProgram(programFolder);
        if (program.isEmpty() || !QProcess::startDetached(program, {u"--folder"_s, programFolder}, programFolder))
            prompter.information(u"找不到称重程序，请手动启动。"_s, u"提示"_s);
    });
    window.exec();
    return 0;
}
