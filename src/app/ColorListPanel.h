// The colour list panel at the right of the main window (ColorListPanel): the list of
// the current list file's entries with its pop-up menu, and the commands on them —
// the list file selector of the top strip, new and delete list file, add, edit,
// delete and move an entry, the item size. Every change writes the list's file at once.
#pragma once

#include <QFrame>

#include <functional>
#include <string>
#include <string_view>

#include "app/MainToolBar.h"
#include "colour/stdColors.h"

class QAction;
class QComboBox;
class QListWidget;
class QMenu;

namespace tinctor {

class TColorListDelegate;

// Which colour the add command adds.
enum class TAddColorKind {
    CurrentColor,  // the button itself
    Complement,
    History,  // a history circle, by its number
};
struct TAddColorChoice {
    TAddColorKind Kind = TAddColorKind::CurrentColor;
    int History = 0;  // 1 newest .. 7 oldest
};
// The design's tag of an add command (8 the current colour, 9 the complement, 1..7 a
// history circle).
int AddColorTag(const TAddColorChoice& choice);

class TColorListPanel : public QFrame {
    Q_OBJECT
public:
    // The colour an add command takes (the window's current colour, complement, history).
    using TColorOfChoice = std::function<TColor(const TAddColorChoice&)>;

    // The panel at Place, the list filling it; Selector and Buttons are the list's
    // controls on the top strip and the toolbar.
    TColorListPanel(QWidget* parent, const QRect& place, QComboBox* selector, const TListButtons& buttons,
                    TColorOfChoice colourOf);

    // The colour list folder, with a trailing "/"; the lists shown are its files.
    void SetFolder(const std::string& folder) { folder_ = folder; }
    // The file the shown list came from: saves go there, even after the folder changed.
    const std::string& ListFile() const { return listFile_; }

    // Refills the selector from the colour list folder and loads the selected list.
    void RefreshListFiles();
    // Loads the list the selector names into the list.
    void LoadColorList();
    // Writes the entries to the current list's file; an error says so and the
    // entries stay, for the next save to write.
    void SaveColorList();
    // The enabled state of the list commands, from the selection.
    void UpdateListButtons();
    // The item heights of the two sizes, from the list's own.
    void StoreItemHeights();

    void NewFileClick();
    void DeleteFileClick();
    void AddColorClick(const TAddColorChoice& choice);
    void EditColorClick();
    void DeleteColorClick();
    // Moves the selected entry Step places (-1 up, 1 down).
    void ColorListMoveClick(int step);
    void ColorListDblClick();

signals:
    // The user chose an entry: its colour becomes current.
    void ColorChosen(TColor colour);

private:
    void CreatePopup();
    void ConnectCommands();
    void CreateAddedDropDown();
    void RefillListFiles(std::string_view preferred);
    std::string ListFileNameText() const;
    int SelectedEntry() const;
    void SelectEntry(int index);
    void ColorListClick();
    void ColorListContextPopup(const QPoint& position);
    void IconClick(bool large);

    QComboBox* selector_;
    TListButtons buttons_;
    TColorOfChoice colourOf_;
    QListWidget* colorList_ = nullptr;
    TColorListDelegate* drawer_ = nullptr;
    QMenu* addedDropDown_ = nullptr;
    QMenu* listPopup_ = nullptr;
    QAction* editColor_ = nullptr;
    QAction* deleteColor_ = nullptr;
    std::string folder_;
    std::string listFile_;
    int smallItemHeight_ = 0;
    int largeItemHeight_ = 0;
};

}  // namespace tinctor
