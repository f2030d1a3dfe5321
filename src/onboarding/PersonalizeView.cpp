#include "onboarding/PersonalizeView.h"

#include "app/AppIcons.h"
#include "app/AppModel.h"
#include "cards/CardSize.h"
#include "cards/ClipCard.h"
#include "cards/ViewStyles.h"
#include "model/SettingsKeys.h"
#include "onboarding/OnboardingStyle.h"
#include "onboarding/PageTransition.h"
#include "platform/Defaults.h"
#include "settings/CardStyleOption.h"
#include "settings/ScaleControl.h"

#include <QAbstractButton>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tamo {

namespace {

struct PageText
{
    const char *title;
    const char *explanation;
};

PageText pageText(PersonalizeView::Step step)
{
    switch (step) {
    case PersonalizeView::Step::opens:
        return {"How do you like to open TamoCove?",
                "Your shortcut opens the one you pick. The other is always a click away."};
    case PersonalizeView::Step::menuBarLayout:
        return {"Which way should it scroll?",
                "Two columns that scroll down, or one row that scrolls sideways like the TamoCove panel."};
    case PersonalizeView::Step::style:
        return {"Pick a look for your cards",
                "Glass floats the label on the card; Classic gives it a band in the app's color."};
    case PersonalizeView::Step::size:
        return {"Make it comfortable to read", "Card Size scales the whole card; Font Size only the copied text on it."};
    }
    return {};
}

QLabel *centredLabel(const QFont &font)
{
    auto *label = new QLabel;
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

QPainterPath tileShape(const QRectF &rect)
{
    QPainterPath path;
    path.addRoundedRect(rect, 14, 14);
    return path;
}

} // namespace

// One choice of a page: a picture over a caption, ringed while chosen.
class PersonalizeView::Tile : public QAbstractButton
{
public:
    Tile(TileLook look, const QString &title, const QString &detail) : m_look(std::move(look)), m_detail(detail)
    {
        setText(title);
        setCheckable(true);
        setAccessibleName(title);
        setAccessibleDescription(detail);
        setCursor(Qt::PointingHandCursor);
        setMinimumSize(300, 270 + 60);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF picture(6, 6, width() - 12, 270);
        if (isChecked()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
            painter.drawPath(tileShape(picture.adjusted(-4.5, -4.5, 4.5, 4.5)));
        }
        painter.save();
        painter.setClipPath(tileShape(picture));
        if (m_look.backdrop) {
            QLinearGradient warm(picture.topLeft(), picture.bottomRight());
            warm.setColorAt(0, QColor::fromRgbF(1.0f, 0.78f, 0.66f));
            warm.setColorAt(1, QColor::fromRgbF(0.96f, 0.52f, 0.38f));
            painter.fillRect(picture, warm);
        } else {
            QColor faint = palette().color(QPalette::WindowText);
            faint.setAlphaF(0.05f);
            painter.fillRect(picture, faint);
        }
        const QRectF artRect = m_look.backdrop ? picture.adjusted(14, 14, -14, -14) : picture;
        OnboardingStyle::paintArtwork(painter, m_look.image, artRect, m_look.alignment, !m_look.fills);
        painter.restore();
        QColor outline = palette().color(QPalette::WindowText);
        outline.setAlphaF(0.1f);
        painter.setPen(QPen(outline, 1));
        painter.drawPath(tileShape(picture.adjusted(0.5, 0.5, -0.5, -0.5)));
        if (isChecked()) {
            const QRectF mark(picture.right() - 32, picture.top() + 10, 22, 22);
            painter.setPen(Qt::NoPen);
            painter.setBrush(Qt::white);
            painter.drawEllipse(mark.adjusted(2, 2, -2, -2));
            painter.drawPixmap(mark.toRect(), OnboardingStyle::symbol(QStringLiteral("checkmark.circle.fill"),
                                                                      palette().color(QPalette::Highlight), 22));
        }

        // Caption: a radio mark and the title, the detail below.
        const double captionTop = picture.bottom() + 14;
        OnboardingStyle::paintRadioCaption(painter, palette(), isChecked(), text(),
                                           OnboardingStyle::font(14, QFont::DemiBold), width(), captionTop);
        painter.setFont(OnboardingStyle::font(12));
        painter.setPen(sharedSecondaryLabelColor());
        painter.drawText(QRectF(0, captionTop + 20, width(), 18), Qt::AlignHCenter | Qt::AlignTop, m_detail);
    }

private:
    TileLook m_look;
    QString m_detail;
};

PersonalizeView::PersonalizeView(const PersonalizeEnvironment &environment, std::function<void()> close,
                                 QWidget *parent)
    : QWidget(parent)
    , m_env(environment)
    , m_close(std::move(close))
    , m_sample(CardStyleOption::sampleClip(environment.model.clock()))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *header = new QVBoxLayout;
    header->setContentsMargins(40, 34, 40, 0);
    header->setSpacing(6);
    QFont stepFont = OnboardingStyle::font(11, QFont::Bold);
    stepFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    stepFont.setCapitalization(QFont::AllUppercase);
    m_stepLabel = centredLabel(stepFont);
    QPalette accentText = m_stepLabel->palette();
    accentText.setColor(QPalette::WindowText, OnboardingStyle::accent());
    m_stepLabel->setPalette(accentText);
    m_title = centredLabel(OnboardingStyle::font(24, QFont::DemiBold));
    m_explanation = centredLabel(OnboardingStyle::font(13));
    OnboardingStyle::makeSecondary(m_explanation);
    header->addWidget(m_stepLabel);
    header->addWidget(m_title);
    header->addWidget(m_explanation);
    layout->addLayout(header);

