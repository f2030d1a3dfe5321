#pragma once

#include "platform/Sounds.h"

#include <QStringList>

namespace tamo::testing {

// Records the names it was asked to play.
class FakeSounds final : public Sounds
{
public:
    void play(const QString &name) override { m_played.append(name); }
    const QStringList &played() const { return m_played; }

private:
    QStringList m_played;
};

} // namespace tamo::testing
