#pragma once

#include <QObject>
#include <QString>
#include <memory>

class QSoundEffect;

namespace vocamo {

// The ring sound: opened at the first ring whose file can be played, then
// restarted from its beginning at every ring and played to its end.
class CRingPlayer {
public:
    CRingPlayer();
    virtual ~CRingPlayer();

    // Returns whether the sound was started.
    virtual bool PlayRing(const QString &path, bool rewind);

    bool IsOpen() const { return m_effect != nullptr; }
    int StartCount() const { return m_starts; } // rings that reached the player

private:
    bool Open(const QString &path);
    void Close();

    std::unique_ptr<QSoundEffect> m_effect;
    int m_starts = 0;
};

} // namespace vocamo
