#pragma once

#include "drawer/StripFixture.h"

#include "support/FakeCompositor.h"

namespace tamo::sheets {

// A model over its own store with fakes for the desktop, as the widget tests
// build it, for views to be shown in.
class Scene final : public testing::StripFixture
{
public:
    void TestBody() override {}

    using AppModelFixture::accessibility;
    using AppModelFixture::alerts;
    using AppModelFixture::clock;
    using AppModelFixture::defaults;
    using AppModelFixture::ext;
    using AppModelFixture::model;
    using AppModelFixture::workspace;
    using StripFixture::cards;
};

} // namespace tamo::sheets
