#pragma once

#include <QObject>

class QSocketNotifier;

namespace tamo {

// SIGTERM, SIGINT and SIGHUP (kill, Ctrl+C, the end of a session) quit the
// app as its Quit command does: through the event loop, so that what quitting
// saves is saved. The handler only writes the signal into a socket pair that
// the event loop reads. One lives at a time; the handlers it replaced come
// back when it goes.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace tamo
