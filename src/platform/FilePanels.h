#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tamo {

// A kind of document the panels offer: its description and file name
// suffixes, the first being the one a saved file gets.
struct FileType
{
    QString description;
    QStringList suffixes;
};

// The save and open panels: modal, above the app's floating panels.
class FilePanels
{
public:
    virtual ~FilePanels() = default;

    // The chosen path, with the type's first suffix; nothing when cancelled.
    virtual std::optional<QString> chooseSaveFile(const FileType &type, const QString &proposedName) = 0;
    // One existing file of the type; nothing when cancelled.
    virtual std::optional<QString> chooseOpenFile(const FileType &type) = 0;
};

class DialogFilePanels final : public FilePanels
{
public:
    std::optional<QString> chooseSaveFile(const FileType &type, const QString &proposedName) override;
    std::optional<QString> chooseOpenFile(const FileType &type) override;
};

} // namespace tamo
