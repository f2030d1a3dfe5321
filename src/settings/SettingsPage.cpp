#include "settings/SettingsPage.h"

namespace tamo {

namespace {

struct Entry
{
    SettingsPage page;
    SettingsPageInfo info;
};

const QList<Entry> &entries()
{
    static const QList<Entry> table{
        {SettingsPage::general, {QStringLiteral("general"), QStringLiteral("General"), QStringLiteral("gearshape.fill"), QColor(0x8E, 0x8E, 0x93)}},
        {SettingsPage::tamos, {QStringLiteral("tamos"), QStringLiteral("Clips"), QStringLiteral("list.clipboard.fill"), QColor(0xFF, 0x95, 0x00)}},
        {SettingsPage::shortcuts, {QStringLiteral("shortcuts"), QStringLiteral("Shortcuts"), QStringLiteral("keyboard"), QColor(0x00, 0x7A, 0xFF)}},
        {SettingsPage::privacy, {QStringLiteral("privacy"), QStringLiteral("Privacy"), QStringLiteral("hand.raised.fill"), QColor(0x00, 0x7A, 0xFF)}},
        {SettingsPage::bonus, {QStringLiteral("bonus"), QStringLiteral("Bonus"), QStringLiteral("gift.fill"), QColor(0xFF, 0x2D, 0x55)}},
        {SettingsPage::about, {QStringLiteral("about"), QStringLiteral("About"), QStringLiteral("info.circle.fill"), QColor(0x58, 0x56, 0xD6)}},
    };
    return table;
}

} // namespace

const QList<SettingsPage> &allSettingsPages()
{
    static const QList<SettingsPage> pages = [] {
        QList<SettingsPage> list;
        for (const Entry &entry : entries())
            list.append(entry.page);
        return list;
    }();
    return pages;
}

const SettingsPageInfo &pageInfo(SettingsPage page)
{
    return entries().at(int(page)).info;
}

std::optional<SettingsPage> settingsPageFromRaw(QStringView raw)
{
    for (const Entry &entry : entries()) {
        if (entry.info.rawValue == raw)
            return entry.page;
    }
    return std::nullopt;
}

std::optional<SettingsPage> settingsPageAt(int position)
{
    if (position < 0 || position >= entries().size())
        return std::nullopt;
    return entries().at(position).page;
}

} // namespace tamo
