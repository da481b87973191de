#include "StillWriter.h"

#include <QDir>
#include <QMutexLocker>
#include <QtDebug>

using namespace Qt::Literals::StringLiterals;

StillWriter::StillWriter(Log log) : m_log(std::move(log))
{
    if (!m_log)
        m_log = [](const QString& problem) { qWarning().noquote() << problem; };
    // One thread keeps the files of one occasion together and in order.
    m_pool.setMaxThreadCount(1);
}

StillWriter::~StillWriter()
{
    waitForDone();
}

void StillWriter::write(const QString& folder, QList<Still> stills)
{
    m_pool.start([this, folder, stills = std::move(stills)] { writeNow(folder, stills); });
}

void StillWriter::waitForDone()
{
    m_pool.waitForDone();
}

void StillWriter::writeNow(const QString& folder, const QList<Still>& stills)
{
    if (!QDir().mkpath(folder)) {
        failed(u"抓拍图像没有保存：无法建立文件夹 %1"_s.arg(QDir::toNativeSeparators(folder)));
        return;
    }
    for (const Still& still : stills) {
        const QString path = folder + u'/' + still.fileName;
        if (!still.picture.save(path, "BMP")) {
            failed(u"抓拍图像没有保存：无法写入 %1"_s.arg(QDir::toNativeSeparators(path)));
            return;
        }
    }
    succeeded();
}

void StillWriter::failed(const QString& problem)
{
    {
        const QMutexLocker lock(&m_mutex);
        if (std::exchange(m_failing, true))
            return;
    }
    m_log(problem);
}

void StillWriter::succeeded()
{
    const QMutexLocker lock(&m_mutex);
    m_failing = false;
}
