// The colour tool's dialogs for scripts: the buttons, icon and answer of a message
// box by its flags, the prompt and text area forms, the file dialogs and the check
// list, each with its answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QTest>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

#include "scripthost/CheckListForm.h"
#include "scripthost/ScriptDialogs.h"
#include "scripthost/TempFolder.h"

using tinctor::TQtScriptHost;

namespace {

// Acts on the modal dialog once it is up.
void WhenShown(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

// The dialog is owned by Main and its client area of Client's size is centred on Main's.
void ExpectCentredOn(const QWidget& dialog, const QWidget& main, QSize client) {
    EXPECT_EQ(dialog.parentWidget(), &main) << dialog.objectName().toStdString();
    EXPECT_EQ(dialog.geometry(), QRect(main.geometry().center() - QPoint((client.width() - 1) / 2, (client.height() - 1) / 2), client))
        << dialog.objectName().toStdString();
}

}  // namespace

TEST(ScriptDialogs, BoxesHaveTheButtonsOfTheirFlagsAndAnswerTheChoice) {
    struct Case {
        int flags;
        QMessageBox::StandardButton press;
        int buttons;
        QMessageBox::Icon icon;
        int result;
    };
    const Case cases[] = {
        {0x30, QMessageBox::Ok, 1, QMessageBox::Warning, 1},
        {0x21, QMessageBox::Cancel, 2, QMessageBox::Question, 2},
        {0x12, QMessageBox::Ignore, 3, QMessageBox::Critical, 5},
        {0x43, QMessageBox::No, 3, QMessageBox::Information, 7},
        {0x04, QMessageBox::Yes, 2, QMessageBox::NoIcon, 6},
        {0x05, QMessageBox::Retry, 2, QMessageBox::NoIcon, 4},
    };
    TQtScriptHost host(nullptr);
    for (const Case& c : cases) {
        WhenShown([&c](QWidget& w) {
            auto& box = static_cast<QMessageBox&>(w);
            EXPECT_EQ(box.buttons().size(), c.buttons) << c.flags;
            EXPECT_EQ(box.icon(), c.icon) << c.flags;
            EXPECT_EQ(box.windowTitle(), "Cap");
            box.button(c.press)->click();
        });
        EXPECT_EQ(host.MessageBox("text", "Cap", c.flags), c.result) << c.flags;
    }
    // The default button by 0x100 and 0x200: the third of Yes/No/Cancel.
    WhenShown([](QWidget& w) {
        auto& box = static_cast<QMessageBox&>(w);
        EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Cancel));
        box.defaultButton()->click();
    });
    EXPECT_EQ(host.MessageBox("t", "c", 0x203), 2);
}

TEST(ScriptDialogs, PromptAndTextAreaGiveTheirTextOrNothing) {
    QWidget main;  // owns both forms, which are centred on it
    main.setGeometry(200, 150, 640, 480);
    main.show();
    TQtScriptHost host(&main);
    std::string text = "default";
    WhenShown([&main](QWidget& w) {
        EXPECT_EQ(w.objectName(), "TfrmPrompt");
        ExpectCentredOn(w, main, QSize(492, 73));
        auto* edit = w.findChild<QLineEdit*>("edtPrompt");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "default");
        edit->setText("typed");
        w.findChild<QPushButton*>("btnOK")->click();
    });
    EXPECT_TRUE(host.InputBox("message", false, text));
    EXPECT_EQ(text, "typed");

    WhenShown([&main](QWidget& w) {
        EXPECT_EQ(w.objectName(), "TfrmTextArea");
        ExpectCentredOn(w, main, QSize(492, 273));
        auto* memo = w.findChild<QPlainTextEdit*>("mmText");
        ASSERT_NE(memo, nullptr);
        w.findChild<QPushButton*>("btnClear")->click();
        EXPECT_EQ(memo->toPlainText(), "");
        memo->setPlainText("one\ntwo");
        w.findChild<QPushButton*>("btnOK")->click();
    });
    EXPECT_TRUE(host.InputBox("message", true, text));
    EXPECT_EQ(text, "one\r\ntwo");  // memo lines joined by CR LF

    WhenShown([](QWidget& w) { w.findChild<QPushButton*>("btnCancel")->click(); });
    EXPECT_FALSE(host.InputBox("message", false, text));
    EXPECT_EQ(host.MainFormHandle(), 0u);  // no window on the offscreen platform
}

namespace {

using kestrel::TJCheckList;
using TKind = kestrel::TJFileDialog::TKind;

// Clicks the check box of Line in the visible list.
void ClickMark(tinctor::TfrmCheckList& form, int line) {
    const QRect row = form.lbCheck->visualItemRect(form.lbCheck->item(line));
    QTest::mouseClick(form.lbCheck->viewport(), Qt::LeftButton, {}, QPoint(row.left() + row.height() / 2 + 2, row.center().y()));
}

}  // namespace

