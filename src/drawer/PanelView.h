#pragma once

#include "cards/CardContext.h"
#include "drawer/ClipStrip.h"
#include "drawer/GlassCard.h"
#include "drawer/TimeScale.h"

#include <QPointer>

class QVBoxLayout;

namespace tamo {

class AppModel;
class PinboardBar;

// The drawer's content: one glass card holding the bar over the row of
// cards. The row shows the pinboard AppModel has selected, or the history;
// selecting another pinboard replaces the row with a new one, so each
// pinboard starts with its own scroll position, focus and hold state.
//
class PanelView : public GlassCard
{
    Q_OBJECT

public:
    PanelView(AppModel &model, const CardContext &cards, TimeScale timeScale = {}, QWidget *parent = nullptr);

    ClipStrip *strip() const { return m_strip; }
    PinboardBar *bar() const { return m_bar; }
    // The title of the selected tab.
    QString title() const;

private:
    void showSelectedPinboard();

    AppModel &m_model;
    CardContext m_cards;
    TimeScale m_timeScale;
    QVBoxLayout *m_stack;
    PinboardBar *m_bar;
    QPointer<ClipStrip> m_strip;
};

} // namespace tamo
