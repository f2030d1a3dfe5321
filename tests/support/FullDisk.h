#pragma once

#include <sqlite3.h>

#include <atomic>
#include <cerrno>
#include <unistd.h>

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

namespace tamo::testing {

// Every write SQLite makes in this process fails with ENOSPC while it
// lives, as on a disk without a free block (the log too, where a capped
// page count still lets a deletion through); lift() gives the room back.
class DiskWithoutRoom
{
public:
    DiskWithoutRoom()
    {
        s_full = true;
        vfs()->xSetSystemCall(vfs(), "write", reinterpret_cast<sqlite3_syscall_ptr>(&failedWrite));
        vfs()->xSetSystemCall(vfs(), "pwrite", reinterpret_cast<sqlite3_syscall_ptr>(&failedPwrite));
        vfs()->xSetSystemCall(vfs(), "pwrite64", reinterpret_cast<sqlite3_syscall_ptr>(&failedPwrite));
    }
    ~DiskWithoutRoom()
    {
        for (const char *call : {"write", "pwrite", "pwrite64"})
            vfs()->xSetSystemCall(vfs(), call, nullptr);
        s_full = false;
    }
    void lift() { s_full = false; }

private:
    static sqlite3_vfs *vfs() { return sqlite3_vfs_find(nullptr); }
    static ssize_t failedWrite(int fd, const void *bytes, size_t size)
    {
        if (!s_full)
            return ::write(fd, bytes, size);
        errno = ENOSPC;
        return -1;
    }
    static ssize_t failedPwrite(int fd, const void *bytes, size_t size, off_t offset)
    {
        if (!s_full)
            return ::pwrite(fd, bytes, size, offset);
        errno = ENOSPC;
        return -1;
    }
    static inline std::atomic<bool> s_full = false;
};

} // namespace tamo::testing
