#pragma once

#include "model/SettingsEnums.h"

#include <QWidget>

namespace tamo {

class NoticeCard;

// A still picture of what appears after a pick: a screen with its top bar
// and, on it, the real notice for a paste-notice choice at a scale. Only the
// notice is scaled; the picture takes no clicks and is not read aloud.
class PasteNoticeSample : public QWidget
{
    Q_OBJECT

public:
    PasteNoticeSample(PasteNotice notice, qreal scale, QWidget *parent = nullptr);

    void setNotice(PasteNotice notice);
    PasteNotice notice() const { return m_notice; }
    // What the caption says when no notice appears; empty otherwise.
    QString caption() const;
    // The notice's size as drawn; empty for none.
    QSizeF noticeSize() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    PasteNotice m_notice;
    qreal m_scale;
    NoticeCard *m_card;
};

} // namespace tamo
