#include "drawer/PinboardNameField.h"

#include "cards/GlassRim.h"
#include "cards/ViewStyles.h"
#include "model/TypedText.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace tamo {

namespace {

constexpr int dotSide = 9;
constexpr int spacing = 6;
constexpr int sidePadding = 14;
constexpr int fieldHeight = 30;
constexpr int editWidth = 120;
constexpr double namePoints = 13;
constexpr float accentOpacity = 0.25f;

} // namespace

PinboardNameField::PinboardNameField(QWidget *parent)
    : QWidget(parent)
    , m_edit(new QLineEdit(this))
{
    m_edit->setPlaceholderText(QStringLiteral("Pinboard Name"));
    m_edit->setAccessibleName(m_edit->placeholderText());
    m_edit->setMaxLength(maxTypedLength);
    m_edit->setFrame(false);
    m_edit->setFont(uiFont(namePoints, QFont::Medium));
    m_edit->setFixedWidth(editWidth);
    m_edit->setAttribute(Qt::WA_MacShowFocusRect, false);
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    m_edit->setPalette(palette);
    m_edit->installEventFilter(this);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(sidePadding + dotSide + spacing, 0, sidePadding, 0);
    layout->addWidget(m_edit);
    setFixedHeight(fieldHeight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    connect(m_edit, &QLineEdit::textEdited, this, &PinboardNameField::edited);
    connect(m_edit, &QLineEdit::returnPressed, this, &PinboardNameField::commitRequested);
}

void PinboardNameField::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void PinboardNameField::setName(const QString &name)
{
    if (m_edit->text() != name)
        m_edit->setText(name);
}

void PinboardNameField::focusName()
{
    m_edit->setFocus(Qt::OtherFocusReason);
    m_edit->selectAll();
}

bool PinboardNameField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            emit commitRequested(); // keeps what was typed
            return true;
        }
        if (event->type() == QEvent::FocusOut)
            emit commitRequested();
    }
    return QWidget::eventFilter(watched, event);
}

void PinboardNameField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor accent = palette().color(QPalette::Highlight);
    accent.setAlphaF(accentOpacity);
    painter.fillPath(capsule(rect()), accent);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    painter.drawEllipse(QRectF(sidePadding, (height() - dotSide) / 2.0, dotSide, dotSide));
}

} // namespace tamo
