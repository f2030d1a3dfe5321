#pragma once

#include <QStringList>
#include <QtGlobal>

#include <string>

namespace tamo::testing {

// Collects what Qt warns about while it lives, so a test can check what
// reached stderr. Debug and info lines are left out, and so is the offscreen
// platform's note that it has no window manager to tell sizes to.
class WarningLog
{
public:
    WarningLog()
    {
        s_messages.clear();
        m_previous = qInstallMessageHandler(&WarningLog::collect);
    }
    ~WarningLog() { qInstallMessageHandler(m_previous); }
    WarningLog(const WarningLog &) = delete;
    WarningLog &operator=(const WarningLog &) = delete;

    QStringList messages() const { return s_messages; }
    // One message a line, readable when a test fails.
    std::string text() const { return s_messages.join(u'\n').toStdString(); }

private:
    static void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type != QtDebugMsg && type != QtInfoMsg && !message.contains(u"propagateSizeHints"))
            s_messages.append(message);
    }

    static inline QStringList s_messages;
    QtMessageHandler m_previous;
};

} // namespace tamo::testing
