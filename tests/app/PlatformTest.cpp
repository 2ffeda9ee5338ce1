// The platform pieces of the window: message helpers, the error guard, the palette's
// system colours and Qt's Japanese texts.
#include <QCoreApplication>
#include <QEvent>
#include <QPalette>

#include <new>
#include <stdexcept>

#include "FormFixture.h"
#include "colour/SysColors.h"
#include "platform/ErrorGuard.h"
#include "platform/PaletteSysColors.h"
#include "platform/SystemColors.h"

namespace tinctor::testing {
namespace {

using Shown = TFakeDialogs::Shown;

TEST(MessageHelpers, EachBoxFollowsItsOwnBeep) {
    TFakeDialogs dialogs;
    MessageWarning("w");
    MessageError("e");
    MessageInformation("i");
    MessageConfirmation("c");
    ASSERT_EQ(dialogs.Log.size(), 8u);
    const TMsgKind kinds[] = {TMsgKind::Warning, TMsgKind::Error, TMsgKind::Information, TMsgKind::Confirmation};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(dialogs.Log[2 * i].What, Shown::Beep);
        EXPECT_EQ(dialogs.Log[2 * i].MsgKind, kinds[i]);
        EXPECT_EQ(dialogs.Log[2 * i + 1].What, Shown::Message);
        EXPECT_EQ(dialogs.Log[2 * i + 1].MsgKind, kinds[i]);
    }
    EXPECT_EQ(dialogs.Log[7].Text, "c");
}

TEST(MessageHelpers, QuestionsPassTheDefaultButtonAndTheAnswer) {
    TFakeDialogs dialogs;
    dialogs.YesNoAnswers = {true, false};
    EXPECT_TRUE(AskYesNo("delete?", false));
    EXPECT_FALSE(AskYesNo("really?", true));
    EXPECT_FALSE(dialogs.Log[1].DefaultYes);
    EXPECT_TRUE(dialogs.Log[3].DefaultYes);

    dialogs.InputAnswers = {{true, "new list"}, {false, ""}};
    std::string value = "start";
    EXPECT_TRUE(InputQuery("name", value));
    EXPECT_EQ(value, "new list");
    EXPECT_FALSE(InputQuery("name", value));
    EXPECT_EQ(value, "new list");  // Cancel leaves the text alone
}

TEST(ErrorGuard, AnEscapingErrorEndsInTheStandardBox) {
    TFakeDialogs dialogs;
    bool rest = false;
    EXPECT_FALSE(Guarded([&] {
        throw std::runtime_error("リストファイルを作成できません。");
        rest = true;
    }));
    EXPECT_FALSE(rest);
    EXPECT_FALSE(Guarded([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(Guarded([] { throw 42; }));
    EXPECT_TRUE(Guarded([] {}));
    EXPECT_EQ(dialogs.ErrorBoxes(), (std::vector<std::string>{"リストファイルを作成できません。", "メモリが不足しています。",
                                                              "不明なエラーが発生しました。"}));
}

TEST(ErrorGuard, EventHandlersCannotThrowPastTheApplication) {
    Application();
    TFakeDialogs dialogs;
    struct TThrower : QObject {
        bool event(QEvent* event) override {
            if (event->type() == QEvent::User) throw std::runtime_error("handler failed");
            return QObject::event(event);
        }
    } thrower;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&thrower, &event));
    EXPECT_EQ(dialogs.ErrorBoxes(), std::vector<std::string>{"handler failed"});
}

TEST(SystemColours, PaletteRolesAndClassicValuesFillTheTable) {
    Application();
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    palette.setColor(QPalette::Dark, QColor(40, 50, 60));
    palette.setColor(QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Highlight, QColor(200, 0, 100));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 8, 9));
    const TSystemColorTable table = SystemColorsFromPalette(palette);
    EXPECT_EQ(table[COLOR_BTNFACE], RGBToColor(10, 20, 30));
    EXPECT_EQ(table[COLOR_BTNSHADOW], RGBToColor(40, 50, 60));
    EXPECT_EQ(table[COLOR_WINDOW], RGBToColor(1, 2, 3));
    EXPECT_EQ(table[COLOR_HIGHLIGHT], RGBToColor(200, 0, 100));
    EXPECT_EQ(table[COLOR_MENUHILIGHT], RGBToColor(200, 0, 100));
    EXPECT_EQ(table[COLOR_GRAYTEXT], RGBToColor(7, 8, 9));
    // No palette role for captions, borders, the desktop and scroll bars.
    EXPECT_EQ(table[COLOR_ACTIVECAPTION], RGBToColor(10, 36, 106));
    EXPECT_EQ(table[COLOR_CAPTIONTEXT], RGBToColor(255, 255, 255));
    EXPECT_EQ(table[COLOR_WINDOWFRAME], RGBToColor(0, 0, 0));
    EXPECT_EQ(table[COLOR_SCROLLBAR], RGBToColor(212, 208, 200));
    for (TColor colour : table) EXPECT_EQ(colour >> 24, 0u);
}

TEST(SystemColours, TheColourModelReadsTheApplicationPalette) {
    Application();
    InstallPaletteSysColors();
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGBToColor(face.red(), face.green(), face.blue()));
    EXPECT_EQ(GetSysColor(99), 0u);
    SetSysColorProvider(nullptr);
}

TEST(Translations, QtsOwnButtonsSpeakJapanese) {
    Application();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("はい(&Y)"));
}

}  // namespace
}  // namespace tinctor::testing
