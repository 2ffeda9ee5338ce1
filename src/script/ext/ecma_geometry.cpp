// The text forms of TJPoint and TJRect and their strict reading: blanks removed,
// the same form with one or more decimal digits per number (so no negative
// numbers), numbers within 32 bits; anything else changes nothing.
#include "script/ext/ecma_geometry.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>

namespace kestrel {

namespace {

constexpr std::string_view kPointNames[] = {"x", "y"};
constexpr std::string_view kRectNames[] = {"left", "top", "right", "bottom"};

// Reads "{name:digits,name:digits...}" after removing blanks; false unless the
// whole text has that form with every number fitting 32 bits.
template <std::size_t N>
bool ReadForm(std::string_view text, const std::string_view (&names)[N], std::array<std::int32_t, N>& values) {
    std::string s;
    for (char c : text)
        if (c != ' ') s += c;
    std::string_view rest(s);
    auto take = [&rest](std::string_view part) {
        if (rest.substr(0, part.size()) != part) return false;
        rest.remove_prefix(part.size());
        return true;
    };
    if (!take("{")) return false;
    for (std::size_t i = 0; i < N; ++i) {
        if ((i && !take(",")) || !take(names[i]) || !take(":")) return false;
        if (rest.empty() || rest.front() < '0' || rest.front() > '9') return false;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), values[i]);
        if (ec != std::errc()) return false;
        rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
    }
    return take("}") && rest.empty();
}

TJPoint& Point(TJObject& self) { return static_cast<TJPoint&>(self); }
TJRect& Rect(TJObject& self) { return static_cast<TJRect&>(self); }

constexpr std::int32_t TJPoint::*kPointFields[] = {&TJPoint::X, &TJPoint::Y};
constexpr std::int32_t TJRect::*kRectFields[] = {&TJRect::Left, &TJRect::Top, &TJRect::Right, &TJRect::Bottom};

std::int64_t ReadPoint(TJObject& self, int i) { return Point(self).*kPointFields[i]; }
void WritePoint(TJObject& self, int i, std::int64_t v) { Point(self).*kPointFields[i] = static_cast<std::int32_t>(v); }
std::int64_t ReadRect(TJObject& self, int i) { return Rect(self).*kRectFields[i]; }
void WriteRect(TJObject& self, int i, std::int64_t v) { Rect(self).*kRectFields[i] = static_cast<std::int32_t>(v); }

std::string PointText(TJObject& self, int) { return self.ToString().str(); }
void WritePointText(TJObject& self, int, std::string_view text) {
    std::array<std::int32_t, 2> v{};
    if (!ReadForm(text, kPointNames, v)) return;
    Point(self).X = v[0];
    Point(self).Y = v[1];
}
std::string RectText(TJObject& self, int) { return self.ToString().str(); }
void WriteRectText(TJObject& self, int, std::string_view text) {
    std::array<std::int32_t, 4> v{};
    if (!ReadForm(text, kRectNames, v)) return;
    for (std::size_t i = 0; i < v.size(); ++i) Rect(self).*kRectFields[i] = v[i];
}

// A corner as a new point; Index 0 the top left, 1 the bottom right.
TJObject* ReadCorner(TJObject& self, int index) {
    auto* p = TJObject::New<TJPoint>(self.Engine(), true);
    p->X = Rect(self).*kRectFields[index * 2];
    p->Y = Rect(self).*kRectFields[index * 2 + 1];
    return p;
}

// Copies the members x and y (AsInteger) of any object.
void WriteCorner(TJObject& self, int index, TJObject* corner) {
    if (!corner) return;
    TJValue x, y;
    corner->GetValue("x", false, x);
    corner->GetValue("y", false, y);
    Rect(self).*kRectFields[index * 2] = x.AsInteger();
    Rect(self).*kRectFields[index * 2 + 1] = y.AsInteger();
}

}  // namespace

TJPoint::TJPoint(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) { SetObjectName("Point"); }

const TJPropertyTable* TJPoint::PublishedProperties() const {
    using T = TJOrdinalType;
    static const TJPropertyTable table{IntegerProperty("x", T::S32, &ReadPoint, &WritePoint, 0),
                                       IntegerProperty("y", T::S32, &ReadPoint, &WritePoint, 1),
                                       StringProperty("point", &PointText, &WritePointText)};
    return &table;
}

TJString TJPoint::ToString(const TJValue*) {
    char text[64];
    std::snprintf(text, sizeof text, "{x:%d,y:%d}", X, Y);
    return TJString(text);
}

TJRect::TJRect(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) { SetObjectName("Rect"); }

const TJPropertyTable* TJRect::PublishedProperties() const {
    using T = TJOrdinalType;
    static const TJPropertyTable table{IntegerProperty("left", T::S32, &ReadRect, &WriteRect, 0),
                                       IntegerProperty("top", T::S32, &ReadRect, &WriteRect, 1),
                                       IntegerProperty("right", T::S32, &ReadRect, &WriteRect, 2),
                                       IntegerProperty("bottom", T::S32, &ReadRect, &WriteRect, 3),
                                       ObjectProperty("topLeft", nullptr, &ReadCorner, &WriteCorner, 0),
                                       ObjectProperty("bottomRight", nullptr, &ReadCorner, &WriteCorner, 1),
                                       StringProperty("rect", &RectText, &WriteRectText)};
    return &table;
}

TJString TJRect::ToString(const TJValue*) {
    char text[128];
    std::snprintf(text, sizeof text, "{left:%d,top:%d,right:%d,bottom:%d}", Left, Top, Right, Bottom);
    return TJString(text);
}

}  // namespace kestrel
