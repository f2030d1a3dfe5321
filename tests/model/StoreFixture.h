#pragma once

#include "support/FakeClock.h"
#include "support/TempDir.h"

#include "model/ClipDraft.h"
#include "model/ClipItem.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"


#include <memory>

namespace tamo::testing {

// A container over a scratch folder, reopenable to check what reached disk.
class StoreFixture : public ::testing::Test
{
protected:
    StoreFixture() { reopen(); }

    void reopen()
    {
        container.reset();
        container = std::make_unique<ModelContainer>(dir.path());
    }

    ModelContext &context() { return container->mainContext(); }

    ClipItemPtr addClip(const QString &text, const QDateTime &createdAt)
    {
        auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(text), createdAt);
        context().insert(clip);
        return clip;
    }

    QByteArray storeBytes(const QString &name) const
    {
        return readFile(dir.file(name));
    }

    TempDir dir;
    FakeClock clock;
    std::unique_ptr<ModelContainer> container;
};

} // namespace tamo::testing
