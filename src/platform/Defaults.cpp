#include "platform/Defaults.h"

#include "platform/AppPaths.h"
#include "platform/DefaultsJson.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tamo {

namespace {

// Strict equality: true and 1, or "1" and 1, are different values to store.
bool sameValue(const QVariant &a, const QVariant &b)
{
    return defaultsjson::encode(a) == defaultsjson::encode(b);
}

std::optional<QVariant> storable(const QString &key, const QVariant &value)
{
    auto stored = defaultsjson::normalised(value);
    if (!stored) {
        qWarning().noquote() << QStringLiteral("TamoCove: settings key %1 cannot hold a value of type %2")
                                    .arg(key, QString::fromLatin1(value.typeName()));
    }
    return stored;
}

QString jsonText(const QVariant &value)
{
    const auto json = defaultsjson::encode(value);
    if (!json)
        return {};
    const QByteArray wrapped = QJsonDocument(QJsonArray{*json}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

double finiteOrZero(double number)
{
    return std::isfinite(number) ? number : 0.0;
}

qint64 truncatedInteger(double number)
{
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (!std::isfinite(number))
        return 0;
    if (number >= limit)
        return std::numeric_limits<qint64>::max();
    if (number < -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(number);
}

// Values held in memory are normalised, so only the JSON-born types occur.
double toDouble(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QString:
        return finiteOrZero(value.toString().trimmed().toDouble());
    default:
        return 0.0;
    }
}

qint64 toInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return truncatedInteger(value.toDouble());
    case QMetaType::QString: {
        bool isInteger = false;
        const qint64 number = value.toString().trimmed().toLongLong(&isInteger);
        return isInteger ? number : truncatedInteger(toDouble(value));
    }
    default:
        return 0;
    }
}

bool isNumber(const QVariant &value)
{
    return value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double;
}

// A registered 1.0 reads back as a whole number, so any number fits a number;
// keys that need whole ones say so in their rule. Lists must hold members of
// the registered members' type.
bool hasRegisteredType(const QVariant &written, const QVariant &registered)
{
    if (isNumber(registered))
        return isNumber(written);
    if (written.typeId() != registered.typeId())
        return false;
    if (registered.typeId() != QMetaType::QVariantList || registered.toList().isEmpty())
        return true;
    const int memberType = registered.toList().constFirst().typeId();
    const QVariantList members = written.toList();
    return std::all_of(members.cbegin(), members.cend(),
                       [memberType](const QVariant &member) { return member.typeId() == memberType; });
}

bool toBool(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
            || text.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return toDouble(value) != 0.0;
}

} // namespace

Defaults::Defaults(const QString &filePath, QObject *parent)
    : QObject(parent)
    , m_file(filePath)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(0);
    connect(&m_saveTimer, &QTimer::timeout, this, &Defaults::flush);

    DefaultsFile::Contents contents = m_file.load();
    m_persistent = std::move(contents.entries);
    m_loadProblem = std::move(contents.problem);
    // The unreadable file was moved aside: save what could be read before it is missed.
    if (m_loadProblem)
        scheduleSave();
}

Defaults::~Defaults()
{
    flush();
}

QString Defaults::standardFilePath(const AppPaths &paths)
{
    return paths.configDirectory() + QStringLiteral("/defaults.json");
}

void Defaults::registerDefaults(const QVariantMap &defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        registerDefault(it.key(), it.value());
}

void Defaults::registerDefault(const QString &key, const QVariant &fallback, ValueRule rule)
{
    if (const auto stored = storable(key, fallback))
        registerKey(key, *stored, std::move(rule), *stored);
}

void Defaults::registerType(const QString &key, const QVariant &sample, ValueRule rule)
{
    if (const auto stored = storable(key, sample))
        registerKey(key, *stored, std::move(rule), QVariant());
}