    // A stacked layout lays its pages over its whole widget, margins or not:
    // the margins belong to the layout around it.
    auto *pageArea = new QWidget;
    auto *pageMargins = new QVBoxLayout(pageArea);
    pageMargins->setContentsMargins(36, 18, 36, 18);
    auto *stack = new QWidget;
    pageMargins->addWidget(stack);
    m_pages = new QStackedLayout(stack);
    m_pages->addWidget(opensPage());
    m_pages->addWidget(layoutPage());
    m_pages->addWidget(stylePage());
    m_pages->addWidget(sizePage());
    layout->addWidget(pageArea, 1);

    auto *footer = new QHBoxLayout;
    footer->setContentsMargins(26, 0, 26, 22);
    // The current step wide, the steps reached in the accent colour.
    m_dots = new PageDots({3, QSizeF(14, 6), 26, 6, 0.15, true}, QStringLiteral("Step"));
    footer->addWidget(m_dots);
    footer->addStretch(1);
    m_back = new QPushButton(QStringLiteral("Back"));
    m_next = new QPushButton(QStringLiteral("Next"));
    m_next->setDefault(true);
    m_next->setAutoDefault(true);
    m_next->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 6px;"
                                         " padding: 6px 18px; font-weight: 600; }")
                              .arg(OnboardingStyle::accent().name()));
    // A nested layout would take the column's zero spacing.
    footer->setSpacing(8);
    for (QPushButton *button : {m_back, m_next}) {
        button->setFont(OnboardingStyle::font(13, button == m_next ? QFont::DemiBold : QFont::Normal));
        button->setMinimumHeight(30);
        footer->addWidget(button);
        if (button == m_back)
            footer->addSpacing(4);
    }
    layout->addLayout(footer);
    connect(m_back, &QPushButton::clicked, this, [this] { move(-1); });
    connect(m_next, &QPushButton::clicked, this, &PersonalizeView::advance);
    show(Step::opens);
}

void PersonalizeView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        m_next->click();
    else
        QWidget::keyPressEvent(event);
}

QList<PersonalizeView::Step> PersonalizeView::steps(ShortcutTarget target)
{
    if (target == ShortcutTarget::menuBar)
        return {Step::opens, Step::menuBarLayout, Step::style, Step::size};
    return {Step::opens, Step::style, Step::size};
}

int PersonalizeView::stepNumber(Step step)
{
    switch (step) {
    case Step::opens:
    case Step::menuBarLayout: return 1;
    case Step::style: return 2;
    case Step::size: return 3;
    }
    return 1;
}

ShortcutTarget PersonalizeView::target() const
{
    return shortcutTargetFromRaw(m_env.defaults.string(keys::shortcutTarget).value_or(QString()))
        .value_or(ShortcutTarget::drawer);
}

void PersonalizeView::move(int by)
{
    const QList<Step> list = steps(target());
    const qsizetype at = list.indexOf(m_step);
    if (at < 0 || at + by < 0 || at + by >= list.size())
        return;
    show(list[at + by]);
}

void PersonalizeView::advance()
{
    // The list is taken at the click: choosing the menu bar on the first page
    // leads on to its layout.
    if (m_step == steps(target()).last())
        m_close();
    else
        move(+1);
}

void PersonalizeView::show(Step step)
{
    PageTransition::start(m_pages->parentWidget(), int(step) > int(m_step));
    m_step = step;
    const PageText text = pageText(step);
    m_stepLabel->setText(QStringLiteral("Make TamoCove Yours · Step %1 of 3").arg(stepNumber(step)));
    m_title->setText(QString::fromUtf8(text.title));
    m_explanation->setText(QString::fromUtf8(text.explanation));
    m_pages->setCurrentIndex(int(step));
    m_dots->setCurrent(stepNumber(step) - 1);
    m_back->setVisible(step != Step::opens);
    m_next->setText(step == steps(target()).last() ? QStringLiteral("Done") : QStringLiteral("Next"));
    m_next->setFocus();
}