TEST(ScriptDialogs, CheckListTakesMarksOnOkAndIgnoresEscape) {
    QWidget main;  // owns the dialog, which is centred on it
    main.setGeometry(200, 150, 640, 480);
    main.show();
    TQtScriptHost host(&main);
    const struct {
        std::vector<std::string> lines;
        std::vector<bool> marks;
        int index;
        int click;          // the line whose box is clicked, -1 none
        const char* close;  // "ok", "cancel" or "close" (the close box)
        bool result;
        std::vector<bool> marksAfter;
        int indexAfter;
    } cases[] = {
        {{"a", "b", "c"}, {false, true, false}, 0, 2, "ok", true, {false, true, true}, 2},
        {{"a", "b", "c"}, {false, true, false}, 1, 0, "cancel", false, {false, true, false}, 0},
        {{"a", "b"}, {true, false}, 5, -1, "close", false, {true, false}, -1},
        {{}, {}, -1, -1, "ok", true, {}, -1},
    };
    for (const auto& c : cases) {
        WhenShown([&](QWidget& w) {
            auto& form = static_cast<tinctor::TfrmCheckList&>(w);
            ExpectCentredOn(w, main, QSize(416, 240));
            EXPECT_EQ(w.windowTitle(), "Cap");
            EXPECT_EQ(form.lblText->text(), "Text");
            ASSERT_EQ(form.lbCheck->count(), static_cast<int>(c.lines.size()));
            for (int i = 0; i < form.lbCheck->count(); ++i)
                EXPECT_EQ(form.lbCheck->item(i)->checkState() == Qt::Checked, c.marks[i]) << i;
            EXPECT_EQ(form.SelectedLine(), c.index < form.lbCheck->count() ? c.index : -1);
            if (c.click >= 0) ClickMark(form, c.click);
            QTest::keyClick(&w, Qt::Key_Escape);  // not Cancel
            EXPECT_TRUE(w.isVisible());
            const std::string close = c.close;
            if (close == "ok") form.btnOK->click();
            else if (close == "cancel") form.btnCancel->click();
            else w.close();
        });
        TJCheckList list{"Cap", "Text", c.lines, c.marks, c.index};
        EXPECT_EQ(host.CheckListDialog(list), c.result) << c.close;
        EXPECT_EQ(list.Checked, c.marksAfter) << c.close;
        EXPECT_EQ(list.Index, c.indexAfter) << c.close;
    }
}

TEST(ScriptDialogs, FileDialogsStartInTheFolderAndGiveFullNames) {
    tinctor::testing::TTempFolder temp;
    temp.Write("a.txt", "a");
    temp.Write("B.TXT", "b");
    temp.Write("c.doc", "c");
    temp.Write("sub/d", "d");
    const std::string folder = temp.Path().substr(0, temp.Path().size() - 1);
    QWidget main;
    main.show();
    TQtScriptHost host(&main);
    const struct {
        TKind kind;
        const char* filter;
        const char* type;  // typed into the name field, "" to cancel
        std::vector<std::string> chosen;
        int listed;  // names the list shows, -1 unchecked
    } cases[] = {
        {TKind::Open, "*.txt", "B.TXT", {"B.TXT"}, 3},  // the two texts and the folder
        {TKind::OpenMany, "", "\"a.txt\" \"c.doc\"", {"a.txt", "c.doc"}, -1},
        {TKind::Save, "*.txt", "new", {"new.txt"}, -1},
        {TKind::Folder, "", "sub", {"sub"}, -1},
        {TKind::Open, "", "", {}, -1},
    };
    for (const auto& c : cases) {
        WhenShown([&](QWidget& w) {
            auto& dialog = static_cast<QFileDialog&>(w);
            EXPECT_EQ(w.parentWidget(), &main);
            EXPECT_EQ(w.windowTitle(), "Title");
            EXPECT_EQ(dialog.directory().absolutePath(), QString::fromStdString(folder));
            if (c.listed >= 0) {
                auto* view = w.findChild<QListView*>("listView");
                ASSERT_NE(view, nullptr);
                EXPECT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == c.listed; }))
                    << view->model()->rowCount(view->rootIndex());
            }
            if (!*c.type) return dialog.reject();
            auto* edit = w.findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(edit, nullptr);
            edit->setText(QString::fromUtf8(c.type));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        kestrel::TJFileDialog request{c.kind, "Title", folder, "", c.filter, c.kind == TKind::Save ? "txt" : ""};
        std::vector<std::string> chosen;
        EXPECT_EQ(host.FileDialog(request, chosen), !c.chosen.empty()) << c.type;
        std::vector<std::string> expected;
        for (const std::string& name : c.chosen) expected.push_back(temp.Path() + name);
        if (!c.chosen.empty()) EXPECT_EQ(chosen, expected) << c.type;
    }
}
