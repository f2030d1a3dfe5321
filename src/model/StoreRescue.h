#pragma once

#include <QString>

#include <optional>

namespace tamo {

// Puts a damaged store file out of the way and starts a fresh one in its
// place, copying in every row SQLite can still read from the damaged file.
// The damaged file and its logs are kept, renamed, never written to.
class StoreRescue
{
public:
    struct Result
    {
        QString movedTo;  // where the damaged file now is
        int rowsRecovered = 0;
    };

    // nullopt when the file could not be moved aside (nothing changed then).
    static std::optional<Result> moveAsideAndStartFresh(const QString &storeFile);
};

} // namespace tamo
