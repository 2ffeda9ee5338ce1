// The main window's colour lists: the list file selector, loading and saving the
// current list, creating and deleting list files, and editing the entries.
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolButton>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "app/CCode.h"
#include "app/CircleShape.h"
#include "app/ColorListDraw.h"
#include "app/ColorListFile.h"
#include "app/ListFileName.h"
#include "app/Main.h"
#include "colour/StrColor.h"
#include "platform/Dialogs.h"
#include "platform/ErrorGuard.h"
#include "platform/QtText.h"
#include "util/CodePage.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

// The selector's one entry while the folder holds no list; its file is made by the first save.
constexpr const char* StandardListName = "標準";

// Keeps the right mouse button away from the list's selection: the press, release,
// double click and drag of that button never reach the view (the context menu still
// comes, as its own event).
class TRightButtonKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
                return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
            case QEvent::MouseMove: {
                const auto buttons = static_cast<QMouseEvent*>(event)->buttons();
                return (buttons & Qt::RightButton) && !(buttons & Qt::LeftButton);
            }
            default:
                return QObject::eventFilter(watched, event);
        }
    }
};

// The list names in Folder (none without a folder: an empty one would mean the
// current directory).
std::vector<std::string> ListNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (!folder.empty()) ListFileNames(folder, std::string("*") + ColorListExtension, names, true);
    return names;
}

bool PathIsTaken(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;  // a dangling link or a folder counts too
}

}  // namespace

void TTinctorForm::ConnectListHandlers() {
    ColorListDrawer = new TColorListDelegate(ColorList);
    ColorListDrawer->setObjectName(QStringLiteral("ColorListDrawer"));
    ColorList->setItemDelegate(ColorListDrawer);
    ColorList->setUniformItemSizes(true);
    ColorList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ColorList->setSelectionMode(QAbstractItemView::SingleSelection);
    ColorList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ColorList->setContextMenuPolicy(Qt::CustomContextMenu);
    ColorList->viewport()->installEventFilter(new TRightButtonKeeper(ColorList));

    ListPopup = new QMenu(this);
    ListPopup->setObjectName(QStringLiteral("ListPopup"));
    // A double click edits and the Delete key deletes; the menu shows both in its
    // shortcut column (Qt would spell the key "Del", and hides shortcuts of pop-ups).
    EditColor = ListPopup->addAction(QStringLiteral("色の編集(&E)\tDblClick"));
    EditColor->setObjectName(QStringLiteral("EditColor"));
    DeleteColor = ListPopup->addAction(QStringLiteral("色の削除(&D)\tDelete"));
    DeleteColor->setObjectName(QStringLiteral("DeleteColor"));
    DeleteColor->setShortcut(QKeySequence(Qt::Key_Delete));
    DeleteColor->setShortcutContext(Qt::WidgetShortcut);
    ColorList->addAction(DeleteColor);  // the Delete key while the list has the focus

    const auto guard = [](auto handler) { return [handler](auto&&...) { Guarded(handler); }; };
    connect(ColorListFileName, &QComboBox::activated, this, guard([this] { ColorListFileNameClick(); }));
    connect(NewFile, &QToolButton::clicked, this, guard([this] { NewFileClick(); }));
    connect(DeleteFile, &QToolButton::clicked, this, guard([this] { DeleteFileClick(); }));
    connect(AddColor, &QToolButton::clicked, this, guard([this] { AddColorClick(TagOf(AddColor)); }));
    connect(AddedDropDown, &QMenu::triggered, this,
            [this](QAction* item) { Guarded([this, item] { AddColorClick(TagOf(item)); }); });
    connect(EditColor, &QAction::triggered, this, guard([this] { EditColorClick(); }));
    connect(DeleteColor, &QAction::triggered, this, guard([this] { DeleteColorClick(); }));
    for (QToolButton* move : {ColorListMoveUp, ColorListMoveDown})
        connect(move, &QToolButton::clicked, this, guard([this, move] { ColorListMoveClick(TagOf(move)); }));
    for (QToolButton* size : {SmallIcon, LargeIcon})
        connect(size, &QToolButton::clicked, this, guard([this, size] { IconClick(size); }));
    // The user's selection changes (mouse or keyboard; the program's own happen under a
    // signal blocker), and clicks, which take the colour again from the same entry.
    connect(ColorList, &QListWidget::itemSelectionChanged, this, guard([this] { ColorListClick(); }));
    connect(ColorList, &QListWidget::clicked, this, guard([this] { ColorListClick(); }));
    connect(ColorList, &QListWidget::doubleClicked, this, guard([this] { ColorListDblClick(); }));
    connect(ColorList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Guarded([this, at] { ColorListContextPopup(at); }); });

    UpdateListButtons();
}

