// Printing from the report engine: one weighing ticket (what the station does after each completing
// save, on the user-interface thread, at most 50 ms) and the record report over 2000 records (what the
// query window prints, at most 2 s), each prepared and written as PDF.

#include "TestFolder.h"
#include "data/Sql.h"
#include "reports/Report.h"
#include "reports/ReportRenderer.h"
#include "reports/Tickets.h"

#include <QGuiApplication>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int Records = 2000;

TestFolder& site()
{
    static TestFolder t;
    static bool filled = false;
    if (!filled) {
        Sql::exec(t.dm().weightdatabase(),
                  u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                  "INSERT INTO weight (车号, 品名, 发货方, 收货方, 承运方, 毛重, 皮重, 净重, 单价, 金额, 扣重数, "
                  "扣杂方式, 皮重时间, 毛重时间, 皮重操作人, 毛重操作人) "
                  "SELECT printf('苏A%05d', i), '黄沙', '江阴港务公司', '无锡建材公司', '顺达物流', 32500 + i, "
                  "12500, 20000 + i, 35.5, 710 + i, 30, '净重折扣[-30][皮->毛]', "
                  "datetime('2026-12-01 06:00:00', '+' || (i * 300) || ' seconds'), "
                  "datetime('2026-12-01 06:10:00', '+' || (i * 300) || ' seconds'), '张三', '李四' FROM n"_s,
                  {Records});
        filled = true;
    }
    return t;
}

QString pdfFile()
{
    static QTemporaryDir dir;
    return dir.filePath(u"out.pdf"_s);
}

void ticketToPdf(benchmark::State& state, const QString& name)
{
    TestFolder& t = site();
    const QString file = Tickets::templatePath(t.folder(), name);
    for (auto _ : state) {
        const Tickets::Prepared ticket = Tickets::prepare(t.dm(), u"1000"_s, file);
        if (!ticket.report || ReportRenderer::writePdf(*ticket.report, pdfFile()))
            state.SkipWithError("the ticket was not written");
    }
}
BENCHMARK_CAPTURE(ticketToPdf, H标准磅单, u"H标准磅单"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ticketToPdf, H图片磅单, u"H图片磅单"_s)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ticketToPdf, Code128防伪码磅单, u"Code128防伪码磅单"_s)->Unit(benchmark::kMillisecond);

void recordReportToPdf(benchmark::State& state)
{
    TestFolder& t = site();
    for (auto _ : state) {
        QSqlQuery query = Sql::exec(t.dm().weightdatabase(), u"SELECT * FROM weight ORDER BY 编号 DESC LIMIT 2000"_s);
        Report report;
        report.load(Tickets::templatePath(t.folder(), Tickets::RecordReport));
        report.setRows(query);
        report.setVariables(Report::recordReportVariables(u"**集团公司"_s, u"季度月报表"_s, u"皮重：…"_s, u"毛重：…"_s,
                                                          u"净重：…"_s, u"车数：2000次"_s));
        const PreparedReport prepared = report.prepare();
        if (ReportRenderer::writePdf(prepared, pdfFile()) || prepared.pages.size() < 50)
            state.SkipWithError("the report was not written");
    }
}
BENCHMARK(recordReportToPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::fprintf(stderr, "program folder: %s\n", qPrintable(site().folder()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
