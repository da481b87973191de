#include "TestFolder.h"
#include "audit/PasswordWindow.h"
#include "audit/UserManagementWindow.h"
#include "audit/UserStore.h"
#include "data/Catalogue.h"
#include "data/Sql.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Refused = u"数据不正确，没有录入成功,请重新输入!"_s;

void click(const QWidget& w, const QString& button)
{
    auto* b = w.findChild<QPushButton*>(button);
    if (!b)
        qFatal("no button %s", qPrintable(button));
    QTest::mouseClick(b, Qt::LeftButton);
}

QTableView* grid(const QWidget& w)
{
    return w.findChild<QTableView*>(u"DBGrid1"_s);
}

/** The names in the grid, top to bottom. */
QStringList gridNames(const QWidget& w)
{
    QStringList names;
    const QAbstractItemModel* model = grid(w)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names.append(model->index(row, 0).data().toString());
    return names;
}

QStringList gridColumns(const QWidget& w)
{
    QStringList columns;
    const QAbstractItemModel* model = grid(w)->model();
    for (int column = 0; column < model->columnCount(); ++column)
        columns.append(model->headerData(column, Qt::Horizontal).toString());
    return columns;
}

int gridRow(const QWidget& w, const QString& name)
{
    return int(gridNames(w).indexOf(name));
}

/** Types into a grid cell as the operator does: open the editor, type, press Enter. */
void typeIntoCell(const QWidget& w, int row, const QString& text)
{
    QTableView* view = grid(w);
    const QModelIndex index = view->model()->index(row, 0);
    view->setCurrentIndex(index);
    view->edit(index);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    if (text.isEmpty())
        QTest::keyClick(editor, Qt::Key_Delete);
    else
        editor->insert(text);
    QTest::keyClick(editor, Qt::Key_Return);
    // The delegate commits and closes its editor from the event loop.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!view->viewport()->findChild<QLineEdit*>());
}

/** Ticks a right's check box in the grid, as a click on the cell does; false when the grid refused. */
bool tick(const QWidget& w, int row, const QString& right, bool on = true)
{
    QAbstractItemModel* model = grid(w)->model();
    const int column = int(gridColumns(w).indexOf(right));
    if (column < 0)
        qFatal("no column %s", qPrintable(right));
    return model->setData(model->index(row, column), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

bool right(TestFolder& t, const QString& user, const QString& column)
{
    return Sql::scalar(t.dm().weightdatabase(), u"SELECT %1 FROM users WHERE 用户名称 = ?"_s.arg(column),
                       {user})
        .toBool();
}

QString storedPassword(TestFolder& t, const QString& user)
{
    return t.dm().QueryScalar(u"SELECT 用户密码 FROM users WHERE 用户名称 = ?"_s, {user});
}

QLineEdit* edit(const QWidget& w, const QString& name)
{
    return w.findChild<QLineEdit*>(name);
}

void fillPasswordWindow(const QWidget& w, const QString& user, const QString& old, const QString& fresh,
                        const QString& confirmation)
{
    w.findChild<QComboBox*>(u"ComboBox1"_s)->setCurrentText(user);
    edit(w, u"Edit1"_s)->setText(old);
    edit(w, u"Edit2"_s)->setText(fresh);
    edit(w, u"Edit3"_s)->setText(confirmation);
}

} // namespace

class UserWindowsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listsUsersWithoutAdminOrPassword();
    void addThenCancelLeavesLogEntryOnly();
    void addedUserLogsInWithInitialPassword();
    void refusesUnsoundNames_data();
    void refusesUnsoundNames();
    void renameOnlyInLetterCaseIsAllowed();
    void failedPostDiscardsEdit();
    void deleteAsksAndLogs();
    void findThenSaveWritesOnlyLoadedColumns();

    void passwordWindowListsEveryUser();
    void passwordMismatchBeforeOldPassword();
    void passwordWrongOldPassword();
    void passwordChangeStoresNewHash();
    void passwordEnterMovesOn();
};

