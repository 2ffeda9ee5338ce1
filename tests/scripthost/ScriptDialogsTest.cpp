// The colour tool's dialogs for scripts: the buttons, icon and answer of a message
// box by its flags, and the prompt and text area forms with their answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>

#include "scripthost/ScriptDialogs.h"

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
    TQtScriptHost host(nullptr);
    std::string text = "default";
    WhenShown([](QWidget& w) {
        EXPECT_EQ(w.objectName(), "TfrmPrompt");
        EXPECT_EQ(w.size(), QSize(492, 73));
        auto* edit = w.findChild<QLineEdit*>("edtPrompt");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "default");
        edit->setText("typed");
        w.findChild<QPushButton*>("btnOK")->click();
    });
    EXPECT_TRUE(host.InputBox("message", false, text));
    EXPECT_EQ(text, "typed");

    WhenShown([](QWidget& w) {
        EXPECT_EQ(w.objectName(), "TfrmTextArea");
        EXPECT_EQ(w.size(), QSize(492, 273));
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
