#include "transfer/Segment.h"

#include "model/ClipItem.h"
#include "model/Pinboard.h"
#include "model/SourceApp.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>

namespace tamo {

namespace {

using Result = SegmentRead::Result;

// Integers travel as JSON numbers, exact up to 2^53.
constexpr double largestExactInteger = 9007199254740992.0;

QByteArray line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QString sha256Hex(QByteArrayView bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

std::optional<QJsonObject> parseObject(QByteArrayView bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

bool hasExactlyKeys(const QJsonObject &object, std::initializer_list<const char *> keys)
{
    if (object.size() != qsizetype(keys.size()))
        return false;
    for (const char *key : keys) {
        if (!object.contains(QLatin1String(key)))
            return false;
    }
    return true;
}

std::optional<qint64> exactInteger(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::abs(number) > largestExactInteger)
        return std::nullopt;
    return qint64(number);
}

bool isBoundedString(const QJsonValue &value)
{
    return value.isString() && value.toString().size() <= Segment::largestString;
}

bool isUuidText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}$"));
    return pattern.match(text).hasMatch();
}

bool fitsColumn(ColumnType type, const QJsonValue &value)
{
    switch (type) {
    case ColumnType::text:
        return value.isNull() || isBoundedString(value);
    case ColumnType::uuid:
        return value.isNull() || (value.isString() && isUuidText(value.toString()));
    case ColumnType::date:
        return value.isNull() || exactInteger(value).has_value();
    case ColumnType::integer:
        return exactInteger(value).has_value();
    case ColumnType::boolean:
        return value.isBool();
    case ColumnType::stringList: {
        if (!value.isArray() || value.toArray().size() > Segment::largestList)
            return false;
        const QJsonArray array = value.toArray();
        return std::all_of(array.begin(), array.end(), [](const QJsonValue &item) { return isBoundedString(item); });
    }
    case ColumnType::blob:
        return false; // blobs travel by name, never inline
    }
    return false;
}

const ColumnSpec *columnNamed(const EntitySpec &entity, const QString &name)
{
    for (const ColumnSpec &column : entity.columns) {
        if (name == QLatin1String(column.name))
            return &column;
    }
    return nullptr;
}

QString checkFields(const EntitySpec &entity, const QJsonObject &fields, const QJsonObject &blobs)
{
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        const ColumnSpec *column = columnNamed(entity, it.key());
        if (!column)
            return QStringLiteral("unknown field");
        if (!fitsColumn(column->type, it.value()))
            return QStringLiteral("a field of the wrong type or size");
    }
    for (auto it = blobs.begin(); it != blobs.end(); ++it) {
        const ColumnSpec *column = columnNamed(entity, it.key());
        if (!column || column->type != ColumnType::blob)
            return QStringLiteral("a blob for a field that holds none");
        if (!it.value().isString() || !(it.value().toString().isEmpty() || isBlobName(it.value().toString())))
            return QStringLiteral("a malformed blob name");
    }
    return {};
}

// Fills `change` from one change line; returns why it is refused, or nothing.
QString readChange(QByteArrayView bytes, SyncChange &change)
{
    const std::optional<QJsonObject> object = parseObject(bytes);
    if (!object)
        return QStringLiteral("a change that is not a JSON object");
    const QString op = object->value(QLatin1String("op")).toString();
    const bool upsert = op == QLatin1String("upsert");
    if (!upsert && op != QLatin1String("delete"))
        return QStringLiteral("an unknown operation");
    if (upsert ? !hasExactlyKeys(*object, {"hlc", "entity", "rid", "op", "fields", "blobs"})
               : !hasExactlyKeys(*object, {"hlc", "entity", "rid", "op"}))
        return QStringLiteral("a change of the wrong shape");
    const std::optional<HybridTime> time = HybridTime::parse(object->value(QLatin1String("hlc")).toString());
    if (!time)
        return QStringLiteral("a malformed timestamp");
    const EntitySpec *entity = syncedEntity(object->value(QLatin1String("entity")).toString());
    if (!entity)
        return QStringLiteral("an unknown entity");
    const QString recordID = object->value(QLatin1String("rid")).toString();
    if (!isSyncID(recordID))
        return QStringLiteral("a malformed record identity");
    change.time = *time;
    change.entity = QLatin1String(entity->name);
    change.recordID = recordID;
    change.operation = upsert ? SyncChange::Operation::upsert : SyncChange::Operation::remove;
    if (!upsert)
        return {};
    const QJsonValue fields = object->value(QLatin1String("fields"));
    const QJsonValue blobs = object->value(QLatin1String("blobs"));
    if (!fields.isObject() || !blobs.isObject())
        return QStringLiteral("a change of the wrong shape");
    const QString problem = checkFields(*entity, fields.toObject(), blobs.toObject());
    if (!problem.isEmpty())
        return problem;
    change.fields = fields.toObject();
    const QJsonObject blobObject = blobs.toObject();
    for (auto it = blobObject.begin(); it != blobObject.end(); ++it)
        change.blobs.insert(it.key(), it.value().toString());
    return {};
}