void UserWindowsTest::listsUsersWithoutAdminOrPassword()
{
    TestFolder t;
    t.addUser(u"carol"_s);
    t.addUser(u"bob"_s, {u"查询"_s});
    UserManagementWindow w(t.ctx());
    w.show();
    QCOMPARE(w.objectName(), u"Tmangerusersfrm"_s);
    QCOMPARE(w.windowTitle(), u"用户管理"_s);
    QCOMPARE(gridNames(w), (QStringList{u"bob"_s, u"carol"_s}));
    QCOMPARE(gridColumns(w),
             QStringList{u"用户名称"_s} + Catalogue::windowRights() + Catalogue::menuRights());
    QCOMPARE(grid(w)->model()->index(0, 1).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QVERIFY(w.findChild<QLabel*>(u"Label2"_s)->text().contains(u"123456"_s));
    QVERIFY(t.logActions().isEmpty());
}

void UserWindowsTest::addThenCancelLeavesLogEntryOnly()
{
    TestFolder t;
    UserManagementWindow w(t.ctx());
    w.show();
    click(w, u"AddButton"_s);
    QCOMPARE(grid(w)->model()->rowCount(), 1);
    QCOMPARE(t.logActions(), QStringList{u"添加用户"_s});
    typeIntoCell(w, 0, u"bob"_s);
    click(w, u"CancelButton"_s);
    QCOMPARE(grid(w)->model()->rowCount(), 0);
    QCOMPARE(t.count(u"users"_s), 1);
    QCOMPARE(t.logActions(), QStringList{u"添加用户"_s});
}

void UserWindowsTest::addedUserLogsInWithInitialPassword()
{
    TestFolder t;
    t.addUser(u"bob"_s);
    UserManagementWindow w(t.ctx());
    w.show();
    click(w, u"AddButton"_s);
    const int row = grid(w)->currentIndex().row();
    typeIntoCell(w, row, u"张三"_s);
    QVERIFY(tick(w, row, u"打印"_s));
    QVERIFY(tick(w, row, u"称重过磅"_s));
    click(w, u"SaveButton"_s);

    QVERIFY(t.prompter.calls.isEmpty());
    QCOMPARE(t.logActions(), (QStringList{u"添加用户"_s, u"修改用户"_s}));
    const auto rights = UserStore::authenticate(t.dm().weightdatabase(), u"张三"_s, u"123456"_s);
    QVERIFY(rights.has_value());
    QVERIFY(rights->value(u"打印"_s));
    QVERIFY(rights->value(u"称重过磅"_s));
    QVERIFY(!rights->value(u"查询"_s));
    QVERIFY(!storedPassword(t, u"张三"_s).contains(u"123456"_s));

    // A second user added after the first is saved on its own.
    click(w, u"AddButton"_s);
    typeIntoCell(w, grid(w)->currentIndex().row(), u"王五"_s);
    click(w, u"SaveButton"_s);
    QCOMPARE(t.count(u"users"_s), 4);
    click(w, u"RefreshButton"_s);
    QCOMPARE(gridNames(w), (QStringList{u"bob"_s, u"张三"_s, u"王五"_s}));
}

void UserWindowsTest::refusesUnsoundNames_data()
{
    QTest::addColumn<QString>("renamed"); // empty: a new row is added
    QTest::addColumn<QString>("name");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("blanks") << QString() << u"   "_s;
    QTest::newRow("existing") << QString() << u"bob"_s;
    QTest::newRow("existing in other case") << QString() << u"BOB"_s;
    QTest::newRow("hidden admin") << QString() << u"Admin"_s;
    QTest::newRow("existing with blanks") << QString() << u" bob "_s;
    QTest::newRow("rename to another user") << u"carol"_s << u"Bob"_s;
    QTest::newRow("rename to empty") << u"carol"_s << QString();
}

void UserWindowsTest::refusesUnsoundNames()
{
    QFETCH(QString, renamed);
    QFETCH(QString, name);
    TestFolder t;
    t.addUser(u"bob"_s);
    t.addUser(u"carol"_s, {u"查询"_s});
    UserManagementWindow w(t.ctx());
    w.show();
    int row = gridRow(w, renamed);
    if (renamed.isEmpty()) {
        click(w, u"AddButton"_s);
        row = grid(w)->currentIndex().row();
    }
    typeIntoCell(w, row, name);
    QVERIFY(tick(w, row, u"删除"_s));
    click(w, u"SaveButton"_s);

    QCOMPARE(t.prompter.textsOf(u"information"_s), QStringList{Refused});
    QCOMPARE(t.prompter.calls.last().title, u"提示!"_s);
    QCOMPARE(t.count(u"users"_s), 3);
    QCOMPARE(gridNames(w), (QStringList{u"bob"_s, u"carol"_s}));
    QVERIFY(right(t, u"carol"_s, u"查询"_s));
    QVERIFY(!right(t, u"carol"_s, u"删除"_s));
    QVERIFY(!t.logActions().contains(u"修改用户"_s));
}

void UserWindowsTest::renameOnlyInLetterCaseIsAllowed()
{
    TestFolder t;
    t.addUser(u"carol"_s, {u"查询"_s});
    UserManagementWindow w(t.ctx());
    w.show();
    typeIntoCell(w, 0, u"Carol"_s);
    // Ticking a box in the same row keeps the edit; the rename is saved with it.
    QVERIFY(tick(w, 0, u"修改"_s));
    click(w, u"SaveButton"_s);
    QVERIFY(t.prompter.calls.isEmpty());
    QCOMPARE(t.dm().QueryScalar(u"SELECT 用户名称 FROM users WHERE 用户名称 <> 'admin'"_s), u"Carol"_s);
    QVERIFY(right(t, u"Carol"_s, u"查询"_s));
    QVERIFY(right(t, u"Carol"_s, u"修改"_s));
}

void UserWindowsTest::failedPostDiscardsEdit()
{
    TestFolder t;
    t.addUser(u"bob"_s);
    Sql::exec(t.dm().weightdatabase(),
              u"CREATE TRIGGER refuse BEFORE UPDATE ON users BEGIN SELECT RAISE(ABORT, 'locked'); END"_s);
    UserManagementWindow w(t.ctx());
    w.show();
    QVERIFY(tick(w, 0, u"打印"_s));
    click(w, u"SaveButton"_s);
    QCOMPARE(t.prompter.textsOf(u"information"_s), QStringList{Refused});
    QCOMPARE(grid(w)->model()->index(0, 2).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(t.logActions().isEmpty());

    // Moving to another row posts the edit too, with the same checks.
    click(w, u"AddButton"_s);
    typeIntoCell(w, 1, u"bob"_s);
    QCOMPARE(t.logActions(), QStringList{u"添加用户"_s});
    tick(w, 0, u"打印"_s);
    QCOMPARE(t.prompter.textsOf(u"information"_s), (QStringList{Refused, Refused}));
    QCOMPARE(t.count(u"users"_s), 2);
    QCOMPARE(gridNames(w), QStringList{u"bob"_s});
}

void UserWindowsTest::deleteAsksAndLogs()
{
    TestFolder t;
    {
        UserManagementWindow empty(t.ctx());
        click(empty, u"DeleteButton"_s);
        QVERIFY(t.prompter.calls.isEmpty());
    }
    t.addUser(u"bob"_s);
    t.addUser(u"carol"_s);
    UserManagementWindow w(t.ctx());
    w.show();
    grid(w)->setCurrentIndex(grid(w)->model()->index(gridRow(w, u"carol"_s), 3));
    t.prompter.answers.enqueue(false);
    click(w, u"DeleteButton"_s);
    QCOMPARE(t.count(u"users"_s), 3);
    QVERIFY(t.logActions().isEmpty());

    click(w, u"DeleteButton"_s);
    QCOMPARE(t.prompter.textsOf(u"confirm"_s), (QStringList{u"您确定要删除吗？"_s, u"您确定要删除吗？"_s}));
    QCOMPARE(t.prompter.calls.last().title, u"提示！"_s);
    QCOMPARE(t.count(u"users"_s, u"用户名称 = 'carol'"_s), 0);
    QCOMPARE(t.count(u"users"_s), 2);
    QCOMPARE(gridNames(w), QStringList{u"bob"_s});
    QCOMPARE(t.logActions(), QStringList{u"删除用户"_s});
}

void UserWindowsTest::findThenSaveWritesOnlyLoadedColumns()
{
    TestFolder t;
    t.addUser(u"bob"_s, {u"查询"_s, u"用户管理"_s, u"称重过磅"_s});
    t.addUser(u"carol"_s);
    UserManagementWindow w(t.ctx());
    w.show();

    t.prompter.texts.enqueue(u"  "_s);
    click(w, u"FindButton"_s);
    QCOMPARE(gridNames(w), (QStringList{u"bob"_s, u"carol"_s}));
    QCOMPARE(t.prompter.calls.last().title, u"查找"_s);
    QCOMPARE(t.prompter.calls.last().text, u"请输入用户名   ."_s);

    t.prompter.texts.enqueue(u"BOB"_s);
    click(w, u"FindButton"_s);
    QCOMPARE(gridNames(w), QStringList{u"bob"_s});
    QCOMPARE(gridColumns(w), (QStringList{u"用户名称"_s, u"查询"_s, u"打印"_s, u"删除"_s, u"修改"_s}));
    QVERIFY(tick(w, 0, u"查询"_s, false));
    QVERIFY(tick(w, 0, u"打印"_s));
    click(w, u"SaveButton"_s);
    QVERIFY(!right(t, u"bob"_s, u"查询"_s));
    QVERIFY(right(t, u"bob"_s, u"打印"_s));
    QVERIFY(right(t, u"bob"_s, u"用户管理"_s));
    QVERIFY(right(t, u"bob"_s, u"称重过磅"_s));
    QVERIFY(UserStore::authenticate(t.dm().weightdatabase(), u"bob"_s, u"123456"_s).has_value());

    // admin stays hidden from a find too.
    t.prompter.texts.enqueue(u"admin"_s);
    click(w, u"FindButton"_s);
    QVERIFY(gridNames(w).isEmpty());
    click(w, u"RefreshButton"_s);
    QCOMPARE(gridColumns(w).size(), 29);
    QCOMPARE(gridNames(w), (QStringList{u"bob"_s, u"carol"_s}));
}

void UserWindowsTest::passwordWindowListsEveryUser()
{
    TestFolder t;
    t.addUser(u"bob"_s);
    PasswordWindow w(t.ctx());
    w.show();
    QCOMPARE(w.objectName(), u"Tpasswordfrm"_s);
    QCOMPARE(w.windowTitle(), u"修改密码"_s);
    auto* users = w.findChild<QComboBox*>(u"ComboBox1"_s);
    QCOMPARE(users->count(), 2);
    QVERIFY(users->findText(u"admin"_s) >= 0);
    QVERIFY(users->findText(u"bob"_s) >= 0);
    QCOMPARE(edit(w, u"Edit1"_s)->echoMode(), QLineEdit::Normal);
    QCOMPARE(edit(w, u"Edit2"_s)->echoMode(), QLineEdit::Password);
    QCOMPARE(edit(w, u"Edit3"_s)->echoMode(), QLineEdit::Password);
}

void UserWindowsTest::passwordMismatchBeforeOldPassword()
{
    TestFolder t;
    t.addUser(u"bob"_s);
    const QString before = storedPassword(t, u"bob"_s);
    PasswordWindow w(t.ctx());
    w.show();
    fillPasswordWindow(w, u"bob"_s, u"wrong"_s, u" new1 "_s, u"new2"_s);
    click(w, u"BitBtn1"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].text, u"您输入的验证密码不一致,请重新输入!"_s);
    QCOMPARE(t.prompter.calls[0].title, u"警告"_s);
    QVERIFY(edit(w, u"Edit2"_s)->text().isEmpty());
    QVERIFY(edit(w, u"Edit3"_s)->text().isEmpty());
    QCOMPARE(edit(w, u"Edit1"_s)->text(), u"wrong"_s);
    QCOMPARE(w.focusWidget(), edit(w, u"Edit3"_s));
    QVERIFY(w.isVisible());
    QCOMPARE(storedPassword(t, u"bob"_s), before);
    QVERIFY(t.logActions().isEmpty());
}

void UserWindowsTest::passwordWrongOldPassword()
{
    TestFolder t;
    t.addUser(u"bob"_s);
    const QString before = storedPassword(t, u"bob"_s);
    PasswordWindow w(t.ctx());
    w.show();
    // The admin's password is not bob's.
    fillPasswordWindow(w, u"bob"_s, u"admin"_s, u"abc"_s, u"abc"_s);
    click(w, u"BitBtn1"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].text, u"您输入的旧密码不正确,请重新输入!"_s);
    QCOMPARE(t.prompter.calls[0].title, u"警告"_s);
    QVERIFY(edit(w, u"Edit1"_s)->text().isEmpty());
    QCOMPARE(w.focusWidget(), edit(w, u"Edit1"_s));
    QVERIFY(w.isVisible());
    QCOMPARE(storedPassword(t, u"bob"_s), before);
    QVERIFY(t.logActions().isEmpty());
}

