#include "cards/ScreenCardSizes.h"

#include "cards/StoredEntries.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace tamo::ScreenCardSizes {

namespace {

const QString nameField = QStringLiteral("name");
const QString widthField = QStringLiteral("width");
const QString heightField = QStringLiteral("height");
const QString cardScaleField = QStringLiteral("cardScale");
const QString textScaleField = QStringLiteral("textScale");

double cardScale(const Defaults &defaults)
{
    return defaults.doubleValue(keys::cardScale);
}

double textScale(const Defaults &defaults)
{
    return defaults.doubleValue(keys::cardTextScale);
}

// Writes the stored scale into the global key unless it is missing or already there.
void adoptScale(Defaults &defaults, QLatin1StringView key, std::optional<double> stored)
{
    if (stored && *stored != defaults.doubleValue(key))
        defaults.setValue(key, *stored);
}

// Qt collates the C locale by code point, ignoring the numeric mode; C's
// texts are English, so sort as English there.
} // namespace

QString Screen::label() const
{
    return screenLabel(name, width, height);
}

QString screenID(const ScreenInfo &screen)
{
    return QStringLiteral("%1-%2-%3 %4x%5")
        .arg(screen.vendor)
        .arg(screen.model)
        .arg(screen.serial)
        .arg(qint64(screen.frame.width()))
        .arg(qint64(screen.frame.height()));
}

void remember(Defaults &defaults, const QList<ScreenInfo> &screens)
{
    QVariantMap all = defaults.dictionary(keys::screenCardSizes);
    bool added = false;
    for (const ScreenInfo &screen : screens) {
        const QString id = screenID(screen);
        if (all.contains(id))
            continue;
        all.insert(id, QVariantMap{
            {nameField, screen.name},
            {widthField, qint64(screen.frame.width())},
            {heightField, qint64(screen.frame.height())},
            {cardScaleField, cardScale(defaults)},
            {textScaleField, textScale(defaults)},
        });
        added = true;
    }
    if (added)
        defaults.setValue(keys::screenCardSizes, all);
}

void activate(Defaults &defaults, const QString &id)
{
    const std::optional<QString> previous = defaults.string(keys::screenCardSizesActive);
    if (previous == id)
        return;

    QVariantMap all = defaults.dictionary(keys::screenCardSizes);
    if (previous) {
        if (auto entry = storedEntry(all, *previous)) {
            entry->insert(cardScaleField, cardScale(defaults));
            entry->insert(textScaleField, textScale(defaults));
            all.insert(*previous, *entry);
        }
    }
    if (const auto entry = storedEntry(all, id)) {
        adoptScale(defaults, keys::cardScale, storedNumber(*entry, cardScaleField));
        adoptScale(defaults, keys::cardTextScale, storedNumber(*entry, textScaleField));
    }
    defaults.setValue(keys::screenCardSizes, all);
    defaults.setValue(keys::screenCardSizesActive, id);
}

QList<Screen> screens(const Defaults &defaults, const QStringList &connectedIDs)
{
    const QVariantMap all = defaults.dictionary(keys::screenCardSizes);
    const std::optional<QString> active = defaults.string(keys::screenCardSizesActive);

    QList<Screen> result;
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        const QVariantMap entry = it.value().toMap();
        const QVariant name = entry.value(nameField);
        if (name.typeId() != QMetaType::QString)
            continue;
        Screen screen;
        screen.id = it.key();
        screen.name = name.toString();
        screen.width = storedInteger(entry, widthField);
        screen.height = storedInteger(entry, heightField);
        if (it.key() == active) {
            screen.cardScale = cardScale(defaults);
            screen.textScale = textScale(defaults);
        } else {
            screen.cardScale = storedNumber(entry, cardScaleField).value_or(1.0);
            screen.textScale = storedNumber(entry, textScaleField).value_or(1.0);
        }
        result.append(screen);
    }

    const QCollator collator = screenLabelCollator();
    // Stable, so two screens with the same label keep their order by id.
    std::stable_sort(result.begin(), result.end(), [&](const Screen &a, const Screen &b) {
        const bool aConnected = connectedIDs.contains(a.id);
        if (aConnected != connectedIDs.contains(b.id))
            return aConnected;
        return collator.compare(a.label(), b.label()) < 0;
    });
    return result;
}

} // namespace tamo::ScreenCardSizes