void Defaults::registerKey(const QString &key, const QVariant &sample, ValueRule rule, const QVariant &fallback)
{
    const QVariant before = value(key);
    // Said once a launch, however often the key is registered.
    const bool firstRegistration = !m_types.contains(key);
    m_types.insert(key, sample);
    if (fallback.isValid())
        m_registered.insert(key, fallback);
    else
        m_registered.remove(key);
    if (rule)
        m_rules.insert(key, std::move(rule));
    else
        m_rules.remove(key);
    const auto written = m_persistent.constFind(key);
    if (firstRegistration && written != m_persistent.cend() && !fitsKey(key, *written)) {
        qWarning().noquote() << QStringLiteral("TamoCove: the setting %1 holds %2, which it cannot use; using %3")
                                    .arg(key, jsonText(*written),
                                         fallback.isValid() ? jsonText(fallback) : QStringLiteral("its default"));
    }
    notifyIfChanged(key, before);
}

QVariant Defaults::value(const QString &key) const
{
    const auto written = m_persistent.constFind(key);
    if (written != m_persistent.cend() && fitsKey(key, *written))
        return *written;
    return m_registered.value(key);
}

bool Defaults::fitsKey(const QString &key, const QVariant &written) const
{
    const auto registered = m_types.constFind(key);
    if (registered == m_types.cend())
        return true;
    if (!hasRegisteredType(written, *registered))
        return false;
    const auto rule = m_rules.constFind(key);
    return rule == m_rules.cend() || (*rule)(written);
}

bool Defaults::boolValue(const QString &key) const
{
    return toBool(value(key));
}

qint64 Defaults::integer(const QString &key) const
{
    return toInteger(value(key));
}

double Defaults::doubleValue(const QString &key) const
{
    return toDouble(value(key));
}

std::optional<QString> Defaults::string(const QString &key) const
{
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    return stored.toString();
}

QStringList Defaults::stringList(const QString &key) const
{
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QVariantList)
        return {};
    QStringList strings;
    for (const QVariant &member : stored.toList()) {
        if (member.typeId() != QMetaType::QString)
            return {};
        strings.append(member.toString());
    }
    return strings;
}

QVariantMap Defaults::dictionary(const QString &key) const
{
    const QVariant stored = value(key);
    return stored.typeId() == QMetaType::QVariantMap ? stored.toMap() : QVariantMap();
}

QByteArray Defaults::data(const QString &key) const
{
    const QVariant stored = value(key);
    return stored.typeId() == QMetaType::QByteArray ? stored.toByteArray() : QByteArray();
}

std::optional<QDateTime> Defaults::date(const QString &key) const
{
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QDateTime)
        return std::nullopt;
    return stored.toDateTime();
}

bool Defaults::setValue(const QString &key, const QVariant &value)
{
    if (!value.isValid()) {
        remove(key);
        return true;
    }
    const auto stored = storable(key, value);
    if (!stored)
        return false;
    const auto written = m_persistent.constFind(key);
    if (written != m_persistent.cend() && sameValue(*written, *stored))
        return true;

    const QVariant before = this->value(key);
    m_persistent.insert(key, *stored);
    scheduleSave();
    notifyIfChanged(key, before);
    return true;
}

void Defaults::remove(const QString &key)
{
    if (!m_persistent.contains(key))
        return;
    const QVariant before = value(key);
    m_persistent.remove(key);
    scheduleSave();
    notifyIfChanged(key, before);
}

bool Defaults::hasPersistentValue(const QString &key) const
{
    return m_persistent.contains(key);
}

bool Defaults::flush()
{
    m_saveTimer.stop();
    if (!m_dirty)
        return true;
    m_dirty = !m_file.save(m_persistent);
    return !m_dirty;
}

void Defaults::scheduleSave()
{
    m_dirty = true;
    m_saveTimer.start();
}

void Defaults::notifyIfChanged(const QString &key, const QVariant &before)
{
    if (!sameValue(before, value(key)))
        emit valueChanged(key);
}

} // namespace tamo
