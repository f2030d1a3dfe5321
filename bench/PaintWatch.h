#pragma once

#include "cards/ClipCard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace tamo::bench {

// Tells when a widget has painted.
class PaintWatch : public QObject
{
public:
    void watch(QWidget *widget)
    {
        painted = false;
        widget->installEventFilter(this);
    }

    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// Tells when a clip card, of whichever panel, has painted since it was made.
class CardPaintWatch : public QObject
{
public:
    CardPaintWatch() { QCoreApplication::instance()->installEventFilter(this); }
    ~CardPaintWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<ClipCard *>(watched))
            painted = true;
        return false;
    }
};

} // namespace tamo::bench
