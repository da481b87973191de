#pragma once

#include "Fakes.h"
#include "data/DataModule.h"
#include "platform/AppContext.h"

#include <QTemporaryDir>
#include <memory>

/**
 * A new program folder made by the program's own set-up in a temporary directory, opened, with fake
 * seams in an AppContext. The operator on duty is "admin".
 */
class TestFolder final
{
public:
    TestFolder();
    QString folder() const { return m_dir.path(); }
    QString path(const QString& relative) const { return m_dir.path() + u'/' + relative; }

    DataModule& dm() { return *m_dm; }
    AppContext& ctx() { return *m_ctx; }
    FakePrompter prompter;
    FakeClock clock;
    FakeShell shell;
    FakeSound sound;
    FakeTicketPrinter ticketPrinter;
    FakeSpreadsheet spreadsheet;

    /** Number of rows of a table, or of a SELECT count(*) condition. */
    int count(const QString& table, const QString& where = QString());
    /** Actions of `LogTab` in entry order. */
    QStringList logActions();
    /** Adds a user with the new-user password and the given rights (others false). */
    void addUser(const QString& name, const QStringList& rights = {});

private:
    QTemporaryDir m_dir;
    std::unique_ptr<DataModule> m_dm;
    std::unique_ptr<AppContext> m_ctx;
};
