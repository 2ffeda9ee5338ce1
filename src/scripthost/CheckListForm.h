// TfrmCheckList: the check-list dialog of scripts, a fixed dialog with the text above
// a list whose lines carry check boxes, and OK and Cancel. Escape does not close it
// (Cancel is not bound to it); the close box does, as Cancel.
#pragma once

#include <QDialog>

#include "script/core/ecma_engine.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tinctor {

class TfrmCheckList final : public QDialog {
public:
    // Owner: the window it is centred on and stays above (none: no owner).
    explicit TfrmCheckList(QWidget* owner);

    // Shows List's caption, text, lines and marks, and selects List.Index (none for
    // -1 or a line that does not exist).
    void Fill(const kestrel::TJCheckList& list);
    // The marks as they are on screen.
    std::vector<bool> Marks() const;
    // The selected line, -1 for none.
    int SelectedLine() const;

    QLabel* lblText;
    QListWidget* lbCheck;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tinctor
