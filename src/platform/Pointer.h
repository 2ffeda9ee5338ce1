// The mouse pointer: its position and taking the mouse for one widget.
#pragma once

#include <QCursor>
#include <QPoint>

class QWidget;

namespace tinctor {

class IPointer {
public:
    virtual ~IPointer() = default;
    // The pointer position in global screen coordinates.
    virtual QPoint Pos() const = 0;
    // The pointer position in device pixels: the pixel under the hot spot, which Pos
    // rounds to a global point under a scale factor. Without one both are the same.
    virtual QPoint DevicePos() const { return Pos(); }
    virtual void SetPos(QPoint pos) = 0;
    // Every mouse event goes to Widget, wherever the pointer is, until Release;
    // Cursor is shown meanwhile.
    virtual void Grab(QWidget& widget, const QCursor& cursor) = 0;
    virtual void Release(QWidget& widget) = 0;
};

}  // namespace tinctor
