#include "SettingsFixture.h"

#include "model/ClipDraft.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "platform/Alerts.h"
#include "settings/GeneralPage.h"
#include "settings/HistoryCapacityControl.h"
#include "settings/PasteNoticeSample.h"
#include "settings/Pickers.h"
#include "settings/StatusBadge.h"
#include "settings/StopSlider.h"
#include "settings/SupportReportButton.h"
#include "settings/SyncStatusLine.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

using namespace tamo;
using namespace tamo::testing;

namespace {

class GeneralPageTest : public PageFixture<GeneralPage>
{
protected:

    StopSlider *capacity() { return control<HistoryCapacityControl>(page(), QStringLiteral("History Capacity"))->slider(); }
    // The user drags the slider to a stop.
    void drag(int stop) { capacity()->slider()->setValue(stop); }
    void waitForCheck()
    {
        auto *control = this->control<HistoryCapacityControl>(page(), QStringLiteral("History Capacity"));
        EXPECT_TRUE(QTest::qWaitFor([control] { return !control->isCheckPending(); }, 3000));
    }
    ClipItemPtr oldClip()
    {
        auto clip = std::make_shared<ClipItem>(ClipDraft::fromText(QStringLiteral("old")), clock.now().addDays(-3));
        model().container().mainContext().insert(clip);
        model().container().mainContext().save();
        return clip;
    }
};

} // namespace

TEST_F(GeneralPageTest, SwitchesWriteOnlyWhatTheUserChanges)
{
    defaults.setValue(keys::soundEffects, QStringLiteral("ten megabytes of text")); // of the wrong type
    page();
    EXPECT_TRUE(control<SwitchToggle>(page(), QStringLiteral("Sound Effects"))->isChecked()) << "the default shows";
    EXPECT_EQ(defaults.persistentEntries().keys(), QStringList({QString(keys::soundEffects)})) << "nothing written";

    click(control<SwitchToggle>(page(), QStringLiteral("Always Paste as Plain Text")));
    EXPECT_TRUE(defaults.boolValue(keys::alwaysPlainText));
    defaults.setValue(keys::showMenuBarIcon, false); // from elsewhere
    EXPECT_FALSE(control<SwitchToggle>(page(), QStringLiteral("Show TamoCove in the Tray"))->isChecked());
}

TEST_F(GeneralPageTest, LaunchAtLoginShowsTheRealStateAfterAFailure)
{
    loginItem.enabled = false;
    loginItem.refuses = true;
    auto *launch = control<SwitchToggle>(page(), QStringLiteral("Launch TamoCove at Login"));
    click(launch);
    EXPECT_FALSE(launch->isChecked());
    EXPECT_EQ(loginItem.requests, QStringList({"on"})) << "the correction asks for nothing";
    loginItem.refuses = false;
    click(launch);
    EXPECT_TRUE(launch->isChecked());
    EXPECT_TRUE(loginItem.enabled);
}

TEST_F(GeneralPageTest, SyncSwitchShowsTheStoredChoiceAfterItsAlert)
{
    defaults.setValue(keys::iCloudSync, false);
    auto *sync = control<SwitchToggle>(page(), QStringLiteral("Sync History and Pinboards"));
    EXPECT_FALSE(sync->isChecked());
    alerts.answer(1); // Cancel
    click(sync);
    EXPECT_FALSE(sync->isChecked());
    EXPECT_EQ(relauncher.relaunches, 0);
    alerts.answer(0); // Restart TamoCove
    click(sync);
    EXPECT_TRUE(sync->isChecked());
    EXPECT_EQ(relauncher.relaunches, 1);
}

