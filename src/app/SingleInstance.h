#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace tamo {

// One TamoCove per user: two would capture every copy twice. A second
// launch hands its files to the running one and exits.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    // The per-user name of the running instance's channel.
    static QString defaultName();

    // True when this process is now the running instance. False when another
    // instance runs: the files were handed to it.
    bool claim(const QStringList &files);

signals:
    // Another launch happened; files are those it was given (possibly none).
    void activated(const QStringList &files);

private:
    void readMessage();

    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace tamo