void UserWindowsTest::passwordChangeStoresNewHash()
{
    TestFolder t;
    t.addUser(u"bob"_s);
    t.ctx().login.CurrentOperator = u"carol"_s;
    PasswordWindow w(t.ctx());
    w.show();
    fillPasswordWindow(w, u"BOB"_s, u"123456"_s, u" se'cret "_s, u"se'cret"_s);
    click(w, u"BitBtn1"_s);

    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].text, u"您的新密码修改成功！请您切记！"_s);
    QCOMPARE(t.prompter.calls[0].title, u"警告"_s);
    const QString stored = storedPassword(t, u"bob"_s);
    QVERIFY(stored.startsWith(u"$argon2id$"_s));
    QVERIFY(!stored.contains(u"se'cret"_s));
    QVERIFY(UserStore::authenticate(t.dm().weightdatabase(), u"bob"_s, u"se'cret"_s).has_value());
    QVERIFY(!UserStore::authenticate(t.dm().weightdatabase(), u"bob"_s, u"123456"_s).has_value());
    QVERIFY(UserStore::authenticate(t.dm().weightdatabase(), u"admin"_s, u"admin"_s).has_value());
    QCOMPARE(t.logActions(), QStringList{u"修改密码"_s});
    QCOMPARE(t.dm().QueryScalar(u"SELECT 操作人 FROM LogTab"_s), u"carol"_s);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
}

void UserWindowsTest::passwordEnterMovesOn()
{
    TestFolder t;
    PasswordWindow w(t.ctx());
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto* users = w.findChild<QComboBox*>(u"ComboBox1"_s);
    users->setFocus();
    const QList<QWidget*> order{edit(w, u"Edit1"_s), edit(w, u"Edit2"_s), edit(w, u"Edit3"_s),
                                w.findChild<QPushButton*>(u"BitBtn1"_s)};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QVERIFY(t.prompter.calls.isEmpty());
    QVERIFY(w.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!w.isVisible());
    QVERIFY(t.logActions().isEmpty());
}

QTEST_MAIN(UserWindowsTest)
#include "tst_userwindows.moc"
