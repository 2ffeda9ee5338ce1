// The colour lists in the main window: the list file selector, new and deleted lists,
// adding, editing, deleting and moving entries, what every change writes to the file,
// and how the entries are drawn.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "FormFixture.h"
#include "app/CCode.h"
#include "app/CircleShape.h"
#include "app/ColorListDraw.h"
#include "colour/StrColor.h"

namespace tinctor::testing {
namespace {

using Box = TFakeDialogs::Shown;

class ColorListTest : public FormTest {
protected:
    std::string Colors() const { return home + "Colors/"; }
    void WriteList(const std::string& name, const std::string& text) {
        std::filesystem::create_directories(Colors());
        ASSERT_TRUE(SaveTextFile(Colors() + name + ".clr", text));
    }
    std::string ReadList(const std::string& name) const {
        std::string text;
        EXPECT_TRUE(LoadTextFile(Colors() + name + ".clr", text)) << name;
        return text;
    }
    QListWidget* List() const { return Control<QListWidget>("ColorList"); }
    QComboBox* Selector() const { return Control<QComboBox>("ColorListFileName"); }
    QStringList Names() const {
        QStringList names;
        for (int i = 0; i < Selector()->count(); ++i) names << Selector()->itemText(i);
        return names;
    }
    std::vector<TColorEntry> Shown() const {
        std::vector<TColorEntry> entries;
        for (int i = 0; i < List()->count(); ++i) entries.push_back(EntryOf(List()->item(i)));
        return entries;
    }
    bool Enabled(const char* button) const { return Control<QToolButton>(button)->isEnabled(); }
    QAction* Action(const char* name) const { return Control<QAction>(name); }
    // The user picks list Index in the selector.
    void Choose(int index) {
        Selector()->setCurrentIndex(index);
        emit Selector()->activated(index);
    }

