#pragma once

#include <QWidget>

class QLabel;
class QTimer;
class QVariantAnimation;

namespace tamo {

class CloudSyncService;
class Clock;
class Defaults;

// One line on how sync is going, under the sync switch: nothing while sync is
// off; the relative times in it are renewed every 30 s.
class SyncStatusLine : public QWidget
{
    Q_OBJECT

public:
    SyncStatusLine(CloudSyncService &sync, const Defaults &defaults, const Clock &clock, QWidget *parent = nullptr);

    QString text() const;

private:
    void refresh();
    void showSymbol(const QString &name, const QColor &colour, qreal turn = 0);

    CloudSyncService &m_sync;
    const Defaults &m_defaults;
    const Clock &m_clock;
    QLabel *m_symbol;
    QLabel *m_text;
    QTimer *m_renew;
    QVariantAnimation *m_turning;
};

} // namespace tamo
