#pragma once

#include <QString>

namespace tamo {

// A private copy of another app's database: a folder only this user can
// enter, named "TamoPasteImport-<UUID>", holding files only this user can
// read, removed however the read ends: by its destructor, or, should the
// process crash or quit while the copy is in use, by removeCopyInUse().
// Throws PasteImporter::ImportError.
class PrivateCopy
{
public:
    // Removes the newest copy still in use, with the files copyDatabase()
    // made; async-signal-safe.
    static void removeCopyInUse();

    explicit PrivateCopy(const QString &root);
    ~PrivateCopy();
    PrivateCopy(const PrivateCopy &) = delete;
    PrivateCopy &operator=(const PrivateCopy &) = delete;

    QString path() const { return m_path; }
    QString filePath(const QString &name) const;

    // Copies the database and the log files beside it that exist.
    void copyDatabase(const QString &folder, const QString &name);

private:
    static void copyFile(const QString &from, const QString &to);

    QString m_path;
};

} // namespace tamo
