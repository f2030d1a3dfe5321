#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tamo {

// Shows how far a long import has come, with a button that stops it.
class ImportProgress
{
public:
    virtual ~ImportProgress() = default;
    // Starts an import titled `title`; `stop` runs when the user asks to stop it.
    virtual void begin(const QString &title, std::function<void()> stop) = 0;
    // What the import does now: `done` of `total`, no measure while `total` is 0.
    virtual void update(const QString &step, qint64 done, qint64 total) = 0;
    virtual void end() = 0;
    // Between begin() and end().
    virtual bool inUse() const = 0;
};

// The step of an import that adds clips: "Adding 1,200 of 5,000 clips…".
QString addingClipsStep(qint64 done, qint64 total);

// A small window above the others with the title, a bar, the step and a
// Cancel button. It shows only once an import has taken a moment, so a
// short one shows nothing; closing it or Escape stops the import too.
class ImportProgressWindow final : public QWidget, public ImportProgress
{
    Q_OBJECT
public:
    static constexpr int showAfterMilliseconds = 400;

    explicit ImportProgressWindow(QWidget *parent = nullptr);

    void begin(const QString &title, std::function<void()> stop) override;
    void update(const QString &step, qint64 done, qint64 total) override;
    void end() override;
    bool inUse() const override { return bool(m_stop); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void stop();

    QLabel *m_title;
    QProgressBar *m_bar;
    QLabel *m_step;
    QPushButton *m_cancel;
    std::function<void()> m_stop;
    int m_run = 0; // which begin() a delayed show belongs to
};

} // namespace tamo
