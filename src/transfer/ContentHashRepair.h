#pragma once

#include <QString>

namespace tamo {

namespace sql { class Database; }
struct SyncChange;

// Gives a clip that arrived from another device the content hash of what it
// holds, as capture computes it. The merge of duplicates goes by that hash,
// and a peer's record may carry none, or the hash of other content. An
// image kept only on the machine that copied it is not here to hash: such a
// record keeps the hash it came with.
class ContentHashRepair
{
public:
    explicit ContentHashRepair(sql::Database &db);

    // Whether the change writes a field the hash covers, or the hash itself.
    static bool touchesContent(const SyncChange &change);
    // Puts the hash of the clip row right; true when it had to.
    bool repair(qint64 rowKey);

private:
    sql::Database &m_db;
};

} // namespace tamo
