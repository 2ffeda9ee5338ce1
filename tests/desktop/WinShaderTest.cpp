#include <gtest/gtest.h>

#include <QDialog>
#include <QEvent>
#include <QWidget>

#include "QtApp.h"
#include "desktop/CompactMode.h"
#include "desktop/WinShader.h"
#include "platform/fake/FakePointer.h"

namespace tinctor {
namespace {

// Records the form's height at every resize and repaint.
class TSizeLog : public QObject {
public:
    explicit TSizeLog(QWidget* form) : form_(form) { form->installEventFilter(this); }
    std::vector<int> Heights, Painted;

private:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Resize) Heights.push_back(form_->height());
        if (e->type() == QEvent::Paint) Painted.push_back(form_->height());
        return false;
    }
    QWidget* form_;
};

class WinShaderTest : public testing::Test {
protected:
    void SetUp() override {
        test::App();
        form.resize(478, 194);
        form.show();
        QCoreApplication::processEvents();  // exposed, so that repaints paint
    }
    QWidget form;
};

TEST_F(WinShaderTest, OnlyAFormCanOwnIt) {
    QWidget child(&form);
    try {
        TWinShader shader(&child);
        FAIL() << "no error";
    } catch (const EComponentError& e) {
        EXPECT_STREQ(e.what(), "このコンポーネントをTForm以外の場所に、設置することはできません");
    }
    EXPECT_THROW(TWinShader(nullptr), EComponentError);
}

TEST_F(WinShaderTest, StartsOpenInManualModeWithTheFormsSize) {
    TWinShader shader(&form);
    EXPECT_TRUE(shader.ShadeEnabled());
    EXPECT_EQ(shader.MinSize(), -1);
    EXPECT_EQ(shader.OpenSize(), 194);
    EXPECT_TRUE(shader.AutoUpdate());
    EXPECT_FALSE(shader.Animation());
    EXPECT_EQ(shader.ShadeType(), TShadeType::stManual);
    EXPECT_FALSE(shader.Shade());
    EXPECT_EQ(shader.Direction(), TShadeDir::sdHeight);
}

TEST_F(WinShaderTest, FoldsToMinSizeAndBackToTheLastOpenSize) {
    TWinShader shader(&form);
    shader.SetMinSize(25);
    std::vector<bool> events;
    std::vector<int> heights;
    shader.OnShade = [&](TWinShader* sender, bool shade) {
        EXPECT_EQ(sender, &shader);
        events.push_back(shade);
        heights.push_back(form.height());  // raised before the resize
    };
    shader.SetShade(true);
    EXPECT_EQ(form.height(), 25);
    EXPECT_EQ(shader.OpenSize(), 194);
    shader.SetShade(true);  // the same state raises nothing
    shader.DoShade(true);
    EXPECT_EQ(events, std::vector<bool>{true});

    form.resize(478, 120);  // a folded form keeps its size
    EXPECT_EQ(form.height(), 25);
    shader.SetShade(false);
    EXPECT_EQ(form.height(), 194);
    EXPECT_EQ(events, (std::vector<bool>{true, false}));
    EXPECT_EQ(heights, (std::vector<int>{194, 25}));

    form.resize(478, 180);  // the open size follows the open form
    EXPECT_EQ(shader.OpenSize(), 180);
    shader.SetShade(true);
    shader.SetShade(false);
    EXPECT_EQ(form.height(), 180);
}

TEST_F(WinShaderTest, WritingShadeOutsideManualModeChangesNothing) {
    TWinShader shader(&form);
    shader.SetMinSize(25);
    for (TShadeType type : {TShadeType::stActivateApp, TShadeType::stActivate, TShadeType::stBarClick}) {
        shader.SetShadeType(type);
        shader.SetShade(true);
        EXPECT_FALSE(shader.Shade());
        EXPECT_EQ(form.height(), 194);
    }
    shader.SetShadeType(TShadeType::stManual);
    shader.SetShadeEnabled(false);
    shader.SetShade(true);
    EXPECT_FALSE(shader.Shade());
}

TEST_F(WinShaderTest, AnimationPassesFiveSteps) {
    TWinShader shader(&form);
    shader.SetMinSize(60);
    shader.SetShade(true);
    shader.SetAnimation(true);
    TSizeLog log(&form);
    shader.SetShade(false);
    EXPECT_EQ(log.Heights, (std::vector<int>{86, 112, 138, 164, 190, 194}));
    EXPECT_EQ(log.Painted, (std::vector<int>{86, 112, 138, 164, 190}));  // each step painted at once
    EXPECT_FALSE(shader.Animating());

    // Folding steps truncate toward zero: (60 - 194) / 5 = -26.
    log.Heights.clear();
    shader.SetShade(true);
    EXPECT_EQ(log.Heights, (std::vector<int>{168, 142, 116, 90, 64, 60}));
}

