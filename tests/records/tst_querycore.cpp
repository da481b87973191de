#include "QueryFixture.h"
#include "data/Errors.h"
#include "records/ExportCommand.h"
#include "records/RecordExport.h"
#include "records/RecordQuery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

using Boxes = QList<std::pair<QString, QString>>;
Q_DECLARE_METATYPE(Boxes)

namespace {

const QDateTime DecemberFrom(QDate(2026, 12, 1), QTime(0, 0, 0));
const QDateTime DecemberTo(QDate(2026, 12, 31), QTime(23, 59, 59));

QList<int> numbersFound(TestFolder& t, const RecordStatement& statement)
{
    QSqlQuery q = Sql::exec(t.dm().weightdatabase(), statement.select(), statement.values);
    QList<int> numbers;
    while (q.next())
        numbers.append(q.value(0).toInt());
    return numbers;
}

RecordStatement build(TestFolder& t, const QueryConditions& c)
{
    return RecordQuery::build(c, t.dm().dialect().columns(t.dm().weightdatabase(), u"weight"_s), t.dm().dialect());
}

/** Titles and rows with the values an export must carry unharmed. */
const QStringList HostileTitles{u"编号"_s, u"车号"_s, u"备注"_s, u"净重"_s};
const QList<QVariantList> HostileRows{
    {1, u"鲁F\"12,345\""_s, u"第一行\r\n第二行"_s, 20000.5},
    {2, u"<b>&amp;</b>"_s, u"{\\rtf} 'quote' ; tab\there"_s, QVariant()},
    {3, u"=1+2"_s, QString(300, u'长'), -0.25},
};

RecordExport::RowSource hostileSource()
{
    auto next = std::make_shared<int>(0);
    return [next](QVariantList& values) {
        if (*next >= HostileRows.size())
            return false;
        values = HostileRows[(*next)++];
        return true;
    };
}

QStringList expectedCells(const QVariantList& row)
{
    QStringList cells;
    for (const QVariant& v : row)
        cells.append(v.isNull() ? QString() : v.toString());
    return cells;
}

} // namespace

class QueryCoreTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valueList_data();
    void valueList();
    void conditions_data();
    void conditions();
    void refusedConditions();
    void totalsAndNewest();
    void deleteMatchingNeedsCondition();
    void csvReadsBackAsRfc4180();
    void workbookReadsBackInLibreOffice();
    void textHtmlAndRtf();
    void cancelledOrFailedExportLeavesNoFile();
    void extensions();
    void commandLine();
    void commandLineRefusals_data();
    void commandLineRefusals();
};

void QueryCoreTest::valueList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("empty") << u""_s << QStringList();
    QTest::newRow("blanks only") << u"   "_s << QStringList();
    QTest::newRow("two products") << u"豆油,大米"_s << QStringList{u"豆油"_s, u"大米"_s};
    QTest::newRow("a,b,c") << u"a,b,c"_s << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("outer blanks trimmed, inner kept") << u" a, b "_s << QStringList{u"a"_s, u" b"_s};
    QTest::newRow("empty part kept") << u"a,,b"_s << QStringList{u"a"_s, QString(), u"b"_s};
}

void QueryCoreTest::valueList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, values);
    QCOMPARE(RecordQuery::valueList(text), values);
}

