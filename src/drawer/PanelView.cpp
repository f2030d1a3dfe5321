#include "drawer/PanelView.h"

#include "app/AppModel.h"
#include "cards/ViewStyles.h"
#include "drawer/ClipStrip.h"
#include "drawer/DrawerGeometry.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Pinboards.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr int topInset = 12;
constexpr int bottomInset = 4;
constexpr int barToStripSpacing = 2;
constexpr int barHeight = 36;
constexpr int barSidePadding = 20;
constexpr double titlePoints = 13.5;

const QString historyTitle = QStringLiteral("Clipboard History");

} // namespace

PanelView::PanelView(AppModel &model, const CardContext &cards, TimeScale timeScale, QWidget *parent)
    : GlassCard(DrawerGeometry::stripCornerRadius, parent)
    , m_model(model)
    , m_cards(cards)
    , m_timeScale(timeScale)
    , m_stack(new QVBoxLayout(this))
    , m_title(new QLabel)
{
    m_title->setFont(uiFont(titlePoints));
    m_title->setTextFormat(Qt::PlainText);
    m_title->setAlignment(Qt::AlignCenter);
    auto *bar = new QWidget;
    bar->setFixedHeight(barHeight);
    auto *barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(barSidePadding, 0, barSidePadding, 0);
    barLayout->addWidget(m_title);

    m_stack->setContentsMargins(0, topInset, 0, bottomInset); // the row runs to the card's edges
    m_stack->setSpacing(barToStripSpacing);
    m_stack->addWidget(bar);

    connect(&m_model, &AppModel::selectedPinboardIDChanged, this, &PanelView::showSelectedPinboard);
    connect(&m_model.container().mainContext(), &ModelContext::didSave, this, &PanelView::updateTitle);
    showSelectedPinboard();
}

QString PanelView::title() const
{
    return m_title->text();
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
    m_stack->addWidget(m_strip, 1);
    if (isVisible())
        m_strip->show(); // at once, so the next key press already finds it
    updateTitle();
}

void PanelView::updateTitle()
{
    const QUuid pinboardID = m_model.selectedPinboardID();
    QString title = historyTitle;
    if (!pinboardID.isNull()) {
        const QList<PinboardPtr> records = m_model.pinboards().pinboardWithID(pinboardID);
        if (!records.isEmpty())
            title = records.first()->name();
    }
    m_title->setText(title);
}

} // namespace tamo
