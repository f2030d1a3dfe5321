#include "drawer/PanelController.h"

#include "app/AppModel.h"
#include "cards/Motion.h"
#include "cards/PreviewPanelView.h"
#include "cards/ScreenCardSizes.h"
#include "drawer/DrawerGeometry.h"
#include "drawer/GlassCard.h"
#include "drawer/RectString.h"
#include "drawer/TamoPanel.h"
#include "drawer/ToastController.h"
#include "drawer/WindowAnimation.h"
#include "model/Pinboards.h"
#include "model/SettingsKeys.h"
#include "platform/Defaults.h"
#include "platform/Screens.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>

namespace tamo {

using namespace DrawerGeometry;

namespace {

constexpr int slideInMs = 220;
constexpr int fadeOutMs = 120;
constexpr qreal previewSideMargin = 56;
// A window manager that has not handed the keyboard back by then never will.
constexpr int keyHandOverMs = 1000;

} // namespace

PanelController::PanelController(Defaults &defaults, Screens &screens, TimeScale timeScale, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_screens(screens)
    , m_timeScale(timeScale)
    , m_toast(std::make_unique<ToastController>(defaults, screens, timeScale))
{
    const QList<ScreenInfo> all = screens.screens();
    const qreal screenWidth = all.isEmpty() ? fallbackScreenWidth : all.first().frame.width();
    m_stripFrame = QRectF(0, 0, screenWidth - 2 * stripInset, stripHeight(defaults.doubleValue(keys::cardScale)));
    m_stripPanel = std::make_unique<TamoPanel>(new GlassCard(stripCornerRadius), false, stripCornerRadius,
                                               m_stripFrame.size().toSize());
    const QSizeF previewStartSize(std::min(screenWidth - previewSideMargin, previewSize.width()), previewSize.height());
    m_previewPanel = std::make_unique<TamoPanel>(new GlassCard(previewCornerRadius), true, previewCornerRadius,
                                                 previewStartSize.toSize());
    m_previewPanel->setMinimumSize(previewMinimumSize.toSize());
    // Named for screen readers only: the window manager keeps the app's name.
    m_stripPanel->setAccessibleName(QStringLiteral("TamoCove"));
    m_previewPanel->setAccessibleName(QStringLiteral("Preview"));
    m_stripAnimation = new WindowAnimation(m_stripPanel.get());
    applySharingType();

    m_keyHandOver.setSingleShot(true);
    m_keyHandOver.setInterval(keyHandOverMs);
    connect(&m_keyHandOver, &QTimer::timeout, this, &PanelController::checkKeyWindows);
    connect(m_stripPanel.get(), &TamoPanel::becameKey, &m_keyHandOver, &QTimer::stop);
    connect(m_stripPanel.get(), &TamoPanel::keyResigned, this, &PanelController::panelDidResignKey);
    connect(m_previewPanel.get(), &TamoPanel::keyResigned, this, &PanelController::panelDidResignKey);
    connect(m_previewPanel.get(), &TamoPanel::moved, this, &PanelController::savePreviewFrame);
    connect(m_previewPanel.get(), &TamoPanel::liveResizeEnded, this, &PanelController::savePreviewFrame);
}

PanelController::~PanelController()
{
    // Closing the windows must not run focus checks on a half-destroyed controller.
    m_stripPanel->disconnect(this);
    m_previewPanel->disconnect(this);
}

void PanelController::setModel(AppModel *model)
{
    m_model = model;
}

void PanelController::setStripContent(QWidget *content)
{
    m_stripPanel->setContent(content);
}

void PanelController::setPreviewContent(QWidget *content)
{
    m_previewPanel->setContent(content);
}

bool PanelController::isVisible() const
{
    return m_stripPanel->isVisible();
}

QRect PanelController::toQt(const QRectF &frame) const
{
    return m_screens.geometry().toQt(frame).toRect();
}

void PanelController::showStrip()
{
    ++m_hideGeneration;
    const auto screen = m_screens.screenUnderPointer();
    if (!screen)
        return;
    // The card size stored for this screen must be current before the height is taken from it.
    ScreenCardSizes::remember(m_defaults, {*screen});
    ScreenCardSizes::activate(m_defaults, ScreenCardSizes::screenID(*screen));
    m_stripFrame = stripFrame(screen->frame, m_defaults.doubleValue(keys::cardScale));
    m_stripShown = true;
    if (m_model)
        m_model->resetTransientState(); // the drawer always opens on the history, nothing selected

    m_stripAnimation->stop();
    m_stripPanel->setWindowOpacity(0);
    m_stripPanel->setGeometry(toQt(m_stripFrame.translated(0, -stripSlideDistance)));
    m_stripPanel->orderFront();
    m_stripPanel->makeKey();
    m_stripAnimation->run(toQt(m_stripFrame), 1, m_timeScale(slideInMs), timingCurve(0.2, 0.9, 0.25, 1.0));
}

void PanelController::hide(bool animated)
{
    if (!m_stripPanel->isVisible())
        return;
    m_stripShown = false;
    m_keyHandOver.stop();
    if (m_model) {
        m_model->closePreview(); // forgets the previewed clip, then comes back to closePreview()
        endEditing();
    } else {
        closePreview();
    }

    const int generation = ++m_hideGeneration;
    m_stripAnimation->hide(animated, m_timeScale(fadeOutMs),
                           [this, generation] { return generation != m_hideGeneration; });
}

void PanelController::endEditing()
{
    // A pinboard name being typed is committed, so it is trimmed and never left empty.
    const QUuid renaming = m_model->renamingPinboardID();
    if (!renaming.isNull()) {
        const QList<PinboardPtr> records = m_model->pinboards().pinboardWithID(renaming);
        if (records.isEmpty())
            m_model->setRenamingPinboardID({});
        else
            m_model->commitPinboardRename(*records.first());
    }
    if (m_model->isReorderingPinboards())
        m_model->endPinboardReorder();
    m_model->setRenamingItemID({});
}

void PanelController::showPreview()
{
    m_previewPanel->place(toQt(placePreview()));
    m_previewPanel->orderFront();
    m_previewPanel->makeKey();
    if (auto *view = qobject_cast<PreviewPanelView *>(m_previewPanel->content()))
        view->focusContent();
}

void PanelController::closePreview()
{
    if (!m_previewPanel->isVisible())
        return;
    m_previewPanel->hide();
    // The keyboard goes back only to a panel that stays: re-keying one being
    // hidden would take the focus from the app the user has just chosen.
    if (m_stripShown && m_stripPanel->isVisible()) {
        if (!m_stripPanel->isKey())
            m_keyHandOver.start();
        m_stripPanel->makeKey();
        if (m_model)
            m_model->bumpFocusToken(); // the strip's row takes the keyboard within its window
    } else if (m_model && m_model->menuBar().isPanelVisible())
        emit menuBarRefocusRequested();
}

QRectF PanelController::placePreview() const
{
    const QList<ScreenInfo> screens = m_screens.screens();
    if (const auto stored = m_defaults.string(keys::previewFrame)) {
        if (const auto rect = rectFromString(*stored)) {
            if (const auto usable = usablePreviewFrame(*rect, screens))
                return *usable;
        }
    }
    auto screen = screenHolding(m_stripFrame, screens);
    if (!screen && !screens.isEmpty())
        screen = screens.first();
    if (!screen)
        return QRectF(QPointF(0, 0), previewSize);
    return centredPreviewFrame(screen->visibleFrame, isVisible() ? std::optional(m_stripFrame) : std::nullopt);
}

void PanelController::savePreviewFrame()
{
    // Our own placement, and the window manager's adjustments of it, would
    // pin the preview to where it first opened, over the drawer.
    if (!m_previewPanel->isArrangedByUser() || m_previewPanel->inLiveResize() || !m_previewPanel->isVisible())
        return;
    const QRectF frame = m_screens.geometry().fromQt(QRectF(m_previewPanel->geometry()));
    m_defaults.setValue(keys::previewFrame, rectToString(frame));
}

void PanelController::applySharingType()
{
    const bool shown = m_defaults.boolValue(keys::showDuringScreenSharing);
    const auto type = shown ? TamoPanel::SharingType::readOnly : TamoPanel::SharingType::none;
    m_stripPanel->setSharingType(type);
    m_previewPanel->setSharingType(type);
    m_toast->setShownDuringScreenSharing(shown);
}

void PanelController::showPasteNotice(const QString &message)
{
    m_toast->showPasteNotice(message);
}

void PanelController::showReadyToast(const QString &message)
{
    m_toast->showReadyToast(message);
}

void PanelController::showToast(const QString &message, const QString &symbol)
{
    m_toast->showToast(message, symbol);
}

void PanelController::panelDidResignKey()
{
    // One turn later the window that took the keyboard is known. A show or
    // hide in between has dealt with the keyboard already.
    QTimer::singleShot(0, this, [this, generation = m_hideGeneration] {
        if (generation == m_hideGeneration)
            checkKeyWindows();
    });
}

void PanelController::checkKeyWindows()
{
    if (m_stripPanel->isVisible()) {
        // Between the strip and the preview the drawer stays; anywhere else it goes.
        if (!m_stripPanel->isKey() && !m_previewPanel->isKey() && !m_keyHandOver.isActive())
            hide(true);
        return;
    }
    if (!m_model || !m_model->isOrderedPreviewOpen() || m_previewPanel->isKey() || isMenuBarPanelKey())
        return;
    // A preview opened from the menu-bar panel lost the keyboard to another app.
    m_model->menuBar().hidePanel(false);
    m_model->closePreview();
}

bool PanelController::isMenuBarPanelKey() const
{
    const auto *active = qobject_cast<const TamoPanel *>(QApplication::activeWindow());
    return active && active != m_stripPanel.get() && active != m_previewPanel.get()
        && m_model->menuBar().isPanelVisible();
}

} // namespace tamo
