#include "cards/ClipInspector.h"

#include "cards/KeywordsEditor.h"
#include "cards/PreviewEdits.h"
#include "cards/ViewStyles.h"
#include "model/ClipItem.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

namespace tamo {

namespace {

QString sourceName(const ClipItem &clip)
{
    for (const std::optional<QString> &name : {clip.sourceAppName(), clip.sourceBundleID()}) {
        if (name && !name->trimmed().isEmpty())
            return name->trimmed();
    }
    return ClipInspector::tr("Unknown");
}

QString createdText(const QDateTime &created)
{
    const QLocale locale;
    return locale.toString(created.toLocalTime(), locale.dateFormat(QLocale::LongFormat) + QLatin1Char(' ')
                                                      + locale.timeFormat(QLocale::ShortFormat));
}

} // namespace

ClipInspector::ClipInspector(QWidget *parent)
    : QWidget(parent)
    , m_title(new QLineEdit(this))
    , m_keywords(new KeywordsEditor(this))
{
    m_title->setPlaceholderText(tr("Add a title"));
    m_title->setAccessibleName(tr("Title"));

    auto *facts = new QFormLayout;
    facts->setContentsMargins(0, 0, 0, 0);
    facts->setHorizontalSpacing(10);
    facts->setVerticalSpacing(6);
    facts->setLabelAlignment(Qt::AlignLeft);
    facts->setRowWrapPolicy(QFormLayout::DontWrapRows);
    for (const QString &name : {tr("Kind"), tr("Source"), tr("Created")}) {
        auto *label = new QLabel(name, this);
        label->setFont(uiFont(12));
        QPalette secondary = label->palette();
        secondary.setColor(QPalette::WindowText, sharedSecondaryLabelColor());
        label->setPalette(secondary);
        auto *value = new QLabel(this);
        value->setFont(uiFont(12));
        value->setWordWrap(true);
        facts->addRow(label, value);
        m_facts.append(value);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    layout->addWidget(addHeading(tr("Title")));
    layout->addWidget(m_title);
    layout->addSpacing(12);
    layout->addWidget(addHeading(tr("Keywords")));
    layout->addWidget(m_keywords);
    layout->addSpacing(18);
    layout->addLayout(facts);
    layout->addStretch(1);

    connect(m_title, &QLineEdit::editingFinished, this, &ClipInspector::editingFinished);
    connect(m_keywords, &KeywordsEditor::editingFinished, this, &ClipInspector::editingFinished);
    showClip(nullptr);
}

QLabel *ClipInspector::addHeading(const QString &text)
{
    auto *heading = new QLabel(text, this);
    heading->setFont(uiFont(12, QFont::DemiBold));
    return heading;
}

void ClipInspector::showClip(const ClipItem *clip)
{
    const bool sameClip = clip && clip->id() == m_clipID;
    m_clipID = clip ? clip->id() : QUuid();
    setEnabled(clip != nullptr);

    // A field the user is typing in keeps its text; once that text is what
    // the clip holds, it counts as unchanged.
    const std::optional<QString> title = clip ? clip->title() : std::nullopt;
    if (sameClip && m_title->hasFocus()) {
        if (cleanedTitle(m_title->text()) == title)
            m_shownTitle = m_title->text();
    } else {
        m_shownTitle = title.value_or(QString());
        m_title->setText(m_shownTitle);
    }
    const QStringList keywords = clip ? clip->keywords() : QStringList();
    const QLineEdit *typing = m_keywords->field();
    if (sameClip && typing->hasFocus() && !typing->text().trimmed().isEmpty()) {
        if (cleanedKeywords(m_keywords->keywords()) == keywords)
            m_shownKeywords = m_keywords->keywords();
    } else {
        m_shownKeywords = keywords;
        m_keywords->setKeywords(keywords);
    }

    m_facts[int(Fact::kind)]->setText(clip ? displayName(clip->kind()) : QString());
    m_facts[int(Fact::source)]->setText(clip ? sourceName(*clip) : QString());
    m_facts[int(Fact::created)]->setText(clip ? createdText(clip->createdAt()) : QString());
}

std::optional<QString> ClipInspector::editedTitle() const
{
    if (m_clipID.isNull() || m_title->text() == m_shownTitle)
        return std::nullopt;
    return m_title->text();
}

std::optional<QStringList> ClipInspector::editedKeywords() const
{
    const QStringList keywords = m_keywords->keywords();
    if (m_clipID.isNull() || keywords == m_shownKeywords)
        return std::nullopt;
    return keywords;
}

QString ClipInspector::fact(Fact fact) const
{
    return m_facts.at(int(fact))->text();
}

} // namespace tamo
