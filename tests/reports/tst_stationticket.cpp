#include "FakeSerialLine.h"
#include "TestFolder.h"
#include "data/Dialect.h"
#include "data/Sql.h"
#include "reports/QuickTicketPrinter.h"
#include "weighing/WeighStation.h"

#include <QApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

/** The seeded indicator's continuous output: STX, sign, six digits, decimal position, two checks, ETX. */
QByteArray frame(int kg)
{
    const QByteArray body = "+" + QByteArray::number(kg).rightJustified(6, '0') + '0';
    char check = 0;
    for (char c : body)
        check ^= c;
    return '\x02' + body + QByteArray::number(uchar(check), 16).toUpper().rightJustified(2, '0') + '\x03';
}

QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, {pdf, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

/** The weighing station printing quick tickets through the report engine, with no printer installed. */
class StationTicketTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void completedWeighingPrintsTicketAndF9MarksReprints();
};

void StationTicketTest::completedWeighingPrintsTicketAndF9MarksReprints()
{
    TestFolder t;
    QuickTicketPrinter printer(t.dm(), [] { return QuickTicketPrinter::Printers{}; });
    AppContext ctx{t.dm(),  t.prompter,     t.clock,       t.shell,
                   t.sound, printer,        t.spreadsheet, t.ctx().login,
                   t.ctx().makeSerialLine};
    ctx.makeCaptureCard = t.ctx().makeCaptureCard;
    const QDateTime now(QDate(2026, 12, 11), QTime(8, 30, 15));
    t.clock.current = now;
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO weight (车号, 品名, 皮重, 皮重时间, 皮重操作人) VALUES ('苏A12345', '黄沙', 12500, ?, '张三')"_s,
              {Dialect::dateTimeText(now.addSecs(-3600))});

    WeighStation station(ctx);
    station.show();
    QApplication::setActiveWindow(&station);
    QVERIFY(QTest::qWaitForWindowActive(&station));
    QLineEdit* plate = nullptr;
    for (QLineEdit* edit : station.findChildren<QLineEdit*>())
        if (edit->property("field").toString() == u"车号"_s)
            plate = edit;
    QVERIFY(plate);
    plate->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(u"苏A12345"_s);
    QApplication::sendEvent(plate, &commit);
    for (int i = 0; i < 5; ++i)
        FakeSerialLine::latest()->push(frame(32500));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);

    const QDir output(t.path(QuickTicketPrinter::OutputFolder));
    const auto tickets = [&] { return output.entryList(QDir::Files, QDir::Time | QDir::Reversed); };
    QCOMPARE(tickets().size(), 1);
    const QString first = pdfText(output.filePath(tickets()[0]));
    QVERIFY2(first.contains(u"苏A12345"_s) && first.contains(u"20000 千克"_s), qPrintable(first));
    QVERIFY(!first.contains(u"补打"_s));
    const QString pane = station.findChild<QLabel*>(u"StatusPane4"_s)->text();
    QVERIFY2(pane.startsWith(u"1号磅单已打印："_s) && pane.endsWith(u".pdf"_s), qPrintable(pane));

    for (int count = 1; count <= 2; ++count) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F9);
        QCOMPARE(tickets().size(), count + 1);
        const QString reprint = pdfText(output.filePath(tickets().last()));
        QVERIFY2(reprint.contains(u"补打（第%1次）"_s.arg(count)), qPrintable(reprint));
        QCOMPARE(t.dm().QueryScalar(u"SELECT 补打次数 FROM weight WHERE 编号 = 1"_s), QString::number(count));
    }
    t.prompter.answers.enqueue(true);
    station.close();
}

QTEST_MAIN(StationTicketTest)
#include "tst_stationticket.moc"