    void Mouse(QEvent::Type type, int row, Qt::MouseButton button) {
        const QPoint at = List()->visualItemRect(List()->item(row)).center();
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, at, List()->viewport()->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(List()->viewport(), &event);
    }
    void ClickEntry(int row, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(QEvent::MouseButtonPress, row, button);
        Mouse(QEvent::MouseButtonRelease, row, button);
    }
    void DoubleClickEntry(int row) {
        ClickEntry(row);
        Mouse(QEvent::MouseButtonDblClick, row, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, row, Qt::LeftButton);
    }
    // A right click as the window system delivers it: the button, then the menu request.
    void RightClickEntry(int row) {
        ClickEntry(row, Qt::RightButton);
        const QPoint at = List()->visualItemRect(List()->item(row)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, List()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(List()->viewport(), &event);
    }
    void Key(QWidget* widget, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(widget, &press);
    }

    // What the code dialog does once it is up; the dialog runs modally.
    void OnCodeDialog(std::function<void(TColorCode&)> act) {
        codeDialogs = 0;
        QTimer::singleShot(0, form.get(), [this, act] {
            auto* dialog = qobject_cast<TColorCode*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            ++codeDialogs;
            act(*dialog);
        });
    }
    static void Ok(TColorCode& dialog, const char* comment) {
        dialog.Comment->setText(QString::fromUtf8(comment));
        dialog.OKBtn->click();
    }
    int codeDialogs = -1;
};

using Entries = std::vector<TColorEntry>;

// --- list files -------------------------------------------------------------------------

TEST_F(ColorListTest, EmptyFolderOffersTheStandardListWhoseFileTheFirstAddMakes) {
    Open();
    EXPECT_EQ(Names(), QStringList{QStringLiteral("標準")});
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(Enabled("DeleteFile"));
    EXPECT_FALSE(Enabled("ColorListMoveUp"));
    EXPECT_FALSE(Enabled("ColorListMoveDown"));
    EXPECT_FALSE(Action("EditColor")->isEnabled());
    EXPECT_FALSE(Action("DeleteColor")->isEnabled());
    EXPECT_FALSE(FileExists(Colors() + "標準.clr"));

    form->SetCurrentColor(RGBToColor(255, 128, 0));
    OnCodeDialog([this](TColorCode& dialog) {
        EXPECT_EQ(dialog.Code(), "#FF8000");
        EXPECT_TRUE(dialog.OKBtn->isEnabled());
        EXPECT_EQ(dialog.PanelColor(), RGBToColor(255, 128, 0));
        EXPECT_EQ(dialog.focusWidget(), dialog.Comment);  // typing starts in the comment
        Ok(dialog, "warm");
    });
    Click("AddColor");
    EXPECT_EQ(codeDialogs, 1);
    EXPECT_EQ(Shown(), (Entries{{"#FF8000", "warm"}}));
    EXPECT_EQ(ReadList("標準"), "[COLORS]\r\nTotal=1\r\n0=#FF8000,warm\r\n\r\n");
    EXPECT_TRUE(dialogs.ErrorBoxes().empty());
}

TEST_F(ColorListTest, SelectorListsTheListFilesByNameAndLoadsTheFirst) {
    WriteList("web", "[COLORS]\r\nTotal=1\r\n0=#0000FF,blue\r\n");
    WriteList("Autumn", "[COLORS]\r\nTotal=2\r\n0=#FF0000,red\r\n1=#0000FF,blue, dark\r\n");
    WriteList("zebra", "[COLORS]\r\nTotal=0\r\n");
    WriteList(".hidden", "[COLORS]\r\n");
    ASSERT_TRUE(SaveTextFile(Colors() + "upper.CLR", ""));
    ASSERT_TRUE(SaveTextFile(Colors() + "old.clr.bak", ""));
    std::filesystem::create_directory(Colors() + "folder.clr");
    Open();
    EXPECT_EQ(Names(), (QStringList{"Autumn", "web", "zebra"}));
    EXPECT_EQ(Selector()->currentIndex(), 0);
    EXPECT_EQ(Shown(), (Entries{{"#FF0000", "red"}, {"#0000FF", "blue, dark"}}));
    EXPECT_TRUE(Enabled("DeleteFile"));
    EXPECT_EQ(List()->selectedItems().size(), 0);

    Choose(1);
    EXPECT_EQ(Shown(), (Entries{{"#0000FF", "blue"}}));
    Choose(2);
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(ColorListTest, LoadingCopesWithBadFilesAndShowsDamage) {
    WriteList("a", "[COLORS]\nTotal=3\n0=#FF0000,red\n2=#00FF00\n");
    WriteList("b", "[COLORS]\r\nTotal=2000000000\r\n0=#FF0000,red\r\n2=#00FF00,green\r\n");
    WriteList("c", "[COLORS]\r\nTotal=-4\r\n0=#FF0000,red\r\n");
    Open();
    EXPECT_EQ(Shown(), (Entries{{"#FF0000", "red"}, {"", ""}, {"", "#00FF00"}}));
    EXPECT_TRUE(dialogs.Log.empty());

    Choose(1);
    EXPECT_EQ(Shown(), (Entries{{"#FF0000", "red"}, {"", ""}, {"#00FF00", "green"}}));
    ASSERT_FALSE(dialogs.Log.empty());
    EXPECT_EQ(dialogs.Log.back().What, Box::Message);
    EXPECT_EQ(dialogs.Log.back().MsgKind, TMsgKind::Warning);
    EXPECT_NE(dialogs.Log.back().Text.find("2000000000"), std::string::npos);

    // A Total that is no count is damage too: the entries present load, with a warning.
    Choose(2);
    EXPECT_EQ(Shown(), (Entries{{"#FF0000", "red"}}));
    EXPECT_NE(dialogs.Log.back().Text.find("(-4)"), std::string::npos);
}

TEST_F(ColorListTest, AFullListRefusesAnotherColourSoThatWhatIsSavedAlwaysLoads) {
    std::string text = "[COLORS]\r\nTotal=" + std::to_string(MaxColorListTotal) + "\r\n";
    for (int i = 0; i < MaxColorListTotal; ++i) text += std::to_string(i) + "=#010203,\r\n";
    WriteList("full", text);
    Open();
    ASSERT_EQ(List()->count(), MaxColorListTotal);
    form->SetCurrentColor(RGBToColor(255, 128, 0));
    Click("AddColor");
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{ListFullMessage()});
    EXPECT_EQ(List()->count(), MaxColorListTotal);
    EXPECT_EQ(ReadList("full"), text);  // not even rewritten
}

TEST_F(ColorListTest, UnreadableListIsReportedAndShownEmpty) {
    WriteList("a", "[COLORS]\r\nTotal=1\r\n0=#FF0000,red\r\n");
    std::filesystem::create_directories(Colors());
    Open();
    ASSERT_EQ(List()->count(), 1);
    // The file turns into something that cannot be read while the list is shown.
    std::filesystem::remove(Colors() + "a.clr");
    std::filesystem::create_directory(Colors() + "a.clr");
    Choose(0);
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"リストファイル \"" + Colors() + "a.clr\" を読み込めません (通常のファイルではありません)。"});
}

TEST_F(ColorListTest, NewFileMakesAnEmptyListAndShowsIt) {
    WriteList("web", "[COLORS]\r\nTotal=1\r\n0=#0000FF,blue\r\n");
    Open();
    dialogs.InputAnswers.push_back({true, "Mine"});
    Click("NewFile");
    ASSERT_EQ(dialogs.Log.size(), 1u);
    EXPECT_EQ(dialogs.Log[0].What, Box::Input);
    EXPECT_EQ(dialogs.Log[0].Text, "ファイル名を指定してください(拡張子不要)");
    EXPECT_EQ(Names(), (QStringList{"Mine", "web"}));
    EXPECT_EQ(Selector()->currentText(), QStringLiteral("Mine"));
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(ReadList("Mine"), "[COLORS]\r\ntotal=0");
    EXPECT_TRUE(Enabled("DeleteFile"));

    // The first save writes Total in place of total=0.
    OnCodeDialog([](TColorCode& dialog) { Ok(dialog, ""); });
    Click("AddColor");
    EXPECT_EQ(ReadList("Mine"), "[COLORS]\r\nTotal=1\r\n0=#000000,\r\n\r\n");

    // Cancelled: nothing happens.
    dialogs.InputAnswers.push_back({false, ""});
    Click("NewFile");
    EXPECT_EQ(Names(), (QStringList{"Mine", "web"}));
    EXPECT_TRUE(dialogs.ErrorBoxes().empty());
}

TEST_F(ColorListTest, NewFileRefusesTakenAndImpossibleNames) {
    WriteList("web", "[COLORS]\r\nTotal=1\r\n0=#0000FF,blue\r\n");
    WriteList("zoo", "[COLORS]\r\nTotal=0\r\n");
    Open();
    Choose(1);
    const struct {
        const char* Name;
        const char* Message;
    } refused[] = {
        {"zoo", "指定したファイル名はもう存在しています。"}, {"WEB", "指定したファイル名はもう存在しています。"},
        {"", "ファイル名を入力してください。"},             {"a/b", "ファイル名に「/」は使えません。"},
        {"a\tb", "ファイル名に制御文字は使えません。"},     {".x", "「.」で始まるファイル名は使えません。"},
    };
    for (const auto& r : refused) {
        dialogs.Log.clear();
        dialogs.InputAnswers.push_back({true, r.Name});
        Click("NewFile");
        EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{r.Message}) << r.Name;
    }
    EXPECT_EQ(Names(), (QStringList{"web", "zoo"}));
    EXPECT_EQ(Selector()->currentText(), QStringLiteral("zoo"));
    EXPECT_FALSE(FileExists(Colors() + "WEB.clr"));

