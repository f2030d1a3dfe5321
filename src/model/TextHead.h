#pragma once

#include "model/Record.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>

namespace tamo {

namespace sql { class Database; class Statement; }

// The first characters of a long text column, kept in columns of their own
// (`<column>Head`, and `<column>Longer`: 1 when the text goes on past them, 0
// when it does not, NULL until derived) so that lists never make SQLite read
// a long text whole to cut it. Derived and local: never synced or exported.
namespace texthead {

QStringList columns(const ColumnSpec &column);

// SQL giving what a list reads of the column: its head, or all of it.
QString listedSql(const ColumnSpec &column);
// SQL giving 1 when the column holds more than what listedSql gives.
QString longerSql(const ColumnSpec &column);

// SQL setting the head columns (the first two parameters) of the row whose
// key is the third, where the store set them back to NULL.
QString rederiveSql(const EntitySpec &entity, const ColumnSpec &column);

// Binds the head columns of `text` from `index` on; returns the next index.
int bind(sql::Statement &statement, int index, const QVariant &text, int length);

// Whether a row was stored without its head; an index answers at once.
bool anyMissing(sql::Database &db, const EntitySpec &entity);

// Derives the head of every row stored without one (by an older version,
// or through a connection that does not derive it), a row per transaction,
// until done or `stop` is set.
void fillMissing(sql::Database &db, const EntitySpec &entity, const std::atomic<bool> &stop);

} // namespace texthead

} // namespace tamo
