#pragma once

#include <QFrame>
#include <QString>
#include <QWidget>

class QLabel;
class QToolButton;
class QVBoxLayout;

namespace tamo {

// The grouped form every settings page is made of: titled sections whose
// rows sit on a rounded card, each row a title with an optional description
// line under it and its control at the end.

// Text in the form's sizes: titles 13, descriptions and footers 11 in the
// secondary colour, which greys out with the row.
QLabel *formLabel(const QString &text, double points, QWidget *parent = nullptr);
QLabel *secondaryLabel(const QString &text, double points = 11, QWidget *parent = nullptr);
void makeSecondary(QWidget *widget);
// A faint one-pixel line, as between a list and its buttons.
QWidget *hairline(Qt::Orientation orientation, QWidget *parent = nullptr);
// A borderless symbol button of a list's bar, named by its help text.
QToolButton *listBarButton(const QString &symbol, const QString &help, QWidget *parent);
// An app list on `list`: its rows, a line, and a bar with the add and the
// remove button.
void layOutAppList(QWidget *list, QVBoxLayout *rows, QToolButton *add, QToolButton *remove);

class FormRow : public QWidget
{
    Q_OBJECT

public:
    // Side by side, or the control under the texts for a control too wide
    // to leave the texts room.
    enum class Layout { beside, below };

    // The control takes the title as its accessible name unless it has one.
    FormRow(const QString &title, const QString &description, QWidget *control, Layout layout = Layout::beside,
            QWidget *parent = nullptr);

    // An empty description hides its line.
    void setDescription(const QString &description);
    QString title() const;
    QString description() const;
    QWidget *control() const { return m_control; }

private:
    QLabel *m_title;
    QLabel *m_description;
    QWidget *m_control;
};

// One section: an optional header above the card, an optional footer under it.
class FormSection : public QWidget
{
    Q_OBJECT

public:
    explicit FormSection(const QString &header = {}, QWidget *parent = nullptr);

    FormRow *addRow(const QString &title, const QString &description = {}, QWidget *control = nullptr,
                    FormRow::Layout layout = FormRow::Layout::beside);
    // A row that is all control (a list, a picture), over the card's full
    // width inside its insets; it shows and hides with the widget.
    void addWidget(QWidget *widget);
    void setFooter(const QString &footer);
    // A control at the trailing edge under the card, as a help button.
    void setTrailingFooter(QWidget *widget);
    // A second, smaller header line (a section that explains itself).
    void setHeaderNote(const QString &note);

    QString header() const;
    QString footer() const;

private:
    class Card;

    QLabel *m_header;
    QLabel *m_headerNote;
    Card *m_card;
    QVBoxLayout *m_rows;
    QLabel *m_footer;
};

// A page: its sections from top to bottom, the rest of the height left empty.
class SettingsForm : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsForm(QWidget *parent = nullptr);
    FormSection *addSection(const QString &header = {});

private:
    QVBoxLayout *m_sections;
};

} // namespace tamo
