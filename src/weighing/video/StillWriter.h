#pragma once

#include <QImage>
#include <QList>
#include <QMutex>
#include <QString>
#include <QThreadPool>
#include <functional>

/**
 * Writes stills as bitmap files on a thread of its own, one occasion after the other, so that the
 * caller never waits for a disk. A folder that cannot be made or a file that cannot be written is
 * logged once; further failures stay quiet until a write succeeds again. Nothing is reported to the
 * caller: the weighing goes on.
 */
class StillWriter final
{
public:
    struct Still
    {
        QImage picture;
        QString fileName;
    };
    using Log = std::function<void(const QString&)>;

    /** Failures go to `log` (from the writer's thread); by default to the program's warning output. */
    explicit StillWriter(Log log = {});
    /** Waits for the writes already handed over. */
    ~StillWriter();
    StillWriter(const StillWriter&) = delete;
    StillWriter& operator=(const StillWriter&) = delete;

    /** Makes the folder when missing and writes the stills into it (none: only the folder). */
    void write(const QString& folder, QList<Still> stills);
    void waitForDone();

private:
    void writeNow(const QString& folder, const QList<Still>& stills);
    void failed(const QString& problem);
    void succeeded();

    Log m_log;
    QMutex m_mutex;
    bool m_failing = false;
    QThreadPool m_pool;
};
