#pragma once

#include "model/ClipItem.h"
#include "model/SettingsEnums.h"

#include <QAbstractButton>

namespace tamo {

class ClipCard;
class Clock;
class Defaults;
struct CardContext;

// One card style offered as a miniature of a real card in that style, with
// a ring and a filled circle while it is the chosen one. A click chooses it.
class CardStyleOption : public QAbstractButton
{
    Q_OBJECT

public:
    CardStyleOption(CardStyle style, const ClipItemPtr &sample, const CardContext &cards, double scale,
                    QWidget *parent = nullptr);

    // The clip the previews show: a text note copied three minutes ago,
    // never saved.
    static ClipItemPtr sampleClip(const Clock &clock);

    // Shows whether the stored card style is this one, wherever it changes,
    // and stores it when clicked.
    void bindToSetting(Defaults &defaults);

    CardStyle style() const { return m_style; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CardStyle m_style;
    double m_scale;
    ClipCard *m_card;
};

} // namespace tamo