QWidget *PersonalizeView::tilesPage(const QString &key, const QString &fallback, const QList<TileChoice> &choices)
{
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(20);
    QList<std::pair<QString, Tile *>> tiles;
    for (const TileChoice &choice : choices) {
        auto *tile = new Tile(choice.look, choice.title, choice.detail);
        row->addWidget(tile);
        tiles.append({choice.value, tile});
        connect(tile, &QAbstractButton::clicked, this, [this, key, choice] {
            m_env.defaults.setValue(key, choice.value);
            if (choice.alsoStore)
                choice.alsoStore(m_env.defaults);
        });
    }
    // A choice made anywhere else shows here at once; "Next" or "Done"
    // follows the list in force.
    auto refresh = [this, key, fallback, tiles] {
        const QString current = m_env.defaults.string(key).value_or(fallback);
        for (const auto &[value, tile] : tiles)
            tile->setChecked(value == current);
        if (m_next)
            show(m_step);
    };
    connect(&m_env.defaults, &Defaults::valueChanged, page, [refresh, key](const QString &changed) {
        if (changed == key)
            refresh();
    });
    refresh();
    return page;
}

QWidget *PersonalizeView::opensPage()
{
    return tilesPage(keys::shortcutTarget, rawValue(ShortcutTarget::drawer),
                     {{{QStringLiteral("PersonalizeDrawer"), Qt::AlignBottom, true, false},
                       QStringLiteral("TamoCove Panel"), QStringLiteral("Slides up from the bottom of the screen"),
                       rawValue(ShortcutTarget::drawer), {}},
                      {{QStringLiteral("PersonalizeMenuBar"), Qt::AlignTop, false, true},
                       QStringLiteral("Tray Clips"), QStringLiteral("Drops down from TamoCove's tray icon"),
                       rawValue(ShortcutTarget::menuBar), [](Defaults &defaults) {
                           // The panel only drops down from a shown icon with recent clips on.
                           defaults.setValue(keys::menuBarRecentClips, true);
                           defaults.setValue(keys::showMenuBarIcon, true);
                       }}});
}

QWidget *PersonalizeView::layoutPage()
{
    return tilesPage(keys::menuBarLayout, rawValue(MenuBarLayout::vertical),
                     {{{QStringLiteral("PersonalizeVertical"), Qt::AlignTop, true, false}, QStringLiteral("Vertical"),
                       QStringLiteral("Two columns, scrolling down"), rawValue(MenuBarLayout::vertical), {}},
                      {{QStringLiteral("PersonalizeHorizontal"), Qt::AlignTop, true, false},
                       QStringLiteral("Horizontal"), QStringLiteral("One row, scrolling sideways"),
                       rawValue(MenuBarLayout::horizontal), {}}});
}

QWidget *PersonalizeView::stylePage()
{
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(48);
    row->addStretch(1);
    const CardContext cards{m_env.model.icons(), m_env.thumbnails, m_env.defaults, m_env.model.clock(), nullptr};
    for (const CardStyle style : {CardStyle::classic, CardStyle::glass}) {
        auto *option = new CardStyleOption(style, m_sample, cards, 0.75);
        option->bindToSetting(m_env.defaults);
        row->addWidget(option);
    }
    row->addStretch(1);
    return page;
}

QWidget *PersonalizeView::sizePage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    // The sample is drawn at 0.6 of its size, large enough to read, in a
    // frame as tall as the largest card needs, so the page does not shift
    // while the size changes.
    constexpr double sampleShare = 0.6;
    auto *frame = new QWidget;
    frame->setFixedHeight(qRound(456 * sampleShare));
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    auto *card = new ClipCard({m_env.model.icons(), m_env.thumbnails, m_env.defaults, m_env.model.clock(), nullptr},
                              frame);
    card->setItem(m_sample);
    card->setAttribute(Qt::WA_TransparentForMouseEvents);
    card->setAccessibleName(QStringLiteral("Sample card"));
    card->hide();
    auto *preview = new QLabel;
    preview->setAlignment(Qt::AlignCenter);
    preview->setAccessibleName(QStringLiteral("Sample card"));
    frameLayout->addWidget(preview);
    auto render = [this, card, preview, sampleShare] {
        const double s = std::clamp(m_env.defaults.doubleValue(keys::cardScale), 0.75, 1.5);
        card->setSize(CardSize{s});
        card->resize(card->sizeHint());
        const int side = qRound(std::round(304 * s) * sampleShare);
        preview->setPixmap(card->grab().scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    };
    connect(&m_env.defaults, &Defaults::valueChanged, preview, [render](const QString &key) {
        if (key == keys::cardScale || key == keys::cardTextScale || key == keys::cardStyle)
            render();
    });
    render();
    column->addWidget(frame);

    auto *form = new QWidget;
    auto *formLayout = new QFormLayout(form);
    formLayout->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // As wide as the controls need, centred under the sample.
    formLayout->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    formLayout->addRow(QStringLiteral("Card Size"), makeCardSizeControl(m_env.defaults));
    formLayout->addRow(QStringLiteral("Font Size"), makeFontSizeControl(m_env.defaults, m_sample->text().value_or(QString())));
    // The controls keep their size whatever they show, so the form never shifts.
    form->setFixedHeight(form->sizeHint().height());
    column->addWidget(form, 0, Qt::AlignHCenter);
    return page;
}

} // namespace tamo
