// Published properties: the property tables and the conversions of each kind.
#include <algorithm>
#include <cmath>
#include <limits>

#include "script/core/ecma_type_object.h"
#include "util/CodePage.h"

namespace kestrel {

using tinctor::CodePage;

TJPropertyTable::TJPropertyTable(std::initializer_list<TJPropertyInfo> entries, const TJPropertyTable* parent)
    : entries_(entries) {
    if (parent) entries_.insert(entries_.end(), parent->entries_.begin(), parent->entries_.end());
    const CodePage& cp = CodePage::Current();
    for (const TJPropertyInfo& e : entries_) index_.push_back(&e);
    // Stable, so that an own entry stays ahead of a parent's of the same name.
    std::stable_sort(index_.begin(), index_.end(), [&cp](const TJPropertyInfo* a, const TJPropertyInfo* b) {
        return cp.CompareIgnoreCase(a->Name, b->Name) < 0;
    });
    index_.erase(std::unique(index_.begin(), index_.end(),
                             [&cp](const TJPropertyInfo* a, const TJPropertyInfo* b) {
                                 return cp.CompareIgnoreCase(a->Name, b->Name) == 0;
                             }),
                 index_.end());
    for (const TJPropertyInfo* e : index_) {
        lengths_ |= std::uint64_t(1) << LengthBit(e->Name);
        if (e->Kind != TJPropertyKind::Event) names_.emplace_back(e->Name);
    }
}

const TJPropertyInfo* TJPropertyTable::Find(std::string_view name) const {
    if (!MayHave(name)) return nullptr;
    const CodePage& cp = CodePage::Current();
    auto it = std::lower_bound(index_.begin(), index_.end(), name, [&cp](const TJPropertyInfo* e, std::string_view n) {
        return cp.CompareIgnoreCase(e->Name, n) < 0;
    });
    return it != index_.end() && cp.CompareIgnoreCase((*it)->Name, name) == 0 ? *it : nullptr;
}

TJValue VariantOfValue(const TJValue& value) {
    switch (value.ValueType()) {
    case vtNull:
    case vtInteger:
    case vtDouble:
    case vtString:
    case vtBool:
    case vtDispatch: return value;
    default: return TJValue();
    }
}

namespace {

std::int64_t CutToOrdinal(std::int32_t v, TJOrdinalType type) {
    switch (type) {
    case TJOrdinalType::S8: return static_cast<std::int8_t>(v);
    case TJOrdinalType::U8: return static_cast<std::uint8_t>(v);
    case TJOrdinalType::S16: return static_cast<std::int16_t>(v);
    case TJOrdinalType::U16: return static_cast<std::uint16_t>(v);
    case TJOrdinalType::U32: return static_cast<std::uint32_t>(v);
    default: return v;
    }
}

// Index of Name among the element names (any case), or -1.
int ElementIndex(std::span<const std::string_view> names, std::string_view name) {
    const CodePage& cp = CodePage::Current();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (cp.EqualsIgnoreCase(names[i], name)) return static_cast<int>(i);
    return -1;
}

// "a, b", "[a b]" and the like: element names between blanks and commas.
bool ParseSet(std::string_view text, std::span<const std::string_view> names, std::int64_t& bits) {
    std::size_t b = text.find_first_not_of(' '), e = text.find_last_not_of(' ');
    text = b == std::string_view::npos ? std::string_view() : text.substr(b, e - b + 1);
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
    bits = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ' ' || text[i] == ',') {
            ++i;
            continue;
        }
        std::size_t end = text.find_first_of(" ,", i);
        if (end == std::string_view::npos) end = text.size();
        int element = ElementIndex(names, text.substr(i, end - i));
        if (element < 0 || element >= 64) return false;
        bits |= std::int64_t{1} << element;
        i = end;
    }
    return true;
}

std::int64_t TruncToInt64(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
    if (d <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(d);
}

}  // namespace

