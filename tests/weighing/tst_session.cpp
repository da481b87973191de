#include "TestFolder.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/Sql.h"
#include "weighing/WeighingSession.h"

#include <QSqlQuery>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

using Take = WeighingSession::Take;
using Save = WeighingSession::Save;

LiveReading steady(double weight, bool present = true, bool stable = true)
{
    return {present, stable, QString::number(weight, 'f', 0), weight, 1000};
}

/** The session of a station on a new folder, with the plate typed. */
struct Station
{
    explicit Station(TestFolder& t, const QString& plate)
        : session(t.dm(), t.clock, StationSettings::read(t.dm().iniPath()))
    {
        session.open();
        // Every box filled in, so the checks of the boxes pass.
        for (int i = 0; i < session.boxes().count(); ++i)
            session.boxes().setText(i, u"甲"_s);
        session.boxes().SetBoxText(u"车号"_s, plate);
    }
    Save save(TestFolder& t, const LiveReading& reading)
    {
        return session.save(reading, u"admin"_s, IniFile(t.dm().iniPath())).result;
    }
    WeighingSession session;
};

const QString PendingSx100 =
    u"INSERT INTO weight (车号, 皮重, 皮重时间, 皮重操作人) VALUES ('SX100', %1, '%2', 'admin')"_s;

} // namespace

/** The station's F1/F2/F12 decisions without its window. */
class SessionTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void weighing_data();
    void weighing();
    void completedElsewhereSavesNothing();
    void fixedTareAtF12();
};

void SessionTest::weighing_data()
{
    QTest::addColumn<QStringList>("before"); // statements on the new folder
    QTest::addColumn<QString>("plate");
    QTest::addColumn<LiveReading>("reading");
    QTest::addColumn<int>("take");
    QTest::addColumn<int>("save");
    QTest::addColumn<QString>("after"); // records / pending records / net of the newest record

    const QString pending15000 = PendingSx100.arg(15000).arg(u"2026-05-01 07:00:00"_s);
    QTest::newRow("first weighing") << QStringList{} << u"苏A1"_s << steady(15000) << int(Take::FirstWeighing)
                                    << int(Save::SavedFirst) << u"1/1/0"_s;
    QTest::newRow("completion, empty first, plate in other letter case")
        << QStringList{pending15000} << u"sx100"_s << steady(32500) << int(Take::Completion)
        << int(Save::SavedComplete) << u"1/0/17500"_s;
    QTest::newRow("completion, loaded first")
        << QStringList{PendingSx100.arg(32500).arg(u"2026-05-01 07:00:00"_s)} << u"SX100"_s << steady(15000)
        << int(Take::Completion) << int(Save::SavedComplete) << u"1/0/17500"_s;
    QTest::newRow("fixed tare, plate in other letter case")
        << QStringList{u"INSERT INTO TareWeight (车号, 皮重, 固定存皮, 存皮人) VALUES ('SX100', 15000, TRUE, 'a')"_s}
        << u"Sx100"_s << steady(32500) << int(Take::FixedTare) << int(Save::SavedComplete) << u"1/0/17500"_s;
    QTest::newRow("several pending: nothing saved")
        << QStringList{pending15000, pending15000} << u"SX100"_s << steady(32500) << int(Take::SeveralPending)
        << int(Save::Ignored) << u"2/2/0"_s;
    QTest::newRow("pending beyond the time limit: a new first weighing")
        << QStringList{PendingSx100.arg(15000).arg(u"2026-04-30 19:00:00"_s)} << u"SX100"_s << steady(32500)
        << int(Take::FirstWeighing) << int(Save::SavedFirst) << u"2/2/0"_s;
    QTest::newRow("lighter than the lower limit") << QStringList{} << u"苏A1"_s << steady(999)
                                                  << int(Take::TooLight) << int(Save::Ignored) << u"0/0/0"_s;
    QTest::newRow("no reading from the indicator") << QStringList{} << u"苏A1"_s << steady(15000, false)
                                                   << int(Take::NoReading) << int(Save::Ignored) << u"0/0/0"_s;
    QTest::newRow("not stable") << QStringList{} << u"苏A1"_s << steady(15000, true, false) << int(Take::Ignored)
                                << int(Save::Ignored) << u"0/0/0"_s;
    QTest::newRow("no plate") << QStringList{} << QString() << steady(15000) << int(Take::Ignored)
                              << int(Save::Ignored) << u"0/0/0"_s;
    QTest::newRow("completion without a deduction row")
        << QStringList{pending15000, u"DELETE FROM Agio"_s} << u"SX100"_s << steady(32500)
        << int(Take::NoDeduction) << int(Save::Ignored) << u"1/1/0"_s;
}

