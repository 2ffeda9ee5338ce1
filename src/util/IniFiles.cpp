#include "util/IniFiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>

#include "util/CodePage.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

// Sections this small are searched line by line; larger ones (colour lists) get an index.
constexpr std::size_t IndexFrom = 16;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view Trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// The text before the first CR or LF.
std::string_view FirstLine(std::string_view s) { return s.substr(0, s.find_first_of("\r\n")); }

bool SameName(std::string_view a, std::string_view b) { return CodePage::Current().EqualsIgnoreCase(a, b); }

// The reason a file could not be read, as the boxes say it.
std::string FailureText(TLoadResult result) {
    switch (result) {
        case TLoadResult::NotRegular: return "通常のファイルではありません";
        case TLoadResult::TooLarge: return "ファイルが大きすぎます (" + std::to_string(MaxDataFileSize >> 20) + " MiB まで)";
        case TLoadResult::Failed: return "読み取りの権限がないか、読み込みに失敗しました";
        default: return {};
    }
}

}  // namespace

TMemIniFile::TMemIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::string text;
    const TLoadResult result = LoadRegularFile(fileName_, text);
    if (result == TLoadResult::Loaded)
        SetText(text);
    else
        loadFailure_ = FailureText(result);
}

void TMemIniFile::Clear() { sections_.clear(); }

void TMemIniFile::SetText(std::string_view text) {
    sections_.clear();
    Section* current = nullptr;
    std::size_t pos = 0;
    const std::size_t size = text.size();
    while (pos < size) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = size;
        std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end;
        if (pos < size && text[pos] == '\r') ++pos;
        if (pos < size && text[pos] == '\n') ++pos;

        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections_.push_back(Section{std::string(Trim(line.substr(1, line.size() - 2))), {}, {}, false});
            current = &sections_.back();
            continue;
        }
        if (!current) continue;
        Line l;
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            l.key = line;
        } else {
            l.key = Trim(line.substr(0, eq));
            l.value = Trim(line.substr(eq + 1));
            l.hasValue = true;
        }
        current->lines.push_back(std::move(l));
    }
}

std::string TMemIniFile::GetText() const {
    std::size_t size = 0;
    for (const Section& s : sections_) {
        size += s.name.size() + 6;
        for (const Line& l : s.lines) size += l.key.size() + l.value.size() + 3;
    }
    std::string out;
    out.reserve(size);
    for (const Section& s : sections_) {
        out += '[';
        out += s.name;
        out += "]\r\n";
        for (const Line& l : s.lines) {
            out += l.key;
            if (l.hasValue) {
                out += '=';
                out += l.value;
            }
            out += "\r\n";
        }
        out += "\r\n";
    }
    return out;
}

// --- lookup -------------------------------------------------------------------------

std::size_t TMemIniFile::KeyHash::operator()(std::string_view key) const noexcept {
    // Folding every ASCII letter (trail bytes too) keeps keys that match case-blind in
    // the same bucket; KeyEqual then applies the code page's exact rule.
    std::size_t h = 14695981039346656037ull;
    for (unsigned char c : key) {
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + ('a' - 'A'));
        h = (h ^ c) * 1099511628211ull;
    }
    return h;
}

bool TMemIniFile::KeyEqual::operator()(std::string_view a, std::string_view b) const noexcept {
    return SameName(a, b);
}

void TMemIniFile::Section::Reindex() const {
    index.clear();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].hasValue) index.emplace(lines[i].key, i);  // emplace keeps the first
    indexed = true;
}

const TMemIniFile::Line* TMemIniFile::Section::Find(std::string_view key) const {
    if (lines.size() < IndexFrom) {
        for (const Line& l : lines)
            if (l.hasValue && SameName(l.key, key)) return &l;
        return nullptr;
    }
    if (!indexed) Reindex();
    auto it = index.find(key);
    return it == index.end() ? nullptr : &lines[it->second];
}

TMemIniFile::Line* TMemIniFile::Section::Find(std::string_view key) {
    return const_cast<Line*>(static_cast<const Section*>(this)->Find(key));
}

