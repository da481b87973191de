#include "TestFolder.h"
#include "data/Sql.h"
#include "records/WordPickerDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// Stored products; the database lists them sorted by their bytes, which is the order below.
const QStringList Products{
    u" 石子 "_s,   // surrounding blanks; a leading blank shifts the byte pairs, so no initials match
    u"ABC123"_s,   // Latin letters and digits: blanks only
    u"A苏B"_s,     // pairs A+苏 and 苏+B: code " Z"
    u"zg"_s,       // looks like the initials it must not match
    u"中国"_s,     // ZG
    u"中国石化"_s, // ZGSH
    u"张家港"_s,   // ZJG
    u"苏A12345"_s, // S + blanks
    u"黄沙 "_s,    // HS; the odd last byte is dropped
};

void storeProducts(TestFolder& t)
{
    // Each value twice: the picker offers distinct values.
    for (int round = 0; round < 2; ++round)
        for (const QString& product : Products)
            Sql::exec(t.dm().weightdatabase(), u"INSERT INTO weight (车号, 品名) VALUES (?, ?)"_s,
                      {u"苏E00001"_s, product});
}

QComboBox* pinyinBox(QWidget& w)
{
    return w.findChild<QComboBox*>(u"ComboBox1"_s);
}

QLineEdit* lastMatch(QWidget& w)
{
    return w.findChild<QLineEdit*>(u"Edit1"_s);
}

QTableView* grid(QWidget& w)
{
    return w.findChild<QTableView*>(u"DBGrid1"_s);
}

QStringList listed(QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

QStringList column(QTableView* view)
{
    QStringList values;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        values.append(view->model()->index(row, 0).data().toString());
    return values;
}

} // namespace

class WordPickerTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filtersByTypedInitials_data();
    void filtersByTypedInitials();
    void picksAWord_data();
    void picksAWord();
    void closesWithoutAPick_data();
    void closesWithoutAPick();
    void nothingToPickKeepsTheText();
    void checksNamesBeforeQuerying_data();
    void checksNamesBeforeQuerying();
};

void WordPickerTest::filtersByTypedInitials_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QStringList>("matches");

    QTest::newRow("lower case shown upper case")
        << u"zg"_s << u"ZG"_s << QStringList{u"中国"_s, u"中国石化"_s};
    QTest::newRow("two initials, whatever follows") << u"zj"_s << u"ZJ"_s << QStringList{u"张家港"_s};
    QTest::newRow("first initial only")
        << u"z"_s << u"Z"_s << QStringList{u"中国"_s, u"中国石化"_s, u"张家港"_s};
    QTest::newRow("Latin word never matches a letter") << u"a"_s << u"A"_s << QStringList{};
    QTest::newRow("Chinese then ASCII") << u"s"_s << u"S"_s << QStringList{u"苏A12345"_s};
    QTest::newRow("ASCII then Chinese, split at byte pairs") << u" z"_s << u" Z"_s << QStringList{u"A苏B"_s};
    QTest::newRow("blank returned with the word") << u"HS"_s << u"HS"_s << QStringList{u"黄沙 "_s};
    QTest::newRow("deleted initials list every word") << u"zg\b\b"_s << QString() << Products;
    QTest::newRow("longer than any code") << u"zgshx"_s << u"ZGSHX"_s << QStringList{};
}

void WordPickerTest::filtersByTypedInitials()
{
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(QStringList, matches);
    TestFolder t;
    storeProducts(t);
    WordPickerDialog picker(t.ctx(), u"品名"_s, u"typed"_s, u" weight "_s);
    picker.show();
    QCOMPARE(column(grid(picker)), Products);

    QComboBox* box = pinyinBox(picker);
    QTest::keyClicks(box, keys);
    QCOMPARE(box->currentText(), shown);
    QCOMPARE(listed(box), matches);
    QCOMPARE(lastMatch(picker)->text(), matches.isEmpty() ? QString() : matches.last());
    QTRY_COMPARE(box->lineEdit()->cursorPosition(), int(shown.size()));
    QVERIFY(picker.isVisible());
    QVERIFY(t.prompter.calls.isEmpty());
}

void WordPickerTest::picksAWord_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("picked");

    QTest::newRow("double-click in the grid, blanks kept") << u"grid"_s << u" 石子 "_s;
    QTest::newRow("cursor key in the pinyin list") << u"list"_s << u"中国"_s;
    QTest::newRow("double-click on the last match") << u"match"_s << u"中国石化"_s;
}

