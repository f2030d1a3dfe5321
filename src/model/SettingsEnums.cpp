#include "model/SettingsEnums.h"

#include "model/SettingsKeys.h"
#include "platform/Defaults.h"

#include <array>

namespace tamo {

namespace {

// Raw names in case order, so an enum's value indexes its name.
constexpr std::array<QStringView, 2> kCardStyles{u"classic", u"glass"};
constexpr std::array<QStringView, 2> kMenuBarLayouts{u"vertical", u"horizontal"};
constexpr std::array<QStringView, 2> kShortcutTargets{u"drawer", u"menuBar"};
constexpr std::array<QStringView, 3> kPasteNotices{u"card", u"icon", u"none"};
constexpr std::array<QStringView, 4> kCapacityNames{u"Day", u"Week", u"Month", u"Unlimited"};

template<typename Enum, size_t N>
QString nameOf(const std::array<QStringView, N> &names, Enum value)
{
    return names[static_cast<size_t>(value)].toString();
}

template<typename Enum, size_t N>
std::optional<Enum> lookUp(const std::array<QStringView, N> &names, QStringView raw)
{
    for (size_t i = 0; i < N; ++i) {
        if (names[i] == raw)
            return static_cast<Enum>(i);
    }
    return std::nullopt;
}

} // namespace

QString rawValue(CardStyle style) { return nameOf(kCardStyles, style); }
QString rawValue(MenuBarLayout layout) { return nameOf(kMenuBarLayouts, layout); }
QString rawValue(ShortcutTarget target) { return nameOf(kShortcutTargets, target); }
QString rawValue(PasteNotice notice) { return nameOf(kPasteNotices, notice); }
int rawValue(HistoryCapacity capacity) { return static_cast<int>(capacity); }

std::optional<CardStyle> cardStyleFromRaw(QStringView raw)
{
    return lookUp<CardStyle>(kCardStyles, raw);
}

std::optional<MenuBarLayout> menuBarLayoutFromRaw(QStringView raw)
{
    return lookUp<MenuBarLayout>(kMenuBarLayouts, raw);
}

std::optional<ShortcutTarget> shortcutTargetFromRaw(QStringView raw)
{
    return lookUp<ShortcutTarget>(kShortcutTargets, raw);
}

std::optional<PasteNotice> pasteNoticeFromRaw(QStringView raw)
{
    return lookUp<PasteNotice>(kPasteNotices, raw);
}

std::optional<HistoryCapacity> historyCapacityFromRaw(qint64 raw)
{
    if (raw < 0 || raw >= qint64(kCapacityNames.size()))
        return std::nullopt;
    return static_cast<HistoryCapacity>(raw);
}

QString displayName(HistoryCapacity capacity)
{
    return nameOf(kCapacityNames, capacity);
}

PasteNotice currentPasteNotice(const Defaults &defaults)
{
    const auto raw = defaults.string(keys::pasteNotice);
    return (raw ? pasteNoticeFromRaw(*raw) : std::nullopt).value_or(PasteNotice::card);
}

HistoryCapacity currentHistoryCapacity(const Defaults &defaults)
{
    const QVariant stored = defaults.value(keys::historyCapacity);
    if (stored.typeId() != QMetaType::LongLong)  // whole numbers read back as qlonglong
        return HistoryCapacity::month;
    return historyCapacityFromRaw(stored.toLongLong()).value_or(HistoryCapacity::month);
}

} // namespace tamo
