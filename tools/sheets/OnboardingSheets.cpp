#include "sheets/OnboardingSheets.h"

#include "sheets/Scene.h"

#include "cards/ThumbnailCache.h"
#include "model/SettingsEnums.h"
#include "model/SettingsKeys.h"
#include "onboarding/FeatureTour.h"
#include "onboarding/OnboardingStyle.h"
#include "onboarding/PageTransition.h"
#include "onboarding/PersonalizeView.h"
#include "onboarding/TourPages.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPainter>

#include <cstdio>

namespace tamo::sheets {

namespace {

// Pictures side by side, `columns` to a row, with a gap between them.
QImage tile(const QList<QImage> &pictures, int columns)
{
    const int gap = 24;
    const QSize cell = pictures.first().size();
    const int rows = int((pictures.size() + columns - 1) / columns);
    QImage sheet(columns * cell.width() + (columns + 1) * gap, rows * cell.height() + (rows + 1) * gap,
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(0x80, 0x80, 0x88));
    QPainter painter(&sheet);
    for (qsizetype i = 0; i < pictures.size(); ++i)
        painter.drawImage(gap + int(i % columns) * (cell.width() + gap), gap + int(i / columns) * (cell.height() + gap),
                          pictures[i]);
    return sheet;
}

QImage picture(QWidget &view)
{
    view.ensurePolished();
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    QCoreApplication::processEvents(); // a page's new widgets show from the event loop
    // The page a step left fades out first.
    QDeadlineTimer deadline(10 * PageTransition::durationMs);
    while (!view.findChildren<PageTransition *>().isEmpty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QCoreApplication::processEvents(); // the removed picture's deletion
    // The page mark glides to its page meanwhile.
    for (QDeadlineTimer glide(PageDots::glideMs); !glide.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return view.grab().toImage();
}

void save(const QImage &sheet, const QString &folder, const QString &name)
{
    const QString path = folder + u'/' + name;
    if (!sheet.save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}

} // namespace

void writeOnboardingSheets(Scene &scene, const QString &theme, const QString &folder)
{
    AppModel &model = scene.model();
    ThumbnailCache thumbnails;
    QList<QImage> personalize;
    scene.defaults.setValue(keys::shortcutTarget, rawValue(ShortcutTarget::menuBar));
    PersonalizeView view({model, scene.defaults, thumbnails}, [] {});
    view.setFixedSize(760, 680);
    for (int page = 0; page < 4; ++page) {
        personalize << picture(view);
        view.move(+1);
    }
    save(tile(personalize, 2), folder, QStringLiteral("onboarding-personalize-%1.png").arg(theme));

    QList<QImage> tour;
    TourView tourView({model, scene.defaults}, [] {});
    tourView.setFixedSize(644, 621);
    for (int page = 0; page < FeatureTourPages::pages().size(); ++page) {
        tourView.setIndex(page);
        tour << picture(tourView);
    }
    // The bonus pages again with their tools switched on.
    for (const auto key : {keys::windowSwitcherEnabled, keys::windowSizeEnabled, keys::threeFingerMiddleClick,
                           keys::inputSourceByApp})
        scene.defaults.setValue(key, true);
    for (qsizetype page = FeatureTourPages::pages().size() - 4; page < FeatureTourPages::pages().size(); ++page) {
        tourView.setIndex(int(page));
        tour << picture(tourView);
    }
    save(tile(tour, 4), folder, QStringLiteral("onboarding-tour-%1.png").arg(theme));
}

} // namespace tamo::sheets
