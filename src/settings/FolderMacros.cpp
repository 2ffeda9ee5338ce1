#include "settings/FolderMacros.h"

#include <memory>

#include "settings/ProgramFolder.h"
#include "settings/XdgFolders.h"
#include "util/CodePage.h"

namespace tinctor {

namespace {

std::unique_ptr<TSpecialFolders>& Instance() {
    static std::unique_ptr<TSpecialFolders> table;
    return table;
}

std::string FirstKnown(std::string a, const std::string& b) { return a.empty() ? b : a; }

}  // namespace

TSpecialFolders TSpecialFolders::FromEnvironment() {
    const std::string home = HomeFolder();
    const std::string documents = FirstKnown(XdgUserDir("DOCUMENTS"), home);
    std::string program = ProgramFolder();
    while (program.size() > 1 && program.back() == '/') program.pop_back();
    if (program == "/") program.clear();
    return TSpecialFolders({
        {"%PERSONAL%", documents},
        {"%MYMUSIC%", FirstKnown(XdgUserDir("MUSIC"), documents)},
        {"%APPDATA%", FirstKnown(XdgConfigHome(), documents)},
        {"%COMMON_APPDATA%", FirstKnown(XdgDataHome(), documents)},
        {"%WINDOWS%", {}},
        {"%SYSTEMS%", {}},
        {"%PROGRAM_FILES%", {}},
        {"%MYPICTURES%", FirstKnown(XdgUserDir("PICTURES"), documents)},
        {"%PROFILE%", FirstKnown(home, documents)},
        {"%PROGRAM_FILES_COMMON%", {}},
        {"%APPLICATION%", program},
    });
}

const TSpecialFolders& TSpecialFolders::Current() {
    auto& table = Instance();
    if (!table) table = std::make_unique<TSpecialFolders>(FromEnvironment());
    return *table;
}

void TSpecialFolders::Reload() { Instance() = std::make_unique<TSpecialFolders>(FromEnvironment()); }

std::string TSpecialFolders::ToMacroPath(std::string_view path) const {
    for (const TSpecialFolder& row : rows_) {
        const std::string& f = row.Folder;
        if (f.empty() || path.substr(0, f.size()) != f) continue;
        // A whole folder only: /home/al is no prefix of /home/alice.
        if (path.size() > f.size() && path[f.size()] != '/') continue;
        return row.Macro + std::string(path.substr(f.size()));
    }
    return std::string(path);
}

std::string TSpecialFolders::FromMacroPath(std::string_view path) const {
    if (path.empty() || path.front() != '%') return std::string(path);
    const CodePage& cp = CodePage::Current();
    for (const TSpecialFolder& row : rows_) {
        if (row.Folder.empty() || !cp.EqualsIgnoreCase(path.substr(0, row.Macro.size()), row.Macro)) continue;
        std::string out = row.Folder;
        for (char c : path.substr(row.Macro.size())) out += c == '\\' ? '/' : c;
        return out;
    }
    return std::string(path);
}

}  // namespace tinctor
