#include <gtest/gtest.h>

#include "desktop/EditorColor.h"
#include "platform/ErrorGuard.h"
#include "platform/fake/FakeDesktopWindows.h"
#include "util/CodePage.h"

namespace tinctor {
namespace {


class EditorColorTest : public testing::Test {
protected:
    TFakeDesktopWindows windows;
    TEditOther editor{windows, 0, false};

    // A top-level window of Class with the chain of child classes below it; returns the last.
    TWindowId Open(const std::string& cls, std::initializer_list<const char*> path) {
        windows.Active = windows.Add(cls);
        TWindowId w = windows.Active;
        for (const char* c : path) w = windows.Add(c, w);
        return w;
    }
};

TEST_F(EditorColorTest, NotepadSelectionIsRead) {
    const TWindowId edit = Open("Notepad", {"Edit"});
    windows.SetEdit(edit, "color: #FF8000;", 7, 14);
    EXPECT_EQ(ExtractEditorSelection(editor), "#FF8000");
    EXPECT_EQ(editor.Handle, edit);
}

TEST_F(EditorColorTest, SelectionsShorterThanThreeCharactersAreIgnored) {
    const TWindowId edit = Open("TTeraPadMainForm", {"TEditor"});
    windows.SetEdit(edit, "a red b", 2, 5);
    EXPECT_EQ(ExtractEditorSelection(editor), "red");
    windows.SetEdit(edit, "#ff", 1, 3);
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
    windows.SetEdit(edit, "abc", 0, 0);
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
}

TEST_F(EditorColorTest, EveryLevelOfThePathMustExist) {
    windows.Active = windows.Add("TMKEditorMain");
    const TWindowId tab = windows.Add("TTabSheet", windows.Add("TPageControl", windows.Active));
    const TWindowId wrongFrame = windows.Add("TMKEditor", tab);  // no TEditorFrame level
    windows.SetEdit(wrongFrame, "#FF8000", 0, 7);
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);

    const TWindowId edit = windows.Add("TMKEditor", windows.Add("TEditorFrame", tab));
    windows.SetEdit(edit, "#00FF00", 0, 7);
    EXPECT_EQ(ExtractEditorSelection(editor), "#00FF00");
}

TEST_F(EditorColorTest, TheFirstChildOfEachClassIsTaken) {
    windows.Active = windows.Add("TTEAD_FORM");
    TWindowId w = windows.Active;
    for (const char* c : {"TPanel", "TPageControl", "TTabSheet", "TF2Editor"}) w = windows.Add(c, w);
    const TWindowId first = windows.Add("TFEditor", w);
    const TWindowId second = windows.Add("TFEditor", w);
    windows.SetEdit(first, "navy", 0, 4);
    windows.SetEdit(second, "teal", 0, 4);
    EXPECT_EQ(ExtractEditorSelection(editor), "navy");
}

TEST_F(EditorColorTest, OtherProgramsAndNoWindowGiveNothing) {
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);  // no active window
    const TWindowId edit = Open("notepad", {"Edit"});        // the class name is compared exactly
    windows.SetEdit(edit, "#FF8000", 0, 7);
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
    Open("TTinctorForm", {});
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
}

TEST_F(EditorColorTest, AnEditorThatDoesNotAnswerGivesNothing) {
    const TWindowId edit = Open("TK2EditMain", {"TK2Edit"});
    windows.SetEdit(edit, "#FF8000", 0, 7);
    windows.Window(edit).Hung = true;
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
}

TEST_F(EditorColorTest, LinuxEditorsGiveTheirSelectedText) {
    windows.Active = windows.Add("Gedit");
    windows.Window(windows.Active).Selected = "#FF8000";
    EXPECT_EQ(ExtractEditorSelection(editor), "#FF8000");
    windows.Window(windows.Active).Selected = "ff";
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
    // The selection belongs to another program (or its owner is too slow).
    windows.Window(windows.Active).Selected = std::nullopt;
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);

    // The whole class name counts, letter case included.
    windows.Active = windows.Add("Kate");
    windows.Window(windows.Active).Selected = "#FF8000";
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
    windows.Active = windows.Add("kate");
    windows.Window(windows.Active).Selected = "#FF8000";
    EXPECT_EQ(ExtractEditorSelection(editor), "#FF8000");
    windows.Active = windows.Add("GeditX");
    windows.Window(windows.Active).Selected = "#FF8000";
    EXPECT_EQ(ExtractEditorSelection(editor), std::nullopt);
}

TEST_F(EditorColorTest, TheTableKeepsTheWindowsRowsFirst) {
    const auto& table = EditorTable();
    ASSERT_GE(table.size(), 16u);
    EXPECT_EQ(table[0].ClassName, "TTeraPadMainForm");
    EXPECT_EQ(table[3].Path.size(), 4u);
    EXPECT_EQ(table[4].Path.back(), "TFEditor");
    for (std::size_t i = 5; i < table.size(); ++i) {
        EXPECT_EQ(table[i].Access, TEditorAccess::Selection) << table[i].ClassName;
        EXPECT_TRUE(table[i].Path.empty());
    }
}

TEST_F(EditorColorTest, SelTextIsCutToTheTextRead) {
    const TWindowId edit = windows.Add("Edit");
    TEditOther other(windows, edit, true);
    windows.SetEdit(edit, "abcdef", 2, 40);
    EXPECT_EQ(other.SelLength(), 38);
    EXPECT_EQ(other.SelText(), "cdef");
    windows.SetEdit(edit, "abcdef", -3, 2);
    EXPECT_EQ(other.SelText(), "ab");
    windows.SetEdit(edit, "abcdef", 4, 1);
    EXPECT_EQ(other.SelLength(), 3);
    EXPECT_EQ(other.SelText(), "bcd");
    windows.SetEdit(edit, "", 0, 5);
    EXPECT_EQ(other.SelText(), "");
    windows.Window(edit).Hung = true;
    EXPECT_EQ(other.GetTextLength(), 0);
    EXPECT_EQ(other.GetText(), "");
    EXPECT_EQ(other.SelLength(), 0);
}

TEST_F(EditorColorTest, PositionsCountCharactersNotBytes) {
    const TWindowId edit = windows.Add("Edit");
    TEditOther other(windows, edit, false);
    CodePage::Select(CodePage::Utf8);
    windows.SetEdit(edit, "色は#FF0000です", 2, 9);
    EXPECT_EQ(other.GetTextLength(), 11);
    EXPECT_EQ(other.SelText(), "#FF0000");

    CodePage::Select(CodePage::ShiftJis);
    windows.SetEdit(edit, "\x90\x46\x82\xCD#FF0000", 2, 9);  // "色は#FF0000" in CP932
    EXPECT_EQ(other.SelText(), "#FF0000");
    CodePage::Select(CodePage::FromEnvironment());
}

TEST_F(EditorColorTest, AnEditorThatMustExistNeedsAHandle) {
    EXPECT_THROW(TEditOther(windows, 0, true), EAbort);
    EXPECT_NO_THROW(TEditOther(windows, 0, false));
}

}  // namespace
}  // namespace tinctor