// ---------------------------------------------------------------------------
// List files

std::string TTinctorForm::ListFileNameText() const {
    const QByteArray name = ColorListFileName->currentData().toByteArray();
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

void TTinctorForm::RefreshListFiles() { RefillListFiles(ListFileNameText()); }

void TTinctorForm::RefillListFiles(std::string_view preferred) {
    std::vector<std::string> names = ListNamesIn(ColorDir);
    if (names.empty()) names.assign(1, StandardListName);
    {
        const QSignalBlocker blocker(ColorListFileName);
        ColorListFileName->clear();
        // The name's own bytes stay with the entry; the text shown is only for the eye.
        for (const std::string& name : names)
            ColorListFileName->addItem(ToQString(name), QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        const int found = FindListName(names, preferred);
        ColorListFileName->setCurrentIndex(found >= 0 ? found : 0);
    }
    LoadColorList();
}

void TTinctorForm::ColorListFileNameClick() { LoadColorList(); }

void TTinctorForm::LoadColorList() {
    const std::string name = ListFileNameText();
    listFile_ = name.empty() || ColorDir.empty() ? std::string() : ColorListPath(ColorDir, name);
    TColorListContents contents;
    std::exception_ptr failure;
    if (!listFile_.empty()) {
        try {
            contents = LoadColorListFile(listFile_);
        } catch (...) {
            failure = std::current_exception();  // shown after the list is emptied
        }
    }
    {
        const QSignalBlocker blocker(ColorList);
        ColorList->setUpdatesEnabled(false);
        ColorList->clear();
        for (const TColorEntry& entry : contents.Entries) SetEntry(new QListWidgetItem(ColorList), entry);
        ColorList->setUpdatesEnabled(true);
    }
    UpdateListButtons();
    if (failure) std::rethrow_exception(failure);
    if (contents.DamagedTotal) MessageWarning(DamagedTotalMessage(listFile_, contents));
}

void TTinctorForm::SaveColorList() {
    // No list is ever written under an empty name.
    if (listFile_.empty()) throw EColorListError("カラーリストのフォルダがないため、リストを保存できません。");
    std::vector<TColorEntry> entries;
    entries.reserve(static_cast<std::size_t>(ColorList->count()));
    for (int i = 0; i < ColorList->count(); ++i) entries.push_back(EntryOf(ColorList->item(i)));
    SaveColorListFile(listFile_, entries);
}

void TTinctorForm::NewFileClick() {
    std::string name = "newfile";
    if (!InputQuery("ファイル名を指定してください(拡張子不要)", name)) return;
    const std::string refusal = NewListNameRefusal(name, ListNamesIn(ColorDir));
    if (!refusal.empty()) throw EColorListError(refusal);
    const std::string path = ColorListPath(ColorDir, name);
    if (PathIsTaken(path)) throw EColorListError(ListNameExistsMessage);
    if (ColorDir.empty() || !CreateColorListFile(path)) throw EColorListError(CannotCreateListMessage(path));
    RefillListFiles(name);
}

void TTinctorForm::DeleteFileClick() {
    if (!AskYesNo("このリストファイルを削除しますか？", false)) return;
    // The file of the list shown; one that is gone already counts as deleted.
    const std::string path = listFile_;
    const bool failed = !path.empty() && ::unlink(path.c_str()) != 0 && errno != ENOENT;
    RefreshListFiles();
    if (failed) throw EColorListError("リストファイル \"" + path + "\" を削除できません。");
}

// ---------------------------------------------------------------------------
// Entries

int TTinctorForm::SelectedEntry() const {
    const QList<QListWidgetItem*> selected = ColorList->selectedItems();
    return selected.isEmpty() ? -1 : ColorList->row(selected.front());
}

void TTinctorForm::SelectEntry(int index) {
    const QSignalBlocker blocker(ColorList);
    ColorList->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    if (QListWidgetItem* item = ColorList->item(index)) ColorList->scrollToItem(item);
}

void TTinctorForm::UpdateListButtons() {
    const int i = SelectedEntry();
    const int n = ColorList->count();
    DeleteFile->setEnabled(ColorListFileName->count() > 1);
    DeleteColor->setEnabled(i != -1);
    EditColor->setEnabled(i != -1);
    ColorListMoveUp->setEnabled(i > 0);
    ColorListMoveDown->setEnabled(i != -1 && i < n - 1);
}

void TTinctorForm::ColorListClick() {
    const int i = SelectedEntry();
    // Taking a colour from the list does not add it to the history; a code that gives
    // no colour changes nothing.
    if (i != -1) SetCurrentColor(ColorOfEntryCode(EntryOf(ColorList->item(i)).Code));
    UpdateListButtons();
}

void TTinctorForm::ColorListDblClick() { EditColor->trigger(); }

void TTinctorForm::ColorListContextPopup(const QPoint& position) {
    if (SelectedEntry() == -1) return;
    ListPopup->popup(ColorList->viewport()->mapToGlobal(position));
}

void TTinctorForm::AddColorClick(int tag) {
    TColor colour = CurrentColor();
    if (tag == 9)
        colour = ComplementColorValue();
    else if (tag >= 1 && tag <= 7)
        colour = History[static_cast<std::size_t>(tag - 1)]->Color();
    const std::string code = FormatColorCode(colour, HtmlNotation, {});
    // What is saved must load again: a list never grows beyond what loading takes.
    if (ColorList->count() >= MaxColorListTotal) throw EColorListError(ListFullMessage());

    const CodePage& cp = CodePage::Current();
    for (int i = 0; i < ColorList->count(); ++i)
        if (cp.EqualsIgnoreCase(EntryOf(ColorList->item(i)).Code, code))
            throw EColorListError("もうこの色は登録されています。");

    {
        TColorCode dialog(this);
        dialog.SetCode(code);
        dialog.PutCommentFirst();
        if (dialog.exec() == QDialog::Accepted) {
            const QSignalBlocker blocker(ColorList);
            SetEntry(new QListWidgetItem(ColorList), {dialog.Code(), dialog.CommentText()});
        }
    }
    // Written even after Cancel, as every list command writes the list.
    UpdateListButtons();
    SaveColorList();
}

void TTinctorForm::EditColorClick() {
    const int i = SelectedEntry();
    if (i == -1) return;
    QListWidgetItem* item = ColorList->item(i);
    const TColorEntry entry = EntryOf(item);
    TColorCode dialog(this);
    dialog.SetCode(entry.Code);
    dialog.SetComment(entry.Comment);
    if (dialog.exec() != QDialog::Accepted) return;
    SetEntry(item, {dialog.Code(), dialog.CommentText()});
    SaveColorList();
}

void TTinctorForm::DeleteColorClick() {
    const int i = SelectedEntry();
    if (i == -1) return;
    if (!AskYesNo("この色を削除しますか？", true)) return;
    {
        const QSignalBlocker blocker(ColorList);
        delete ColorList->takeItem(i);
        ColorList->clearSelection();
    }
    UpdateListButtons();
    SaveColorList();
}

void TTinctorForm::ColorListMoveClick(int step) {
    const int i = SelectedEntry();
    const int to = i + step;
    if (i == -1 || to < 0 || to >= ColorList->count()) return;
    QListWidgetItem* a = ColorList->item(i);
    QListWidgetItem* b = ColorList->item(to);
    const TColorEntry moved = EntryOf(a);
    SetEntry(a, EntryOf(b));
    SetEntry(b, moved);
    SelectEntry(to);
    UpdateListButtons();
    SaveColorList();
}

void TTinctorForm::IconClick(QToolButton* button) {
    ColorListDrawer->SetItemHeight(TagOf(button), LargeIcon->isChecked());
    ColorList->doItemsLayout();
    ColorList->viewport()->update();
}

}  // namespace tinctor
