#include "drawer/PanelView.h"

#include "app/AppModel.h"
#include "drawer/ClipCardMenu.h"
#include "drawer/ClipStrip.h"
#include "drawer/DrawerGeometry.h"
#include "drawer/PinboardBar.h"

#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr int topInset = 12;
constexpr int bottomInset = 4;
constexpr int barToStripSpacing = 2;

} // namespace

PanelView::PanelView(AppModel &model, const CardContext &cards, TimeScale timeScale, QWidget *parent)
    : GlassCard(DrawerGeometry::stripCornerRadius, parent)
    , m_model(model)
    , m_cards(cards)
    , m_timeScale(timeScale)
    , m_stack(new QVBoxLayout(this))
    , m_bar(new PinboardBar(model, timeScale))
{
    // The row runs to the card's edges; the bar's room for the search pill
    // comes out of the space around it.
    m_stack->setContentsMargins(0, topInset - PinboardBar::pillOverhang, 0, bottomInset);
    m_stack->setSpacing(barToStripSpacing - PinboardBar::pillOverhang);
    m_stack->addWidget(m_bar);

    connect(&m_model, &AppModel::selectedPinboardIDChanged, this, &PanelView::showSelectedPinboard);
    showSelectedPinboard();
}

QString PanelView::title() const
{
    return m_bar->selectedTitle();
}

void PanelView::showSelectedPinboard()
{
    if (m_strip) {
        // A key press of the old row may be what switched pinboards: it goes
        // once that press is over, and answers for nothing from now on.
        m_strip->retire();
        m_strip->hide();
        m_strip->deleteLater();
    }
    m_strip = new ClipStrip(m_model, m_cards, m_model.selectedPinboardID(), m_timeScale);
    const bool inPinboard = !m_strip->pinboardID().isNull();
    connect(m_strip, &ClipStrip::contextMenuRequested, this,
            [this, inPinboard](const QList<ClipItemPtr> &clips, const QPoint &at) {
                ClipCardMenu::popup(m_model, clips, inPinboard, m_cards.isInMenuBarPanel, at);
            });
    m_stack->addWidget(m_strip, 1);
    if (isVisible())
        m_strip->show(); // at once, so the next key press already finds it
}

} // namespace tamo