    // Something that is not a list file holds the name.
    std::filesystem::create_directory(Colors() + "taken.clr");
    dialogs.Log.clear();
    dialogs.InputAnswers.push_back({true, "taken"});
    Click("NewFile");
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"指定したファイル名はもう存在しています。"});

    // The folder is gone: the file cannot be made, and that is said.
    std::filesystem::remove_all(Colors());
    dialogs.Log.clear();
    dialogs.InputAnswers.push_back({true, "new"});
    Click("NewFile");
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"リストファイル \"" + Colors() + "new.clr\" を作成できません。"});
    EXPECT_EQ(Selector()->currentText(), QStringLiteral("zoo"));
}

TEST_F(ColorListTest, DeleteFileAsksWithNoAsTheDefaultAndNeverDeletesTheLastList) {
    WriteList("a", "[COLORS]\r\nTotal=1\r\n0=#FF0000,red\r\n");
    WriteList("b", "[COLORS]\r\nTotal=1\r\n0=#00FF00,green\r\n");
    Open();
    Choose(1);
    dialogs.YesNoAnswers.push_back(false);
    Click("DeleteFile");
    ASSERT_EQ(dialogs.Log.size(), 2u);
    EXPECT_EQ(dialogs.Log[0].What, Box::Beep);
    EXPECT_EQ(dialogs.Log[0].MsgKind, TMsgKind::Confirmation);
    EXPECT_EQ(dialogs.Log[1].What, Box::Question);
    EXPECT_EQ(dialogs.Log[1].Text, "このリストファイルを削除しますか？");
    EXPECT_FALSE(dialogs.Log[1].DefaultYes);
    EXPECT_TRUE(FileExists(Colors() + "b.clr"));

    dialogs.YesNoAnswers.push_back(true);
    Click("DeleteFile");
    EXPECT_FALSE(FileExists(Colors() + "b.clr"));
    EXPECT_EQ(Names(), QStringList{"a"});
    EXPECT_EQ(Shown(), (Entries{{"#FF0000", "red"}}));
    EXPECT_FALSE(Enabled("DeleteFile"));
    EXPECT_TRUE(dialogs.ErrorBoxes().empty());
}