bool TJObject::ReadProperty(const TJPropertyInfo& info, TJValue& value) {
    const int index = info.Index;
    switch (info.Kind) {
    case TJPropertyKind::Integer:
        if (!info.GetOrdinal) return false;
        value.BuildInteger(static_cast<std::int32_t>(info.GetOrdinal(*this, index)));
        return true;
    case TJPropertyKind::Enumeration: {
        if (!info.GetOrdinal) return false;
        std::int64_t ordinal = info.GetOrdinal(*this, index);
        if (ordinal < 0 || ordinal >= static_cast<std::int64_t>(info.Names.size())) return false;
        std::string_view name = info.Names[static_cast<std::size_t>(ordinal)];
        const CodePage& cp = CodePage::Current();
        if (cp.EqualsIgnoreCase(name, "True")) value.BuildBool(true);
        else if (cp.EqualsIgnoreCase(name, "False")) value.BuildBool(false);
        else value.BuildString(TJString(name));
        return true;
    }
    case TJPropertyKind::Float:
        if (!info.GetFloat) return false;
        value.BuildDouble(info.GetFloat(*this, index));
        return true;
    case TJPropertyKind::String:
        if (!info.GetString) return false;
        value.BuildString(TJString(info.GetString(*this, index)));
        return true;
    case TJPropertyKind::Set: {
        if (!info.GetOrdinal) return false;
        std::int64_t bits = info.GetOrdinal(*this, index);
        std::string text;
        for (std::size_t i = 0; i < info.Names.size() && i < 64; ++i) {
            if (!((bits >> i) & 1)) continue;
            if (!text.empty()) text += ',';
            text += info.Names[i];
        }
        value.BuildString(TJString(text));
        return true;
    }
    case TJPropertyKind::Object:
        if (!info.GetObject) return false;
        value.BuildObject(info.GetObject(*this, index));
        return true;
    case TJPropertyKind::Event:
        if (!info.GetEvent) return false;
        value.BuildEvent(info.GetEvent(*this, index));
        return true;
    case TJPropertyKind::Variant:
        if (!info.GetVariant) return false;
        value = VariantOfValue(info.GetVariant(*this, index));
        return true;
    case TJPropertyKind::Interface:
        if (!info.GetInterface) return false;
        value.BuildDispatch(info.GetInterface(*this, index));
        return true;
    case TJPropertyKind::Int64:
        if (!info.GetOrdinal) return false;
        value.BuildDouble(static_cast<double>(info.GetOrdinal(*this, index)));
        return true;
    }
    return false;
}

bool TJObject::WriteProperty(const TJPropertyInfo& info, const TJValue& value) {
    const int index = info.Index;
    switch (info.Kind) {
    case TJPropertyKind::Integer:
        if (!info.SetOrdinal) return false;
        info.SetOrdinal(*this, index, CutToOrdinal(value.AsInteger(), info.OrdType));
        return true;
    case TJPropertyKind::Enumeration: {
        if (!info.SetOrdinal) return false;
        std::int64_t ordinal = value.IsNumberLike() ? value.AsInteger() : ElementIndex(info.Names, value.AsString().view());
        if (ordinal < 0 || ordinal >= static_cast<std::int64_t>(info.Names.size())) return false;
        info.SetOrdinal(*this, index, ordinal);
        return true;
    }
    case TJPropertyKind::Float:
        if (!info.SetFloat) return false;
        info.SetFloat(*this, index, value.AsDouble());
        return true;
    case TJPropertyKind::String:
        if (!info.SetString) return false;
        info.SetString(*this, index, value.AsString().view());
        return true;
    case TJPropertyKind::Set: {
        if (!info.SetOrdinal) return false;
        std::int64_t bits = 0;
        if (value.IsStringLike()) {
            if (!ParseSet(value.AsString().view(), info.Names, bits)) return false;
        } else if (TJObject* flags = value.vObject()) {
            for (std::size_t i = 0; i < info.Names.size() && i < 64; ++i) {
                const TJValue* member = flags->Members().Find(info.Names[i]);
                if (member && member->AsBool()) bits |= std::int64_t{1} << i;
            }
        } else {
            return false;
        }
        if (bits != 0) info.SetOrdinal(*this, index, bits);  // an empty set is not written
        return true;
    }
    case TJPropertyKind::Object:
        if (!info.SetObject) return false;
        if (value.IsNull()) {
            info.SetObject(*this, index, nullptr);
            return true;
        }
        if (TJObject* object = value.vObject(); object && (!info.Fits || info.Fits(*object))) {
            info.SetObject(*this, index, object);
            return true;
        }
        return false;
    case TJPropertyKind::Event:
        // Scripts can only clear a handler; event values are taken by wrapper classes.
        if (!info.SetEvent || !value.IsNull()) return false;
        info.SetEvent(*this, index, TJEvent{});
        return true;
    case TJPropertyKind::Variant:
        if (!info.SetVariant) return false;
        info.SetVariant(*this, index, VariantOfValue(value));
        return true;
    case TJPropertyKind::Interface:
        if (!info.SetInterface || !value.IsDispatch()) return false;
        info.SetInterface(*this, index, value.vDispatch());
        return true;
    case TJPropertyKind::Int64:
        if (!info.SetOrdinal) return false;
        info.SetOrdinal(*this, index, TruncToInt64(value.AsDouble()));
        return true;
    }
    return false;
}

}  // namespace kestrel
