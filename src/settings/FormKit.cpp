#include "settings/FormKit.h"

#include "cards/ViewStyles.h"
#include "platform/Symbols.h"

#include <QAbstractSlider>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tamo {

namespace {

constexpr int cardRadius = 8;
constexpr int rowInset = 10;

bool isDark(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128;
}

} // namespace

QLabel *formLabel(const QString &text, double points, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(uiFont(points));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void makeSecondary(QWidget *widget)
{
    QPalette palette = widget->palette();
    QColor text = palette.color(QPalette::Active, QPalette::WindowText);
    text.setAlphaF(0.55);
    palette.setColor(QPalette::Active, QPalette::WindowText, text);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, text);
    text.setAlphaF(0.3);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, text);
    widget->setPalette(palette);
}

QLabel *secondaryLabel(const QString &text, double points, QWidget *parent)
{
    QLabel *label = formLabel(text, points, parent);
    makeSecondary(label);
    return label;
}

namespace {

class Hairline : public QWidget
{
public:
    Hairline(Qt::Orientation orientation, QWidget *parent)
        : QWidget(parent)
    {
        if (orientation == Qt::Horizontal)
            setFixedHeight(1);
        else
            setFixedWidth(1);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QColor line = palette().color(QPalette::WindowText);
        line.setAlphaF(0.12);
        QPainter(this).fillRect(rect(), line);
    }
};

} // namespace

QWidget *hairline(Qt::Orientation orientation, QWidget *parent)
{
    return new Hairline(orientation, parent);
}

// ---------------------------------------------------------------- FormRow

FormRow::FormRow(const QString &title, const QString &description, QWidget *control, Layout layout, QWidget *parent)
    : QWidget(parent)
    , m_title(formLabel(title, 13))
    , m_description(secondaryLabel(description))
    , m_control(control)
{
    m_description->setVisible(!description.isEmpty());
    auto *texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(2);
    texts->addWidget(m_title);
    texts->addWidget(m_description);

    QBoxLayout *row = layout == Layout::beside ? static_cast<QBoxLayout *>(new QHBoxLayout(this))
                                               : static_cast<QBoxLayout *>(new QVBoxLayout(this));
    row->setContentsMargins(rowInset, 7, rowInset, 7);
    row->setSpacing(layout == Layout::beside ? 16 : 8);
    row->addLayout(texts, 1);
    if (m_control) {
        row->addWidget(m_control, 0, Qt::AlignRight | Qt::AlignVCenter);
        // A command button is named by the words on it, which a person reads
        // and says; other controls by their row.
        const auto *command = qobject_cast<QPushButton *>(m_control);
        const bool namedByItsText = command && command->metaObject() == &QPushButton::staticMetaObject
                                    && !command->text().isEmpty();
        if (m_control->accessibleName().isEmpty() && !namedByItsText)
            m_control->setAccessibleName(title);
        // A slider inside a composite control is what a screen reader lands on.
        for (QAbstractSlider *slider : m_control->findChildren<QAbstractSlider *>()) {
            if (slider->accessibleName().isEmpty())
                slider->setAccessibleName(title);
        }
        if (!description.isEmpty() && m_control->accessibleDescription().isEmpty())
            m_control->setAccessibleDescription(description);
        m_title->setBuddy(m_control);
    }
}

void FormRow::setDescription(const QString &description)
{
    m_description->setText(description);
    m_description->setVisible(!description.isEmpty());
    if (m_control)
        m_control->setAccessibleDescription(description);
}

QString FormRow::title() const
{
    return m_title->text();
}

QString FormRow::description() const
{
    return m_description->isVisibleTo(this) ? m_description->text() : QString();
}

// ---------------------------------------------------------------- FormSection

// The rounded card behind a section's rows, with a hairline between rows.
class FormSection::Card : public QFrame
{
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPalette &colours = palette();
        const QColor fill = isDark(colours) ? colours.color(QPalette::Window).lighter(125)
                                            : colours.color(QPalette::Base);
        QColor edge = colours.color(QPalette::WindowText);
        edge.setAlphaF(0.1);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cardRadius, cardRadius);

        bool above = false; // a shown row above this one
        const auto *rows = layout();
        for (int i = 0; i < rows->count(); ++i) {
            const QWidget *row = rows->itemAt(i)->widget();
            if (!row || row->isHidden())
                continue;
            if (above) {
                const qreal y = row->geometry().top() + 0.5;
                painter.drawLine(QPointF(rowInset, y), QPointF(width() - rowInset, y));
            }
            above = true;
        }
    }
};

