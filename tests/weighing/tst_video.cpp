#include "FakeSerialLine.h"
#include "TestFolder.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "weighing/WeighStation.h"
#include "weighing/WeighingBoxes.h"
#include "weighing/video/CameraCard.h"
#include "weighing/video/SnapshotFiles.h"
#include "weighing/video/StillWriter.h"
#include "weighing/video/TestPatternCard.h"
#include "weighing/video/VideoChannels.h"
#include "weighing/video/VideoStrip.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using SnapshotFiles::Occasion;

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

/** The snapshot folders under the program folder. */
QStringList snapshotFolders(const TestFolder& t)
{
    return QDir(t.folder()).entryList({u"*计量"_s, u"*抓拍"_s}, QDir::AllEntries | QDir::NoDotAndDotDot);
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

/** A test folder whose capture card is a test pattern with the given channels present. */
struct CardMaker
{
    explicit CardMaker(TestFolder& t, QList<int> present = {0, 1, 2, 3})
    {
        t.ctx().makeCaptureCard = [this, &t, present] {
            ++made;
            auto card = std::make_unique<TestPatternCard>(t.clock);
            card->setPresentChannels(present);
            card->setNoDevice(noDevice);
            card->setPreviewFails(previewFails);
            this->card = card.get();
            return std::unique_ptr<CaptureCard>(std::move(card));
        };
    }
    int made = 0;
    bool noDevice = false;
    bool previewFails = false;
    QPointer<TestPatternCard> card;
};

/** The weighing station with or without video, driven through its keys. */
class Station final
{
public:
    Station(TestFolder& t, bool video) : m_t(t)
    {
        IniFile(t.dm().iniPath()).write(Option::Video, video);
        w = new WeighStation(t.ctx());
        line = FakeSerialLine::latest();
        w->resize(1280, 800);
        w->show();
        QApplication::setActiveWindow(w);
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the station is not the active window");
        strip = w->findChild<VideoStrip*>(u"P1"_s);
    }
    ~Station()
    {
        if (!w)
            return;
        m_t.prompter.answers.enqueue(true);
        w->close();
    }
    Q_DISABLE_COPY_MOVE(Station)

    /** The indicator settles on a weight (five frames: the old ones out, the lamp lit). */
    void weigh(int kg)
    {
        for (int i = 0; i < 5; ++i)
            line->push(frame(kg));
    }
    /** The plate, and with `allFields` every other open box, as the check wants them. */
    void fill(const QString& plate, bool allFields = true)
    {
        for (QLineEdit* box : w->findChildren<QLineEdit*>()) {
            if (!box->objectName().startsWith(u"EIT"_s) || !box->isEnabled())
                continue;
            const bool isPlate = box->property("field").toString() == u"车号"_s;
            box->setText(isPlate ? plate : allFields ? u"1"_s : QString());
        }
    }
    void key(Qt::Key k)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.data();
        QTest::keyClick(target, k);
    }
    /** F1 and F2 on a settled weight. */
    void pass(const QString& plate, int kg, bool allFields = true)
    {
        fill(plate, allFields);
        weigh(kg);
        key(Qt::Key_F1);
        key(Qt::Key_F2);
    }
    QLabel* panel(int channel) const { return w->findChild<QLabel*>(u"PP"_s + QString::number(channel + 1)); }
    VideoChannels& channels() const { return strip->channels(); }
    /** The files of one occasion's folder, once the writer is done. */
    QStringList written(Occasion occasion) const
    {
        channels().writer().waitForDone();
        return filesIn(SnapshotFiles::folderPath(m_t.folder(), occasion, m_t.clock.current));
    }

    TestFolder& m_t;
    QPointer<WeighStation> w;
    FakeSerialLine* line = nullptr;
    VideoStrip* strip = nullptr;
};

QStringList fileNames(const QStringList& paths)
{
    QStringList names;
    for (const QString& path : paths)
        names.append(QFileInfo(path).fileName());
    return names;
}

} // namespace

class VideoTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void optionOff();
    void channelsZeroAndTwo();
    void refusedSaveStillTakesStills();
    void startMessages_data();
    void startMessages();
    void namesAndMonthFolders_data();
    void namesAndMonthFolders();
    void unwritableFolderIsLoggedOnce();
    void stillsOfARecord();
    void cardFromSettings();
    void cameraCard();
};

