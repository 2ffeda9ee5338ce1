// A shell for tests: it records the documents it was asked to open.
#pragma once

#include <string>
#include <vector>

#include "platform/Shell.h"

namespace tinctor {

class TFakeShell final : public IShell {
public:
    // Installs itself for its lifetime.
    TFakeShell() { SetShell(this); }
    ~TFakeShell() override {
        if (&Shell() == this) SetShell(nullptr);
    }

    bool OpenDocument(const std::string& path) override {
        Opened.push_back(path);
        return Succeeds;
    }

    std::vector<std::string> Opened;
    bool Succeeds = true;
};

}  // namespace tinctor
