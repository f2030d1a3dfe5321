#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QStringList>
#include <QWidget>

namespace tamo::testing {

// Every text a person reads or hears in a window: labels, buttons, tooltips,
// accessible names and descriptions.
inline QStringList textsIn(QWidget *root)
{
    QStringList texts;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *widget : widgets) {
        texts << widget->toolTip() << widget->accessibleName() << widget->accessibleDescription();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
    }
    texts.removeAll(QString());
    return texts;
}

// The texts that use another desktop's word for a place, a key or a unit.
inline QStringList foreignWords(const QStringList &texts)
{
    static const QStringList foreign{
        QStringLiteral("menu bar"), QStringLiteral(" pt"),      QStringLiteral("input source"),
        QStringLiteral("§"),        QStringLiteral("⌘"),        QStringLiteral("⇧"),
        QStringLiteral("drawer"),   QStringLiteral("Windows?"), QStringLiteral("com.apple"),
    };
    QStringList found;
    for (const QString &text : texts) {
        for (const QString &word : foreign) {
            const bool isUnit = word == QStringLiteral(" pt");
            if (isUnit ? QRegularExpression(QStringLiteral("\\d pt\\b")).match(text).hasMatch()
                       : text.contains(word, Qt::CaseInsensitive))
                found << text;
        }
    }
    return found;
}

} // namespace tamo::testing