void QueryCoreTest::conditions_data()
{
    QTest::addColumn<Boxes>("boxes");
    QTest::addColumn<bool>("anyField");
    QTest::addColumn<bool>("descending");
    QTest::addColumn<QDateTime>("to");
    QTest::addColumn<QList<int>>("found");

    QTest::newRow("plate and two products, descending")
        << Boxes{{u"车号"_s, u"鲁F12345"_s}, {u"品名"_s, u"豆油,大米"_s}} << false << true << DecemberTo
        << QList<int>{2, 1};
    QTest::newRow("all boxes empty: the whole range, no limit")
        << Boxes{{u"车号"_s, u""_s}, {u"品名"_s, u"  "_s}} << false << false << DecemberTo
        << QList<int>{1, 2, 3, 4, 5, 7};
    QTest::newRow("blank after a comma is kept") << Boxes{{u"品名"_s, u" a, b "_s}} << false << false << DecemberTo
                                                 << QList<int>{4, 5};
    QTest::newRow("from after to") << Boxes{} << false << false << DecemberFrom.addSecs(-1) << QList<int>{};
    QTest::newRow("apostrophe, other letter case") << Boxes{{u"车号"_s, u"o'brien"_s}} << false << true
                                                   << DecemberTo << QList<int>{4};
    QTest::newRow("% and _ are plain characters") << Boxes{{u"品名"_s, u"%"_s}, {u"车号"_s, u"100%_X"_s}} << false
                                                  << true << DecemberTo << QList<int>{7};
    QTest::newRow("% matches no other value") << Boxes{{u"车号"_s, u"%"_s}} << false << true << DecemberTo
                                              << QList<int>{};
    // Record 6 holds 大米 but lies in November: the range bounds every alternative.
    QTest::newRow("或者 within the range") << Boxes{{u"车号"_s, u"苏A00001"_s}, {u"品名"_s, u"大米"_s}} << true
                                           << false << DecemberTo << QList<int>{2, 3};
    QTest::newRow("number field with a number") << Boxes{{u"皮重"_s, u"1000.5,9000"_s}} << false << false
                                                << DecemberTo << QList<int>{3, 4};
}

void QueryCoreTest::conditions()
{
    QFETCH(Boxes, boxes);
    QFETCH(bool, anyField);
    QFETCH(bool, descending);
    QFETCH(QDateTime, to);
    QFETCH(QList<int>, found);
    TestFolder t;
    QueryFixture::store(t);
    QueryConditions c;
    c.from = DecemberFrom;
    c.to = to;
    c.fields = boxes;
    c.anyField = anyField;
    c.descending = descending;
    const RecordStatement statement = build(t, c);
    QCOMPARE(numbersFound(t, statement), found);
    QCOMPARE(RecordQuery::totals(t.dm().weightdatabase(), statement).count, found.size());
}

void QueryCoreTest::refusedConditions()
{
    TestFolder t;
    QueryConditions c;
    c.from = DecemberFrom;
    c.to = DecemberTo;
    c.fields = {{u"皮重"_s, u"abc"_s}};
    QVERIFY_THROWS_EXCEPTION(ConversionError, build(t, c));
    c.fields = {{u"车号 = 1 OR 1"_s, u"x"_s}};
    QVERIFY_THROWS_EXCEPTION(DbError, build(t, c));
    c.fields = {};
    c.timeColumn = u"操作时间"_s;
    QVERIFY_THROWS_EXCEPTION(DbError, build(t, c));
}

void QueryCoreTest::totalsAndNewest()
{
    TestFolder t;
    QueryFixture::store(t);
    QueryConditions c;
    c.from = DecemberFrom;
    c.to = DecemberTo;
    const QueryTotals totals = RecordQuery::totals(t.dm().weightdatabase(), build(t, c));
    QCOMPARE(totals.tareLine(), u"皮重：32501.5千克"_s);
    QCOMPARE(totals.grossLine(), u"毛重：64602.3千克"_s);
    QCOMPARE(totals.netLine(), u"净重：41100.8千克"_s);
    QCOMPARE(totals.countLine(), u"车数：6次"_s);

    c.to = DecemberFrom.addDays(-5);
    c.from = DecemberFrom;
    const QueryTotals none = RecordQuery::totals(t.dm().weightdatabase(), build(t, c));
    QCOMPARE(none.tareLine(), u"皮重：0.0千克"_s);
    QCOMPARE(none.countLine(), u"车数：0次"_s);

    QCOMPARE(numbersFound(t, RecordQuery::newest(5, t.dm().dialect())), (QList<int>{7, 6, 5, 4, 3}));
}

