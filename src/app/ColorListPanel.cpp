#include "app/ColorListPanel.h"

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
#include "app/ColorListDraw.h"
#include "app/ColorListFile.h"
#include "app/FormControls.h"
#include "app/ListFileName.h"
#include "colour/ColorCodes.h"
#include "colour/StrColor.h"
#include "platform/Dialogs.h"
#include "platform/QtText.h"
#include "util/CodePage.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

// The selector's one entry while the folder holds no list; its file is made by the first save.
constexpr const char* StandardListName = "標準";

// The design's tags of the add command's button and menu items.
constexpr int CurrentColorTag = 8;
constexpr int ComplementTag = 9;
constexpr int HistoryCount = 7;

constexpr int MoveUpStep = -1;
constexpr int MoveDownStep = 1;

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

int AddColorTag(const TAddColorChoice& choice) {
    switch (choice.Kind) {
        case TAddColorKind::CurrentColor:
            return CurrentColorTag;
        case TAddColorKind::Complement:
            return ComplementTag;
        case TAddColorKind::History:
            return choice.History;
    }
    return 0;
}

TColorListPanel::TColorListPanel(QWidget* parent, const QRect& place, QComboBox* selector,
                                 const TListButtons& buttons, TColorOfChoice colourOf)
    : QFrame(parent), selector_(selector), buttons_(buttons), colourOf_(std::move(colourOf)) {
    setObjectName(QStringLiteral("ColorListPanel"));
    setGeometry(place);
    colorList_ = new QListWidget(this);
    colorList_->setObjectName(QStringLiteral("ColorList"));
    colorList_->setGeometry(rect());

    drawer_ = new TColorListDelegate(colorList_);
    drawer_->setObjectName(QStringLiteral("ColorListDrawer"));
    colorList_->setItemDelegate(drawer_);
    colorList_->setUniformItemSizes(true);
    colorList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    colorList_->setSelectionMode(QAbstractItemView::SingleSelection);
    colorList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    colorList_->setContextMenuPolicy(Qt::CustomContextMenu);
    colorList_->viewport()->installEventFilter(new TRightButtonKeeper(colorList_));

    CreateAddedDropDown();
    CreatePopup();
    ConnectCommands();
    UpdateListButtons();
}

void TColorListPanel::CreateAddedDropDown() {
    addedDropDown_ = new QMenu(this);
    addedDropDown_->setObjectName(QStringLiteral("AddedDropDown"));
    const auto addItem = [this](const QString& name, const QString& caption, const TAddColorChoice& choice) {
        QAction* item = addedDropDown_->addAction(caption);
        item->setObjectName(name);
        SetTag(item, AddColorTag(choice));
        connect(item, &QAction::triggered, this, Guard([this, choice] { AddColorClick(choice); }));
    };
    addItem(QStringLiteral("AddNowColor"), QStringLiteral("現在の色を追加(&A)"), {TAddColorKind::CurrentColor});
    addItem(QStringLiteral("AddComplementColor"), QStringLiteral("補色を追加(&C)"), {TAddColorKind::Complement});
    for (int n = 1; n <= HistoryCount; ++n)
        addItem(QStringLiteral("AddHistory%1Color").arg(n), QStringLiteral("履歴%1を追加(&%1)").arg(n),
                {TAddColorKind::History, n});
    buttons_.AddColor->setMenu(addedDropDown_);
    SetTag(buttons_.AddColor, AddColorTag({TAddColorKind::CurrentColor}));
}

void TColorListPanel::CreatePopup() {
    listPopup_ = new QMenu(this);
    listPopup_->setObjectName(QStringLiteral("ListPopup"));
    // A double click edits and the Delete key deletes; the menu shows both in its
    // shortcut column (Qt would spell the key "Del", and hides shortcuts of pop-ups).
    editColor_ = listPopup_->addAction(QStringLiteral("色の編集(&E)\tDblClick"));
    editColor_->setObjectName(QStringLiteral("EditColor"));
    deleteColor_ = listPopup_->addAction(QStringLiteral("色の削除(&D)\tDelete"));
    deleteColor_->setObjectName(QStringLiteral("DeleteColor"));
    deleteColor_->setShortcut(QKeySequence(Qt::Key_Delete));
    deleteColor_->setShortcutContext(Qt::WidgetShortcut);
    colorList_->addAction(deleteColor_);  // the Delete key while the list has the focus
}