void VideoTest::optionOff()
{
    TestFolder t;
    CardMaker cards(t);
    {
        Station s(t, false);
        QVERIFY(!s.strip->isVisible());
        QTest::qWait(VideoStrip::StartMilliseconds + 300);
        QVERIFY(!s.strip->isVisible());
        s.pass(u"苏A123"_s, 15000);
        s.weigh(0); // the load leaves: a black box row, no stills
        QCOMPARE(t.count(u"weight"_s), 1);
        QCOMPARE(t.count(u"黑匣子数据"_s), 1);
        QVERIFY(s.channels().TakeSaveSnapshots(u"苏A123"_s, true).isEmpty());
    }
    QCOMPARE(cards.made, 0);
    QCOMPARE(snapshotFolders(t), QStringList());
}

void VideoTest::channelsZeroAndTwo()
{
    TestFolder t;
    CardMaker cards(t, {0, 2});
    Station s(t, true);
    QCOMPARE(cards.made, 0);
    // Timer3 starts the card two seconds after the station opened.
    QTRY_VERIFY_WITH_TIMEOUT(cards.card, VideoStrip::StartMilliseconds + 1000);
    QCOMPARE(cards.card->calls(), (QStringList{u"initialise"_s, u"open 0"_s, u"preview 0 on"_s, u"open 1"_s,
                                               u"open 2"_s, u"preview 2 on"_s, u"open 3"_s}));
    QCOMPARE(s.strip->height(), s.strip->width() / 4);
    QTRY_VERIFY(!s.panel(0)->pixmap().isNull());
    QTRY_VERIFY(!s.panel(2)->pixmap().isNull());
    QCOMPARE(s.panel(1)->text(), u"2#通道没有视频信号"_s);
    QCOMPARE(s.panel(3)->text(), u"4#通道没有视频信号"_s);
    QVERIFY(t.prompter.calls.isEmpty());

    // A first weighing; the "/" of the plate does not make a folder.
    s.pass(u"苏A/123"_s, 15000);
    QCOMPARE(t.count(u"weight"_s), 1);
    QCOMPARE(s.written(Occasion::FirstWeighing),
             (QStringList{u"苏A_123_260501_080000_01.bmp"_s, u"苏A_123_260501_080000_03.bmp"_s}));
    for (int channel = 0; channel < 4; ++channel)
        QCOMPARE(cards.card->overlay(channel), u"%1#-苏A/123"_s.arg(channel + 1));
    const QString first = SnapshotFiles::folderPath(t.folder(), Occasion::FirstWeighing, t.clock.current);
    QImageReader picture(first + u"/苏A_123_260501_080000_01.bmp"_s);
    QCOMPARE(picture.format(), QByteArray("bmp"));
    QCOMPARE(picture.read().size(), QSize(TestPatternCard::Width, TestPatternCard::Height));

    // The truck leaves: the black box writes its load and the stills follow, without overlay.
    t.clock.current = t.clock.current.addSecs(20);
    s.weigh(0);
    QCOMPARE(t.count(u"黑匣子数据"_s), 1);
    QCOMPARE(s.written(Occasion::Load), (QStringList{u"260501_080020_01.bmp"_s, u"260501_080020_03.bmp"_s}));
    QCOMPARE(cards.card->overlay(0), QString());

    // The second weighing goes to the second-weighing folder.
    t.clock.current = QDateTime(QDate(2026, 5, 1), QTime(9, 30, 5));
    s.pass(u"苏A/123"_s, 32500);
    QCOMPARE(s.written(Occasion::SecondWeighing),
             (QStringList{u"苏A_123_260501_093005_01.bmp"_s, u"苏A_123_260501_093005_03.bmp"_s}));

    // A camera unplugged: its panel shows its caption, its stills are skipped, the rest goes on.
    cards.card->unplug(2);
    QCOMPARE(s.panel(2)->text(), u"3#通道没有视频信号"_s);
    t.clock.current = t.clock.current.addSecs(30);
    s.weigh(0);
    QCOMPARE(s.written(Occasion::Load),
             (QStringList{u"260501_080020_01.bmp"_s, u"260501_080020_03.bmp"_s, u"260501_093035_01.bmp"_s}));

    // Closing stops every preview, closes all four channels and releases the card.
    const qsizetype before = cards.card->calls().size();
    t.prompter.answers.enqueue(true);
    s.w->close();
    QCOMPARE(cards.card->calls().mid(before),
             (QStringList{u"preview 0 off"_s, u"preview 1 off"_s, u"preview 2 off"_s, u"preview 3 off"_s,
                          u"close 0"_s, u"close 1"_s, u"close 2"_s, u"close 3"_s, u"release"_s}));
    QVERIFY(!s.channels().opened(0) && !s.channels().opened(2));
}