TEST_F(ColorListTest, DeleteFileThatCannotBeDeletedSaysSo) {
    WriteList("a", "[COLORS]\r\nTotal=1\r\n0=#FF0000,red\r\n");
    WriteList("b", "[COLORS]\r\nTotal=0\r\n");
    Open();
    Choose(1);
    // Something that unlink refuses now stands where the shown list's file was.
    std::filesystem::remove(Colors() + "b.clr");
    std::filesystem::create_directories(Colors() + "b.clr/inside");
    dialogs.YesNoAnswers.push_back(true);
    Click("DeleteFile");
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"リストファイル \"" + Colors() + "b.clr\" を削除できません。"});
    EXPECT_EQ(Names(), QStringList{"a"});
}

TEST_F(ColorListTest, AnotherListFolderShowsItsListsAtOnceAndTheOldFileStaysAsItWas) {
    WriteList("same", "[COLORS]\r\nTotal=1\r\n0=#FF0000,old folder\r\n");
    std::filesystem::create_directories(home + "Other");
    ASSERT_TRUE(SaveTextFile(home + "Other/same.clr", "[COLORS]\r\nTotal=1\r\n0=#00FF00,other folder\r\n"));
    Open();
    WriteIni("[Path]\r\nColorDir=Other\r\n");
    form->ReloadSettings();
    EXPECT_EQ(Shown(), (Entries{{"#00FF00", "other folder"}}));
    EXPECT_EQ(ReadList("same"), "[COLORS]\r\nTotal=1\r\n0=#FF0000,old folder\r\n");
}

// --- entries ----------------------------------------------------------------------------

TEST_F(ColorListTest, AddCommandsOfferTheirColourAndRefuseADuplicate) {
    WriteList("a", "[COLORS]\r\nTotal=1\r\n0=#ff8000,present in lower case\r\n");
    Open();
    const QList<QAction*> items = Control<QMenu>("AddedDropDown")->actions();
    ASSERT_EQ(items.size(), 9);
    EXPECT_EQ(items[0]->text(), QStringLiteral("現在の色を追加(&A)"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("補色を追加(&C)"));
    EXPECT_EQ(items[8]->text(), QStringLiteral("履歴7を追加(&7)"));

    form->SetCurrentColor(RGBToColor(255, 128, 0));
    Click("AddColor");
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"もうこの色は登録されています。"});
    EXPECT_EQ(List()->count(), 1);

    // The complement: the dialog shows it, and the code may be changed there.
    OnCodeDialog([](TColorCode& dialog) {
        EXPECT_EQ(dialog.Code(), FormatColorCode(ComplementOf(RGBToColor(255, 128, 0)), 0));
        dialog.ColorEdit->setText(QStringLiteral("navy"));
        Ok(dialog, "changed");
    });
    items[1]->trigger();
    EXPECT_EQ(codeDialogs, 1);
    ASSERT_EQ(List()->count(), 2);
    EXPECT_EQ(EntryOf(List()->item(1)), (TColorEntry{"navy", "changed"}));

    // A history circle that was never filled is white.
    OnCodeDialog([](TColorCode& dialog) {
        EXPECT_EQ(dialog.Code(), "#FFFFFF");
        Ok(dialog, "history 3");
    });
    items[4]->trigger();
    EXPECT_EQ(EntryOf(List()->item(2)), (TColorEntry{"#FFFFFF", "history 3"}));
    EXPECT_EQ(List()->selectedItems().size(), 0);  // the selection does not change
    EXPECT_EQ(ReadList("a"),
              "[COLORS]\r\nTotal=3\r\n0=#ff8000,present in lower case\r\n1=navy,changed\r\n2=#FFFFFF,history 3\r\n\r\n");
}

