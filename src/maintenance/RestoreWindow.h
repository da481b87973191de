#pragma once

#include "RestoreJob.h"

#include <QDialog>

class Clock;
class Prompter;
class QTreeWidget;

/**
 * The restore program's window (`TRestorefrm`, "数据恢复"): lists the backups of a program folder with
 * time, size and record count, and puts the chosen one in place of the weighing database.
 */
class RestoreWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RestoreWindow)

public:
    RestoreWindow(QString programFolder, Prompter& prompter, Clock& clock, QWidget* parent = nullptr);

    /** Reads the backups again; the newest is selected. */
    void refresh();
    /** Selects the row of `file`; false when it is not listed. */
    bool select(const QString& file);

Q_SIGNALS:
    /** The operator asked to start the weighing program again after a restore. */
    void restartRequested();

public Q_SLOTS:
    void BitBtn1Click(); // 恢复(&R)

private:
    QString m_folder;
    Prompter& m_prompter;
    Clock& m_clock;
    QList<RestoreJob::Backup> m_backups;
    QTreeWidget* m_ListView1;
};
