#include "SettingsFixture.h"

#include "model/ProductLinks.h"
#include "model/SettingsKeys.h"
#include "settings/AboutPage.h"

#include <QPushButton>

using namespace tamo;
using namespace tamo::testing;

namespace {

// An update feed the test answers by hand.
struct FakeUpdates : RecordingExtensions
{
    std::function<void(std::optional<UpdateRelease>)> answer;
    int build = 120;
    void fetchLatest(QObject *, std::function<void(std::optional<UpdateRelease>)> done) override
    {
        note(QStringLiteral("fetch"));
        answer = std::move(done);
    }
    QString currentVersion() const override { return QStringLiteral("1.2"); }
    int currentBuild() const override { return build; }
};

class AboutPageTest : public SettingsFixture
{
protected:
    AboutPageTest()
        : m_page(std::make_unique<AboutPage>(
              environmentWith([this](AppExtensions &parts) { parts.updates = &updates; })))
    {
    }

    AboutPage &page() { return *m_page; }
    QPushButton *button(const QString &text)
    {
        for (QPushButton *candidate : page().findChildren<QPushButton *>()) {
            if (candidate->text() == text)
                return candidate;
        }
        return nullptr;
    }

    FakeUpdates updates;

private:
    std::unique_ptr<AboutPage> m_page;
};

UpdateRelease release(int build)
{
    return {QStringLiteral("1.3"), build, QUrl(QStringLiteral("https://tamocove.org/download"))};
}

} // namespace

TEST_F(AboutPageTest, ChecksWhenShownAndTellsWhatItFound)
{
    const QString host = ProductLinks::websiteHost();
    EXPECT_EQ(updates.log, QStringList({"fetch"}));
    EXPECT_EQ(page().updateStatus(), QStringLiteral("Checking %1…").arg(host));
    EXPECT_FALSE(button(QStringLiteral("Checking…"))->isEnabled());

    updates.answer(std::nullopt);
    EXPECT_EQ(page().updateStatus(), QStringLiteral("Couldn't reach %1. Check your internet connection.").arg(host));
    EXPECT_TRUE(button(QStringLiteral("Check Now"))->isEnabled());

    defaults.setValue(keys::lastUpdateCheck, clock.now().addSecs(-300));
    const struct {
        int build;
        QString status;
        bool download;
    } cases[] = {
        {121, QStringLiteral("TamoCove 1.3 is available. Download it, then install it over this one. Checked 5 minutes ago."), true},
        {119, QStringLiteral("You're on a beta, ahead of the latest release. Checked 5 minutes ago."), false},
        {120, QStringLiteral("You're up to date. Checked 5 minutes ago."), false},
    };
    for (const auto &step : cases) {
        click(button(QStringLiteral("Check Now")));
        updates.answer(release(step.build));
        EXPECT_EQ(page().updateStatus(), step.status);
        EXPECT_EQ(!button(QStringLiteral("Download"))->isHidden(), step.download) << step.build;
    }
    click(button(QStringLiteral("Check Now")));
    updates.answer(std::nullopt);
    EXPECT_EQ(page().updateStatus(),
              QStringLiteral("Couldn't reach %1. Check your internet connection. Checked 5 minutes ago.").arg(host));
}

TEST_F(AboutPageTest, DownloadOpensOnlyHttpsAddresses)
{
    const struct {
        const char *url;
        bool opens;
    } cases[] = {
        {"https://tamocove.org/download", true},
        {"http://tamocove.org/download", false},
        {"file:///etc/passwd", false},
        {"x-scheme-handler:run", false},
        {"https:///no-host", false},
    };
    for (const auto &step : cases)
        EXPECT_EQ(AboutPage::openDownload(workspace, QUrl(QString::fromLatin1(step.url))), step.opens) << step.url;
    EXPECT_EQ(workspace.openedURLs(), QList<QUrl>({QUrl(QStringLiteral("https://tamocove.org/download"))}));
}

TEST_F(AboutPageTest, GetStartedOpensTheTourAndPersonalisation)
{
    updates.answer(std::nullopt);
    click(button(QStringLiteral("Explore Features…")));
    EXPECT_TRUE(ext.log.contains(QStringLiteral("tour.show")));
    click(button(QStringLiteral("Personalize…")));
    click(control<SwitchToggle>(page(), QStringLiteral("Check for Updates Automatically")));
    EXPECT_FALSE(defaults.boolValue(keys::checkForUpdates));
}
