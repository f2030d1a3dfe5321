#include "drawer/EmptyStripView.h"

#include "cards/ViewStyles.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr int spacing = 10;

} // namespace

EmptyStripView::EmptyStripView(QWidget *parent, Metrics metrics)
    : QWidget(parent)
    , m_metrics(metrics)
    , m_symbol(new QLabel)
    , m_message(new QLabel)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette secondary = palette();
    secondary.setColor(QPalette::WindowText, sharedSecondaryLabelColor());
    setPalette(secondary);

    m_symbol->setAlignment(Qt::AlignCenter);
    m_message->setFont(uiFont(m_metrics.messagePoints));
    m_message->setTextFormat(Qt::PlainText); // it quotes what the user typed
    m_message->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addWidget(m_symbol);
    layout->addWidget(m_message);
}

void EmptyStripView::setState(const DrawerEmptyState &state)
{
    if (state == m_state)
        return;
    if (state.symbol != m_state.symbol) {
        const int side = QFontMetrics(uiFont(m_metrics.symbolPoints, QFont::Light)).height();
        const QPixmap symbol = tintedSymbol(state.symbol, side, sharedSecondaryLabelColor(), devicePixelRatioF());
        m_symbol->setPixmap(symbol);
        m_symbol->setVisible(!symbol.isNull());
    }
    m_message->setText(state.message);
    m_state = state;
    adjustSize();
}

} // namespace tamo
