// The toolbar along the bottom of the main window (ToolBar): its buttons left to
// right with their separators, the script menu of ColorConfig, and the eyedropper
// image. It only makes and places them; the window and the colour list panel wire
// them to their commands. A button that does not fit whole in the narrow window is
// hidden rather than cut.
#pragma once

#include <QWidget>

class QAction;
class QButtonGroup;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;

namespace tinctor {

// The toolbar's commands of the colour list.
struct TListButtons {
    QToolButton* NewFile = nullptr;
    QToolButton* DeleteFile = nullptr;
    QToolButton* AddColor = nullptr;
    QToolButton* MoveUp = nullptr;
    QToolButton* MoveDown = nullptr;
    QToolButton* LargeIcon = nullptr;
    QToolButton* SmallIcon = nullptr;
};

class TMainToolBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 25;

    explicit TMainToolBar(QWidget* parent);

    QToolButton* ShowConfig() const { return showConfig_; }
    QToolButton* ShowTinctors() const { return showTinctors_; }
    QToolButton* ColorConfig() const { return colorConfig_; }
    QMenu* ScriptMenu() const { return scriptMenu_; }
    QAction* OpenScriptDirectory() const { return openScriptDirectory_; }
    QAction* MenuRefresh() const { return menuRefresh_; }
    // The picture pressed to start screen picking.
    QLabel* SpoitImage() const { return spoitImage_; }
    const TListButtons& ListButtons() const { return listButtons_; }

    // Shows the buttons that fit whole in the bar's width and hides the rest.
    void ShowWholeButtons();

signals:
    // A notation button was pressed: Notation is its index (0 HTML .. 5 double word).
    void NotationChosen(int notation);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateScriptButtons();
    void CreateNotationButtons();
    void CreateSpoit();
    void CreateListButtons();
    // Puts Control at the next place from the left.
    void Place(QWidget* control);
    void Separator();

    int nextLeft_ = 0;
    QToolButton* showConfig_ = nullptr;
    QToolButton* showTinctors_ = nullptr;
    QToolButton* colorConfig_ = nullptr;
    QMenu* scriptMenu_ = nullptr;
    QAction* openScriptDirectory_ = nullptr;
    QAction* menuRefresh_ = nullptr;
    QButtonGroup* notationGroup_ = nullptr;
    QFrame* spoitColor_ = nullptr;
    QLabel* spoitImage_ = nullptr;
    TListButtons listButtons_;
};

}  // namespace tinctor
