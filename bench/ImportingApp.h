#pragma once

#include "support/FakeAccessibility.h"
#include "support/FakeClock.h"
#include "support/FakeEventPoster.h"
#include "support/FakeGlobalHotKeys.h"
#include "support/FakePasteboard.h"
#include "support/FakeScreenshotFolder.h"
#include "support/FakeSounds.h"
#include "support/FakeWorkspace.h"

#include "app/AppModel.h"
#include "platform/Alerts.h"
#include "platform/Defaults.h"
#include "platform/FilePanels.h"
#include "transfer/ImportProgress.h"
#include "transfer/PinboardFiles.h"
#include "transfer/PinboardPicker.h"

#include <QNetworkAccessManager>
#include <QTemporaryDir>

namespace tamo::bench {

// The user of the import: ticks every pinboard, answers every alert with its
// first button and remembers the last one; the import's progress goes nowhere.
class Answers final : public Alerts, public PinboardPicker, public FilePanels, public ImportProgress
{
public:
    void begin(const QString &, std::function<void()>) override { importing = true; }
    void update(const QString &text, qint64, qint64) override { step = text.section(u' ', 0, 0); }
    void end() override { importing = false; }
    bool inUse() const override { return importing; }
    int runModal(const AlertSpec &spec) override
    {
        last = spec.message + QStringLiteral(": ") + spec.informativeText;
        return 0;
    }
    PickerAnswer run(const PickerRequest &request) override
    {
        QList<int> all;
        for (int i = 0; i < request.rows.size(); ++i)
            all.append(i);
        return {all, false};
    }
    std::optional<QString> chooseSaveFile(const FileType &, const QString &) override { return std::nullopt; }
    std::optional<QString> chooseOpenFile(const FileType &) override { return std::nullopt; }

    QString last;
    QString step; // what the import does now
    bool importing = false;
};

// The app around an empty store, its dialogs answered by `answers`.
struct ImportingApp
{
    explicit ImportingApp(const QString &folder)
    {
        model = std::make_unique<AppModel>(PlatformServices{&defaults, &clock, &pasteboard, &workspace, &hotKeys,
                                                            &poster, &accessibility, &answers, &sounds,
                                                            &screenshotFolder, &network},
                                           folder, AppExtensions{});
        files.attach(*model);
    }

    QTemporaryDir configFolder;
    Defaults defaults{configFolder.filePath(QStringLiteral("defaults.json"))};
    tamo::testing::FakeClock clock;
    tamo::testing::FakePasteboard pasteboard;
    tamo::testing::FakeWorkspace workspace;
    tamo::testing::FakeGlobalHotKeys hotKeys;
    tamo::testing::FakeEventPoster poster;
    tamo::testing::FakeAccessibility accessibility;
    tamo::testing::FakeSounds sounds;
    tamo::testing::FakeScreenshotFolder screenshotFolder;
    QNetworkAccessManager network;
    Answers answers;
    PinboardFiles files{defaults, answers, answers, answers, answers, clock};
    std::unique_ptr<AppModel> model;
};
} // namespace tamo::bench
