#pragma once

#include "model/ClipKind.h"

#include <QHashFunctions>
#include <QString>

#include <optional>
#include <variant>

namespace tamo {

// A filter chip of the search: clips of one kind, or clips copied from one
// app. Two filters are equal when they are of the same sort and all their
// values match.
class SearchFilter
{
public:
    struct App
    {
        QString bundleID;
        QString name;

        bool operator==(const App &) const = default;
    };

    static SearchFilter kind(ClipKind kind);
    static SearchFilter app(QString bundleID, QString name);

    bool isKind() const { return std::holds_alternative<ClipKind>(m_value); }
    std::optional<ClipKind> kindValue() const;  // none for an app filter
    std::optional<App> appValue() const;        // none for a kind filter

    bool operator==(const SearchFilter &) const = default;

private:
    explicit SearchFilter(std::variant<ClipKind, App> value);

    std::variant<ClipKind, App> m_value;
};

size_t qHash(const SearchFilter &filter, size_t seed = 0);

} // namespace tamo