void VideoTest::refusedSaveStillTakesStills()
{
    TestFolder t;
    CardMaker cards(t);
    Station s(t, true);
    s.strip->Timer3Timer();
    QVERIFY(cards.card);

    // Only the plate typed: the check refuses the save, the stills and the overlays are taken anyway.
    s.pass(u"苏B77"_s, 15000, false);
    QCOMPARE(t.prompter.lastText(), WeighingBoxes::CheckMessage);
    QCOMPARE(t.count(u"weight"_s), 0);
    const QStringList expected{u"苏B77_260501_080000_01.bmp"_s, u"苏B77_260501_080000_02.bmp"_s,
                               u"苏B77_260501_080000_03.bmp"_s, u"苏B77_260501_080000_04.bmp"_s};
    QCOMPARE(s.written(Occasion::FirstWeighing), expected);
    QCOMPARE(cards.card->overlay(3), u"4#-苏B77"_s);

    // A second press within the same second asks for the same names.
    const QStringList again = s.channels().TakeSaveSnapshots(u"苏B77"_s, true);
    QCOMPARE(fileNames(again), expected);
    QCOMPARE(s.written(Occasion::FirstWeighing), expected);

    // Timer2 clears the overlays five seconds after the last save.
    QVERIFY(s.channels().Timer2()->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(cards.card->overlay(0), QString(), VideoChannels::OverlayMilliseconds + 1000);
    QCOMPARE(cards.card->overlay(3), QString());
    QVERIFY(!s.channels().Timer2()->isActive());
}

void VideoTest::startMessages_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("noDevice");
    QTest::addColumn<bool>("previewFails");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("channelsOpen");

    QTest::newRow("no card") << false << false << false << VideoChannels::NoCardMessage << u"提示"_s << false;
    QTest::newRow("no capture device")
        << true << true << false << VideoChannels::NoCardMessage << u"提示"_s << false;
    QTest::newRow("no preview: channels open anyway")
        << true << false << true << VideoChannels::PreviewFailedMessage << u"提示!"_s << true;
}

void VideoTest::startMessages()
{
    QFETCH(bool, installed);
    QFETCH(bool, noDevice);
    QFETCH(bool, previewFails);
    TestFolder t;
    CardMaker cards(t);
    cards.noDevice = noDevice;
    cards.previewFails = previewFails;
    VideoChannels video(true, t.folder(), t.clock, t.prompter,
                        installed ? t.ctx().makeCaptureCard : VideoChannels::CardFactory());
    video.StartVideo();
    QCOMPARE(t.prompter.calls.size(), 1);
    QTEST(t.prompter.calls[0].text, "message");
    QTEST(t.prompter.calls[0].title, "title");
    for (int channel = 0; channel < 4; ++channel)
        QTEST(video.opened(channel), "channelsOpen");
    // The station goes on without pictures; a save still makes its folder and writes nothing.
    QTEST(!video.TakeSaveSnapshots(u"苏C1"_s, false).isEmpty(), "channelsOpen");
    video.StopVideo();
}

void VideoTest::namesAndMonthFolders_data()
{
    QTest::addColumn<QString>("plate");
    QTest::addColumn<QDateTime>("time");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");

    QTest::newRow("given example") << u"A123"_s << QDateTime(QDate(2013, 5, 12), QTime(14, 30, 5))
                                   << u"2013年05月_二次计量"_s << u"A123_130512_143005_01.bmp"_s;
    QTest::newRow("a new month") << u"A123"_s << QDateTime(QDate(2026, 6, 1), QTime(0, 0, 1))
                                 << u"2026年06月_二次计量"_s << u"A123_260601_000001_01.bmp"_s;
    QTest::newRow("separators and reserved characters")
        << u"苏A\\1/2:3*?\"<>|"_s << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))
        << u"2026年12月_二次计量"_s << u"苏A_1_2_3_______261231_235959_01.bmp"_s;
}

void VideoTest::namesAndMonthFolders()
{
    QFETCH(QString, plate);
    QFETCH(QDateTime, time);
    QFETCH(QString, folder);
    QFETCH(QString, file);
    TestFolder t;
    CardMaker cards(t, {0});
    t.clock.current = time;
    VideoChannels video(true, t.folder(), t.clock, t.prompter, t.ctx().makeCaptureCard);
    video.StartVideo();
    const QStringList files = video.TakeSaveSnapshots(plate, false);
    QCOMPARE(files, QStringList{t.folder() + u'/' + folder + u'/' + file});
    video.writer().waitForDone();
    QCOMPARE(snapshotFolders(t), QStringList{folder});
    QCOMPARE(filesIn(t.path(folder)), QStringList{file});
}

