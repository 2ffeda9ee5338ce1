// The mouse pointer through QCursor and QWidget's mouse grab.
#pragma once

#include "platform/Pointer.h"

namespace tinctor {

class TX11Pointer final : public IPointer {
public:
    QPoint Pos() const override;
    // The X server's own pointer position (one QueryPointer round trip).
    QPoint DevicePos() const override;
    void SetPos(QPoint pos) override;
    void Grab(QWidget& widget, const QCursor& cursor) override;
    void Release(QWidget& widget) override;
};

}  // namespace tinctor
