#include "settings/StatusBadge.h"

#include "cards/ViewStyles.h"
#include "settings/FormKit.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tamo {

StatusBadge::StatusBadge(QWidget *parent)
    : QWidget(parent)
    , m_symbol(new QLabel(this))
    , m_text(formLabel(QString(), 13, this))
{
    m_text->setWordWrap(false);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(m_symbol);
    layout->addWidget(m_text);
}

void StatusBadge::showStatus(const QString &symbol, const QString &text, const QColor &colour)
{
    m_symbol->setPixmap(tintedSymbol(symbol, 14, colour, devicePixelRatioF()));
    m_text->setText(text);
    QPalette colours = m_text->palette();
    colours.setColor(QPalette::WindowText, colour);
    m_text->setPalette(colours);
    setAccessibleName(text);
}

void StatusBadge::showActive(bool active, const QString &waitingText)
{
    if (active)
        showStatus(QStringLiteral("checkmark.circle.fill"), QStringLiteral("Active"), green());
    else
        showStatus(QStringLiteral("exclamationmark.triangle.fill"), waitingText, orange());
}

QString StatusBadge::text() const
{
    return m_text->text();
}

} // namespace tamo
