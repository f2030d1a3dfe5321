#include "platform/x11/CanberraSounds.h"

#include <alsa/asoundlib.h>
#include <canberra.h>

#include <QDebug>

namespace tamo::x11 {

namespace {

// The sound-theme event that stands in for a system sound name; empty for
// names without one.
QByteArray eventId(const QString &name)
{
    // "Bottle" is a short soft pop; the theme's instant-message sound is the
    // nearest short, unobtrusive cue.
    if (name == u"Bottle")
        return QByteArrayLiteral("message-new-instant");
    return {};
}

// ALSA writes its complaints (no card, no default device) straight to
// stderr, eight lines for every sound; we say it once ourselves instead.
void quietAlsa(const char *, int, const char *, int, const char *, ...)
{
}

} // namespace

CanberraSounds::CanberraSounds()
{
    snd_lib_error_set_handler(quietAlsa);
    if (ca_context_create(&m_context) != CA_SUCCESS) {
        m_context = nullptr;
        return;
    }
    ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "TamoCove", CA_PROP_APPLICATION_ID, "tamocove",
                            nullptr);
}

CanberraSounds::~CanberraSounds()
{
    if (m_context)
        ca_context_destroy(m_context);
}

void CanberraSounds::play(const QString &name)
{
    const QByteArray event = eventId(name);
    if (!m_context || event.isEmpty())
        return;
    // Returns at once; the sound plays in the background.
    const int result = ca_context_play(m_context, 0, CA_PROP_EVENT_ID, event.constData(),
                                       CA_PROP_EVENT_DESCRIPTION, name.toUtf8().constData(), nullptr);
    // Machines without sound fail every time; saying so once is enough.
    if (result != CA_SUCCESS && !m_failureReported) {
        m_failureReported = true;
        qWarning().noquote() << QStringLiteral("TamoCove: sounds are unavailable (libcanberra: %1)")
                                    .arg(QString::fromUtf8(ca_strerror(result)));
    }
}

} // namespace tamo::x11
