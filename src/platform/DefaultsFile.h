#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

namespace tamo {

// The JSON file behind the persistent defaults domain. Writes are atomic, so
// a crash mid-write leaves the previous file whole. A file that cannot be read
// is set aside under a sibling name rather than overwritten.
class DefaultsFile
{
public:
    // Settings are a few kilobytes; a larger file is refused as unreadable.
    static constexpr qint64 largestFile = 2 * 1024 * 1024;

    explicit DefaultsFile(QString path);

    struct Contents
    {
        QVariantMap entries;
        std::optional<QString> problem;  // a sentence for the user; none when all was read
    };

    // A missing file is empty. When the file or some of its entries cannot be
    // read, the file is moved aside and the readable entries are returned.
    Contents load();

    // Returns false, after one "TamoCove: " line on stderr, when writing fails
    // or the file would be larger than load() accepts.
    bool save(const QVariantMap &entries);

    QString path() const { return m_path; }

private:
    QString asideName() const;

    QString m_path;
    bool m_mustNotOverwrite = false;  // an unreadable file could not be moved aside
};

} // namespace tamo
