#include "app/ListFileName.h"

#include "app/ColorListFile.h"
#include "util/CodePage.h"

namespace tinctor {

namespace {

// The longest file name the file systems take, in bytes.
constexpr std::size_t MaxFileNameBytes = 255;

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsBlank(std::string_view name) { return name.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

std::string ColorListPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    path += name;
    path += ColorListExtension;
    return path;
}

std::string NewListNameRefusal(std::string_view name, const std::vector<std::string>& existing) {
    // "/", control bytes and "." never occur inside a multi-byte character of either
    // code page, so the bytes can be checked as they stand.
    if (IsBlank(name)) return "ファイル名を入力してください。";
    if (name.find('/') != std::string_view::npos) return "ファイル名に「/」は使えません。";
    for (unsigned char c : name)
        if (IsControl(c)) return "ファイル名に制御文字は使えません。";
    if (name.front() == '.') return "「.」で始まるファイル名は使えません。";
    if (name.size() + std::string_view(ColorListExtension).size() > MaxFileNameBytes)
        return "ファイル名が長すぎます。";
    if (FindListName(existing, name) >= 0) return ListNameExistsMessage;
    return {};
}

int FindListName(const std::vector<std::string>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    const CodePage& cp = CodePage::Current();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (cp.EqualsIgnoreCase(names[i], name)) return static_cast<int>(i);
    return -1;
}

std::string CannotCreateListMessage(const std::string& path) {
    return "リストファイル \"" + path + "\" を作成できません。";
}

}  // namespace tinctor