TEST_F(WinShaderTest, TheMinimumHeightIsLiftedWhileFolded) {
    form.setMinimumHeight(150);
    TWinShader shader(&form);
    shader.SetMinSize(25);
    shader.SetShade(true);
    EXPECT_EQ(form.height(), 25);
    EXPECT_EQ(form.minimumHeight(), 0);
    shader.SetShade(false);
    EXPECT_EQ(form.minimumHeight(), 150);
    EXPECT_EQ(form.height(), 194);
}

TEST_F(WinShaderTest, AutoUpdateOffKeepsTheOpenSize) {
    TWinShader shader(&form);
    shader.SetAutoUpdate(false);
    form.resize(478, 150);
    EXPECT_EQ(shader.OpenSize(), 194);
    shader.SetAutoUpdate(true);  // records it again
    EXPECT_EQ(shader.OpenSize(), 150);
}

TEST_F(WinShaderTest, ChangingTheDirectionRefoldsTheOtherDimension) {
    TWinShader shader(&form);
    shader.SetMinSize(25);
    shader.SetShade(true);
    shader.SetDirection(TShadeDir::sdWidth);
    EXPECT_EQ(form.height(), 194);
    EXPECT_EQ(form.width(), 25);
    EXPECT_EQ(shader.OpenSize(), 478);
    EXPECT_TRUE(shader.Shade());
    shader.SetShade(false);
    EXPECT_EQ(form.width(), 478);
}

TEST_F(WinShaderTest, ActivationModesFoldOnDeactivation) {
    TWinShader shader(&form);
    shader.SetMinSize(25);
    shader.SetShadeType(TShadeType::stActivate);
    QEvent deactivate(QEvent::WindowDeactivate), activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&form, &deactivate);
    EXPECT_TRUE(shader.Shade());
    QCoreApplication::sendEvent(&form, &activate);
    EXPECT_FALSE(shader.Shade());

    shader.SetShadeType(TShadeType::stActivateApp);
    QCoreApplication::sendEvent(&form, &deactivate);  // the form alone counts for nothing now
    EXPECT_FALSE(shader.Shade());
    QMetaObject::invokeMethod(qApp, "applicationStateChanged", Q_ARG(Qt::ApplicationState, Qt::ApplicationInactive));
    EXPECT_TRUE(shader.Shade());
    QMetaObject::invokeMethod(qApp, "applicationStateChanged", Q_ARG(Qt::ApplicationState, Qt::ApplicationActive));
    EXPECT_FALSE(shader.Shade());
}

TEST(CompactMode, MarginsAreTenPixelsSidewaysAndTwentyUpAndDown) {
    const TRect bounds{100, 100, 578, 294};
    EXPECT_FALSE(IsPointerNear(bounds, {578 + 15, 200}));
    EXPECT_TRUE(IsPointerNear(bounds, {578 + 5, 200}));
    EXPECT_TRUE(IsPointerNear(bounds, {300, 100 - 15}));
    EXPECT_FALSE(IsPointerNear(bounds, {300, 100 - 21}));
    // Left and top edges inside, right and bottom edges outside.
    EXPECT_TRUE(IsPointerNear(bounds, {90, 80}));
    EXPECT_FALSE(IsPointerNear(bounds, {89, 80}));
    EXPECT_TRUE(IsPointerNear(bounds, {587, 313}));
    EXPECT_FALSE(IsPointerNear(bounds, {588, 200}));
    EXPECT_FALSE(IsPointerNear(bounds, {300, 314}));
    // No position at all is never near.
    EXPECT_FALSE(IsPointerNear(TRect{-50, -50, 50, 50}, {-1, -1}));
}

TEST_F(WinShaderTest, CompactModeFollowsThePointerUnlessADialogIsActive) {
    TWinShader shader(&form);
    shader.SetMinSize(25);
    form.move(100, 100);
    form.activateWindow();
    QCoreApplication::processEvents();
    TFakePointer pointer;
    const TRect bounds = WindowBounds(form);
    EXPECT_EQ(WindowCentre(form), QPoint(bounds.Left + bounds.Width() / 2, bounds.Top + bounds.Height() / 2));

    pointer.Position = {bounds.Right + 15, bounds.Top + 10};
    CompactModeCheck(shader, form, pointer);
    EXPECT_TRUE(shader.Shade());
    EXPECT_EQ(form.height(), 25);
    pointer.Position = {bounds.Right + 5, bounds.Top + 10};  // near the folded window again
    CompactModeCheck(shader, form, pointer);
    EXPECT_FALSE(shader.Shade());
    EXPECT_EQ(form.height(), 194);

    QDialog dialog;
    dialog.show();
    dialog.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &dialog);
    pointer.Position = {bounds.Right + 500, bounds.Top};
    CompactModeCheck(shader, form, pointer);
    EXPECT_FALSE(shader.Shade());
}

}  // namespace
}  // namespace tinctor
