// The application object and the folders of the settings dialog's widget tests.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>
#include <optional>
#include <string>

#include "settings/ProgramFolder.h"
#include "settings/SettingsTestSupport.h"
#include "settings/FolderMacros.h"
#include "util/stdFiles.h"

namespace tinctor::testing {

// The one application object of the test program, on the offscreen platform.
inline QApplication& Application() {
    static int argc = 1;
    static char name[] = "settings_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    return *app;
}

// A program folder and a home folder whose documents folder is "Docs", with the
// special folders resolved from them.
class WidgetTest : public ::testing::Test {
protected:
    // Before any widget member of a derived fixture is made.
    WidgetTest() { Application(); }

    void SetUp() override {
        home = root.Path() + "home/";
        program = root.Path() + "prog/";
        ASSERT_TRUE(ForceDirectories(home + ".config"));
        ASSERT_TRUE(ForceDirectories(home + "Docs"));
        ASSERT_TRUE(ForceDirectories(program));
        env->Set("HOME", home.substr(0, home.size() - 1));
        env->Set("XDG_CONFIG_HOME", std::nullopt);
        env->Set("XDG_DATA_HOME", std::nullopt);
        WriteFile(home + ".config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n");
        oldProgram = ProgramFolder();
        SetProgramFolder(program);
        TSpecialFolders::Reload();
    }
    void TearDown() override {
        SetProgramFolder(oldProgram);
        env.reset();
        TSpecialFolders::Reload();
    }

    std::string IniName() const { return program + "Tinctor.ini"; }
    void WriteIni(const std::string& text) { WriteFile(IniName(), text); }
    std::string ReadIni() const { return ReadFile(IniName()); }

    TempFolder root;
    std::optional<EnvGuard> env{std::in_place};
    std::string home, program, oldProgram;
};

}  // namespace tinctor::testing
