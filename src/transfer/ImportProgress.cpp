#include "transfer/ImportProgress.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tamo {

QString addingClipsStep(qint64 done, qint64 total)
{
    const QLocale locale;
    return QStringLiteral("Adding ") + locale.toString(done) + QStringLiteral(" of ") + locale.toString(total) +
           QStringLiteral(" clips…");
}

ImportProgressWindow::ImportProgressWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      m_title(new QLabel(this)), m_bar(new QProgressBar(this)), m_step(new QLabel(this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("TamoCove"));
    setAccessibleName(QStringLiteral("Import Progress"));
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_title->setTextFormat(Qt::PlainText);
    m_step->setTextFormat(Qt::PlainText);
    m_bar->setTextVisible(false);
    m_bar->setAccessibleName(QStringLiteral("Import progress"));
    m_cancel->setAccessibleName(QStringLiteral("Cancel Import"));
    connect(m_cancel, &QPushButton::clicked, this, &ImportProgressWindow::stop);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(8);
    layout->addWidget(m_title);
    layout->addWidget(m_bar);
    layout->addWidget(m_step);
    layout->addLayout(buttons);
    setMinimumWidth(420);
}

void ImportProgressWindow::begin(const QString &title, std::function<void()> stop)
{
    m_stop = std::move(stop);
    m_title->setText(title);
    m_step->clear();
    m_bar->setRange(0, 0);
    m_cancel->setEnabled(true);
    const int run = ++m_run;
    QTimer::singleShot(showAfterMilliseconds, this, [this, run] {
        if (run != m_run || !m_stop)
            return;
        show();
        raise();
        activateWindow();
    });
}

void ImportProgressWindow::update(const QString &step, qint64 done, qint64 total)
{
    m_step->setText(step);
    if (total <= 0) {
        m_bar->setRange(0, 0);
        return;
    }
    // A bar counts in int; a thousandth is as fine as it shows.
    m_bar->setRange(0, 1000);
    m_bar->setValue(int(std::clamp<qint64>(done * 1000 / total, 0, 1000)));
}

void ImportProgressWindow::end()
{
    ++m_run;
    m_stop = nullptr;
    hide();
}

void ImportProgressWindow::closeEvent(QCloseEvent *event)
{
    // The title bar's close button stops the import; a quit closes every
    // window, and one that refused would cancel it.
    if (!event->spontaneous()) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    stop();
}

void ImportProgressWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        stop();
    else
        QWidget::keyPressEvent(event);
}

void ImportProgressWindow::stop()
{
    if (!m_stop)
        return;
    m_cancel->setEnabled(false);
    m_step->setText(QStringLiteral("Stopping…"));
    m_stop();
}

} // namespace tamo
