#include "platform/x11/AtSpiTree.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {

// An element reference as AT-SPI sends it: (so).
struct AtSpiObject
{
    QString service;
    QDBusObjectPath path;
};

QDBusArgument &operator<<(QDBusArgument &argument, const AtSpiObject &object)
{
    argument.beginStructure();
    argument << object.service << object.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, AtSpiObject &object)
{
    argument.beginStructure();
    argument >> object.service >> object.path;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(AtSpiObject)

namespace tamo::x11 {

namespace {

const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString registryService = QStringLiteral("org.a11y.atspi.Registry");
const QString rootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
constexpr quint32 selectedState = 23;
constexpr quint32 checkedState = 4;
constexpr quint32 focusedState = 12;
// Without an accessibility bus every read would wait for the session bus's
// answer: ask again only after a while.
constexpr qint64 reconnectDelayMs = 10000;

std::optional<AccessibleRef> toRef(const AtSpiObject &object)
{
    const AccessibleRef ref{object.service, object.path.path()};
    // The null object stands for "none".
    if (!ref.isValid() || ref.path == QLatin1String("/org/a11y/atspi/null"))
        return std::nullopt;
    return ref;
}

} // namespace

AtSpiTree::AtSpiTree(int timeoutMs)
    : m_timeoutMs(timeoutMs)
    , m_connectionName(QStringLiteral("tamo-atspi-%1").arg(quintptr(this)))
{
    qDBusRegisterMetaType<AtSpiObject>();
    qDBusRegisterMetaType<QList<AtSpiObject>>();
}

AtSpiTree::~AtSpiTree()
{
    if (m_connected)
        QDBusConnection::disconnectFromBus(m_connectionName);
}

void AtSpiTree::enable()
{
    // Toolkits watch this switch and start exposing their trees.
    QDBusMessage set = QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Set"));
    set << QStringLiteral("org.a11y.Status") << QStringLiteral("IsEnabled") << QVariant::fromValue(QDBusVariant(true));
    QDBusConnection::sessionBus().call(set, QDBus::Block, 2000);
}

std::optional<QDBusConnection> AtSpiTree::bus()
{
    if (m_connected) {
        QDBusConnection connection(m_connectionName);
        if (connection.isConnected())
            return connection;
        QDBusConnection::disconnectFromBus(m_connectionName);
        m_connected = false;
        m_serviceByPid.clear();
    }
    if (m_sinceFailure.isValid() && m_sinceFailure.elapsed() < reconnectDelayMs)
        return std::nullopt;
    m_sinceFailure.start();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
        QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    QDBusConnection connection = QDBusConnection::connectToBus(reply.arguments().first().toString(), m_connectionName);
    m_connected = true;
    if (!connection.isConnected())
        return std::nullopt;
    m_sinceFailure.invalidate();
    return connection;
}

std::optional<QDBusMessage> AtSpiTree::call(const AccessibleRef &element, const QString &interface,
                                            const QString &method, const QVariantList &arguments)
{
    std::optional<QDBusConnection> connection = bus();
    if (!connection || !element.isValid())
        return std::nullopt;
    QDBusMessage message = QDBusMessage::createMethodCall(element.service, element.path, interface, method);
    message.setArguments(arguments);
    QDBusMessage reply = connection->call(message, QDBus::Block, m_timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply;
}

QVariant AtSpiTree::property(const AccessibleRef &element, const QString &interface, const QString &name)
{
    const std::optional<QDBusMessage> reply = call(element, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                   QStringLiteral("Get"), {interface, name});
    return reply ? reply->arguments().first().value<QDBusVariant>().variant() : QVariant();
}

std::optional<QList<AccessibleRef>> AtSpiTree::children(const AccessibleRef &element)
{
    const std::optional<QDBusMessage> reply = call(element, accessibleInterface, QStringLiteral("GetChildren"));
    if (!reply)
        return std::nullopt;
    QList<AtSpiObject> objects;
    reply->arguments().first().value<QDBusArgument>() >> objects;
    QList<AccessibleRef> refs;
    for (const AtSpiObject &object : std::as_const(objects)) {
        if (const std::optional<AccessibleRef> ref = toRef(object))
            refs.append(*ref);
    }
    return refs;
}

std::optional<AccessibleRef> AtSpiTree::parent(const AccessibleRef &element)
{
    const QVariant value = property(element, accessibleInterface, QStringLiteral("Parent"));
    if (!value.canConvert<QDBusArgument>())
        return std::nullopt;
    AtSpiObject object;
    value.value<QDBusArgument>() >> object;
    return toRef(object);
}

std::optional<AccessibleRef> AtSpiTree::application(qint64 pid)
{
    if (const QString known = m_serviceByPid.value(pid); !known.isEmpty())
        return AccessibleRef{known, rootPath};
    const std::optional<QList<AccessibleRef>> apps = children({registryService, rootPath});
    std::optional<QDBusConnection> connection = bus();
    if (!apps || !connection)
        return std::nullopt;
    for (const AccessibleRef &app : *apps) {
        const QDBusMessage reply = connection->call(
            QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                           QStringLiteral("org.freedesktop.DBus"),
                                           QStringLiteral("GetConnectionUnixProcessID"))
                << app.service,
            QDBus::Block, m_timeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            continue;
        const qint64 owner = reply.arguments().first().toLongLong();
        m_serviceByPid.insert(owner, app.service);
        if (owner == pid)
            return app;
    }
    return std::nullopt;
}

std::optional<AccessibleRef> AtSpiTree::windowElement(qint64 pid, const QString &title)
{
    std::optional<AccessibleRef> app = application(pid);
    std::optional<QList<AccessibleRef>> windows = app ? children(*app) : std::nullopt;
    if (!windows) {
        // The app may have restarted under a new bus name.
        m_serviceByPid.remove(pid);
        return std::nullopt;
    }
    for (const AccessibleRef &window : std::as_const(*windows)) {
        if (name(window) == title)
            return window;
    }
    return windows->size() == 1 ? std::optional(windows->first()) : std::nullopt;
}

QString AtSpiTree::role(const AccessibleRef &element)
{
    const std::optional<QDBusMessage> reply = call(element, accessibleInterface, QStringLiteral("GetRoleName"));
    return reply ? reply->arguments().first().toString() : QString();
}

QString AtSpiTree::name(const AccessibleRef &element)
{
    return property(element, accessibleInterface, QStringLiteral("Name")).toString();
}

QString AtSpiTree::description(const AccessibleRef &element)
{
    return property(element, accessibleInterface, QStringLiteral("Description")).toString();
}

std::optional<QString> AtSpiTree::text(const AccessibleRef &element)
{
    const std::optional<QDBusMessage> reply =
        call(element, QStringLiteral("org.a11y.atspi.Text"), QStringLiteral("GetText"), {0, -1});
    return reply ? std::optional(reply->arguments().first().toString()) : std::nullopt;
}

bool AtSpiTree::isSelected(const AccessibleRef &element)
{
    const std::optional<QDBusMessage> reply = call(element, accessibleInterface, QStringLiteral("GetState"));
    if (!reply)
        return false;
    QList<quint32> words;
    const QVariant value = reply->arguments().first();
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> words;
    else
        words = value.value<QList<quint32>>();
    // Browsers mark the current tab selected; Qt marks it focused only.
    const quint32 low = words.value(0);
    return low & ((1u << selectedState) | (1u << checkedState) | (1u << focusedState));
}

QString AtSpiTree::keyBinding(const AccessibleRef &element)
{
    const std::optional<QDBusMessage> reply =
        call(element, QStringLiteral("org.a11y.atspi.Action"), QStringLiteral("GetKeyBinding"), {0});
    return reply ? reply->arguments().first().toString() : QString();
}

bool AtSpiTree::press(const AccessibleRef &element)
{
    const std::optional<QDBusMessage> reply =
        call(element, QStringLiteral("org.a11y.atspi.Action"), QStringLiteral("DoAction"), {0});
    return reply && reply->arguments().first().toBool();
}

} // namespace tamo::x11
