// TJBaseStringsObject and TJStringsObject: the list methods, the text and comma
// forms, sorted insertion and element access by line index.
#include "script/ext/ecma_strings.h"

#include <algorithm>

#include "script/core/ecma_number.h"
#include "script/ext/ext_common.h"
#include "script/ext/ext_files.h"
#include "util/CodePage.h"

namespace kestrel {

using ext::Arg;
using ext::ArgCount;

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kSortedListError = "ソートされる文字列リストに対しては許されない動作です";

[[noreturn]] void ListIndexError(std::int64_t index) {
    ThrowError(ext::errors::StringsError, "リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
}

[[noreturn]] void StringsError(std::string_view message) { ThrowError(ext::errors::StringsError, message); }

TJBaseStringsObject& Strings(TJObject& self) { return static_cast<TJBaseStringsObject&>(self); }

// Order ignoring letter case; texts equal ignoring case compare equal.
int CompareFolded(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto fold = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); };
        const unsigned char x = fold(a[i]), y = fold(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A line that must be quoted in the comma form: it holds a blank (or a control
// character, which reading splits at too), a comma or a double quote.
bool NeedsQuotes(std::string_view line) {
    return std::any_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"'; });
}

bool IsBlank(char c) { return c != 0 && static_cast<unsigned char>(c) <= ' '; }

// The items of a comma form: separated by commas or blanks, an item in double
// quotes keeps its blanks and commas and reads a doubled quote as one; an
// unbalanced quote takes the rest of the text.
std::vector<std::string> SplitCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            for (++i; i < n; ++i) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') ++i;
                    else {
                        ++i;
                        break;
                    }
                }
                item += text[i];
            }
        } else {
            const std::size_t start = i;
            while (i < n && !IsBlank(text[i]) && text[i] != ',') ++i;
            item.assign(text.substr(start, i - start));
        }
        items.push_back(std::move(item));
        while (i < n && IsBlank(text[i])) ++i;
        if (i < n && text[i] == ',')
            do ++i;
            while (i < n && IsBlank(text[i]));
    }
    return items;
}

std::string CommaText(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (k) out += ',';
        const std::string& line = lines[k];
        if (!NeedsQuotes(line)) {
            out += line;
            continue;
        }
        out += '"';
        for (char c : line) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

void Add(TJObject& self, const TJValueList* args, TJValue& result) {
    int index = ArgCount(args) == 0 ? Strings(self).AddLine({}) : -1;
    for (int i = 0; i < ArgCount(args); ++i) index = Strings(self).AddLine((*args)[i].AsString().str());
    Strings(self).Changed();
    result.BuildInteger(index);
}

void Insert(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) < 2) StringsError("insert error");
    TJStringList& list = Strings(self).List();
    const std::int32_t index = (*args)[0].AsInteger();
    if (list.Sorted) StringsError(kSortedListError);
    if (index < 0 || static_cast<std::size_t>(index) > list.Lines.size()) ListIndexError(index);
    list.Lines.insert(list.Lines.begin() + index, (*args)[1].AsString().str());
    Strings(self).Changed();
    result.BuildObject(&self);
}

void Delete(TJObject& self, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) < 1) StringsError("delete error");
    TJStringList& list = Strings(self).List();
    const std::int32_t index = (*args)[0].AsInteger();
    if (index < 0 || static_cast<std::size_t>(index) >= list.Lines.size()) ListIndexError(index);
    list.Lines.erase(list.Lines.begin() + index);
    Strings(self).Changed();
    result.BuildObject(&self);
}

void Clear(TJObject& self, const TJValueList*, TJValue& result) {
    Strings(self).List().Lines.clear();
    Strings(self).Changed();
    result.BuildObject(&self);
}

void IndexOf(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    result.BuildInteger(-1);
    if (!arg) return;
    const TJString text = arg->AsString();
    const auto& lines = Strings(self).List().Lines;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (CompareFolded(lines[i], text.view()) == 0) return void(result.BuildInteger(static_cast<std::int32_t>(i)));
}

void SaveToFile(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg || !ext::WriteWholeFile(arg->AsString().str(), Strings(self).Text())) StringsError("saveToFile error");
    result.BuildObject(&self);
}

