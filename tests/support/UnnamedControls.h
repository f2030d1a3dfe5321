#pragma once

#include <QAccessible>
#include <QSet>
#include <QStringList>

namespace tamo::testing {

// The controls a person can press, type into, pick or focus in the shown part
// of the accessible tree under `root` that have no name, as "Role (Class)";
// screen readers and AT-SPI clients find controls by their names.
inline QStringList unnamedControls(QObject *root)
{
    static const QSet<QAccessible::Role> controls{
        QAccessible::Button,        QAccessible::CheckBox,     QAccessible::RadioButton,
        QAccessible::ComboBox,      QAccessible::Slider,       QAccessible::SpinBox,
        QAccessible::EditableText,  QAccessible::PageTab,      QAccessible::MenuItem,
        QAccessible::ListItem,      QAccessible::Link,         QAccessible::ButtonMenu,
        QAccessible::ButtonDropDown, QAccessible::Dial,        QAccessible::List,
    };
    QStringList unnamed;
    const auto walk = [&](const auto &self, QAccessibleInterface *node) -> void {
        if (!node || node->state().invisible)
            return;
        const bool control = controls.contains(node->role()) || node->state().focusable;
        if (control && node->text(QAccessible::Name).trimmed().isEmpty()) {
            const QObject *object = node->object();
            unnamed.append(QStringLiteral("%1 (%2)").arg(int(node->role())).arg(
                object ? QLatin1StringView(object->metaObject()->className()) : QLatin1StringView("item")));
        }
        for (int i = 0; i < node->childCount(); ++i) {
            // An item view keeps cells of rows it no longer has while no
            // screen reader listens; they are no child of it.
            QAccessibleInterface *child = node->child(i);
            if (child && node->indexOfChild(child) == i)
                self(self, child);
        }
    };
    walk(walk, QAccessible::queryAccessibleInterface(root));
    return unnamed;
}

} // namespace tamo::testing
