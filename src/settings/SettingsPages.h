#pragma once

#include "settings/SettingsPage.h"

#include <QMap>
#include <QWidget>

#include <functional>

namespace tamo {

// How each page is made. The window builds a page afresh each time it is
// shown, so a page's transient state (selections, pending checks) starts
// over; a page is added by giving its builder, without touching the others.
class SettingsPages
{
public:
    using Builder = std::function<QWidget *()>;

    void add(SettingsPage page, Builder builder);
    // Nothing for a page without a builder.
    QWidget *build(SettingsPage page) const;

private:
    QMap<SettingsPage, Builder> m_builders;
};

} // namespace tamo
