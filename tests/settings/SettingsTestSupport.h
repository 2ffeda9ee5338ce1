// Temporary folders and environment variables for the settings tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/FolderMacros.h"
#include "settings/ProgramFolder.h"
#include "util/stdFiles.h"

namespace tinctor::testing {

// A fresh folder below the temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tinctor-settings-XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern + "/";
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing "/".
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Sets (or unsets, with nullopt) environment variables and restores them afterwards.
class EnvGuard {
public:
    void Set(const char* name, std::optional<std::string> value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~EnvGuard() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

inline std::string ReadFile(const std::string& path) {
    std::string text;
    LoadTextFile(path, text);
    return text;
}

inline void WriteFile(const std::string& path, const std::string& text) {
    ASSERT_TRUE(SaveTextFile(path, text)) << path;
}

// A home folder with its own user-dirs.dirs and a program folder, both in a temporary
// folder, with the special folders resolved from them; all of it is put back after.
class HomeFixture : public ::testing::Test {
protected:
    // ProgramSub is the program folder below the temporary folder ("tinctor/").
    void PrepareHome(const std::string& programSub, const std::string& userDirs) {
        home_ = root_.Path() + "home";
        program_ = root_.Path() + programSub;
        ASSERT_TRUE(ForceDirectories(home_ + "/.config"));
        ASSERT_TRUE(ForceDirectories(program_));
        env_->Set("HOME", home_);
        env_->Set("XDG_CONFIG_HOME", std::nullopt);
        env_->Set("XDG_DATA_HOME", std::nullopt);
        WriteFile(home_ + "/.config/user-dirs.dirs", userDirs);
        oldProgram_ = ProgramFolder();
        SetProgramFolder(program_);
        TSpecialFolders::Reload();
    }
    void TearDown() override {
        SetProgramFolder(oldProgram_);
        env_.reset();
        TSpecialFolders::Reload();
    }

    TempFolder root_;
    std::optional<EnvGuard> env_{std::in_place};
    std::string home_, program_, oldProgram_;
};

}  // namespace tinctor::testing