void SessionTest::weighing()
{
    QFETCH(QStringList, before);
    QFETCH(QString, plate);
    QFETCH(LiveReading, reading);
    QFETCH(int, take);
    QFETCH(int, save);
    QFETCH(QString, after);

    TestFolder t;
    for (const QString& sql : before)
        Sql::exec(t.dm().weightdatabase(), sql);
    Station s(t, plate);
    QCOMPARE(int(s.session.takeWeight(reading)), take);
    QCOMPARE(s.session.canSave(), take >= int(Take::FirstWeighing));
    QCOMPARE(int(s.save(t, reading)), save);
    QVERIFY(!s.session.canSave());
    const QString net = t.dm().QueryScalar(u"SELECT 净重 FROM weight ORDER BY 编号 DESC LIMIT 1"_s);
    QCOMPARE(u"%1/%2/%3"_s.arg(t.count(u"weight"_s)).arg(t.count(u"weight"_s, u"毛重 < 1"_s))
                 .arg(net.isEmpty() ? 0 : net.toDouble()),
             after);
    // The caption shows the plate of the record on screen, whatever the last truck was.
    if (save == int(Save::SavedComplete))
        QCOMPARE(s.session.plateCaption(),
                 t.dm().QueryScalar(u"SELECT 车号 FROM weight ORDER BY 编号 DESC LIMIT 1"_s));
}

void SessionTest::completedElsewhereSavesNothing()
{
    TestFolder t;
    Sql::exec(t.dm().weightdatabase(), PendingSx100.arg(15000).arg(u"2026-05-01 07:00:00"_s));
    Station here(t, u"SX100"_s);
    Station there(t, u"SX100"_s);
    QCOMPARE(here.session.takeWeight(steady(32500)), Take::Completion);
    QCOMPARE(there.session.takeWeight(steady(33000)), Take::Completion);
    QCOMPARE(there.save(t, steady(33000)), Save::SavedComplete);
    try {
        here.save(t, steady(32500));
        QFAIL("the second completion was saved");
    } catch (const DbError& e) {
        QCOMPARE(e.text(), RecordStore::CompletedElsewhereMessage.arg(1));
    }
    QCOMPARE(t.dm().QueryScalar(u"SELECT 毛重 FROM weight"_s).toDouble(), 33000.0);
    QCOMPARE(t.count(u"weight"_s), 1);
}

void SessionTest::fixedTareAtF12()
{
    TestFolder t;
    Station s(t, QString());
    int asked = 0;
    const auto plate = [&](const QString& answer) {
        return [&asked, answer]() -> std::optional<QString> {
            ++asked;
            return answer;
        };
    };
    using Tare = WeighingSession::StoreTare;
    QCOMPARE(s.session.storeFixedTare(steady(15000, false), plate(u"SX1"_s), u"admin"_s), Tare::NoReading);
    QCOMPARE(s.session.storeFixedTare(steady(999), plate(u"SX1"_s), u"admin"_s), Tare::BadTare);
    QCOMPARE(asked, 0);
    QCOMPARE(s.session.storeFixedTare(steady(15000), plate(u"  "_s), u"admin"_s), Tare::NoPlate);
    QCOMPARE(s.session.storeFixedTare(steady(15000), plate(u"SX1"_s), u"admin"_s), Tare::Stored);
    QCOMPARE(s.session.storeFixedTare(steady(16000), plate(u"sx1"_s), u"admin"_s), Tare::Exists);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 车号 || '/' || 皮重 FROM TareWeight"_s), u"SX1/15000.0"_s);
}

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
