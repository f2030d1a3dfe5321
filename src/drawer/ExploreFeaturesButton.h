#pragma once

#include <QAbstractButton>

namespace tamo {

// The light-bulb button that opens the feature tour: a white bulb on a disc
// of the bulb's accent colour. The glass look (the menu-bar panel's bottom
// bar) is a 22 × 22 disc with a glass highlight; the circle look (the
// drawer's bar) a 24 × 24 disc in a 30 × 30 hit area.
class ExploreFeaturesButton final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ExploreFeaturesButton(bool glass, QWidget *parent = nullptr);

    static QColor accentColor();
    bool isGlass() const { return m_glass; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    QRectF disc() const;

    bool m_glass;
};

} // namespace tamo