void TColorListPanel::ConnectCommands() {
    connect(selector_, &QComboBox::activated, this, Guard([this] { LoadColorList(); }));
    connect(buttons_.NewFile, &QToolButton::clicked, this, Guard([this] { NewFileClick(); }));
    connect(buttons_.DeleteFile, &QToolButton::clicked, this, Guard([this] { DeleteFileClick(); }));
    connect(buttons_.AddColor, &QToolButton::clicked, this,
            Guard([this] { AddColorClick({TAddColorKind::CurrentColor}); }));
    connect(editColor_, &QAction::triggered, this, Guard([this] { EditColorClick(); }));
    connect(deleteColor_, &QAction::triggered, this, Guard([this] { DeleteColorClick(); }));
    const std::pair<QToolButton*, int> moves[] = {{buttons_.MoveUp, MoveUpStep}, {buttons_.MoveDown, MoveDownStep}};
    for (const auto& [button, step] : moves) {
        SetTag(button, step);
        connect(button, &QToolButton::clicked, this, Guard([this, step] { ColorListMoveClick(step); }));
    }
    connect(buttons_.SmallIcon, &QToolButton::clicked, this, Guard([this] { IconClick(false); }));
    connect(buttons_.LargeIcon, &QToolButton::clicked, this, Guard([this] { IconClick(true); }));
    // The user's selection changes (mouse or keyboard; the program's own happen under a
    // signal blocker), and clicks, which take the colour again from the same entry.
    connect(colorList_, &QListWidget::itemSelectionChanged, this, Guard([this] { ColorListClick(); }));
    connect(colorList_, &QListWidget::clicked, this, Guard([this] { ColorListClick(); }));
    connect(colorList_, &QListWidget::doubleClicked, this, Guard([this] { ColorListDblClick(); }));
    connect(colorList_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Guarded([this, at] { ColorListContextPopup(at); }); });
}

void TColorListPanel::StoreItemHeights() {
    smallItemHeight_ = drawer_->ItemHeight();
    largeItemHeight_ = smallItemHeight_ * 2;
    SetTag(buttons_.SmallIcon, smallItemHeight_);
    SetTag(buttons_.LargeIcon, largeItemHeight_);
}

// ---------------------------------------------------------------------------
// List files