void QueryCoreTest::deleteMatchingNeedsCondition()
{
    TestFolder t;
    QueryFixture::store(t);
    QVERIFY_THROWS_EXCEPTION(DbError, RecordQuery::deleteMatching(t.dm().weightdatabase(), RecordStatement{}));
    QCOMPARE(t.count(u"weight"_s), 7);
    QueryConditions c;
    c.from = DecemberFrom;
    c.to = DecemberTo;
    c.fields = {{u"车号"_s, u"鲁f12345"_s}};
    QCOMPARE(RecordQuery::deleteMatching(t.dm().weightdatabase(), build(t, c)), 2);
    QCOMPARE(t.count(u"weight"_s), 5);
}

void QueryCoreTest::csvReadsBackAsRfc4180()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"hostile.csv"_s);
    QCOMPARE(RecordExport::write(ExportFormat::Csv, path, HostileTitles, hostileSource()), qint64(3));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("\xEF\xBB\xBF\"编号\",")); // byte-order mark, every value quoted
    const QList<QStringList> rows = QueryFixture::readCsv(path);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0], HostileTitles);
    for (int r = 0; r < HostileRows.size(); ++r)
        QCOMPARE(rows[r + 1], expectedCells(HostileRows[r]));
}

void QueryCoreTest::workbookReadsBackInLibreOffice()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"hostile.xlsx"_s);
    QCOMPARE(RecordExport::write(ExportFormat::Excel, path, HostileTitles, hostileSource()), qint64(3));
    const QString csv = QueryFixture::convertWithLibreOffice(path, u"csv:Text - txt - csv (StarCalc):44,34,76"_s,
                                                             dir.path());
    const QList<QStringList> rows = QueryFixture::readCsv(csv);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0], HostileTitles);
    // A workbook keeps a line break as a line feed alone.
    QStringList first = expectedCells(HostileRows[0]);
    first[2].replace(u"\r\n"_s, u"\n"_s);
    QCOMPARE(rows[1], first);
    // Numbers are number cells; the formula-like text stays text.
    QCOMPARE(rows[3], expectedCells(HostileRows[2]));
    QCOMPARE(rows[2][1], u"<b>&amp;</b>"_s);
}

void QueryCoreTest::textHtmlAndRtf()
{
    QTemporaryDir dir;
    const QString txt = dir.filePath(u"r.txt"_s);
    RecordExport::write(ExportFormat::Text, txt, HostileTitles, hostileSource());
    QFile text(txt);
    QVERIFY(text.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(text.readAll()).split(u"\r\n"_s);
    QCOMPARE(lines.size(), 5); // four rows and the empty rest after the last CRLF
    QCOMPARE(lines[1], u"1\t鲁F\"12,345\"\t第一行  第二行\t20000.5"_s);
    QCOMPARE(lines[2].split(u'\t').size(), 4);

    const QString htm = dir.filePath(u"r.htm"_s);
    RecordExport::write(ExportFormat::Html, htm, HostileTitles, hostileSource());
    QFile html(htm);
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    QVERIFY(page.contains(u"<td>&lt;b&gt;&amp;amp;&lt;/b&gt;</td>"_s));
    QVERIFY(page.contains(u"<td>第一行<br>第二行</td>"_s));

    const QString rtf = dir.filePath(u"r.rtf"_s);
    RecordExport::write(ExportFormat::Rtf, rtf, HostileTitles, hostileSource());
    QFile rtfFile(rtf);
    QVERIFY(rtfFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = rtfFile.readAll();
    QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }));
    QVERIFY(bytes.contains("\\u-25471?")); // 鲁 (U+9C81) as a signed 16-bit unit
    const QString back = QueryFixture::convertWithLibreOffice(rtf, u"txt:Text (encoded):UTF8"_s, dir.path());
    QFile plain(back);
    QVERIFY(plain.open(QIODevice::ReadOnly));
    const QString read = QString::fromUtf8(plain.readAll());
    for (const QString& expected : {u"鲁F\"12,345\""_s, u"{\\rtf} 'quote'"_s, u"第二行"_s, u"<b>&amp;</b>"_s})
        QVERIFY2(read.contains(expected), qPrintable(expected));
}

