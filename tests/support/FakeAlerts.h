#pragma once

#include "platform/Alerts.h"

#include <QList>
#include <QQueue>
#include <functional>
#include <gtest/gtest.h>

namespace tamo::testing {

// Answers alerts from a script and remembers every alert it was shown.
// An alert the test did not script fails the test and is cancelled.
class FakeAlerts final : public Alerts
{
public:
    void answer(int buttonIndex) { m_answers.enqueue(buttonIndex); }
    std::function<void()> whileShown; // what happens while the alert waits


    int runModal(const AlertSpec &spec) override
    {
        m_shown.append(spec);
        if (whileShown)
            whileShown();
        if (m_answers.isEmpty()) {
            ADD_FAILURE() << "unexpected alert: " << spec.message.toStdString();
            return int(spec.buttons.size()) - 1;
        }
        return m_answers.dequeue();
    }

    const QList<AlertSpec> &shown() const { return m_shown; }

private:
    QQueue<int> m_answers;
    QList<AlertSpec> m_shown;
};

} // namespace tamo::testing
