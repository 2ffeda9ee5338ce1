#include "app/ColorListFile.h"

#include <charconv>

#include "colour/StrColor.h"
#include "util/CodePage.h"
#include "util/IniFiles.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

constexpr const char* TotalKey = "Total";
// Characters of a damaged Total that the warning quotes.
constexpr std::size_t MaxShownTotalLength = 24;

// The entry number a key names: plain decimal digits as the writer spells them
// ("7", never "07" or "+7"); -1 for any other key.
int32_t EntryNumberOf(std::string_view key) {
    if (key.empty() || (key.size() > 1 && key.front() == '0')) return -1;
    int32_t n = -1;
    auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), n);
    if (ec != std::errc() || end != key.data() + key.size()) return -1;
    return n;
}

// One more than the highest entry key below the limit that the section holds.
int32_t CountOfPresentKeys(const TMemIniFile& ini) {
    int32_t count = 0;
    for (const std::string& key : ini.ReadSection(ColorListSection)) {
        const int32_t n = EntryNumberOf(key);
        if (n >= 0 && n < MaxColorListTotal && n >= count) count = n + 1;
    }
    return count;
}

}  // namespace

std::string ColorEntryValue(const TColorEntry& entry) {
    std::string value;
    value.reserve(entry.Code.size() + 1 + entry.Comment.size());
    value += entry.Code;
    value += ',';
    value += entry.Comment;
    return value;
}

TColorEntry ColorEntryOfValue(std::string_view value) {
    const std::size_t comma = value.find(',');
    if (comma == std::string_view::npos) return {std::string(), std::string(value)};
    return {std::string(value.substr(0, comma)), std::string(value.substr(comma + 1))};
}

TColor ColorOfEntryCode(std::string_view code) {
    try {
        return ParseColorText(code);
    } catch (const EConvertError&) {
        return NoColor;
    }
}

TColorListContents ReadColorList(const TMemIniFile& ini) {
    TColorListContents contents;
    int32_t count = 0;
    if (ini.ValueExists(ColorListSection, TotalKey)) {
        contents.StoredTotalText = ini.ReadString(ColorListSection, TotalKey, "");
        // -1 stands for every text that is no number (a stored -1 is no count either).
        contents.StoredTotal = ini.ReadInteger(ColorListSection, TotalKey, -1);
        count = contents.StoredTotal;
        if (count < 0)
            contents.TotalState = TTotalState::Unusable;
        else if (count > MaxColorListTotal)
            contents.TotalState = TTotalState::TooLarge;
    } else if (CountOfPresentKeys(ini) > 0) {
        contents.TotalState = TTotalState::Missing;
    }
    if (contents.TotalState != TTotalState::Usable) {
        contents.DamagedTotal = true;
        count = CountOfPresentKeys(ini);
    }
    if (count <= 0) return contents;
    contents.Entries.reserve(static_cast<std::size_t>(count));
    char key[16];
    for (int32_t i = 0; i < count; ++i) {
        auto [end, ec] = std::to_chars(key, key + sizeof key, i);
        (void)ec;
        contents.Entries.push_back(
            ColorEntryOfValue(ini.ReadString(ColorListSection, std::string_view(key, end - key), "")));
    }
    return contents;
}

void WriteColorList(TMemIniFile& ini, const std::vector<TColorEntry>& entries) {
    ini.WriteInteger(ColorListSection, TotalKey, static_cast<int32_t>(entries.size()));
    char key[16];
    std::string value;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        auto [end, ec] = std::to_chars(key, key + sizeof key, i);
        (void)ec;
        value.assign(entries[i].Code).append(1, ',').append(entries[i].Comment);
        ini.WriteString(ColorListSection, std::string_view(key, end - key), value);
    }
}

TColorListContents LoadColorListFile(const std::string& path) {
    const TMemIniFile ini(path);
    if (ini.LoadFailed())
        throw EColorListError("リストファイル \"" + path + "\" を読み込めません (" + ini.LoadFailure() + ")。");
    return ReadColorList(ini);
}

void SaveColorListFile(const std::string& path, const std::vector<TColorEntry>& entries) {
    // The file is read again so that whatever else it holds stays.
    TMemIniFile ini(path);
    if (!ini.LoadFailed()) {
        WriteColorList(ini, entries);
        if (ini.Save()) return;
    }
    throw EColorListError("リストファイル \"" + path +
                          "\" に書き込めません。変更はリストに残っていて、次に保存できたときに書き込まれます。");
}

bool CreateColorListFile(const std::string& path) { return SaveTextFile(path, NewColorListText); }

std::string ListFullMessage() {
    return "リストには " + std::to_string(MaxColorListTotal) +
           " 色までしか登録できません。新しいリストを作成してください。";
}

std::string DamagedTotalMessage(const std::string& path, const TColorListContents& contents) {
    // A damaged file may hold anything there: the box shows the start of it.
    const std::string& total = contents.StoredTotalText;
    const std::string shown = total.substr(0, CodePage::Current().ByteOffset(total, MaxShownTotalLength));
    std::string what;
    switch (contents.TotalState) {
        case TTotalState::Missing: what = " に Total がありません。"; break;
        case TTotalState::Unusable: what = " の Total (" + shown + ") が読めません。"; break;
        default: what = " の Total (" + shown + ") が大きすぎます。"; break;
    }
    return "リストファイル \"" + path + "\"" + what + "ファイルが壊れている可能性があります。ファイルにある " +
           std::to_string(contents.Entries.size()) + " 件だけを読み込みました。";
}

}  // namespace tinctor
