#pragma once

#include "platform/CloudKeyValueStore.h"

#include <QTest>
#include <gtest/gtest.h>

namespace tamo::testing {

// Brings in the other machines' shared settings and waits until it has.
inline void synchronizeNow(CloudKeyValueStore &store)
{
    bool done = false;
    store.synchronize([&done] { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&done] { return done; }, 10000));
}

} // namespace tamo::testing
