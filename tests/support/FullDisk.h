#pragma once

#include <sqlite3.h>

namespace tamo::testing {

// Caps the store of every SQLite connection opened while it lives at one
// page, as a full disk would; lift() gives the room back.
class FullDisk
{
public:
    FullDisk() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&cap)); }
    ~FullDisk() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&cap)); }
    void lift() { sqlite3_exec(s_lastWritable, "PRAGMA max_page_count = 1000000", nullptr, nullptr, nullptr); }

private:
    static int cap(sqlite3 *db, char **, const void *)
    {
        sqlite3_exec(db, "PRAGMA max_page_count = 1", nullptr, nullptr, nullptr);
        s_lastWritable = db;  // the app's own connection is the last one it opens
        return SQLITE_OK;
    }
    static inline sqlite3 *s_lastWritable = nullptr;
};

} // namespace tamo::testing
