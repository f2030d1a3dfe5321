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

#include <memory>

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

    // An environment over a model of its own whose parts are the fixture's
    // except those `replace` swaps for the test's.
    SettingsEnvironment &environmentWith(const std::function<void(AppExtensions &)> &replace)
    {
        AppExtensions extensions = ext.extensions();
        replace(extensions);
        m_ownModel = std::make_unique<AppModel>(services(), storeDir.path() + QStringLiteral("/own"), extensions);
        m_ownEnvironment.emplace(SettingsEnvironment{*m_ownModel, defaults, alerts, loginItem, relauncher, appChooser, screens});
        return *m_ownEnvironment;
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
    std::unique_ptr<AppModel> m_ownModel;
    std::optional<SettingsEnvironment> m_ownEnvironment;
};

// The same with one page of the kind, made on first use.
template<typename Page>
class PageFixture : public SettingsFixture
{
protected:
    Page &page()
    {
        if (!m_page)
            m_page = std::make_unique<Page>(environment());
        return *m_page;
    }
    void closePage() { m_page.reset(); }

private:
    std::unique_ptr<Page> m_page;
};

} // namespace tamo::testing
