#include "transfer/Segment.h"

#include "model/ClipItem.h"
#include "model/Pinboard.h"
#include "model/SourceApp.h"

#include "transfer/JsonStream.h"
#include "transfer/PinboardArchive.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

#include <cmath>
#include <cstring>
#include <functional>

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

bool isUuidText(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9a-fA-F]{8}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{4}-[0-9a-fA-F]{12}$"));
    return pattern.match(text).hasMatch();
}

// Strings and lists were bounded as they were read.
bool fitsColumn(ColumnType type, const QJsonValue &value)
{
    switch (type) {
    case ColumnType::text:
        return value.isNull() || value.isString();
    case ColumnType::uuid:
        return value.isNull() || (value.isString() && isUuidText(value.toString()));
    case ColumnType::date:
        return value.isNull() || exactInteger(value).has_value();
    case ColumnType::integer:
        return exactInteger(value).has_value();
    case ColumnType::boolean:
        return value.isBool();
    case ColumnType::stringList: {
        if (!value.isArray())
            return false;
        const QJsonArray array = value.toArray();
        return std::all_of(array.begin(), array.end(), [](const QJsonValue &item) { return item.isString(); });
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

const QString notAnObject = QStringLiteral("a change that is not a JSON object");
const QString wrongShape = QStringLiteral("a change of the wrong shape");

// Thrown out of a change's reading with the reason it is refused.
struct Refusal
{
    QString reason;
};

// One change line read as its JSON streams in: no string beyond its cap, no
// list beyond its length, no more characters in all than a change may hold,
// and nothing nested deeper than the shape of a change.
class ChangeReader
{
public:
    explicit ChangeReader(JsonStream &json) : m_json(json) {}

    // Fills `change`; returns why it is refused, or nothing.
    QString read(SyncChange &change)
    {
        try {
            return readObject(change);
        } catch (const Refusal &refusal) {
            return refusal.reason;
        } catch (const ArchiveError &) {
            return notAnObject;
        }
    }

private:
    using Token = JsonStream::Token;

    QString readObject(SyncChange &change)
    {
        if (m_json.next() != Token::objectStart)
            return notAnObject;
        // A value of the wrong type reads as null, which no check takes.
        QJsonObject top;
        while (m_json.next() != Token::objectEnd) {
            const QString key = m_json.key();
            const Token value = m_json.next();
            if (key == QLatin1String("fields") || key == QLatin1String("blobs")) {
                top.insert(key, object(value, key == QLatin1String("blobs")));
            } else if (key == QLatin1String("hlc") || key == QLatin1String("entity") || key == QLatin1String("rid")
                       || key == QLatin1String("op")) {
                const bool isString = value == Token::string;
                if (!isString)
                    m_json.skipValue(value);
                top.insert(key, isString ? QJsonValue(string(largestShortString)) : QJsonValue());
            } else {
                throw Refusal{wrongShape};
            }
        }
        m_json.next(); // the end, or a throw for what follows it
        const QString op = top.value(QStringLiteral("op")).toString();
        const bool upsert = op == QLatin1String("upsert");
        if (!upsert && op != QLatin1String("delete"))
            return QStringLiteral("an unknown operation");
        if (upsert ? !hasExactlyKeys(top, {"hlc", "entity", "rid", "op", "fields", "blobs"})
                   : !hasExactlyKeys(top, {"hlc", "entity", "rid", "op"}))
            return wrongShape;
        const std::optional<HybridTime> time = HybridTime::parse(top.value(QStringLiteral("hlc")).toString());
        if (!time)
            return QStringLiteral("a malformed timestamp");
        const EntitySpec *entity = syncedEntity(top.value(QStringLiteral("entity")).toString());
        if (!entity)
            return QStringLiteral("an unknown entity");
        const QString recordID = top.value(QStringLiteral("rid")).toString();
        if (!isSyncID(recordID))
            return QStringLiteral("a malformed record identity");
        change.time = *time;
        change.entity = QLatin1String(entity->name);
        change.recordID = recordID;
        change.operation = upsert ? SyncChange::Operation::upsert : SyncChange::Operation::remove;
        if (!upsert)
            return {};
        const QJsonValue fields = top.value(QStringLiteral("fields"));
        const QJsonValue blobs = top.value(QStringLiteral("blobs"));
        if (!fields.isObject() || !blobs.isObject())
            return wrongShape;
        const QString problem = checkFields(*entity, fields.toObject(), blobs.toObject());
        if (!problem.isEmpty())
            return problem;
        change.fields = fields.toObject();
        const QJsonObject blobObject = blobs.toObject();
        for (auto it = blobObject.begin(); it != blobObject.end(); ++it)
            change.blobs.insert(it.key(), it.value().toString());
        return {};
    }

    // A field's or blob's object; anything else stands for the wrong shape.
    QJsonValue object(Token token, bool blobs)
    {
        if (token != Token::objectStart) {
            m_json.skipValue(token);
            return QJsonValue();
        }
        QJsonObject object;
        while (m_json.next() != Token::objectEnd) {
            const QString name = m_json.key();
            const Token value = m_json.next();
            if (blobs)
                object.insert(name, value == Token::string ? string(largestShortString) : scalar(value));
            else
                object.insert(name, fieldValue(value));
            if (object.size() > largestFieldCount)
                throw Refusal{QStringLiteral("unknown field")};
        }
        return object;
    }

    QJsonValue fieldValue(Token token)
    {
        if (token == Token::string)
            return string(Segment::largestString);
        if (token != Token::arrayStart)
            return scalar(token);
        QJsonArray list;
        for (Token item; (item = m_json.next()) != Token::arrayEnd;) {
            if (list.size() == Segment::largestList)
                throw Refusal{QStringLiteral("a list longer than %1 entries").arg(Segment::largestList)};
            if (item != Token::string)
                throw Refusal{QStringLiteral("a field of the wrong type or size")};
            list.append(string(Segment::largestString));
        }
        return list;
    }

    QJsonValue scalar(Token token)
    {
        switch (token) {
        case Token::number: {
            // Too long to read, or past a double: no column takes it.
            const double number = m_json.number();
            if (!std::isfinite(number))
                throw Refusal{QStringLiteral("a field of the wrong type or size")};
            if (std::trunc(number) == number && std::abs(number) <= largestExactInteger)
                return qint64(number);
            return number;
        }
        case Token::boolean:
            return m_json.boolean();
        case Token::null:
            return QJsonValue::Null;
        default:
            throw Refusal{QStringLiteral("a field of the wrong type or size")};
        }
    }

    QString string(qsizetype largest)
    {
        const qsizetype room = std::min(largest, Segment::largestChangeText - m_characters);
        qsizetype length = 0;
        QString text = m_json.string(room + 1, &length);
        if (length > room)
            throw Refusal{length > largest ? QStringLiteral("a text longer than %1 characters").arg(largest)
                                           : QStringLiteral("more text than a change may hold")};
        m_characters += length;
        return text;
    }

    // Keys, names and identities; a clip's texts may be longer.
    static constexpr qsizetype largestShortString = 4096;
    static constexpr qsizetype largestFieldCount = 64;

    JsonStream &m_json;
    qsizetype m_characters = 0;
};

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

SegmentLines::SegmentLines(const QString &device, qint64 sequence)
    : m_header(line({{QStringLiteral("format"), Segment::format},
                     {QStringLiteral("device"), device},
                     {QStringLiteral("seq"), sequence}}))
{
    m_hash.addData(m_header);
}

QByteArray SegmentLines::changeLine(const SyncChange &change)
{
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
    return line(object);
}

void SegmentLines::add(QByteArrayView changeLine)
{
    m_hash.addData(changeLine);
    ++m_count;
}

QByteArray SegmentLines::footer() const
{
    return line({{QStringLiteral("count"), m_count}, {QStringLiteral("sha256"), QString::fromLatin1(m_hash.result().toHex())}});
}

QByteArray Segment::encode() const
{
    SegmentLines lines(device, sequence);
    QByteArray bytes = lines.header();
    for (const SyncChange &change : changes) {
        const QByteArray changeLine = SegmentLines::changeLine(change);
        lines.add(changeLine);
        bytes += changeLine;
    }
    return bytes + lines.footer();
}

namespace {

// The bytes of a segment a line at a time, each line handed out a piece at a
// time so that no line is ever held whole. Every byte passed over also goes
// to `tap`, line ends apart.
class LineReader
{
public:
    using Source = JsonStream::Source;

    explicit LineReader(Source source) : m_source(std::move(source)), m_buffer(pieceBytes, Qt::Uninitialized) {}

    std::function<void(QByteArrayView)> tap;

    // Begins the next line; false once no byte is left.
    bool nextLine()
    {
        m_lineEnded = false;
        return available();
    }
    // Up to `maxBytes` of the current line; 0 at its end. -1 on a failed read.
    qint64 read(char *into, qint64 maxBytes)
    {
        if (m_lineEnded || !available())
            return m_failed ? -1 : 0;
        const qsizetype length = qsizetype(std::min<qint64>(maxBytes, m_end - m_pos));
        const char *start = m_buffer.constData() + m_pos;
        const char *end = static_cast<const char *>(std::memchr(start, '\n', std::size_t(length)));
        const qsizetype taken = end ? end - start : length;
        std::memcpy(into, start, std::size_t(taken));
        if (tap)
            tap(QByteArrayView(start, taken));
        m_pos += taken + (end ? 1 : 0);
        m_consumed += taken + (end ? 1 : 0);
        m_lineEnded = end != nullptr;
        return taken;
    }
    // Passes over the rest of the line; whether a line end closed it.
    bool finishLine()
    {
        char scratch[4096];
        while (read(scratch, sizeof scratch) > 0) {
        }
        return m_lineEnded;
    }
    bool failed() const { return m_failed; }
    qint64 consumed() const { return m_consumed; }

private:
    static constexpr qsizetype pieceBytes = 1024 * 1024;

    bool available()
    {
        if (m_pos < m_end)
            return true;
        if (m_ended)
            return false;
        const qint64 got = m_source(m_buffer.data(), m_buffer.size());
        m_failed = got < 0;
        m_ended = got <= 0;
        m_pos = 0;
        m_end = qsizetype(std::max<qint64>(got, 0));
        return m_end > 0;
    }

    Source m_source;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;
    qint64 m_consumed = 0;
    bool m_ended = false;
    bool m_failed = false;
    bool m_lineEnded = false;
};

// A line's JSON, read from the line alone.
JsonStream lineJson(LineReader &lines, const std::atomic<bool> *stop)
{
    JsonStream::Limits limits;
    limits.nesting = 4; // a change, its fields, a list
    limits.bufferBytes = 64 * 1024;
    return JsonStream([&lines](char *into, qint64 maxBytes) { return lines.read(into, maxBytes); }, stop, limits);
}

// The lines of a segment, checked as they stream in, in the order of the
// verdicts: format, completeness, footer, checksum, header, changes. A line
// is a change unless it is the last, which is the footer; a line longer than
// any footer is hashed as it passes, a short one once the next begins.
class SegmentCheck
{
public:
    SegmentCheck(const QString &device, qint64 sequence, QList<SyncChange> *changes)
        : m_device(device), m_sequence(sequence), m_changes(changes)
    {
    }

    SegmentRead run(LineReader &lines, const std::atomic<bool> *stop)
    {
        lines.tap = [this](QByteArrayView bytes) { take(bytes); };
        try {
            for (qsizetype line = 0; lines.nextLine(); ++line) {
                if (stop && stop->load(std::memory_order_relaxed))
                    return {Result::incomplete, {}, {}};
                if (line > 0)
                    commitPending();
                if (line == largestLines)
                    return refused(QStringLiteral("more than %1 changes").arg(largestLines - 2));
                m_head.clear();
                m_spilled = false;
                SyncChange change;
                QString problem;
                // Once the verdict is known only the checksum may still say more.
                if (line > 0 && m_problem.isEmpty()) {
                    JsonStream json = lineJson(lines, stop);
                    problem = ChangeReader(json).read(change);
                }
                if (!lines.finishLine())
                    return finish(lines, false);
                if (line == 0) {
                    m_header = m_spilled ? std::nullopt : parseObject(m_head);
                    if (!m_spilled)
                        m_hash.addData(m_head);
                    m_hash.addData("\n");
                    continue;
                }
                m_pending = Pending{std::move(change), std::move(problem)};
                m_pendingHead = m_head;
                m_pendingSpilled = m_spilled;
            }
        } catch (const ReadCancelled &) {
            return {Result::incomplete, {}, {}};
        }
        return finish(lines, true);
    }

    qsizetype changeCount() const { return m_count; }

private:
    struct Pending
    {
        SyncChange change;
        QString problem;
    };

    // Longer than any header or footer a writer of ours leaves.
    static constexpr qsizetype largestShortLine = 4096;
    // The header and footer around the most changes a file of the largest size could hold.
    static constexpr qsizetype largestLines = Segment::largestChanges + 2;

    void take(QByteArrayView bytes)
    {
        if (!m_spilled && m_head.size() + bytes.size() <= largestShortLine) {
            m_head += bytes;
            return;
        }
        if (!m_spilled)
            m_hash.addData(m_head);
        m_spilled = true;
        m_head.clear();
        m_hash.addData(bytes);
    }

    // The line before the current one is no footer: a change.
    void commitPending()
    {
        if (!m_pending)
            return;
        if (!m_pendingSpilled)
            m_hash.addData(m_pendingHead);
        m_hash.addData("\n");
        ++m_count;
        if (m_problem.isEmpty())
            m_problem = m_pending->problem;
        if (m_problem.isEmpty() && m_changes)
            m_changes->append(std::move(m_pending->change));
        m_pending.reset();
    }

    SegmentRead finish(const LineReader &lines, bool endsWithLineEnd)
    {
        if (lines.failed())
            return refused(QStringLiteral("it could not be read"));
        // No format reads as one that is never ours.
        const qint64 format =
            m_header ? exactInteger(m_header->value(QLatin1String("format"))).value_or(-1) : -1;
        if (format > Segment::format)
            return {Result::newerFormat, {}, {}};
        if (!endsWithLineEnd || !m_pending)
            return {Result::incomplete, {}, {}};
        const std::optional<QJsonObject> footer = m_spilled ? std::nullopt : parseObject(m_head);
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

    QString m_device;
    qint64 m_sequence;
    QList<SyncChange> *m_changes;
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
    qsizetype m_count = 0;
    std::optional<QJsonObject> m_header;
    // The current line's start while it is short enough to be a footer.
    QByteArray m_head;
    bool m_spilled = false;
    std::optional<Pending> m_pending;
    QByteArray m_pendingHead;
    bool m_pendingSpilled = false;
    QString m_problem;
};

} // namespace

SegmentRead readSegment(const QByteArray &bytes, const QString &expectedDevice, qint64 expectedSequence)
{
    if (bytes.size() > Segment::largestFile)
        return refused(QStringLiteral("too large"));
    qsizetype at = 0;
    LineReader lines([&](char *into, qint64 maxBytes) {
        const qsizetype length = qsizetype(std::min<qint64>(maxBytes, bytes.size() - at));
        std::memcpy(into, bytes.constData() + at, std::size_t(length));
        at += length;
        return qint64(length);
    });
    QList<SyncChange> changes;
    SegmentRead read = SegmentCheck(expectedDevice, expectedSequence, &changes).run(lines, nullptr);
    if (read.result == Result::complete)
        read.segment.changes = std::move(changes);
    return read;
}

class SegmentFile::Lines : public LineReader
{
public:
    explicit Lines(RegularFile &file)
        : LineReader([&file](char *into, qint64 maxBytes) { return file.read(into, maxBytes); })
    {
    }
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
    m_stop = &stop;
    if (!m_file.rewind())
        return refused(m_file.errorString());
    m_lines = std::make_unique<Lines>(m_file);
    SegmentCheck check(m_device, m_sequence, nullptr);
    SegmentRead read = check.run(*m_lines, &stop);
    if (m_file.refusal() != FileRefusal::none)
        read = refused(m_file.errorString());
    m_changes = read.result == Result::complete ? check.changeCount() : 0;
    m_handedOut = 0;
    m_lines.reset();
    if (read.result == Result::complete && m_file.rewind()) {
        m_lines = std::make_unique<Lines>(m_file);
        // The header, checked above.
        if (!m_lines->nextLine() || !m_lines->finishLine())
            m_lines.reset();
    }
    return read;
}

std::optional<QList<SyncChange>> SegmentFile::nextChanges(qsizetype count, qint64 bytes)
{
    if (!m_lines)
        return std::nullopt;
    QList<SyncChange> changes;
    const qint64 start = m_lines->consumed();
    try {
        while (changes.size() < count && m_handedOut < m_changes
               && (changes.isEmpty() || m_lines->consumed() - start < bytes)) {
            if (!m_lines->nextLine())
                return std::nullopt;
            SyncChange change;
            JsonStream json = lineJson(*m_lines, m_stop);
            if (!ChangeReader(json).read(change).isEmpty() || !m_lines->finishLine())
                return std::nullopt;
            changes.append(std::move(change));
            ++m_handedOut;
        }
    } catch (const ReadCancelled &) {
        return std::nullopt;
    }
    return changes;
}

} // namespace tamo
