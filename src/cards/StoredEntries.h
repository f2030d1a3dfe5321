#pragma once

#include <QCollator>
#include <QString>
#include <QVariantMap>

#include <optional>

namespace tamo {

// Readers for the per-screen dictionaries in the settings. Whole numbers come
// back from the settings file as integers, so any number counts.
std::optional<double> storedNumber(const QVariantMap &entry, const QString &field);
// The number as a non-negative int; 0 when it is missing or not a number.
int storedInteger(const QVariantMap &entry, const QString &field);
// The entry under the id when it is a dictionary.
std::optional<QVariantMap> storedEntry(const QVariantMap &all, const QString &id);

// A screen as people tell it from the others: "Name, 1512 × 982".
QString screenLabel(const QString &name, int width, int height);

// Orders screen labels ("Name, 1512 × 982") as people read them: digit runs
// as numbers, case ignored.
QCollator screenLabelCollator();

} // namespace tamo
