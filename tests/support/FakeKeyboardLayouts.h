#pragma once

#include "platform/KeyboardLayouts.h"

namespace tamo::testing {

// Layouts the test configures; selections are counted and can be refused.
class FakeKeyboardLayouts final : public KeyboardLayouts
{
public:
    QList<KeyboardLayout> configured;
    QString current;
    int refusal = 0; // what select() answers when not 0
    int selections = 0;

    QList<KeyboardLayout> layouts() const override { return configured; }
    QString currentLayoutID() const override { return current; }
    int select(const QString &id) override
    {
        ++selections;
        if (refusal != 0)
            return refusal;
        current = id;
        return 0;
    }
    bool followsWindowLayout() const override { return false; }
    QString keyLeftOfOne() const override { return leftOfOne; }

    QString leftOfOne = QStringLiteral("`");
};

} // namespace tamo::testing