void LoadFromFile(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    std::string bytes;
    if (!arg || !ext::ReadWholeFile(arg->AsString().str(), bytes)) StringsError("loadFromFile error");
    Strings(self).SetText(bytes);
    Strings(self).Changed();
    result.BuildObject(&self);
}

// The lines of another list or the items of an array-like object, else AsString.
void AddFrom(TJBaseStringsObject& self, const TJValue& source) {
    TJObject* object = source.vObject();
    if (!object) return void(self.AddLine(source.AsString().str()));
    if (!object->IsArray()) StringsError("addStrings error");
    // Copied first: the source may be this list.
    std::vector<std::string> items;
    const int count = object->GetCount();
    items.reserve(static_cast<std::size_t>(count));
    TJValue item;
    for (int i = 0; i < count; ++i) {
        object->GetItem(i, item);
        items.push_back(item.AsString().str());
    }
    for (std::string& line : items) self.AddLine(std::move(line));
}

void AddStrings(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) StringsError("addStrings error");
    AddFrom(Strings(self), *arg);
    Strings(self).Changed();
    result.BuildObject(&self);
}

void Assign(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) StringsError("addStrings error");
    TJValue source = *arg;  // a count of its own while the list is cleared
    if (source.vObject() == &self) return void(result.BuildObject(&self));
    Strings(self).List().Lines.clear();
    AddFrom(Strings(self), source);
    Strings(self).Changed();
    result.BuildObject(&self);
}

void ToText(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    result.BuildString(self.ToString(arg));
}

void SortMethod(TJObject& self, const TJValueList*, TJValue& result) {
    static_cast<TJStringsObject&>(self).Sort();
    result.BuildObject(&self);
}

std::string ReadText(TJObject& self, int) { return Strings(self).Text(); }
void WriteText(TJObject& self, int, std::string_view text) {
    Strings(self).SetText(text);
    Strings(self).Changed();
}
std::string ReadCommaText(TJObject& self, int) { return CommaText(Strings(self).List().Lines); }
void WriteCommaText(TJObject& self, int, std::string_view text) {
    std::vector<std::string> items = SplitCommaText(text);
    Strings(self).List().Lines.clear();
    for (std::string& item : items) Strings(self).AddLine(std::move(item));
    Strings(self).Changed();
}
std::int64_t ReadCount(TJObject& self, int) { return Strings(self).GetCount(); }
std::int64_t ReadSorted(TJObject& self, int) { return Strings(self).List().Sorted; }
void WriteSorted(TJObject& self, int, std::int64_t sorted) { static_cast<TJStringsObject&>(self).SetSorted(sorted != 0); }

}  // namespace

TJBaseStringsObject::TJBaseStringsObject(TJBaseEngine* engine, const TJValueList* param,
                                         std::weak_ptr<TJStringList> list)
    : TJObject(engine, param), list_(std::move(list)) {
    SetObjectName("StringList");
}

TJStringList& TJBaseStringsObject::List() const {
    TJStringList* list = list_.lock().get();
    if (!list) StringsError("strings is null");
    return *list;
}

int TJBaseStringsObject::AddLine(std::string line) {
    TJStringList& list = List();
    auto& lines = list.Lines;
    if (!list.Sorted) {
        lines.push_back(std::move(line));
        return static_cast<int>(lines.size()) - 1;
    }
    auto at = std::lower_bound(lines.begin(), lines.end(), line,
                               [](const std::string& a, const std::string& b) { return CompareFolded(a, b) < 0; });
    const int index = static_cast<int>(at - lines.begin());
    if (at != lines.end() && CompareFolded(*at, line) == 0) return index;
    lines.insert(at, std::move(line));
    return index;
}

void TJBaseStringsObject::SetText(std::string_view text) {
    List().Lines.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            AddLine(std::string(text.substr(i)));
            break;
        }
        AddLine(std::string(text.substr(i, end - i)));
        i = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
}

std::string TJBaseStringsObject::Text() const {
    const auto& lines = List().Lines;
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + kLineEnd.size();
    TJString::CheckLength(size);
    std::string out;
    out.reserve(size);
    for (const std::string& line : lines) {
        out += line;
        out += kLineEnd;
    }
    return out;
}

