// A folder of its own for one test, removed with it.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "util/stdFiles.h"

namespace tinctor::testing {

class TTempFolder {
public:
    TTempFolder() {
        char pattern[] = "/tmp/tinctor-scripthost-XXXXXX";
        if (mkdtemp(pattern)) path_ = std::string(pattern) + "/";
    }
    ~TTempFolder() {
        if (!path_.empty()) std::filesystem::remove_all(path_);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // With a trailing "/".
    const std::string& Path() const { return path_; }
    void Write(const std::string& name, const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(path_ + name).parent_path());
        ASSERT_TRUE(SaveTextFile(path_ + name, text)) << name;
    }

private:
    std::string path_;
};

}  // namespace tinctor::testing
