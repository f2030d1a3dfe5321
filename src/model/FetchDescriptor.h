#pragma once

#include <QList>
#include <QVariant>

namespace tamo {

// What to fetch of one record type: conditions joined by AND on the record's
// columns (its Column enum), a sort, and paging.
struct FetchDescriptor
{
    enum class Compare { equal, notEqual, less, greaterOrEqual, isNull, isNotNull };

    struct Condition
    {
        int column;
        Compare compare;
        QVariant value;
    };

    struct SortKey
    {
        int column;
        bool ascending;
    };

    QList<Condition> conditions;
    QList<SortKey> sortBy;
    int limit = -1; // no limit
    int offset = 0;

    FetchDescriptor &where(int column, Compare compare, const QVariant &value = {})
    {
        conditions.append({column, compare, value});
        return *this;
    }
    FetchDescriptor &sorted(int column, bool ascending)
    {
        sortBy.append({column, ascending});
        return *this;
    }
    FetchDescriptor &limited(int count, int skip = 0)
    {
        limit = count;
        offset = skip;
        return *this;
    }
};

} // namespace tamo
