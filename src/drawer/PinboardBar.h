#pragma once

#include "drawer/GlidingGlass.h"
#include "drawer/PictureEffect.h"
#include "drawer/SearchPill.h"
#include "drawer/TimeScale.h"
#include "model/Pinboard.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

class QGridLayout;
class QHBoxLayout;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace tamo {

class AppModel;
class PinboardTab;
class PinboardTabLabel;
class SettingsGear;
struct SaveSummary;

// Room kept free at the tabs' trailing end for the controls laid over it.
int tabsTrailingInset(bool syncIndicatorShown, bool reordering);

// The drawer's top bar: the search button, the "Clipboard History" tab, one
// tab per pinboard and "New Pinboard" in a row that is centred when short
// and scrolls when long, with "Done" (while reordering), Explore Features
// and the settings gear laid over its trailing end. While a search is
// active the row fades out and stops taking clicks, and the search pill
// takes its place. Everything it shows lives in AppModel.
class PinboardBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int barHeight = 36;
    static constexpr int sidePadding = 20;
    // The search pill is taller than the bar and reaches this far past it
    // above and below; the widget includes that room so the pill is whole.
    static constexpr int pillOverhang = (SearchPill::fixedHeight - barHeight) / 2;

    explicit PinboardBar(AppModel &model, TimeScale timeScale = {}, QWidget *parent = nullptr);

    // The pinboard tabs, in the row's order.
    const QList<PinboardTab *> &tabs() const { return m_tabs; }
    PinboardTabLabel *historyTab() const { return m_historyTab; }
    QToolButton *searchButton() const { return m_searchButton; }
    QToolButton *newPinboardButton() const { return m_newPinboard; }
    QPushButton *doneButton() const { return m_done; }
    SettingsGear *gear() const { return m_gear; }
    QScrollArea *tabsArea() const { return m_scroll; }
    QWidget *tabsHolder() const { return m_tabsHolder; }
    // Present only while the search is active.
    SearchPill *searchPill() const { return m_pill; }
    // The title of the selected tab.
    QString selectedTitle() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *makeTrailingControls();
    void reloadPinboards();
    void placeTabs(const QList<PinboardTab *> &ordered);
    void slideSwappedTabs(const QHash<PinboardTab *, int> &shownAt);
    // left: the share of each tab's way still to go, 1 at the start.
    void slideTabs(qreal left);
    void showSelection();
    void scrollToSelection();
    void updateSearchState();
    void showSearchProgress(qreal progress);
    void searchMotionEnded();
    void updateReordering();
    void placeTrailingControls();

    AppModel &m_model;
    TimeScale m_timeScale;
    QGridLayout *m_centre;
    QWidget *m_tabsHolder;
    QScrollArea *m_scroll;
    QHBoxLayout *m_row;
    QToolButton *m_searchButton;
    PinboardTabLabel *m_historyTab;
    QToolButton *m_newPinboard;
    QWidget *m_trailing;
    QWidget *m_doneHolder;
    QPushButton *m_done;
    SettingsGear *m_gear;
    QList<PinboardTab *> m_tabs;
    GlidingGlass *m_glide;
    QPointer<PinboardTabLabel> m_selectedLabel;
    QPointer<SearchPill> m_pill;
    QPointer<SearchPill> m_closingPill; // shrinking back into the search button
    PictureEffect *m_tabsLook;
    // 0 with the tabs shown, 1 with the pill; springs between them.
    QVariantAnimation m_searchMotion;
    qreal m_searchProgress = 0;
    QVariantAnimation m_wiggle;
    // Tabs that changed places slide there from where they stood.
    QVariantAnimation m_tabSwap;
    struct Slide
    {
        QPoint place;
        int distance = 0; // from the place as the slide starts
    };
    QHash<PinboardTab *, Slide> m_slides;
    QTimer m_reload;
    bool m_searchActive = false;
};

} // namespace tamo
