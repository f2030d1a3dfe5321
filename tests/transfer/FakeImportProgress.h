#pragma once

#include "transfer/ImportProgress.h"

#include <QStringList>

namespace tamo::testing {

// Records what the progress window would show; a test stops the import
// through `stop`, as the Cancel button does.
class FakeImportProgress final : public ImportProgress
{
public:
    QStringList titles;
    QStringList steps;
    std::function<void()> stop;
    std::function<void(const QString &step)> onUpdate; // "" as an import begins
    bool shown = false;

    void begin(const QString &title, std::function<void()> stopping) override
    {
        titles.append(title);
        stop = std::move(stopping);
        shown = true;
        if (onUpdate)
            onUpdate({});
    }
    void update(const QString &step, qint64, qint64) override
    {
        steps.append(step);
        if (onUpdate)
            onUpdate(step);
    }
    void end() override
    {
        stop = nullptr;
        shown = false;
    }
    bool inUse() const override { return shown; }
};

} // namespace tamo::testing
