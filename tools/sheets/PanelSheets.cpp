#include "sheets/PanelSheets.h"

#include "sheets/SampleSet.h"
#include "sheets/Scene.h"

#include "app/AboutPanel.h"
#include "drawer/ClipStrip.h"
#include "drawer/PanelView.h"
#include "drawer/PinboardMenu.h"
#include "drawer/PictureEffect.h"
#include "menubar/MenuBarClipsState.h"
#include "menubar/MenuBarClipsView.h"
#include "menubar/MenuBarGeometry.h"
#include "menubar/MenuBarViewState.h"
#include "model/ClipKind.h"
#include "model/SearchFilter.h"
#include "model/SettingsKeys.h"
#include "platform/Alerts.h"

#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QTest>

#include <cstdio>

namespace tamo::sheets {

namespace {

constexpr int wallpaperMargin = 36;
// Animations run at a twentieth, so each state settles quickly.
constexpr TimeScale quickly{0.05};
constexpr int settleMs = 350;

struct Boards
{
    PinboardPtr work;
    PinboardPtr ideas; // stays empty
};

PinboardPtr namedBoard(AppModel &model, const QString &name, int colorIndex)
{
    PinboardPtr board = model.newPinboard();
    board->setName(name);
    model.commitPinboardRename(*board);
    model.setPinboardColor(colorIndex, *board);
    return board;
}

// The sample clips in the scene's store, some pinned to "Work".
Boards fillHistory(Scene &scene, const QList<Sample> &samples)
{
    AppModel &model = scene.model();
    ModelContext &context = model.container().mainContext();
    QList<ClipItemPtr> stored;
    for (const Sample &sample : samples) {
        // The clip of a newer version's kind lives in a store of its own.
        if (sample.item->kindRaw() != rawValue(sample.item->kind()))
            continue;
        context.insert(sample.item);
        stored.append(sample.item);
    }
    context.save();
    Boards boards{namedBoard(model, QStringLiteral("Work"), 0), namedBoard(model, QStringLiteral("Ideas"), 4)};
    namedBoard(model, QStringLiteral("Recipes and weekend plans"), 6);
    model.pin({stored[1], stored[4], stored[6]}, *boards.work);
    return boards;
}

class Camera
{
public:
    Camera(const QString &suffix, const QString &folder) : m_suffix(suffix), m_folder(folder) {}

