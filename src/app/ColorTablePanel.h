// The sunken panel at the left of the main window (ColorPanel) that holds the colour
// table, and picking from the table: a left press starts the pick, every move over
// the table picks the colour under the pointer, any release ends it.
#pragma once

#include <QFrame>

#include <string>

#include "colour/stdColors.h"

namespace tinctor {

class TColorTable;

class TColorTablePanel : public QFrame {
    Q_OBJECT
public:
    // The panel at Place, the table filling it inside the border.
    TColorTablePanel(QWidget* parent, const QRect& place);

    TColorTable* Table() const { return colorTable_; }
    // The picture of the settings, or the gradient.
    void LoadColorTable(const std::string& map);
    bool Picking() const { return picking_; }

signals:
    // A colour taken from the table while the left button is held.
    void ColorPicked(TColor colour);

private:
    void MouseDown(Qt::MouseButton button);
    void MouseMove(QPoint pos);

    TColorTable* colorTable_ = nullptr;
    bool picking_ = false;  // a left press on the table, until the release
};

}  // namespace tinctor
