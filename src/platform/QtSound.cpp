#include "QtSound.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

QtSound::QtSound() = default;

QtSound::~QtSound() = default;

void QtSound::play(const QString& wavFile)
{
    const QFileInfo file(wavFile);
    if (!file.isFile() || !file.isReadable())
        return;
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    const QUrl source = QUrl::fromLocalFile(file.absoluteFilePath());
    // Loading is asynchronous; a play asked for while loading starts once the file is ready.
    if (m_effect->source() != source)
        m_effect->setSource(source);
    m_effect->play();
}

QString QtSound::currentFile() const
{
    return m_effect ? m_effect->source().toLocalFile() : QString();
}