    // The view as a person sees it: over a bright wallpaper, once it has settled.
    void shoot(QWidget &view, const QString &name) const
    {
        QTest::qWait(settleMs);
        const QSize size = view.size() + QSize(2 * wallpaperMargin, 2 * wallpaperMargin);
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        QLinearGradient wallpaper(0, 0, size.width(), size.height());
        wallpaper.setColorAt(0, QColor(0x1F, 0x8A, 0x9E));
        wallpaper.setColorAt(0.5, QColor(0x7B, 0x5C, 0xD6));
        wallpaper.setColorAt(1, QColor(0xF0, 0x8A, 0x4B));
        painter.fillRect(image.rect(), wallpaper);
        // render() misplaces children drawn through graphics effects. A
        // settled view needs none: what one has faded out is left out.
        QList<QWidget *> faded;
        QList<QGraphicsEffect *> paused;
        for (QWidget *child : view.findChildren<QWidget *>()) {
            auto *effect = qobject_cast<PictureEffect *>(child->graphicsEffect());
            if (!effect || !child->isVisible())
                continue;
            if (effect->hasLook() && effect->opacity() == 0) {
                child->hide();
                faded.append(child);
            } else {
                effect->setEnabled(false);
                paused.append(effect);
            }
        }
        QImage panel(view.size(), QImage::Format_ARGB32_Premultiplied);
        panel.fill(Qt::transparent);
        view.render(&panel, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.drawImage(QPoint(wallpaperMargin, wallpaperMargin), panel);
        for (QWidget *child : std::as_const(faded))
            child->show();
        for (QGraphicsEffect *effect : std::as_const(paused))
            effect->setEnabled(true);
        painter.end();
        const QString path = QDir(m_folder).filePath(name + m_suffix + QStringLiteral(".png"));
        if (image.save(path))
            std::printf("%s\n", qPrintable(path));
        else
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    }

private:
    QString m_suffix;
    QString m_folder;
};

void shootDrawer(Scene &scene, const Boards &boards, const Camera &camera)
{
    AppModel &model = scene.model();
    PanelView view(model, scene.cards(), quickly);
    view.resize(1424, 404);
    view.show();
    const auto state = [&](const char *name, const std::function<void()> &arrange) {
        model.resetTransientState();
        model.setSearchOpened(false);
        arrange();
        camera.shoot(view, QStringLiteral("drawer-") + QLatin1String(name));
    };
    state("history", [] {});
    state("search", [&] {
        model.setSearchOpened(true);
        model.setSearchText(QStringLiteral("the"));
        model.setSearchFilters({SearchFilter::kind(ClipKind::text),
                                SearchFilter::app(QStringLiteral("com.example.Notes"), QStringLiteral("Notes"))});
    });
    state("pinboard", [&] { model.setSelectedPinboardID(boards.work->id()); });
    state("reordering", [&] { model.setReorderingPinboards(true); });
    model.endPinboardReorder();
    // The title field over the first card, the age under it still showing.
    state("renaming", [&] {
        if (!view.strip()->visibleClips().isEmpty())
            model.beginRenaming(*view.strip()->visibleClips().front(), false);
    });
    model.endRenaming();
    state("no-match", [&] {
        model.setSearchOpened(true);
        model.setSearchText(QStringLiteral("zebra crossing"));
    });
    state("filtered-out", [&] {
        model.setSearchOpened(true);
        model.setSearchFilters({SearchFilter::kind(ClipKind::image),
                                SearchFilter::app(QStringLiteral("com.example.Notes"), QStringLiteral("Notes"))});
    });
    state("empty-pinboard", [&] { model.setSelectedPinboardID(boards.ideas->id()); });
}

// Windows and menus the panels open: a pinboard's colour menu with its
// current colour marked, the alert an import ends with, the about panel.
void shootDialogs(Scene &scene, const Boards &boards, const Camera &camera)
{
    QWidget anchor;
    QMenu *menu = PinboardMenu{}.make(scene.model(), boards.ideas, &anchor);
    QMenu *colours = menu->actions()[1]->menu();
    colours->adjustSize();
    colours->show();
    camera.shoot(*colours, QStringLiteral("menu-pinboard-colour"));
    colours->hide();
    delete menu;

    const MessageBoxAlerts::Box alert = MessageBoxAlerts::build(
        {QStringLiteral("1 pinboard imported"), QStringLiteral("“Work”: 3 clips added."), {}, -1});
    alert.box->show();
    camera.shoot(*alert.box, QStringLiteral("alert-import-result"));
    alert.box->hide();

    AboutPanel about;
    about.showAbout();
    camera.shoot(about, QStringLiteral("about"));
}

void shootEmptyDrawer(Scene &scene, const Camera &camera)
{
    PanelView view(scene.model(), scene.cards(), quickly);
    view.resize(1424, 404);
    view.show();
    camera.shoot(view, QStringLiteral("drawer-empty-history"));
}

// The panel of one layout, opened as the status item opens it.
struct MenuBarPanel
{
    MenuBarPanel(Scene &scene, const QString &layout)
    {
        scene.defaults.setValue(keys::menuBarLayout, layout);
        view = std::make_unique<MenuBarClipsView>(
            scene.model(), scene.cards(), counters,
            MenuBarClipsView::Actions{[] {}, [] {}, [] {}, [](const QList<ClipItemPtr> &) {}});
        view->resize(MenuBarGeometry::panelSize(1.0, 0, layout).toSize());
        view->show();
        counters.setOpenCount(counters.openCount() + 1);
    }

    MenuBarClipsState counters;
    std::unique_ptr<MenuBarClipsView> view;
};

void shootMenuBar(Scene &full, Scene &empty, const Boards &boards, const Camera &camera)
{
    for (const QString &layout : {QStringLiteral("vertical"), QStringLiteral("horizontal")}) {
        MenuBarPanel panel(full, layout);
        camera.shoot(*panel.view, QStringLiteral("menubar-%1-history").arg(layout));
    }
    MenuBarPanel panel(full, QStringLiteral("vertical"));
    MenuBarViewState &state = panel.view->viewState();
    state.setQuery(QStringLiteral("the"));
    state.setFilters({SearchFilter::kind(ClipKind::text)});
    camera.shoot(*panel.view, QStringLiteral("menubar-search"));
    state.setQuery({});
    state.setFilters({});
    state.setBoardID(boards.work->id());
    camera.shoot(*panel.view, QStringLiteral("menubar-pinboard"));
    state.setBoardID(boards.ideas->id());
    camera.shoot(*panel.view, QStringLiteral("menubar-empty-pinboard"));

    MenuBarPanel emptyPanel(empty, QStringLiteral("vertical"));
    camera.shoot(*emptyPanel.view, QStringLiteral("menubar-empty-history"));
}

} // namespace

void writePanelSheets(Scene &full, Scene &empty, testing::FakeCompositor &compositor, const QString &theme,
                      const QString &folder)
{
    SampleSet set(full.clock.now());
    const Boards boards = fillHistory(full, set.make());
    for (const bool compositing : {true, false}) {
        // Views read the compositor as they build their cards, so each pass builds its own.
        compositor.running = compositing;
        const Camera camera(QStringLiteral("-%1-%2").arg(theme, compositing ? QStringLiteral("glass")
                                                                            : QStringLiteral("opaque")),
                            folder);
        shootDrawer(full, boards, camera);
        shootEmptyDrawer(empty, camera);
        shootMenuBar(full, empty, boards, camera);
        if (compositing)
            shootDialogs(full, boards, camera);
    }
}

} // namespace tamo::sheets
