// A pointer that stays where tests put it and records the mouse grab.
#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

#include "platform/Pointer.h"

namespace tinctor {

class TFakePointer final : public IPointer {
public:
    QPoint Position{-1, -1};
    QPointer<QWidget> Grabber;  // the widget holding the mouse, if any
    QCursor GrabCursor;
    int Grabs = 0, Releases = 0;

    QPoint Pos() const override { return Position; }
    void SetPos(QPoint pos) override { Position = pos; }
    void Grab(QWidget& widget, const QCursor& cursor) override {
        Grabber = &widget;
        GrabCursor = cursor;
        ++Grabs;
    }
    void Release(QWidget& widget) override {
        if (Grabber == &widget) Grabber = nullptr;
        ++Releases;
    }
};

}  // namespace tinctor
