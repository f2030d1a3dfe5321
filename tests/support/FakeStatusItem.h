#pragma once

#include "platform/StatusItem.h"

namespace tamo::testing {

// A status item the test clicks; available unless told otherwise.
class FakeStatusItem final : public StatusItem
{
    Q_OBJECT
public:
    void setAvailable(bool available) { m_available = available; }
    void setAnchor(const QRectF &anchor) { m_anchor = anchor; }
    void click(Qt::KeyboardModifiers modifiers = {}) { emit clicked(modifiers); }

    bool isAvailable() const override { return m_available; }
    void setIcon(const QIcon &icon) override { m_icon = icon; }
    void setToolTip(const QString &text) override { m_toolTip = text; }
    void setMenu(QMenu *menu) override { m_menu = menu; }
    void setVisible(bool visible) override { m_visible = visible; }
    bool isVisible() const override { return m_visible; }
    QRectF anchor() const override { return m_anchor; }

    QIcon icon() const { return m_icon; }
    QString toolTip() const { return m_toolTip; }
    QMenu *menu() const { return m_menu; }

private:
    bool m_available = true;
    bool m_visible = false;
    QRectF m_anchor;
    QIcon m_icon;
    QString m_toolTip;
    QMenu *m_menu = nullptr;
};

} // namespace tamo::testing