void TMemIniFile::Section::Append(Line line) {
    if (indexed) index.emplace(line.key, lines.size());
    lines.push_back(std::move(line));
}

const TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) const {
    for (const Section& s : sections_)
        if (SameName(s.name, name)) return &s;
    return nullptr;
}

TMemIniFile::Section* TMemIniFile::FindSection(std::string_view name) {
    return const_cast<Section*>(static_cast<const TMemIniFile*>(this)->FindSection(name));
}

// --- reading ------------------------------------------------------------------------

std::string TMemIniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    if (const Section* s = FindSection(section))
        if (const Line* l = s->Find(key)) return l->value;
    return std::string(def);
}

bool TMemIniFile::ParseInteger(std::string_view text, int32_t& value) {
    std::string_view t = text;
    bool negative = false;
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    int base = 10;
    if (!t.empty() && t.front() == '$') {
        base = 16;
        t.remove_prefix(1);
    } else if (t.size() >= 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        t.remove_prefix(2);
    }
    // from_chars would take a second sign; digits must follow at once.
    if (t.empty() || t.front() == '-' || t.front() == '+') return false;
    uint64_t magnitude = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), magnitude, base);
    if (ec != std::errc() || end != t.data() + t.size()) return false;
    if (base == 16) {
        // Hexadecimal is a 32-bit pattern: $FFFFFFFF is -1.
        if (magnitude > 0xFFFFFFFFull) return false;
        uint32_t bits = static_cast<uint32_t>(magnitude);
        if (negative) bits = 0u - bits;
        value = static_cast<int32_t>(bits);
        return true;
    }
    if (negative ? magnitude > 2147483648ull : magnitude > 2147483647ull) return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
    return true;
}

int32_t TMemIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    if (const Section* s = FindSection(section))
        if (const Line* l = s->Find(key)) {
            int32_t v;
            if (ParseInteger(l->value, v)) return v;
        }
    return def;
}

bool TMemIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TMemIniFile::SectionExists(std::string_view section) const { return FindSection(section) != nullptr; }

bool TMemIniFile::ValueExists(std::string_view section, std::string_view key) const {
    const Section* s = FindSection(section);
    return s && s->Find(key);
}

std::vector<std::string> TMemIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = FindSection(section))
        for (const Line& l : s->lines)
            if (l.hasValue) keys.push_back(l.key);
    return keys;
}

std::vector<std::string> TMemIniFile::ReadSections() const {
    std::vector<std::string> names;
    names.reserve(sections_.size());
    for (const Section& s : sections_) names.push_back(s.name);
    return names;
}

// --- writing ------------------------------------------------------------------------

void TMemIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    section = FirstLine(section);
    key = FirstLine(key);
    value = FirstLine(value);
    Section* s = FindSection(section);
    if (!s) {
        sections_.push_back(Section{std::string(section), {}, {}, false});
        s = &sections_.back();
    }
    if (Line* l = s->Find(key)) {
        l->key = key;  // spelled as the writer gives it
        l->value = value;
        return;
    }
    s->Append(Line{std::string(key), std::string(value), true});
}

void TMemIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TMemIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TMemIniFile::DeleteKey(std::string_view section, std::string_view key) {
    Section* s = FindSection(section);
    if (!s) return;
    Line* l = s->Find(key);
    if (!l) return;
    s->lines.erase(s->lines.begin() + (l - s->lines.data()));
    s->indexed = false;
    s->index.clear();
}

void TMemIniFile::EraseSection(std::string_view section) {
    Section* s = FindSection(section);
    if (s) sections_.erase(sections_.begin() + (s - sections_.data()));
}

bool TMemIniFile::Save() const {
    if (LoadFailed() || fileName_.empty()) return false;
    return SaveTextFile(fileName_, GetText());
}

void TMemIniFile::UpdateFile() const {
    if (!Save()) throw EIniFileError("ファイル \"" + fileName_ + "\" を保存できません。");
}

}  // namespace tinctor