TEST_F(GeneralPageTest, SyncStatusLineFollowsTheStatus)
{
    const struct {
        SyncStatus status;
        QString text;
    } cases[] = {
        {SyncStatus::of(SyncStatus::Kind::off), QString()},
        {SyncStatus::upToDate(clock.now().addSecs(-300)), QStringLiteral("Up to date · synced 5 minutes ago")},
        {SyncStatus::failed(QStringLiteral("The disk is full")), QStringLiteral("The disk is full")},
        {SyncStatus::of(SyncStatus::Kind::syncing), QStringLiteral("Writing to the sync folder · started now\nLast synced now")},
    };
    SyncStatusLine *line = page().findChild<SyncStatusLine *>();
    ASSERT_TRUE(line);
    for (const auto &step : cases) {
        ext.syncStatus = step.status;
        ext.syncChanged();
        EXPECT_EQ(line->text(), step.text);
    }
    ext.syncNotice = QStringLiteral("This computer now syncs as a new device.");
    ext.syncStatus = SyncStatus::upToDate(clock.now().addSecs(-300));
    ext.syncChanged();
    EXPECT_EQ(line->text(), QStringLiteral("Up to date · synced 5 minutes ago\nThis computer now syncs as a new device."))
        << "what sync noticed stays under the status";
    ext.syncStatus = SyncStatus::of(SyncStatus::Kind::noAccount);
    ext.syncChanged();
    EXPECT_TRUE(line->text().startsWith(QStringLiteral("Create the folder "))) << line->text().toStdString();

    // The text once sat some 140 px right of its symbol, centred in the spare width.
    page().resize(600, 900);
    page().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&page()));
    ASSERT_GT(line->width(), 400);
    const QList<QLabel *> parts = line->findChildren<QLabel *>();
    ASSERT_EQ(parts.size(), 2);
    const QLabel *text = parts.at(0)->text().isEmpty() ? parts.at(1) : parts.at(0);
    const QLabel *symbol = text == parts.at(0) ? parts.at(1) : parts.at(0);
    const int textStart = text->geometry().left() + text->contentsRect().left();
    EXPECT_LE(textStart - symbol->geometry().right(), 12);
}

TEST_F(GeneralPageTest, CapacityAsksOnlyAboutTheStopTheSliderRestsOn)
{
    oldClip();
    EXPECT_EQ(capacity()->value(), 2);
    drag(0);
    drag(2); // back to the stored stop within the wait
    waitForCheck();
    EXPECT_TRUE(alerts.shown().isEmpty());

    drag(1);
    drag(0);
    alerts.answer(1); // Cancel
    waitForCheck();
    ASSERT_EQ(alerts.shown().size(), 1);
    EXPECT_EQ(alerts.shown().first().message, QStringLiteral("Remove 1 clip?"));
    EXPECT_EQ(capacity()->value(), 2) << "a declined change moves the slider back";

    drag(3); // removes nothing
    waitForCheck();
    EXPECT_EQ(alerts.shown().size(), 1);
    EXPECT_EQ(defaults.integer(keys::historyCapacity), 3);
}

// "Unlimited" once sat some 20 px left of its tick, the middle names further still.
TEST_F(GeneralPageTest, EachCapacityNameIsCentredUnderItsTick)
{
    for (const int width : {240, 320, 420}) {
        SCOPED_TRACE(width);
        StopSlider slider({QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month"),
                           QStringLiteral("Unlimited")});
        slider.resize(width, slider.minimumSizeHint().height());
        slider.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
        const QList<QLabel *> names = slider.findChildren<QLabel *>();
        ASSERT_EQ(names.size(), 4);
        for (int stop = 0; stop < names.size(); ++stop) {
            const QRect name = names.at(stop)->geometry();
            EXPECT_LE(std::abs(name.center().x() - slider.tickCentre(stop)), 1) << names.at(stop)->text().toStdString();
            EXPECT_GE(name.left(), 0);
            EXPECT_LE(name.right(), slider.width() - 1);
            EXPECT_GT(name.top(), slider.slider()->geometry().bottom()) << "under the slider";
            EXPECT_LE(name.bottom(), slider.height() - 1) << "shown whole";
        }
    }
}

TEST_F(GeneralPageTest, InvalidStoredCapacityShowsMonthAndRemoteChangesMoveTheSlider)
{
    defaults.setValue(keys::historyCapacity, 99);
    EXPECT_EQ(capacity()->value(), 2);
    drag(1);
    defaults.setValue(keys::historyCapacity, 3); // another machine, while the slider waits
    EXPECT_EQ(capacity()->value(), 3);
    waitForCheck();
    EXPECT_TRUE(alerts.shown().isEmpty());
    EXPECT_EQ(defaults.integer(keys::historyCapacity), 3);
}

