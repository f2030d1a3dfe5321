#pragma once

#include "model/SettingsEnums.h"

#include <QString>

#include <optional>

namespace tamo {

// What one notice shows, and so how long it stays.
struct Notice
{
    QString symbol;
    QString message;
    bool iconOnly = false; // the symbol alone; the message only names it for screen readers
    bool showsShortcutRow = false;
    bool showsHint = false;

    // After a paste the system did not make itself; nothing for PasteNotice::none.
    static std::optional<Notice> paste(PasteNotice style, const QString &message);
    // After a copy: the clip is ready to paste.
    static Notice ready(const QString &message);
    static Notice plain(const QString &message, const QString &symbol);

    // The more there is to read, the longer it stays.
    int displayTimeMs() const;

    bool operator==(const Notice &) const = default;
};

} // namespace tamo