void QueryCoreTest::cancelledOrFailedExportLeavesNoFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"big.xlsx"_s);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("earlier file");
    old.close();
    int rows = 0;
    const RecordExport::RowSource many = [&](QVariantList& values) {
        values = {++rows, u"x"_s};
        return rows <= 5000;
    };
    const auto cancelled = RecordExport::write(ExportFormat::Excel, path, {u"a"_s, u"b"_s}, many,
                                               [](qint64 done) { return done < 1000; });
    QVERIFY(!cancelled);
    QFile again(path);
    QVERIFY(again.open(QIODevice::ReadOnly));
    QCOMPARE(again.readAll(), QByteArray("earlier file"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1); // no partial file left

    const QString missing = dir.filePath(u"no-such-folder/r.csv"_s);
    QVERIFY_THROWS_EXCEPTION(FileError, RecordExport::write(ExportFormat::Csv, missing, HostileTitles, hostileSource()));
    QVERIFY(!QFileInfo::exists(missing));
}

void QueryCoreTest::extensions()
{
    QCOMPARE(RecordExport::withExtension(u"report"_s, ExportFormat::Excel), u"report.xlsx"_s);
    QCOMPARE(RecordExport::withExtension(u"report.TXT"_s, ExportFormat::Text), u"report.TXT"_s);
    QCOMPARE(RecordExport::withExtension(u"report.txt"_s, ExportFormat::Csv), u"report.txt.csv"_s);
    QCOMPARE(RecordExport::formatOfPath(u"a.Htm"_s), ExportFormat::Html);
    QVERIFY(!RecordExport::formatOfPath(u"a.xls"_s));
}

void QueryCoreTest::commandLine()
{
    TestFolder t;
    QueryFixture::store(t);
    const QString out = t.path(u"out.csv"_s);
    QString printed, errors;
    QTextStream o(&printed), e(&errors);
    const ExportCommandArguments args{t.folder(),
                                      out,
                                      u"2026-12-01 00:00:00"_s,
                                      u"2026-12-31 23:59:59"_s,
                                      u"毛重时间"_s,
                                      {u"车号=苏A00001"_s, u"品名=大米"_s},
                                      true};
    QCOMPARE(runExportCommand(args, o, e), 0);
    QCOMPARE(printed, u"2\n"_s);
    QVERIFY(errors.isEmpty());
    const QList<QStringList> rows = QueryFixture::readCsv(out);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[1].value(0), u"3"_s); // descending
    QCOMPARE(rows[2].value(0), u"2"_s);
}

void QueryCoreTest::commandLineRefusals_data()
{
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("bad time") << u"r.csv"_s << u"2026-13-01 00:00:00"_s << u"毛重时间"_s << QStringList();
    QTest::newRow("unknown field") << u"r.csv"_s << u"2026-12-01 00:00:00"_s << u"毛重时间"_s
                                   << QStringList{u"无此字段=1"_s};
    QTest::newRow("field without =") << u"r.csv"_s << u"2026-12-01 00:00:00"_s << u"毛重时间"_s
                                     << QStringList{u"车号"_s};
    QTest::newRow("other time column") << u"r.csv"_s << u"2026-12-01 00:00:00"_s << u"操作时间"_s << QStringList();
    QTest::newRow("unknown extension") << u"r.xls"_s << u"2026-12-01 00:00:00"_s << u"毛重时间"_s << QStringList();
    QTest::newRow("number field with text") << u"r.csv"_s << u"2026-12-01 00:00:00"_s << u"毛重时间"_s
                                            << QStringList{u"皮重=abc"_s};
}

void QueryCoreTest::commandLineRefusals()
{
    QFETCH(QString, out);
    QFETCH(QString, from);
    QFETCH(QString, time);
    QFETCH(QStringList, fields);
    TestFolder t;
    QString printed, errors;
    QTextStream o(&printed), e(&errors);
    const ExportCommandArguments args{t.folder(), t.path(out), from, u"2026-12-31 23:59:59"_s, time, fields, false};
    QCOMPARE(runExportCommand(args, o, e), 2);
    QVERIFY(printed.isEmpty());
    QVERIFY(errors.startsWith(u"weight: "_s));
    QVERIFY(!QFileInfo::exists(t.path(out)));
}

QTEST_GUILESS_MAIN(QueryCoreTest)
#include "tst_querycore.moc"
