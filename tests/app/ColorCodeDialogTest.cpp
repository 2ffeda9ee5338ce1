// The code-entry dialog: its design, when OK can be pressed, one-line fields and raw
// bytes kept through an untouched field.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>

#include "FormFixture.h"
#include "app/CCode.h"
#include "colour/StrColor.h"

namespace tinctor::testing {
namespace {

// A key pressed and released on Widget, as the keyboard delivers it.
void Key(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

// The next widget that Tab moves to.
QWidget* NextTab(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && !(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    return next;
}

class ColorCodeTest : public ::testing::Test {
protected:
    void TearDown() override { CodePage::Select(CodePage::Utf8); }
    bool OkAfterTyping(const char* code) {
        dialog.ColorEdit->setText(QString::fromUtf8(code));
        return dialog.OKBtn->isEnabled();
    }
    bool appMade = (Application(), true);  // before the dialog
    TColorCode dialog{nullptr};
};

TEST_F(ColorCodeTest, DesignPlacesEveryControl) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("カラーコード入力"));
    EXPECT_EQ(dialog.size(), QSize(295, 105));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.ColorPanel->geometry(), QRect(4, 4, 49, 49));
    EXPECT_EQ(dialog.ColorEdit->geometry().topLeft(), QPoint(60, 28));
    EXPECT_EQ(dialog.ColorEdit->width(), 133);
    EXPECT_EQ(dialog.Comment->geometry().topLeft(), QPoint(8, 76));
    EXPECT_EQ(dialog.Comment->width(), 189);
    EXPECT_EQ(dialog.OKBtn->geometry(), QRect(211, 40, 75, 25));
    EXPECT_EQ(dialog.CancelBtn->geometry(), QRect(211, 70, 75, 25));
    EXPECT_EQ(dialog.OKBtn->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(dialog.OKBtn->isDefault());

    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    labels.sort();
    EXPECT_EQ(labels, (QStringList{QStringLiteral("カラーコードか色定数を入力してください。(&C)"),
                                   QStringLiteral("コメント(&O)")}));

    // The tab order of the design, and the caller's order that starts in the comment.
    EXPECT_EQ(NextTab(dialog.ColorEdit), dialog.Comment);
    EXPECT_EQ(NextTab(dialog.Comment), dialog.OKBtn);
    EXPECT_EQ(NextTab(dialog.OKBtn), dialog.CancelBtn);
    dialog.PutCommentFirst();
    EXPECT_EQ(NextTab(dialog.Comment), dialog.ColorEdit);
    EXPECT_EQ(NextTab(dialog.ColorEdit), dialog.OKBtn);
    dialog.show();
    EXPECT_EQ(dialog.focusWidget(), dialog.Comment);
}

TEST_F(ColorCodeTest, OkOnlyForACodeOfMoreThanTwoCharactersThatGivesAColour) {
    EXPECT_FALSE(dialog.OKBtn->isEnabled());
    EXPECT_TRUE(OkAfterTyping("#12"));
    EXPECT_EQ(dialog.PanelColor(), ParseColorText("#12"));
    EXPECT_FALSE(OkAfterTyping("#1"));
    EXPECT_FALSE(OkAfterTyping("#GGGGGG"));  // a conversion error, swallowed
    EXPECT_FALSE(OkAfterTyping("nocolour"));
    EXPECT_FALSE(OkAfterTyping(""));
    EXPECT_TRUE(OkAfterTyping("Red"));
    EXPECT_EQ(dialog.PanelColor(), RGBToColor(255, 0, 0));
    // A code that gives no colour leaves the swatch as it was.
    EXPECT_FALSE(OkAfterTyping("#GG"));
    EXPECT_EQ(dialog.PanelColor(), RGBToColor(255, 0, 0));
    // Two full-width characters are two characters, not six bytes.
    EXPECT_FALSE(OkAfterTyping("赤色"));
}

TEST_F(ColorCodeTest, EqualsSignOrCommaInTheCodeKeepOkDisabled) {
    // The first "," or "=" would split the stored entry inside the code.
    EXPECT_TRUE(OkAfterTyping("#FF8000"));
    EXPECT_FALSE(OkAfterTyping("#FF8000=warm"));
    EXPECT_FALSE(OkAfterTyping("#FF8000,warm"));
    EXPECT_FALSE(OkAfterTyping("#FF8000 ,"));  // even after the blank the parser ignores
    EXPECT_FALSE(OkAfterTyping("=#FF8000"));
}

TEST_F(ColorCodeTest, FieldsKeepOnlyTheFirstLineOfPastedText) {
    dialog.show();
    QLineEdit* comment = dialog.Comment;
    comment->setText(QStringLiteral("XYZ"));
    comment->setCursorPosition(2);
    QApplication::clipboard()->setText(QStringLiteral("abc\r\ndef\nghi"));
    comment->paste();
    EXPECT_EQ(comment->text(), QStringLiteral("XYabcZ"));
    EXPECT_EQ(comment->cursorPosition(), 5);

    QApplication::clipboard()->setText(QStringLiteral("#00FF00\rsecond line"));
    dialog.ColorEdit->clear();
    dialog.ColorEdit->paste();
    EXPECT_EQ(dialog.ColorEdit->text(), QStringLiteral("#00FF00"));
    EXPECT_TRUE(dialog.OKBtn->isEnabled());

    // Set from code, too.
    dialog.SetComment("one\ntwo");
    EXPECT_EQ(dialog.CommentText(), "one");
    dialog.SetCode("#0000FF\r\n#FF0000");
    EXPECT_EQ(dialog.Code(), "#0000FF");
    EXPECT_EQ(dialog.PanelColor(), RGBToColor(0, 0, 255));

    // Typed into the field.
    comment->clear();
    Key(comment, Qt::Key_A, QStringLiteral("a"));
    Key(comment, Qt::Key_B, QStringLiteral("b"));
    comment->insert(QStringLiteral("\n"));
    EXPECT_EQ(comment->text(), QStringLiteral("ab"));
}

TEST_F(ColorCodeTest, UntouchedFieldsGiveBackTheirBytes) {
    const std::string sjis = "\x90\xD4";  // 赤 in Shift-JIS: no UTF-8 text
    dialog.SetComment(sjis + " gold");
    dialog.SetCode("#FFD700");
    EXPECT_EQ(dialog.CommentText(), sjis + " gold");
    EXPECT_EQ(dialog.Code(), "#FFD700");
    // Once the user edits the field, its text is what it shows.
    dialog.Comment->setText(QStringLiteral("金"));
    EXPECT_EQ(dialog.CommentText(), "金");

    CodePage::Select(CodePage::ShiftJis);
    dialog.SetComment(sjis);
    EXPECT_EQ(dialog.Comment->text(), QStringLiteral("赤"));
    EXPECT_EQ(dialog.CommentText(), sjis);
}

TEST_F(ColorCodeTest, ReturnClosesWithOkOnlyWhileOkIsEnabled) {
    dialog.SetCode("#1");
    dialog.show();
    Key(dialog.Comment, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_TRUE(dialog.isVisible());
    dialog.SetCode("#FF8000");
    Key(dialog.Comment, Qt::Key_Return, QStringLiteral("\r"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace tinctor::testing
