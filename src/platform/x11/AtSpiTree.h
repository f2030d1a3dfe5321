#pragma once

#include "platform/AccessibleTree.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QHash>
#include <QVariant>

#include <optional>

class QDBusMessage;

namespace tamo::x11 {

// Other apps' accessibility trees over AT-SPI's own D-Bus bus. Every call
// waits at most the time-out, so an app that hangs costs that and no more.
class AtSpiTree final : public AccessibleTree
{
public:
    explicit AtSpiTree(int timeoutMs = 200);
    ~AtSpiTree() override;

    void enable() override;
    std::optional<AccessibleRef> windowElement(qint64 pid, const QString &title) override;
    std::optional<AccessibleRef> application(qint64 pid) override;
    QString role(const AccessibleRef &element) override;
    std::optional<QList<AccessibleRef>> children(const AccessibleRef &element) override;
    std::optional<AccessibleRef> parent(const AccessibleRef &element) override;
    QString name(const AccessibleRef &element) override;
    QString description(const AccessibleRef &element) override;
    std::optional<QString> text(const AccessibleRef &element) override;
    bool isSelected(const AccessibleRef &element) override;
    QString keyBinding(const AccessibleRef &element) override;
    bool press(const AccessibleRef &element) override;

private:
    std::optional<QDBusConnection> bus();
    std::optional<QDBusMessage> call(const AccessibleRef &element, const QString &interface, const QString &method,
                                     const QVariantList &arguments = {});
    QVariant property(const AccessibleRef &element, const QString &interface, const QString &name);

    int m_timeoutMs;
    QString m_connectionName;
    bool m_connected = false;
    QElapsedTimer m_sinceFailure; // valid after the bus could not be reached
    QHash<qint64, QString> m_serviceByPid;
};

} // namespace tamo::x11