TJString TJBaseStringsObject::ToString(const TJValue* arg) {
    std::string text = Text();
    if (!arg) return TJString(text);
    // Every line end becomes the separator, the last one too.
    const TJString separator = arg->AsString();
    std::string out;
    for (const std::string& line : List().Lines) {
        out += line;
        out += separator.view();
        TJString::CheckLength(out.size());
    }
    return TJString(out);
}

const TJMethodTable* TJBaseStringsObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("add", &Add),
                                         M::Method("insert", &Insert),
                                         M::Method("delete", &Delete),
                                         M::Method("clear", &Clear),
                                         M::Method("indexOf", &IndexOf),
                                         M::Method("saveToFile", &SaveToFile),
                                         M::Method("loadFromFile", &LoadFromFile),
                                         M::Method("assign", &Assign),
                                         M::Method("addStrings", &AddStrings),
                                         M::Method("toString", &ToText),
                                     },
                                     &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJBaseStringsObject::PublishedProperties() const {
    static const TJPropertyTable table{StringProperty("text", &ReadText, &WriteText),
                                       StringProperty("commaText", &ReadCommaText, &WriteCommaText),
                                       IntegerProperty("length", TJOrdinalType::S32, &ReadCount, nullptr),
                                       IntegerProperty("count", TJOrdinalType::S32, &ReadCount, nullptr)};
    return &table;
}

std::size_t TJBaseStringsObject::CheckedIndex(std::int64_t index, std::string_view keyText) const {
    if (index < 0 || index >= static_cast<std::int64_t>(List().Lines.size())) ThrowError(errors::IndexError, keyText);
    return static_cast<std::size_t>(index);
}

void TJBaseStringsObject::GetItem(int index, TJValue& value) {
    const auto& lines = List().Lines;
    if (index >= 0 && static_cast<std::size_t>(index) < lines.size()) value.BuildString(TJString(lines[index]));
    else value.SetUndefined();
}

bool TJBaseStringsObject::GetElement(std::int32_t index, TJValue& value) {
    value.BuildString(TJString(List().Lines[CheckedIndex(index, IntegerToText(index))]));
    return true;
}

bool TJBaseStringsObject::SetElement(std::int32_t index, const TJValue& value) {
    const std::size_t i = CheckedIndex(index, IntegerToText(index));
    if (List().Sorted) StringsError(kSortedListError);
    List().Lines[i] = value.AsString().str();
    return true;
}

void TJBaseStringsObject::GetValue(std::string_view name, bool arrayStyle, TJValue& value,
                                   const TJValueList* param) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) return void(GetElement(index, value));
    TJObject::GetValue(name, arrayStyle, value, param);
}

void TJBaseStringsObject::SetValue(std::string_view name, const TJValue& value, const TJValueList* param,
                                   bool arrayStyle) {
    std::int32_t index;
    if (arrayStyle && TryTextToInteger(name, index)) return void(SetElement(index, value));
    TJObject::SetValue(name, value, param, arrayStyle);
}

TJStringsObject::TJStringsObject(TJBaseEngine* engine, const TJValueList* param)
    : TJBaseStringsObject(engine, param), own_(std::make_shared<TJStringList>()) {
    Attach(own_);
    const TJValue* first = Arg(param, 0);
    if (first && first->IsStringLike()) SetText(first->AsString().view());
}

const TJMethodTable* TJStringsObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{M::Method("sort", &SortMethod)}, TJBaseStringsObject::SharedMethods()};
    return &table;
}

const TJPropertyTable* TJStringsObject::PublishedProperties() const {
    static const TJPropertyTable table{{BooleanProperty("sorted", &ReadSorted, &WriteSorted)},
                                       TJBaseStringsObject::PublishedProperties()};
    return &table;
}

void TJStringsObject::Sort() {
    const tinctor::CodePage& cp = tinctor::CodePage::Current();
    std::stable_sort(own_->Lines.begin(), own_->Lines.end(),
                     [&cp](const std::string& a, const std::string& b) { return cp.CompareIgnoreCase(a, b) < 0; });
}

void TJStringsObject::SetSorted(bool sorted) {
    if (sorted && !own_->Sorted) Sort();
    own_->Sorted = sorted;
}

TJStringsObject* TJStringsObject::Make(TJBaseEngine* engine, std::vector<std::string> lines) {
    auto* list = TJObject::New<TJStringsObject>(engine, true);
    list->own_->Lines = std::move(lines);
    return list;
}

}  // namespace kestrel
