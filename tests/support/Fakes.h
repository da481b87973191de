#pragma once

#include "data/Errors.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/Sound.h"
#include "platform/Spreadsheet.h"
#include "platform/SystemShell.h"
#include "platform/TicketPrinter.h"

#include <QList>
#include <QMap>
#include <memory>
#include <tuple>
#include <QQueue>
#include <QStringList>
#include <QVariant>

/** Records every message and question; answers come from queues (OK / Yes by default). */
class FakePrompter final : public Prompter
{
public:
    struct Call
    {
        QString kind; // information, warning, error, confirm, yesno, input, folder, openfile, savefile, color
        QString text;
        QString title;
    };

    void information(const QString& text, const QString& title) override { record(u"information", text, title); }
    void warning(const QString& text, const QString& title) override { record(u"warning", text, title); }
    void error(const QString& text, const QString& title) override { record(u"error", text, title); }
    bool confirm(const QString& text, const QString& title) override;
    bool askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> inputText(const QString& caption, const QString& prompt, const QString& initial) override;
    std::optional<QString> chooseFolder(const QString& title, const QString& start) override;
    std::optional<QString> chooseOpenFile(const QString& title, const QString& start, const QString& filter) override;
    std::optional<QString> chooseSaveFile(const QString& title, const QString& start, const QString& filter) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;

    QList<Call> calls;
    QQueue<bool> answers;                      // for confirm and askYesNo
    QQueue<std::optional<QString>> texts;      // for inputText and the file/folder choosers
    QQueue<std::optional<QColor>> colors;

    /** Texts of all calls of one kind, in order. */
    QStringList textsOf(const QString& kind) const;
    /** The last call's text, or empty. */
    QString lastText() const { return calls.isEmpty() ? QString() : calls.last().text; }

private:
    void record(const char16_t* kind, const QString& text, const QString& title);
    std::optional<QString> nextText();
};

class FakeClock final : public Clock
{
public:
    QDateTime now() const override { return current; }
    QDateTime current = QDateTime(QDate(2026, 5, 1), QTime(8, 0, 0));
};

/** Records what the program asked of the system. */
class FakeShell final : public SystemShell
{
public:
    bool open(const QString& path) override
    {
        opened.append(path);
        return openSucceeds;
    }
    void shutdownWindows(const QString& mode) override { shutdowns.append(mode); }
    void setAutorun(const QString& name, const QString& command, bool enabled) override
    {
        autorun = enabled ? QVariant(name + u'=' + command) : QVariant();
    }
    QStringList inputMethods() const override { return {QStringLiteral("fcitx5"), QStringLiteral("ibus")}; }
    qint64 availableMemory() const override { return 2048LL * 1024 * 1024; }
    int freeMemoryPercent() const override { return 50; }
    bool capsLockOn() const override { return false; }
    void endProgram() override { ++endCount; }
    QString programFile() const override { return QStringLiteral("/opt/weight/weight"); }

    QStringList opened;
    bool openSucceeds = true;
    QStringList shutdowns;
    QVariant autorun = QStringLiteral("unset");
    int endCount = 0;
};

/** Records every sound played. */
class FakeSound final : public Sound
{
public:
    void play(const QString& wavFile) override { played.append(wavFile); }
    QStringList played;
};

/** Records every ticket asked for; answers with `result`. */
class FakeTicketPrinter final : public TicketPrinter
{
public:
    TicketResult PrintTicket(const QString& recordNumber) override
    {
        printed.append(recordNumber);
        if (!failure.isEmpty())
            throw DbError(failure);
        return result;
    }
    QStringList printed;
    /** When set, printing fails with this database error. */
    QString failure;
    TicketResult result{true, QStringLiteral("fake printer"), {}};
};

/**
 * In-memory workbooks by path. A workbook that was never added opens as an empty one with two sheets.
 * Cells written by one opening are kept for the next only when it was saved, as with a real file.
 */
class FakeSpreadsheet final : public Spreadsheet
{
public:
    struct Book
    {
        int sheets = 2;
        /** Texts by (sheet, row, column), all counted from 1. */
        QMap<std::tuple<int, int, int>, QString> cells;
        QMap<std::tuple<int, int, int>, double> fontSizes;
        int saves = 0;
        /** Printed worksheets in order, with where they went. */
        QList<std::pair<int, QString>> printed;
    };

    std::unique_ptr<Workbook> open(const QString& path) override;

    QMap<QString, Book> books;
    QStringList opened;
    int released = 0;
    /** When set, the step fails with this text. */
    QString openFailure;
    QString saveFailure;
    QString printFailure;
    /** Where prints go; empty: to the PDF file asked for. */
    QString printer;
};