void VideoTest::unwritableFolderIsLoggedOnce()
{
    TestFolder t;
    QStringList logged;
    StillWriter writer([&logged](const QString& problem) { logged.append(problem); });
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    // A file where the month's folder should be.
    QFile blocker(t.path(u"2026年05月_一次计量"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (int i = 0; i < 3; ++i)
        writer.write(blocker.fileName(), {{picture, u"a_01.bmp"_s}, {picture, u"a_02.bmp"_s}});
    writer.waitForDone();
    QCOMPARE(logged.size(), 1);
    QVERIFY2(logged[0].contains(u"2026年05月_一次计量"_s), qPrintable(logged[0]));

    // Once a write succeeds again, the next failure is told again.
    writer.write(t.path(u"ok"_s), {{picture, u"a_01.bmp"_s}});
    writer.write(blocker.fileName(), {{picture, u"a_01.bmp"_s}});
    writer.waitForDone();
    QCOMPARE(logged.size(), 2);
    QVERIFY(QImage(t.path(u"ok/a_01.bmp"_s)).pixelColor(0, 0) == QColor(Qt::red));
}

void VideoTest::stillsOfARecord()
{
    TestFolder t;
    CardMaker cards(t, {1, 3});
    VideoChannels video(true, t.folder(), t.clock, t.prompter, t.ctx().makeCaptureCard);
    video.StartVideo();
    const auto saveAt = [&](const QString& plate, const QDateTime& time, bool first) {
        t.clock.current = time;
        return video.TakeSaveSnapshots(plate, first);
    };
    const QDateTime firstTime(QDate(2026, 5, 31), QTime(23, 59, 58));
    const QDateTime secondTime(QDate(2026, 6, 1), QTime(9, 30, 0));
    // The first pass's stills come after its ticket and fall into the next month.
    const QStringList first = saveAt(u"su12"_s, firstTime.addSecs(4), true);
    saveAt(u"SU1"_s, firstTime.addSecs(5), true);      // another plate, a longer one's prefix
    saveAt(u"SU12"_s, secondTime.addSecs(-30), false); // an earlier weighing of the plate
    const QStringList second = saveAt(u"SU12"_s, secondTime.addSecs(2), false);
    saveAt(u"SU12"_s, secondTime.addSecs(40), false); // a later press of F2
    video.writer().waitForDone();

    QCOMPARE(first.size(), 2);
    const SnapshotFiles::RecordStills stills =
        SnapshotFiles::findRecordStills(t.folder(), u"SU12"_s, secondTime, firstTime);
    QCOMPARE(stills.first, first);
    QCOMPARE(stills.second, second);

    // A pending record has first-weighing stills only; a one-pass record second-weighing ones only.
    const SnapshotFiles::RecordStills pending =
        SnapshotFiles::findRecordStills(t.folder(), u"SU12"_s, firstTime, QDateTime());
    QCOMPARE(pending.first, first);
    QVERIFY(pending.second.isEmpty());
    const SnapshotFiles::RecordStills onePass =
        SnapshotFiles::findRecordStills(t.folder(), u"SU12"_s, secondTime, secondTime);
    QVERIFY(onePass.first.isEmpty());
    QCOMPARE(onePass.second, second);
    // Nothing within two minutes: none.
    QVERIFY(
        SnapshotFiles::findStills(t.folder(), Occasion::SecondWeighing, u"SU12"_s, secondTime.addSecs(3600))
            .isEmpty());
}

void VideoTest::cardFromSettings()
{
    TestFolder t;
    IniFile ini(t.dm().iniPath());
    QVERIFY(qobject_cast<CameraCard*>(makeCaptureCard(ini.path(), t.clock).get()));
    ini.writeString(u"video"_s, u"card"_s, u"testpattern"_s);
    QVERIFY(qobject_cast<TestPatternCard*>(makeCaptureCard(ini.path(), t.clock).get()));
}

void VideoTest::cameraCard()
{
    CameraCard card({});
    if (QMediaDevices::videoInputs().isEmpty()) {
        // The station tells "no card installed" for this.
        QVERIFY_THROWS_EXCEPTION(CaptureError, card.initialise());
        QSKIP("no camera or v4l2loopback device on this machine");
    }
    QVERIFY(card.initialise());
    QVERIFY(card.openChannel(0));
    QSignalSpy pictures(&card, &CaptureCard::picture);
    card.setPreview(0, true);
    QVERIFY(pictures.wait(10000));
    card.setOverlay(0, u"1#-苏A123"_s);
    QVERIFY(!card.still(0).isNull());
    QVERIFY(!card.openChannel(CaptureCard::ChannelCount - 1) || QMediaDevices::videoInputs().size() >= 4);
    card.release();
    QVERIFY(card.still(0).isNull());
}

QTEST_MAIN(VideoTest)
#include "tst_video.moc"
