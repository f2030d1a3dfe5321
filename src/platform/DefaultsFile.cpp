#include "platform/DefaultsFile.h"

#include "platform/DefaultsJson.h"
#include "platform/PrivateFiles.h"
#include "platform/RegularFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace tamo {

DefaultsFile::DefaultsFile(QString path)
    : m_path(std::move(path))
{
}

DefaultsFile::Contents DefaultsFile::load()
{
    // A link to the user's dotfiles is followed; a FIFO, a device or a file
    // far larger than any settings is unreadable, never waited on.
    const FileContents file = readRegularFile(m_path, largestFile, FileLinks::follow);
    if (file.refusal == FileRefusal::missing)
        return {};

    Contents contents;
    bool isObject = false;
    bool complete = false;
    if (file.ok()) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(file.bytes, &error);
        isObject = error.error == QJsonParseError::NoError && document.isObject();
        complete = isObject;
        const QJsonObject object = document.object();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (const auto value = defaultsjson::decode(it.value()))
                contents.entries.insert(it.key(), *value);
            else
                complete = false;
        }
    }
    if (complete)
        return contents;

    // Keep the user's file: whatever could not be read may still be recovered by hand.
    const QString aside = asideName();
    const bool movedAside = QFile::rename(m_path, aside);
    m_mustNotOverwrite = !movedAside;

    const QString what = isObject
        ? QStringLiteral("TamoCove could not read some of its settings and reset them to their defaults.")
        : QStringLiteral("TamoCove could not read its settings file and started with default settings.");
    const QString where = movedAside
        ? QStringLiteral("The original file was kept as \"%1\".").arg(aside)
        : QStringLiteral("The file \"%1\" could not be moved aside either, so changes to settings "
                         "will not be saved until it is removed.").arg(m_path);
    contents.problem = what + QLatin1Char(' ') + where;
    return contents;
}

bool DefaultsFile::save(const QVariantMap &entries)
{
    if (m_mustNotOverwrite)
        return false;

    QJsonObject object;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (const auto json = defaultsjson::encode(it.value()))
            object.insert(it.key(), *json);
    }
    // Compact: indentation alone once made a long list three times its size.
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact);

    QString failure;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (bytes.size() > largestFile) {
        // The next launch would refuse such a file and start from the defaults.
        failure = QStringLiteral("the settings would take %1 KB, more than the %2 KB a settings file may hold; "
                                 "the file keeps its earlier contents")
                      .arg((bytes.size() + 1023) / 1024)
                      .arg(largestFile / 1024);
    } else if (!privatefiles::makeFolder(folder)) {
        failure = QStringLiteral("cannot create the folder %1").arg(folder);
    } else {
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
            || file.write(bytes) != bytes.size() || !file.commit())
            failure = file.errorString();
    }
    if (failure.isEmpty())
        return true;
    qWarning().noquote() << QStringLiteral("TamoCove: could not save settings to %1: %2").arg(m_path, failure);
    return false;
}

QString DefaultsFile::asideName() const
{
    const QString stem = m_path + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QLatin1Char('-') + QString::number(n);
    return name;
}

} // namespace tamo