TEST_F(ColorListTest, CancelledAddLeavesTheListButStillWritesTheFile) {
    WriteList("a", "[COLORS]\r\n; a note\r\nTotal=1\r\n0=#FF0000,red\r\n");
    Open();
    OnCodeDialog([](TColorCode& dialog) {
        dialog.Comment->setText(QStringLiteral("never"));
        dialog.CancelBtn->click();
    });
    Click("AddColor");
    EXPECT_EQ(codeDialogs, 1);
    EXPECT_EQ(Shown(), (Entries{{"#FF0000", "red"}}));
    EXPECT_EQ(ReadList("a"), "[COLORS]\r\nTotal=1\r\n0=#FF0000,red\r\n\r\n");
}

TEST_F(ColorListTest, ClickingAnEntryTakesItsColourWithoutTouchingTheHistory) {
    WriteList("a", "[COLORS]\r\nTotal=3\r\n0=#FF8000,orange\r\n1=#GGGGGG,broken\r\n2=Navy,named\r\n");
    Open();
    ClickEntry(0);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(255, 128, 0));
    EXPECT_EQ(Text("CCode"), "#FF8000");
    for (const char* circle : {"History1", "History7"})
        EXPECT_EQ(Control<TCircleShape>(circle)->Color(), RGBToColor(255, 255, 255));
    EXPECT_TRUE(Action("EditColor")->isEnabled());
    EXPECT_FALSE(Enabled("ColorListMoveUp"));
    EXPECT_TRUE(Enabled("ColorListMoveDown"));

    // A code that gives no colour changes nothing and raises nothing.
    ClickEntry(1);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(255, 128, 0));
    EXPECT_TRUE(dialogs.Log.empty());
    EXPECT_TRUE(Enabled("ColorListMoveUp"));

    // The keyboard moves the selection and the colour with it.
    Key(List(), Qt::Key_Down);
    EXPECT_EQ(List()->currentRow(), 2);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 128));
    EXPECT_FALSE(Enabled("ColorListMoveDown"));

    // Clicking the selected entry again takes its colour again.
    form->SetCurrentColor(RGBToColor(1, 2, 3));
    ClickEntry(2);
    EXPECT_EQ(form->CurrentColor(), RGBToColor(0, 0, 128));
}

TEST_F(ColorListTest, RightClickNeverChangesTheSelectionAndNeedsOneForTheMenu) {
    WriteList("a", "[COLORS]\r\nTotal=2\r\n0=#FF0000,red\r\n1=#00FF00,green\r\n");
    Open();
    form->show();
    auto* popup = Control<QMenu>("ListPopup");
    ASSERT_EQ(popup->actions().size(), 2);
    EXPECT_EQ(popup->actions()[0]->text(), QStringLiteral("色の編集(&E)\tDblClick"));
    EXPECT_EQ(popup->actions()[1]->text(), QStringLiteral("色の削除(&D)\tDelete"));
    EXPECT_EQ(popup->actions()[1]->shortcut(), QKeySequence(Qt::Key_Delete));

    RightClickEntry(1);
    EXPECT_EQ(List()->selectedItems().size(), 0);
    EXPECT_FALSE(popup->isVisible());

    ClickEntry(0);
    RightClickEntry(1);
    ASSERT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(List()->row(List()->selectedItems()[0]), 0);
    EXPECT_TRUE(popup->isVisible());
    popup->hide();
}

TEST_F(ColorListTest, DoubleClickEditsTheEntryAndWritesIt) {
    WriteList("a", "[COLORS]\r\nTotal=2\r\n0=#FF0000,red, warm\r\n1=#00FF00,green\r\n");
    Open();
    OnCodeDialog([](TColorCode& dialog) {
        EXPECT_EQ(dialog.Code(), "#FF0000");
        EXPECT_EQ(dialog.CommentText(), "red, warm");
        EXPECT_TRUE(dialog.OKBtn->isEnabled());
        dialog.ColorEdit->setText(QStringLiteral("#00FF00"));  // no duplicate test when editing
        Ok(dialog, "now green");
    });
    DoubleClickEntry(0);
    EXPECT_EQ(codeDialogs, 1);
    EXPECT_EQ(Shown(), (Entries{{"#00FF00", "now green"}, {"#00FF00", "green"}}));
    EXPECT_EQ(ReadList("a"), "[COLORS]\r\nTotal=2\r\n0=#00FF00,now green\r\n1=#00FF00,green\r\n\r\n");

    // Cancel changes nothing and writes nothing.
    WriteList("a", "[COLORS]\r\n;kept\r\nTotal=2\r\n0=#00FF00,now green\r\n1=#00FF00,green\r\n");
    OnCodeDialog([](TColorCode& dialog) {
        dialog.Comment->setText(QStringLiteral("never"));
        dialog.CancelBtn->click();
    });
    DoubleClickEntry(1);
    EXPECT_EQ(Shown(), (Entries{{"#00FF00", "now green"}, {"#00FF00", "green"}}));
    EXPECT_NE(ReadList("a").find(";kept"), std::string::npos);
}

