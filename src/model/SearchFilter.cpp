#include "model/SearchFilter.h"

namespace tamo {

SearchFilter::SearchFilter(std::variant<ClipKind, App> value)
    : m_value(std::move(value))
{
}

SearchFilter SearchFilter::kind(ClipKind kind)
{
    return SearchFilter(kind);
}

SearchFilter SearchFilter::app(QString bundleID, QString name)
{
    return SearchFilter(App{std::move(bundleID), std::move(name)});
}

std::optional<ClipKind> SearchFilter::kindValue() const
{
    if (const auto *kind = std::get_if<ClipKind>(&m_value))
        return *kind;
    return std::nullopt;
}

std::optional<SearchFilter::App> SearchFilter::appValue() const
{
    if (const auto *app = std::get_if<App>(&m_value))
        return *app;
    return std::nullopt;
}

size_t qHash(const SearchFilter &filter, size_t seed)
{
    if (const auto kind = filter.kindValue())
        return qHashMulti(seed, static_cast<int>(*kind));
    const auto app = filter.appValue();
    return qHashMulti(seed, app->bundleID, app->name);
}

} // namespace tamo
