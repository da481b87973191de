// indicator-sim: a weighing indicator streaming continuous output on a pseudo-terminal.
//
// The first line on standard output is the device to read (give it to a model's port, to `weight --init`
// or to `weight-indicator --port`). The load on the scale follows a script read from a file, or from
// standard input line by line as it comes, so a test or a person can drive trucks on and off.

#include "LoadScript.h"
#include "Simulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const char* const DemoScript = "weight 0 4\n"
                               "drive 32500 6\n"
                               "weight 32500 8\n"
                               "drive 0 5\n"
                               "repeat\n";

[[noreturn]] void fail(const QString& text)
{
    std::fprintf(stderr, "indicator-sim: %s\n", qPrintable(text));
    std::exit(2);
}

int positive(const QCommandLineParser& parser, const QString& option, int minimum)
{
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < minimum)
        fail(u"--%1 wants a whole number of at least %2"_s.arg(option).arg(minimum));
    return value;
}

/** Reads script lines from standard input as they arrive; a bad line is reported and skipped. */
class ScriptInput final : public QObject
{
public:
    explicit ScriptInput(Simulator& sim) : m_sim(sim), m_notifier(STDIN_FILENO, QSocketNotifier::Read)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, &ScriptInput::readSome);
    }

private:
    void readSome()
    {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            m_notifier.setEnabled(false);
            takeLine(QString::fromUtf8(m_line));
            return;
        }
        m_line.append(buffer, n);
        for (qsizetype end; (end = m_line.indexOf('\n')) >= 0;) {
            takeLine(QString::fromUtf8(m_line.first(end)));
            m_line.remove(0, end + 1);
        }
    }
    void takeLine(const QString& line)
    {
        try {
            if (const auto command = parseLoadCommand(line))
                m_sim.profile().append(*command, m_sim.now());
        } catch (const std::invalid_argument& e) {
            std::fprintf(stderr, "indicator-sim: %s\n", e.what());
        }
    }

    Simulator& m_sim;
    QSocketNotifier m_notifier;
    QByteArray m_line;
};

void loadScript(Simulator& sim, const QByteArray& text, const QString& source)
{
    int number = 0;
    for (const QByteArray& line : text.split('\n')) {
        ++number;
        try {
            if (const auto command = parseLoadCommand(QString::fromUtf8(line)))
                sim.profile().append(*command, 0);
        } catch (const std::invalid_argument& e) {
            fail(u"%1:%2: %3"_s.arg(source).arg(number).arg(QString::fromUtf8(e.what())));
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"A weighing indicator on a pseudo-terminal. Prints the device path on its first line, then\n"
        "streams frames of the weight that the load script puts on the scale. Script lines:\n"
        "  weight KG [SECONDS]   steady weight\n"
        "  drive KG SECONDS      a truck drives on or off, settles, then reads KG\n"
        "  repeat                from the top again\n"
        "  end                   stop and quit\n"
        "After the script's last line the last weight stays on.\n\n"
        "A reader whose line settings differ from --rate, --parity, --bits and --stop receives what\n"
        "its UART would make of the line. A pseudo-terminal shows the simulator the reader's baud rate\n"
        "and stop bits but not its data bits (taken to be the simulator's), and of its parity only\n"
        "odd, mark, space or neither (neither counts as the simulator's own none or even).\n\n"_s +
        frameFormatHelp());
    parser.addHelpOption();
    parser.addOptions({
        {u"format"_s, u"Frame format: %1."_s.arg(frameFormatNames().join(u", "_s)), u"name"_s, u"stx"_s},
        {u"rate"_s, u"Baud rate."_s, u"baud"_s, u"9600"_s},
        {u"parity"_s, u"Parity: none, odd, even, mark or space."_s, u"name"_s, u"none"_s},
        {u"bits"_s, u"Data bits: 5 to 8."_s, u"n"_s, u"8"_s},
        {u"stop"_s, u"Stop bits: 1 or 2."_s, u"n"_s, u"1"_s},
        {u"interval"_s, u"A frame every MS milliseconds instead of back to back."_s, u"ms"_s, u"0"_s},
        {u"script"_s, u"Load script file; \"-\" reads standard input as it comes."_s, u"file"_s, u"-"_s},
        {u"demo"_s, u"Loop a truck driving on to 32500 kg and off again."_s},
        {u"division"_s, u"Display division in kilograms."_s, u"kg"_s, u"20"_s},
        {u"seed"_s, u"Seed of the motion noise."_s, u"n"_s, u"1"_s},
    });
    parser.process(app);

    Simulator::Options options;
    const auto format = frameFormatNamed(parser.value(u"format"_s));
    if (!format)
        fail(u"unknown format %1"_s.arg(parser.value(u"format"_s)));
    options.format = *format;
    options.coding.rate = positive(parser, u"rate"_s, 10);
    const auto parity = parityNamed(parser.value(u"parity"_s));
    if (!parity)
        fail(u"unknown parity %1"_s.arg(parser.value(u"parity"_s)));
    options.coding.parity = *parity;
    options.coding.dataBits = positive(parser, u"bits"_s, 5);
    options.coding.stopBits = positive(parser, u"stop"_s, 1);
    if (options.coding.dataBits > 8 || options.coding.stopBits > 2)
        fail(u"--bits wants 5 to 8 and --stop 1 or 2"_s);
    options.interval = positive(parser, u"interval"_s, 0);
    options.division = positive(parser, u"division"_s, 1);
    options.seed = unsigned(positive(parser, u"seed"_s, 0));

    Simulator sim(options);
    std::unique_ptr<ScriptInput> input;
    const QString script = parser.value(u"script"_s);
    if (parser.isSet(u"demo"_s)) {
        loadScript(sim, DemoScript, u"demo"_s);
    } else if (script != u"-"_s) {
        QFile file(script);
        if (!file.open(QIODevice::ReadOnly))
            fail(u"cannot read %1: %2"_s.arg(script, file.errorString()));
        loadScript(sim, file.readAll(), script);
    } else {
        input = std::make_unique<ScriptInput>(sim);
    }

    try {
        const QString device = sim.open();
        std::printf("%s\n", qPrintable(device));
        std::fflush(stdout);
    } catch (const std::runtime_error& e) {
        fail(QString::fromUtf8(e.what()));
    }
    QObject::connect(&sim, &Simulator::finished, &app, &QCoreApplication::quit);
    sim.start();
    return app.exec();
}
