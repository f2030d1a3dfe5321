#pragma once

#include <QList>

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
    // A clip row such a change was written to.
    void note(qint64 rowKey) { m_noted.append(rowKey); }
    // Hashes the noted rows outside any write transaction, so the app's saves
    // never wait on it, then writes the hashes that were wrong in one short
    // transaction; a row the app changed meanwhile keeps what the app wrote.
    // How many were put right.
    int repairNoted();

private:
    sql::Database &m_db;
    QList<qint64> m_noted;
};

} // namespace tamo
