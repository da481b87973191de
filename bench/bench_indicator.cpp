// Per-chunk cost of reading the indicator: frame rule, conversion, lamp and black box step. The station
// handles every chunk on the user-interface thread, so this has to stay far below a millisecond.

#include "FakeSerialLine.h"
#include "TestFolder.h"
#include "indicator/FrameRule.h"
#include "weighing/IndicatorReader.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

QByteArray frame(int kg)
{
    QByteArray body = '+' + QByteArray::number(kg).rightJustified(6, '0') + '0';
    char check = 0;
    for (char c : body)
        check ^= c;
    return '\x02' + body + QByteArray::number(uchar(check), 16).toUpper().rightJustified(2, '0') + '\x03';
}

/** A continuous stream around 32500 kg cut into 128-byte chunks, so frames break anywhere. */
QByteArrayList chunks()
{
    QByteArray stream;
    for (int i = 0; stream.size() < 128 * 64; ++i)
        stream += frame(32500 + (i % 7) * 20);
    QByteArrayList result;
    for (qsizetype at = 0; at + 128 <= stream.size(); at += 128)
        result.append(stream.mid(at, 128));
    return result;
}

void frameRule(benchmark::State& state)
{
    const QByteArrayList input = chunks();
    const FrameParameters p =
        FrameParameters::fromTexts(true, QStringLiteral("\x02"), QStringLiteral("2"), QStringLiteral("6"),
                                   QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("-"));
    FrameHistory history;
    qsizetype i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FrameRule::read(input[i], history, p));
        i = (i + 1) % input.size();
    }
}
BENCHMARK(frameRule);

void receiveChunk(benchmark::State& state)
{
    TestFolder t;
    IndicatorReader reader(t.ctx().makeSerialLine(), t.dm(), t.clock, t.ctx().login);
    reader.LoadIndicatorSettings();
    reader.OpenPort();
    const QByteArrayList input = chunks();
    qsizetype i = 0;
    for (auto _ : state) {
        reader.Comm1ReceiveData(input[i]);
        i = (i + 1) % input.size();
    }
    if (reader.peak() < 32500)
        state.SkipWithError("the chunks were not read");
}
BENCHMARK(receiveChunk);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
