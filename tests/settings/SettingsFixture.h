#pragma once

#include "../app/AppModelFixture.h"

#include "support/FakeAppChooser.h"
#include "support/FakeLoginItem.h"
#include "support/FakeRelauncher.h"
#include "support/FakeScreens.h"

#include "model/DefaultSettings.h"
#include "settings/FormKit.h"
#include "settings/SettingsEnvironment.h"
#include "settings/SwitchToggle.h"

#include <QAbstractButton>
#include <QTest>

namespace tamo::testing {

// A started model with fakes for everything the settings pages reach.
class SettingsFixture : public AppModelFixture
{
protected:
    SettingsFixture() { registerDefaultSettings(defaults); }

    SettingsEnvironment &environment()
    {
        if (!m_environment)
            m_environment.emplace(SettingsEnvironment{model(), defaults, alerts, loginItem, relauncher, appChooser, screens});
        return *m_environment;
    }

    // The row of a page with that title.
    static FormRow *row(QWidget &page, const QString &title)
    {
        for (FormRow *candidate : page.findChildren<FormRow *>()) {
            if (candidate->title() == title)
                return candidate;
        }
        ADD_FAILURE() << "no row " << title.toStdString();
        return nullptr;
    }

    template<typename Control>
    static Control *control(QWidget &page, const QString &title)
    {
        FormRow *found = row(page, title);
        return found ? qobject_cast<Control *>(found->control()) : nullptr;
    }

    static bool isShown(QWidget &page, const QString &title)
    {
        const FormRow *found = row(page, title);
        return found && !found->isHidden();
    }

    // A click as the user makes it, which the bindings tell from a value shown.
    static void click(QAbstractButton *button)
    {
        ASSERT_TRUE(button);
        button->click();
    }

    FakeLoginItem loginItem;
    FakeRelauncher relauncher;
    FakeAppChooser appChooser;
    FakeScreens screens;

private:
    std::optional<SettingsEnvironment> m_environment;
};

} // namespace tamo::testing
