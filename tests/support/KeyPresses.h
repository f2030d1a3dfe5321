#pragma once

#include "support/FakePasteboard.h"

#include "drawer/KeyPress.h"

#include <QList>
#include <QSet>
#include <QUuid>

namespace tamo::testing {

inline KeyPress key(KeyPress::Key key, KeyPress::Modifiers modifiers = {})
{
    return {.key = key, .modifiers = modifiers};
}

inline KeyPress typed(const QString &text, KeyPress::Modifiers modifiers = {})
{
    return {.key = text == u' ' ? KeyPress::Key::space : KeyPress::Key::other, .text = text, .modifiers = modifiers};
}

// A digit key; `text` is what it types, which ⇧ changes ("@" for ⇧2).
inline KeyPress digit(int value, KeyPress::Modifiers modifiers = KeyPress::Modifier::command, QString text = {})
{
    return {.key = KeyPress::Key::other, .text = text.isNull() ? QString::number(value) : text,
            .modifiers = modifiers, .digit = value};
}

inline KeyPress repeated(KeyPress press)
{
    press.isRepeat = true;
    return press;
}

// Positions from 1 in `shown` of the ids in `chosen`.
inline QList<int> positionsOf(const QSet<QUuid> &chosen, const QList<QUuid> &shown)
{
    QList<int> positions;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (chosen.contains(shown[i]))
            positions.append(int(i + 1));
    }
    return positions;
}

// The plain texts of the last write, joined by '+'; empty when nothing was written.
inline QString lastWrittenTexts(const FakePasteboard &pasteboard)
{
    if (pasteboard.writes().isEmpty())
        return {};
    QStringList texts;
    for (const PasteboardItem &item : pasteboard.writes().last())
        texts.append(QString::fromUtf8(item.value(PasteboardType::string)));
    return texts.join(u'+');
}

} // namespace tamo::testing