void WordPickerTest::picksAWord()
{
    QFETCH(QString, way);
    QFETCH(QString, picked);
    TestFolder t;
    storeProducts(t);
    WordPickerDialog picker(t.ctx(), u"品名"_s, u"typed"_s, u"Weight"_s);
    picker.show();
    QComboBox* box = pinyinBox(picker);
    QTest::keyClicks(box, u"zg"_s);

    if (way == u"grid"_s) {
        QTableView* view = grid(picker);
        const QRect cell = view->visualRect(view->model()->index(0, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    } else if (way == u"list"_s) {
        QTest::keyClick(box, Qt::Key_Down);
    } else {
        QTest::mouseDClick(lastMatch(picker), Qt::LeftButton);
    }
    QVERIFY(!picker.isVisible());
    QCOMPARE(picker.result(), int(QDialog::Accepted));
    QCOMPARE(picker.PickedWord(), picked);
}

void WordPickerTest::closesWithoutAPick_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("&A关闭") << u"button"_s;
    QTest::newRow("Enter") << u"enter"_s;
    QTest::newRow("Escape") << u"escape"_s;
}

void WordPickerTest::closesWithoutAPick()
{
    QFETCH(QString, way);
    TestFolder t;
    storeProducts(t);
    WordPickerDialog picker(t.ctx(), u"品名"_s, u"苏A typed"_s, u" weight "_s);
    picker.show();
    QComboBox* box = pinyinBox(picker);
    QTest::keyClicks(box, u"zg"_s);

    auto* close = picker.findChild<QPushButton*>(u"BitBtn1"_s);
    QCOMPARE(close->text(), u"&A关闭"_s);
    if (way == u"button"_s)
        QTest::mouseClick(close, Qt::LeftButton);
    else
        QTest::keyClick(box, way == u"enter"_s ? Qt::Key_Return : Qt::Key_Escape);
    QVERIFY(!picker.isVisible());
    QCOMPARE(picker.result(), int(QDialog::Rejected));
    QCOMPARE(picker.PickedWord(), u"苏A typed"_s);
}

void WordPickerTest::nothingToPickKeepsTheText()
{
    TestFolder t; // no records: the grid is empty
    WordPickerDialog picker(t.ctx(), u"品名"_s, u"typed"_s, u" weight "_s);
    picker.show();
    QCOMPARE(grid(picker)->model()->rowCount(), 0);
    picker.DBGrid1DblClick();
    QTest::keyClicks(pinyinBox(picker), u"zg"_s);
    QTest::mouseDClick(lastMatch(picker), Qt::LeftButton);
    QVERIFY(picker.isVisible());
    QCOMPARE(picker.PickedWord(), u"typed"_s);
}

void WordPickerTest::checksNamesBeforeQuerying_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("error"); // empty: the words are listed

    QTest::newRow("station's table name") << u" weight "_s << u"车号"_s << QString();
    QTest::newRow("query window's table name") << u"Weight"_s << u"车号"_s << QString();
    QTest::newRow("unknown field") << u" weight "_s << u"车牌"_s << u"数据表“weight”中没有字段“车牌”"_s;
    QTest::newRow("statement in the field name")
        << u"weight"_s << u"车号 FROM weight; DROP TABLE weight; --"_s
        << u"数据表“weight”中没有字段“车号 FROM weight; DROP TABLE weight; --”"_s;
    QTest::newRow("unknown table") << u"weigh"_s << u"车号"_s << u"找不到数据表“weigh”"_s;
}

void WordPickerTest::checksNamesBeforeQuerying()
{
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, error);
    TestFolder t;
    storeProducts(t);
    WordPickerDialog picker(t.ctx(), field, u"typed"_s, table);
    picker.show();
    if (error.isEmpty()) {
        QCOMPARE(column(grid(picker)), QStringList{u"苏E00001"_s});
        QVERIFY(t.prompter.calls.isEmpty());
        return;
    }
    QCOMPARE(t.prompter.textsOf(u"error"_s), QStringList{error});
    QTRY_VERIFY(!picker.isVisible());
    QCOMPARE(picker.PickedWord(), u"typed"_s);
    QCOMPARE(t.count(u"weight"_s), 2 * int(Products.size()));
}

QTEST_MAIN(WordPickerTest)
#include "tst_wordpicker.moc"