SegmentRead refused(const QString &reason)
{
    return {Result::refused, {}, reason};
}

} // namespace

const std::array<const EntitySpec *, 3> &syncedEntities()
{
    static const std::array<const EntitySpec *, 3> entities{&ClipItem::spec(), &Pinboard::spec(), &SourceApp::spec()};
    return entities;
}

const EntitySpec *syncedEntity(QStringView name)
{
    for (const EntitySpec *entity : syncedEntities()) {
        if (name == QLatin1String(entity->name))
            return entity;
    }
    return nullptr;
}

bool isBlobName(QStringView text)
{
    return text.size() == 64 && std::all_of(text.begin(), text.end(), isLowercaseHex);
}

QString blobNameOf(const QByteArray &bytes)
{
    return sha256Hex(bytes);
}

QByteArray Segment::encode() const
{
    QByteArray bytes = line({{QStringLiteral("format"), format},
                             {QStringLiteral("device"), device},
                             {QStringLiteral("seq"), sequence}});
    for (const SyncChange &change : changes) {
        QJsonObject object{{QStringLiteral("hlc"), change.time.toString()},
                           {QStringLiteral("entity"), change.entity},
                           {QStringLiteral("rid"), change.recordID}};
        if (change.operation == SyncChange::Operation::remove) {
            object.insert(QStringLiteral("op"), QStringLiteral("delete"));
        } else {
            object.insert(QStringLiteral("op"), QStringLiteral("upsert"));
            object.insert(QStringLiteral("fields"), change.fields);
            QJsonObject blobs;
            for (auto it = change.blobs.begin(); it != change.blobs.end(); ++it)
                blobs.insert(it.key(), it.value());
            object.insert(QStringLiteral("blobs"), blobs);
        }
        bytes += line(object);
    }
    bytes += line({{QStringLiteral("count"), changes.size()}, {QStringLiteral("sha256"), sha256Hex(bytes)}});
    return bytes;
}

namespace {

// The lines of a segment, checked as they come, in the order readSegment
// tells its verdicts: format, completeness, footer, checksum, header, changes.
class SegmentCheck
{
public:
    SegmentCheck(const QString &device, qint64 sequence, QList<SyncChange> *changes)
        : m_device(device), m_sequence(sequence), m_changes(changes)
    {
    }

    // One whole line, without its line end. The last line so far waits:
    // it is the footer unless another follows.
    void add(QByteArrayView text)
    {
        if (m_lines++ == 0) {
            m_header = parseObject(text);
            m_hash.addData(text);
            m_hash.addData("\n");
            return;
        }
        if (m_lines > 2)
            addChange(m_pending);
        m_pending = text.toByteArray();
    }

    // `endsWithLineEnd`: nothing came after the last line end.
    SegmentRead finish(bool endsWithLineEnd)
    {
        // No format reads as one that is never ours.
        const qint64 format =
            m_header ? exactInteger(m_header->value(QLatin1String("format"))).value_or(-1) : -1;
        if (format > Segment::format)
            return {Result::newerFormat, {}, {}};
        if (!endsWithLineEnd || m_lines < 2)
            return {Result::incomplete, {}, {}};
        const std::optional<QJsonObject> footer = parseObject(m_pending);
        if (!footer || !footer->contains(QLatin1String("sha256")))
            return {Result::incomplete, {}, {}};
        if (!hasExactlyKeys(*footer, {"count", "sha256"}))
            return refused(QStringLiteral("a malformed footer"));
        if (footer->value(QLatin1String("sha256")).toString() != QString::fromLatin1(m_hash.result().toHex()))
            return refused(QStringLiteral("damaged: its checksum does not match"));
        if (!m_header || !hasExactlyKeys(*m_header, {"format", "device", "seq"}) || format != Segment::format)
            return refused(QStringLiteral("a malformed header"));
        if (m_header->value(QLatin1String("device")).toString() != m_device
            || exactInteger(m_header->value(QLatin1String("seq"))) != m_sequence)
            return refused(QStringLiteral("a header that does not match its file name"));
        if (!m_problem.isEmpty())
            return refused(m_problem);
        if (exactInteger(footer->value(QLatin1String("count"))) != m_count)
            return refused(QStringLiteral("a count that does not match its changes"));
        return {Result::complete, {m_device, m_sequence, {}}, {}};
    }