FormSection::FormSection(const QString &header, QWidget *parent)
    : QWidget(parent)
    , m_header(formLabel(header, 13))
    , m_headerNote(secondaryLabel(QString()))
    , m_card(new Card)
    , m_rows(new QVBoxLayout(m_card))
    , m_footer(secondaryLabel(QString()))
{
    m_header->setFont(uiFont(13, QFont::DemiBold));
    m_header->setVisible(!header.isEmpty());
    m_header->setContentsMargins(rowInset, 0, 0, 0);
    m_headerNote->setVisible(false);
    m_headerNote->setContentsMargins(rowInset, 0, 0, 0);
    m_footer->setVisible(false);
    m_footer->setContentsMargins(rowInset, 0, 0, 0);
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_header);
    layout->addWidget(m_headerNote);
    layout->addSpacing(2);
    layout->addWidget(m_card);
    layout->addWidget(m_footer);
}

FormRow *FormSection::addRow(const QString &title, const QString &description, QWidget *control,
                             FormRow::Layout layout)
{
    auto *row = new FormRow(title, description, control, layout, m_card);
    m_rows->addWidget(row);
    return row;
}

namespace {

// Shows and hides a full-width row's holder with its widget, so a hidden
// widget leaves no gap.
class VisibilityFollower : public QObject
{
public:
    VisibilityFollower(QWidget *widget, QWidget *holder)
        : QObject(holder)
        , m_holder(holder)
    {
        m_holder->setVisible(!widget->isHidden());
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ShowToParent)
            m_holder->setVisible(true);
        else if (event->type() == QEvent::HideToParent)
            m_holder->setVisible(false);
        return false;
    }

private:
    QWidget *m_holder;
};

} // namespace

void FormSection::addWidget(QWidget *widget)
{
    auto *holder = new QWidget(m_card);
    auto *layout = new QVBoxLayout(holder);
    layout->setContentsMargins(rowInset, 8, rowInset, 8);
    layout->addWidget(widget);
    m_rows->addWidget(holder);
    new VisibilityFollower(widget, holder);
}

void FormSection::setFooter(const QString &footer)
{
    m_footer->setText(footer);
    m_footer->setVisible(!footer.isEmpty());
}

void FormSection::setHeaderNote(const QString &note)
{
    m_headerNote->setText(note);
    m_headerNote->setVisible(!note.isEmpty());
}

void FormSection::setTrailingFooter(QWidget *widget)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addStretch(1);
    row->addWidget(widget);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
}

QString FormSection::header() const
{
    return m_header->text();
}

QString FormSection::footer() const
{
    return m_footer->text();
}

// ---------------------------------------------------------------- SettingsForm

SettingsForm::SettingsForm(QWidget *parent)
    : QWidget(parent)
    , m_sections(new QVBoxLayout(this))
{
    m_sections->setContentsMargins(20, 16, 20, 20);
    m_sections->setSpacing(18);
    m_sections->addStretch(1);
}

FormSection *SettingsForm::addSection(const QString &header)
{
    auto *section = new FormSection(header, this);
    m_sections->insertWidget(m_sections->count() - 1, section);
    return section;
}

QToolButton *listBarButton(const QString &symbol, const QString &help, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(symbolIcon(symbol));
    button->setAutoRaise(true);
    button->setFixedSize(22, 20);
    button->setToolTip(help);
    button->setAccessibleName(help);
    return button;
}

void layOutAppList(QWidget *list, QVBoxLayout *rows, QToolButton *add, QToolButton *remove)
{
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    QWidget *divider = hairline(Qt::Vertical, list);
    divider->setFixedHeight(14);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(0, 4, 0, 0);
    bar->setSpacing(2);
    bar->addWidget(add);
    bar->addWidget(divider);
    bar->addWidget(remove);
    bar->addStretch(1);

    auto *layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(rows);
    layout->addSpacing(6);
    layout->addWidget(hairline(Qt::Horizontal, list));
    layout->addLayout(bar);
}

} // namespace tamo
