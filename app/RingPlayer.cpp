#include "app/RingPlayer.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace vocamo {

CRingPlayer::CRingPlayer() = default;
CRingPlayer::~CRingPlayer() = default;

bool CRingPlayer::Open(const QString &path)
{
    // No file or no sound device: the open fails and the ring stays silent.
    if (!QFileInfo(path).isFile() || QMediaDevices::audioOutputs().isEmpty())
        return false;
    m_effect = std::make_unique<QSoundEffect>();
    m_effect->setSource(QUrl::fromLocalFile(path));
    m_effect->setLoopCount(1);
    return m_effect->status() != QSoundEffect::Error;
}

void CRingPlayer::Close()
{
    m_effect.reset();
}

bool CRingPlayer::PlayRing(const QString &path, bool rewind)
{
    ++m_starts;
    if (!m_effect && !Open(path)) {
        Close();
        return false;
    }
    if (m_effect->status() == QSoundEffect::Error) {
        Close();
        return false;
    }
    // A sound still playing from the previous ring starts again.
    if (rewind && m_effect->isPlaying())
        m_effect->stop();
    m_effect->play();
    return true;
}

} // namespace vocamo