    qsizetype changeCount() const { return m_count; }

private:
    void addChange(QByteArrayView text)
    {
        m_hash.addData(text);
        m_hash.addData("\n");
        ++m_count;
        if (!m_problem.isEmpty())
            return; // the verdict is known; only the checksum may still say more
        SyncChange change;
        m_problem = readChange(text, change);
        if (m_problem.isEmpty() && m_changes)
            m_changes->append(std::move(change));
    }

    QString m_device;
    qint64 m_sequence;
    QList<SyncChange> *m_changes;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    qsizetype m_lines = 0;
    qsizetype m_count = 0;
    std::optional<QJsonObject> m_header;
    QByteArray m_pending;
    QString m_problem;
};

} // namespace

SegmentRead readSegment(const QByteArray &bytes, const QString &expectedDevice, qint64 expectedSequence)
{
    if (bytes.size() > Segment::largestFile)
        return refused(QStringLiteral("too large"));
    SegmentRead read;
    SegmentCheck check(expectedDevice, expectedSequence, &read.segment.changes);
    qsizetype start = 0;
    for (qsizetype end; (end = bytes.indexOf('\n', start)) >= 0; start = end + 1)
        check.add(QByteArrayView(bytes).sliced(start, end - start));
    QList<SyncChange> changes = std::move(read.segment.changes);
    read = check.finish(start == bytes.size());
    if (read.result == Result::complete)
        read.segment.changes = std::move(changes);
    return read;
}

// Whole lines from a file, a piece at a time.
class SegmentFile::Lines
{
public:
    explicit Lines(RegularFile &file) : m_file(file) {}

    // The next whole line without its line end; nothing at the end of the
    // file or when it cannot be read.
    std::optional<QByteArray> next()
    {
        for (;;) {
            const qsizetype end = m_buffer.indexOf('\n', m_scanned);
            if (end >= 0) {
                QByteArray text = m_buffer.mid(m_start, end - m_start);
                m_start = m_scanned = end + 1;
                return text;
            }
            m_scanned = m_buffer.size();
            if (m_ended)
                return std::nullopt;
            m_buffer.remove(0, m_start);
            m_scanned -= m_start;
            m_start = 0;
            constexpr qsizetype piece = 1024 * 1024;
            const qsizetype at = m_buffer.size();
            m_buffer.resize(at + piece);
            const qint64 got = m_file.read(m_buffer.data() + at, piece);
            m_buffer.resize(at + qsizetype(qMax<qint64>(got, 0)));
            m_ended = got <= 0;
        }
    }

    // At the end: whether the file ended right after a line end.
    bool endsWithLineEnd() const { return m_start == m_buffer.size(); }

private:
    RegularFile &m_file;
    QByteArray m_buffer;
    qsizetype m_start = 0;   // where the next line begins
    qsizetype m_scanned = 0; // how far no line end was found
    bool m_ended = false;
};

SegmentFile::SegmentFile(const QString &path, QString expectedDevice, qint64 expectedSequence)
    : m_file(RegularFile::open(path, Segment::largestFile))
    , m_device(std::move(expectedDevice))
    , m_sequence(expectedSequence)
{
}

SegmentFile::~SegmentFile() = default;

SegmentRead SegmentFile::check(const std::atomic<bool> &stop)
{
    if (!m_file.rewind())
        return refused(m_file.errorString());
    m_lines = std::make_unique<Lines>(m_file);
    SegmentCheck check(m_device, m_sequence, nullptr);
    while (const std::optional<QByteArray> text = m_lines->next()) {
        if (stop.load(std::memory_order_relaxed))
            return {Result::incomplete, {}, {}};
        check.add(*text);
    }
    if (m_file.refusal() != FileRefusal::none)
        return refused(m_file.errorString());
    const SegmentRead read = check.finish(m_lines->endsWithLineEnd());
    m_changes = read.result == Result::complete ? check.changeCount() : 0;
    m_handedOut = 0;
    m_lines.reset();
    if (read.result == Result::complete && m_file.rewind()) {
        m_lines = std::make_unique<Lines>(m_file);
        m_lines->next(); // the header, checked above
    }
    return read;
}

std::optional<QList<SyncChange>> SegmentFile::nextChanges(qsizetype count)
{
    if (!m_lines)
        return std::nullopt;
    QList<SyncChange> changes;
    while (changes.size() < count && m_handedOut < m_changes) {
        const std::optional<QByteArray> text = m_lines->next();
        SyncChange change;
        if (!text || !readChange(*text, change).isEmpty())
            return std::nullopt;
        changes.append(std::move(change));
        ++m_handedOut;
    }
    return changes;
}

} // namespace tamo
