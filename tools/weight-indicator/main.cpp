// weight-indicator: reads the weighing indicator the way the weighing station does and prints, for every
// received chunk, the live weight and whether it stands still. Installers use it to check a line.
//
//   weight-indicator --folder DIR [--model NAME] [--port DEVICE] [--count N]
//
// The line settings and frame parameters are those of the folder's selected model, or of the named one;
// --port reads another port with them. Loads that pass while it runs go into the black box, as at the
// station. It stops after N chunks, when the device goes away, or on an interrupt.

#include "data/DataModule.h"
#include "data/Errors.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/SerialLine.h"
#include "weighing/IndicatorReader.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

void printProblem(const QString& text)
{
    std::fprintf(stderr, "weight-indicator: %s\n", qPrintable(text));
}

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(signalPipe[1], &byte, 1);
    (void)written;
}

/** Ends the event loop on SIGINT or SIGTERM, so the port is closed properly. */
void quitOnInterrupt(QObject* owner)
{
    if (::pipe(signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [] { QCoreApplication::quit(); });
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

[[noreturn]] void fail(const QString& text)
{
    printProblem(text);
    std::exit(2);
}

struct Arguments
{
    QString folder;
    QString model;
    QString port;
    qint64 count = 0; // 0: no limit
};

Arguments parseArguments(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Reads the weighing indicator and prints, for every received chunk, the live "
        "weight and \"stable\" or \"unstable\"."_s);
    parser.addHelpOption();
    parser.addOptions({
        {u"folder"_s, u"Program folder (Para.wdv, Pcomm.dll, Option.ini)."_s, u"dir"_s},
        {u"model"_s, u"Indicator model to use instead of the selected one."_s, u"name"_s},
        {u"port"_s, u"Port or device to read instead of the model's."_s, u"device"_s},
        {u"count"_s, u"Stop after this many chunks."_s, u"n"_s},
    });
    parser.process(app);
    Arguments a;
    a.folder = parser.value(u"folder"_s);
    if (a.folder.isEmpty())
        fail(u"--folder is required"_s);
    a.model = parser.value(u"model"_s);
    a.port = parser.value(u"port"_s);
    if (parser.isSet(u"count"_s)) {
        bool ok = false;
        a.count = parser.value(u"count"_s).toLongLong(&ok);
        if (!ok || a.count < 1)
            fail(u"--count wants a whole number of at least 1"_s);
    }
    return a;
}

void useModel(IndicatorReader& reader, DataModule& dm, const Arguments& a)
{
    if (a.model.isEmpty()) {
        if (!reader.LoadIndicatorSettings())
            std::exit(2);
    } else {
        const std::optional<IndicatorModel> model = IndicatorModels::find(dm.Parameters(), a.model);
        if (!model)
            fail(u"no indicator model named %1"_s.arg(a.model));
        reader.useModel(*model);
    }
    if (!a.port.isEmpty())
        reader.setPortName(a.port);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const Arguments args = parseArguments(app);

    DataModule dm(args.folder);
    if (dm.open() != DataModule::OpenResult::Ok)
        fail(u"cannot open the program folder %1: %2"_s.arg(args.folder, dm.lastOpenError()));
    SystemClock clock;
    LoginState login{u"weight-indicator"_s, {}};
    IndicatorReader reader(makeSystemSerialLine(), dm, clock, login);
    QObject::connect(&reader, &IndicatorReader::problem, &app,
                     [](IndicatorReader::Problem, const QString& text) { printProblem(text); });
    try {
        useModel(reader, dm, args);
    } catch (const AppError& e) {
        fail(e.text());
    }
    if (!reader.OpenPort())
        return 2;

    qint64 chunks = 0;
    QObject::connect(&reader, &IndicatorReader::chunkHandled, &app, [&] {
        if (args.count > 0 && chunks >= args.count)
            return;
        std::printf("%s %s\n", qPrintable(reader.liveWeightText()),
                    reader.isStable() ? "stable" : "unstable");
        std::fflush(stdout);
        if (++chunks == args.count) {
            reader.ClosePort();
            QCoreApplication::quit();
        }
    });
    QObject::connect(&reader.Comm1(), &SerialLine::deviceLost, &app, &QCoreApplication::quit);
    quitOnInterrupt(&app);
    const int result = app.exec();
    reader.ClosePort();
    return result;
}