TEST_F(ColorListTest, EditKeepsTheBytesOfAnUntouchedComment) {
    const std::string sjis = "\x8B\xE0\x90\x46";  // 金色 in Shift-JIS, read on a UTF-8 system
    WriteList("a", "[COLORS]\r\nTotal=1\r\n0=#FFD700," + sjis + "\r\n");
    Open();
    OnCodeDialog([](TColorCode& dialog) {
        dialog.ColorEdit->setText(QStringLiteral("#FFD701"));
        dialog.OKBtn->click();
    });
    DoubleClickEntry(0);
    EXPECT_EQ(ReadList("a"), "[COLORS]\r\nTotal=1\r\n0=#FFD701," + sjis + "\r\n\r\n");
}

TEST_F(ColorListTest, DeleteAsksWithYesAsTheDefaultAndLeavesNoSelection) {
    WriteList("a", "[COLORS]\r\nTotal=5\r\n0=#000001,a\r\n1=#000002,b\r\n2=#000003,c\r\n3=#000004,d\r\n"
                   "4=#000005,e\r\n");
    Open();
    ClickEntry(1);
    dialogs.Log.clear();
    dialogs.YesNoAnswers.push_back(false);
    Action("DeleteColor")->trigger();
    ASSERT_EQ(dialogs.Log.size(), 2u);
    EXPECT_EQ(dialogs.Log[1].Text, "この色を削除しますか？");
    EXPECT_TRUE(dialogs.Log[1].DefaultYes);
    EXPECT_EQ(List()->count(), 5);

    dialogs.YesNoAnswers.push_back(true);
    Action("DeleteColor")->trigger();
    EXPECT_EQ(List()->count(), 4);
    EXPECT_EQ(List()->selectedItems().size(), 0);
    EXPECT_FALSE(Action("DeleteColor")->isEnabled());
    EXPECT_FALSE(Action("EditColor")->isEnabled());
    EXPECT_FALSE(Enabled("ColorListMoveUp"));
    EXPECT_FALSE(Enabled("ColorListMoveDown"));
    EXPECT_EQ(ReadList("a"), "[COLORS]\r\nTotal=4\r\n0=#000001,a\r\n1=#000003,c\r\n2=#000004,d\r\n3=#000005,e\r\n"
                             "4=#000005,e\r\n\r\n");
    // Disabled, the command does nothing at all.
    dialogs.Log.clear();
    Action("DeleteColor")->trigger();
    form->ColorListDblClick();
    EXPECT_TRUE(dialogs.Log.empty());
}

TEST_F(ColorListTest, MovesSwapEntriesAndStopAtTheEnds) {
    WriteList("a", "[COLORS]\r\nTotal=3\r\n0=#000001,a\r\n1=#000002,b\r\n2=#000003,c\r\n");
    Open();
    ClickEntry(0);
    EXPECT_FALSE(Enabled("ColorListMoveUp"));
    Click("ColorListMoveDown");
    EXPECT_EQ(Shown(), (Entries{{"#000002", "b"}, {"#000001", "a"}, {"#000003", "c"}}));
    EXPECT_EQ(List()->currentRow(), 1);
    Click("ColorListMoveDown");
    EXPECT_EQ(List()->currentRow(), 2);
    EXPECT_FALSE(Enabled("ColorListMoveDown"));
    EXPECT_TRUE(Enabled("ColorListMoveUp"));
    EXPECT_EQ(ReadList("a"), "[COLORS]\r\nTotal=3\r\n0=#000002,b\r\n1=#000003,c\r\n2=#000001,a\r\n\r\n");
    Click("ColorListMoveUp");
    EXPECT_EQ(Shown(), (Entries{{"#000002", "b"}, {"#000001", "a"}, {"#000003", "c"}}));
    EXPECT_EQ(List()->selectedItems().size(), 1);
}

