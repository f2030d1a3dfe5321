#pragma once

#include "platform/AppChooser.h"

#include <QQueue>
#include <gtest/gtest.h>

namespace tamo::testing {

// Answers the app chooser from a script (nothing = cancel) and remembers its prompts.
class FakeAppChooser final : public AppChooser
{
public:
    void answer(std::optional<QStringList> apps) { m_answers.enqueue(std::move(apps)); }

    std::optional<QStringList> chooseApps(const QString &prompt) override
    {
        prompts.append(prompt);
        if (m_answers.isEmpty()) {
            ADD_FAILURE() << "unexpected app chooser";
            return std::nullopt;
        }
        return m_answers.dequeue();
    }

    QStringList prompts;

private:
    QQueue<std::optional<QStringList>> m_answers;
};

} // namespace tamo::testing