TEST_F(GeneralPageTest, PastingRowsFollowDirectPasteAndAccessibility)
{
    accessibility.trusted = false;
    model().refreshPermissions();
    EXPECT_FALSE(isShown(page(), QStringLiteral("Status")));
    EXPECT_TRUE(isShown(page(), QStringLiteral("Paste Notice")));
    EXPECT_TRUE(page().findChild<PasteNoticeSample *>()->isVisibleTo(&page()));

    click(control<SwitchToggle>(page(), QStringLiteral("Direct Paste")));
    EXPECT_TRUE(defaults.boolValue(keys::directPaste));
    EXPECT_TRUE(isShown(page(), QStringLiteral("Status")));
    EXPECT_TRUE(isShown(page(), QStringLiteral("Accessibility Needed")));
    EXPECT_EQ(control<StatusBadge>(page(), QStringLiteral("Status"))->text(),
              QStringLiteral("Waiting for Accessibility access"));
    EXPECT_FALSE(isShown(page(), QStringLiteral("Paste Notice")));

    accessibility.trusted = true;
    model().refreshPermissions();
    EXPECT_EQ(control<StatusBadge>(page(), QStringLiteral("Status"))->text(), QStringLiteral("Active"));
    EXPECT_FALSE(isShown(page(), QStringLiteral("Accessibility Needed")));
}

TEST_F(GeneralPageTest, PasteNoticePickerWritesAndTheSampleFollows)
{
    auto *picker = control<PopUpPicker>(page(), QStringLiteral("Paste Notice"));
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->currentText(), QStringLiteral("Card with Ctrl+V Tip"));
    picker->activated(2);
    EXPECT_EQ(defaults.string(keys::pasteNotice), QStringLiteral("none"));
    auto *sample = page().findChild<PasteNoticeSample *>();
    EXPECT_EQ(sample->notice(), PasteNotice::none);
    EXPECT_EQ(sample->caption(), QStringLiteral("Nothing appears. The clip is still copied; press Ctrl+V to paste it."));
    EXPECT_TRUE(sample->noticeSize().isEmpty());
}

TEST_F(GeneralPageTest, SupportReportIsRevealedOrItsFailureShown)
{
    struct Reports : RecordingExtensions
    {
        std::function<void(const SupportReportResult &)> finish;
        void createSupportReport(QObject *, std::function<void(const SupportReportResult &)> done) override
        {
            finish = std::move(done);
        }
    } reports;
    GeneralPage page(environmentWith([&reports](AppExtensions &parts) { parts.onboarding = &reports; }));
    auto *button = control<SupportReportButton>(page, QStringLiteral("Support Report"));
    ASSERT_TRUE(button);

    const int idleWidth = button->button()->sizeHint().expandedTo(button->button()->minimumSize()).width();
    click(button->button());
    EXPECT_TRUE(button->isExporting());
    EXPECT_EQ(button->button()->text(), QStringLiteral("Collecting…"));
    EXPECT_EQ(button->button()->sizeHint().expandedTo(button->button()->minimumSize()).width(), idleWidth)
        << "no narrower while collecting";
    reports.finish({}); // cancelled
    EXPECT_EQ(button->button()->text(), QStringLiteral("Export Support Report…"));
    EXPECT_TRUE(alerts.shown().isEmpty());

    click(button->button());
    reports.finish({QStringLiteral("/tmp/report.zip"), {}});
    EXPECT_EQ(workspace.revealedFiles(), QStringList({"/tmp/report.zip"}));

    // No file manager, and no opener for folders: the user is told where it is.
    workspace.setCanReveal(false);
    click(button->button());
    alerts.answer(0);
    reports.finish({QStringLiteral("/tmp/report 2.zip"), {}});
    ASSERT_EQ(alerts.shown().size(), 1);
    EXPECT_EQ(alerts.shown().first().message, QStringLiteral("Support report saved"));
    EXPECT_TRUE(alerts.shown().first().informativeText.contains(QStringLiteral("“/tmp/report 2.zip”")));

    click(button->button());
    alerts.answer(0);
    reports.finish({{}, QStringLiteral("zip stopped with code 2")});
    ASSERT_EQ(alerts.shown().size(), 2);
    EXPECT_EQ(alerts.shown().last().message, QStringLiteral("Couldn't export the support report"));
    EXPECT_EQ(alerts.shown().last().informativeText, QStringLiteral("zip stopped with code 2"));
    EXPECT_EQ(alerts.shown().last().style, AlertSpec::Style::warning);
    EXPECT_FALSE(button->isExporting());
}