TEST_F(ColorListTest, FailedSaveSaysSoAndTheNextSaveWritesWhatWasKept) {
    WriteList("a", "[COLORS]\r\nTotal=2\r\n0=#000001,a\r\n1=#000002,b\r\n");
    Open();
    std::filesystem::rename(Colors(), home + "away");
    ClickEntry(0);
    Click("ColorListMoveDown");
    ASSERT_EQ(dialogs.ErrorBoxes().size(), 1u);
    EXPECT_NE(dialogs.ErrorBoxes()[0].find("に書き込めません。"), std::string::npos);
    EXPECT_EQ(Shown(), (Entries{{"#000002", "b"}, {"#000001", "a"}}));

    std::filesystem::rename(home + "away", Colors());
    form->SetCurrentColor(RGBToColor(0, 0, 3));
    OnCodeDialog([](TColorCode& dialog) { Ok(dialog, "c"); });
    Click("AddColor");
    EXPECT_EQ(ReadList("a"), "[COLORS]\r\nTotal=3\r\n0=#000002,b\r\n1=#000001,a\r\n2=#000003,c\r\n\r\n");
}

// --- drawing ----------------------------------------------------------------------------

TEST_F(ColorListTest, EntriesAreDrawnInSmallAndLargeItems) {
    WriteList("a", "[COLORS]\r\nTotal=30\r\n0=#FF0000,red\r\n1=#0000FF,blue\r\n2=#GG0000,broken\r\n");
    Open();
    Click("ShowTinctors");
    form->show();
    QListWidget* list = List();
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 12);
    const int smallRows = list->viewport()->height() / 12;

    // The grab holds the device's pixels: under a scale factor N of them per point.
    const int ratio = qRound(list->viewport()->devicePixelRatioF());
    const auto pixel = [list, ratio](int row, int x, int y) {
        const QRect r = list->visualItemRect(list->item(row));
        return list->viewport()->grab().toImage().pixelColor((r.topLeft() + QPoint(x, y)) * ratio);
    };
    const int eighth = list->viewport()->width() / 8;
    EXPECT_EQ(pixel(0, eighth / 2, 6), QColor(255, 0, 0));  // inside the swatch
    EXPECT_EQ(pixel(0, 2, 2), QColor(0, 0, 0));              // its black outline
    EXPECT_EQ(pixel(1, eighth / 2, 6), QColor(0, 0, 255));
    EXPECT_EQ(pixel(2, eighth / 2, 6), list->palette().color(QPalette::Base));  // no colour: outline only

    Click("LargeIcon");
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 24);
    // Items span the list whatever their text: long text is shortened, never scrolled.
    EXPECT_EQ(list->visualItemRect(list->item(0)).width(), list->viewport()->width());
    EXPECT_FALSE(list->horizontalScrollBar()->isVisible());
    EXPECT_NEAR(list->viewport()->height() / 24, smallRows / 2, 1);
    EXPECT_EQ(pixel(0, eighth / 2, 6), QColor(255, 0, 0));  // the swatch sits in the upper half
    EXPECT_NE(pixel(0, eighth / 2, 18), QColor(255, 0, 0));
    Click("SmallIcon");
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 12);
}

TEST(ColorListDraw, LongTextEndsInAnEllipsisAtAWordBoundary) {
    Application();
    const QFontMetrics metrics(QApplication::font());
    const QString text = QStringLiteral("a comment far too long for the item");
    const int width = metrics.horizontalAdvance(QStringLiteral("a comment far to"));
    const QString shown = ElideAtWord(metrics, text, width);
    EXPECT_EQ(shown, QStringLiteral("a comment far…"));
    EXPECT_LE(metrics.horizontalAdvance(shown), width);
    EXPECT_EQ(ElideAtWord(metrics, text, 10000), text);
    // No word boundary that fits: cut between characters.
    const QString word = QStringLiteral("一続きの長い日本語のコメント");
    const QString cut = ElideAtWord(metrics, word, metrics.horizontalAdvance(QStringLiteral("一続きの")));
    EXPECT_TRUE(cut.endsWith(QChar(0x2026)));
    EXPECT_TRUE(word.startsWith(cut.chopped(1)));
}

}  // namespace
}  // namespace tinctor::testing
