#include "transfer/TextSpool.h"

namespace tamo {

TextSpool::TextSpool(const QString &folder) : m_file(folder + QStringLiteral("/text-spool-XXXXXX"))
{
    if (!m_file.open())
        qWarning("long texts stay in memory: %s", qPrintable(m_file.errorString()));
}

std::optional<TextSpool::Place> TextSpool::put(const QString &text)
{
    const QMutexLocker locker(&m_lock);
    if (!m_file.isOpen() || !m_file.seek(m_size))
        return std::nullopt;
    // As the string holds it: read back without decoding.
    const qint64 bytes = text.size() * qint64(sizeof(QChar));
    if (m_file.write(reinterpret_cast<const char *>(text.constData()), bytes) != bytes) {
        // What was written of it is written over by the next.
        return std::nullopt;
    }
    const Place place{m_size, text.size()};
    m_size += bytes;
    return place;
}

std::optional<QString> TextSpool::text(const Place &place)
{
    const QMutexLocker locker(&m_lock);
    if (!m_file.isOpen() || place.offset < 0 || place.offset + place.length * qint64(sizeof(QChar)) > m_size
        || !m_file.seek(place.offset))
        return std::nullopt;
    QString text(place.length, Qt::Uninitialized);
    const qint64 bytes = place.length * qint64(sizeof(QChar));
    if (m_file.read(reinterpret_cast<char *>(text.data()), bytes) != bytes)
        return std::nullopt;
    return text;
}

} // namespace tamo