std::string TColorListPanel::ListFileNameText() const {
    const QByteArray name = selector_->currentData().toByteArray();
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

void TColorListPanel::RefreshListFiles() { RefillListFiles(ListFileNameText()); }

void TColorListPanel::RefillListFiles(std::string_view preferred) {
    std::vector<std::string> names = ListNamesIn(folder_);
    if (names.empty()) names.assign(1, StandardListName);
    {
        const QSignalBlocker blocker(selector_);
        selector_->clear();
        // The name's own bytes stay with the entry; the text shown is only for the eye.
        for (const std::string& name : names)
            selector_->addItem(ToQString(name), QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        const int found = FindListName(names, preferred);
        selector_->setCurrentIndex(found >= 0 ? found : 0);
    }
    LoadColorList();
}

void TColorListPanel::LoadColorList() {
    const std::string name = ListFileNameText();
    listFile_ = name.empty() || folder_.empty() ? std::string() : ColorListPath(folder_, name);
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
        const QSignalBlocker blocker(colorList_);
        colorList_->setUpdatesEnabled(false);
        colorList_->clear();
        for (const TColorEntry& entry : contents.Entries) SetEntry(new QListWidgetItem(colorList_), entry);
        colorList_->setUpdatesEnabled(true);
    }
    UpdateListButtons();
    if (failure) std::rethrow_exception(failure);
    if (contents.DamagedTotal) MessageWarning(DamagedTotalMessage(listFile_, contents));
}

void TColorListPanel::SaveColorList() {
    // No list is ever written under an empty name.
    if (listFile_.empty()) throw EColorListError("カラーリストのフォルダがないため、リストを保存できません。");
    std::vector<TColorEntry> entries;
    entries.reserve(static_cast<std::size_t>(colorList_->count()));
    for (int i = 0; i < colorList_->count(); ++i) entries.push_back(EntryOf(colorList_->item(i)));
    SaveColorListFile(listFile_, entries);
}

void TColorListPanel::NewFileClick() {
    std::string name = "newfile";
    if (!InputQuery("ファイル名を指定してください(拡張子不要)", name)) return;
    const std::string refusal = NewListNameRefusal(name, ListNamesIn(folder_));
    if (!refusal.empty()) throw EColorListError(refusal);
    const std::string path = ColorListPath(folder_, name);
    if (PathIsTaken(path)) throw EColorListError(ListNameExistsMessage);
    if (folder_.empty() || !CreateColorListFile(path)) throw EColorListError(CannotCreateListMessage(path));
    RefillListFiles(name);
}

void TColorListPanel::DeleteFileClick() {
    if (!AskYesNo("このリストファイルを削除しますか？", false)) return;
    // The file of the list shown; one that is gone already counts as deleted.
    const std::string path = listFile_;
    const bool failed = !path.empty() && ::unlink(path.c_str()) != 0 && errno != ENOENT;
    RefreshListFiles();
    if (failed) throw EColorListError("リストファイル \"" + path + "\" を削除できません。");
}

// ---------------------------------------------------------------------------
// Entries

int TColorListPanel::SelectedEntry() const {
    const QList<QListWidgetItem*> selected = colorList_->selectedItems();
    return selected.isEmpty() ? -1 : colorList_->row(selected.front());
}

void TColorListPanel::SelectEntry(int index) {
    const QSignalBlocker blocker(colorList_);
    colorList_->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
    if (QListWidgetItem* item = colorList_->item(index)) colorList_->scrollToItem(item);
}

void TColorListPanel::UpdateListButtons() {
    const int i = SelectedEntry();
    const int n = colorList_->count();
    buttons_.DeleteFile->setEnabled(selector_->count() > 1);
    deleteColor_->setEnabled(i != -1);
    editColor_->setEnabled(i != -1);
    buttons_.MoveUp->setEnabled(i > 0);
    buttons_.MoveDown->setEnabled(i != -1 && i < n - 1);
}

void TColorListPanel::ColorListClick() {
    const int i = SelectedEntry();
    // Taking a colour from the list does not add it to the history; a code that gives
    // no colour changes nothing.
    if (i != -1) emit ColorChosen(ColorOfEntryCode(EntryOf(colorList_->item(i)).Code));
    UpdateListButtons();
}

void TColorListPanel::ColorListDblClick() { editColor_->trigger(); }

void TColorListPanel::ColorListContextPopup(const QPoint& position) {
    if (SelectedEntry() == -1) return;
    listPopup_->popup(colorList_->viewport()->mapToGlobal(position));
}

void TColorListPanel::AddColorClick(const TAddColorChoice& choice) {
    const std::string code = FormatColorCode(colourOf_(choice), HtmlNotation, {});
    // What is saved must load again: a list never grows beyond what loading takes.
    if (colorList_->count() >= MaxColorListTotal) throw EColorListError(ListFullMessage());

    const CodePage& cp = CodePage::Current();
    for (int i = 0; i < colorList_->count(); ++i)
        if (cp.EqualsIgnoreCase(EntryOf(colorList_->item(i)).Code, code))
            throw EColorListError("もうこの色は登録されています。");

    {
        TColorCode dialog(window());
        dialog.SetCode(code);
        dialog.PutCommentFirst();
        if (dialog.exec() == QDialog::Accepted) {
            const QSignalBlocker blocker(colorList_);
            SetEntry(new QListWidgetItem(colorList_), {dialog.Code(), dialog.CommentText()});
        }
    }
    // Written even after Cancel, as every list command writes the list.
    UpdateListButtons();
    SaveColorList();
}

void TColorListPanel::EditColorClick() {
    const int i = SelectedEntry();
    if (i == -1) return;
    QListWidgetItem* item = colorList_->item(i);
    const TColorEntry entry = EntryOf(item);
    TColorCode dialog(window());
    dialog.SetCode(entry.Code);
    dialog.SetComment(entry.Comment);
    if (dialog.exec() != QDialog::Accepted) return;
    SetEntry(item, {dialog.Code(), dialog.CommentText()});
    SaveColorList();
}

void TColorListPanel::DeleteColorClick() {
    const int i = SelectedEntry();
    if (i == -1) return;
    if (!AskYesNo("この色を削除しますか？", true)) return;
    {
        const QSignalBlocker blocker(colorList_);
        delete colorList_->takeItem(i);
        colorList_->clearSelection();
    }
    UpdateListButtons();
    SaveColorList();
}

void TColorListPanel::ColorListMoveClick(int step) {
    const int i = SelectedEntry();
    const int to = i + step;
    if (i == -1 || to < 0 || to >= colorList_->count()) return;
    QListWidgetItem* a = colorList_->item(i);
    QListWidgetItem* b = colorList_->item(to);
    const TColorEntry moved = EntryOf(a);
    SetEntry(a, EntryOf(b));
    SetEntry(b, moved);
    SelectEntry(to);
    UpdateListButtons();
    SaveColorList();
}

void TColorListPanel::IconClick(bool large) {
    drawer_->SetItemHeight(large ? largeItemHeight_ : smallItemHeight_, buttons_.LargeIcon->isChecked());
    colorList_->doItemsLayout();
    colorList_->viewport()->update();
}

}  // namespace tinctor
