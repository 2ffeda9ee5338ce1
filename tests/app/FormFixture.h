// The main window on the offscreen platform, in a program folder of its own.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/Main.h"
#include "app/TinctorApplication.h"
#include "platform/QtText.h"
#include "platform/fake/FakeDialogs.h"
#include "platform/fake/FakeShell.h"
#include "settings/ProgramFolder.h"
#include "settings/FolderMacros.h"
#include "util/stdFiles.h"

namespace tinctor::testing {

// The one application object of the test program.
inline TTinctorApplication& Application() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static TTinctorApplication* app = new TTinctorApplication(argc, argv);
    return *app;
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application();
        char pattern[] = "/tmp/tinctor-app-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home = std::string(pattern) + "/";
        SetProgramFolder(home);
        TSpecialFolders::Reload();
    }
    void TearDown() override {
        form.reset();
        std::filesystem::remove_all(home);
    }

    // Writes the settings file before the window is made.
    void WriteIni(const std::string& text) { ASSERT_TRUE(SaveTextFile(home + "Tinctor.ini", text)); }
    std::string ReadIni() const {
        std::string text;
        LoadTextFile(home + "Tinctor.ini", text);
        return text;
    }
    void Open() { form = std::make_unique<TTinctorForm>(); }

    template <typename T = QWidget>
    T* Control(const char* name) const {
        T* control = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QScrollBar* Slider(const char* name) const { return Control<QScrollBar>(name); }
    std::string Text(const char* label) const { return FromQString(Control<QLabel>(label)->text()); }

    // A drag of the slider's thumb to Position, as the user does it.
    void Drag(const char* slider, int position) const { Slider(slider)->setSliderPosition(position); }
    void Click(const char* button) const { Control<QToolButton>(button)->click(); }
    std::array<int, 3> Rgb() const {
        const TRGB rgb = SplitColor(form->CurrentColor());
        return {rgb.R, rgb.G, rgb.B};
    }

    TFakeDialogs dialogs;
    TFakeShell shell;
    std::string home;
    std::unique_ptr<TTinctorForm> form;
};

}  // namespace tinctor::testing
