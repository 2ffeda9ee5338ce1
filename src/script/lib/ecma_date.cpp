// TJDateObject: the getters and setters of local and UTC components, parse and UTC,
// and the string forms through the date-time language.
#include "script/lib/ecma_date.h"

#include <cmath>

namespace kestrel {

namespace {

// getYear counts years from 1900 until 2000.
constexpr int kShortYearBase = 1900, kShortYearEnd = 2000;
constexpr int kSecondsPerMinute = 60;

enum TComponent { cYear, cMonth, cDay, cHour, cMinute, cSecond, cMillisecond, cWeekday, cShortYear };

constexpr int TDateTimeFields::*kSettable[] = {&TDateTimeFields::Year,   &TDateTimeFields::Month,
                                                &TDateTimeFields::Day,    &TDateTimeFields::Hour,
                                                &TDateTimeFields::Minute, &TDateTimeFields::Second,
                                                &TDateTimeFields::Millisecond};

TJDateObject& Date(TJObject& self) { return static_cast<TJDateObject&>(self); }

const TJValue* FirstArgument(const TJValueList* args) { return args ? args->Get(0) : nullptr; }

// A component argument: AsInteger within 0..65535. Larger values are refused rather
// than cut to 16 bits, and a double too large for an integer is never wrapped.
bool ComponentArgument(const TJValue& arg, int& value) {
    double d = arg.AsDouble();
    if (!(d > -2147483648.5 && d < 2147483647.5)) return false;
    std::int32_t v = arg.AsInteger();
    if (v < 0 || v > kMaxDateComponent) return false;
    value = v;
    return true;
}

template <TComponent C, bool Utc>
void GetComponent(TJObject& self, const TJValueList*, TJValue& result) {
    TDateTimeFields f = Date(self).Fields(Utc);
    switch (C) {
    case cMonth: result.BuildInteger(f.Month - 1); return;
    case cWeekday: result.BuildInteger(f.DayOfWeek); return;
    case cShortYear: result.BuildInteger(f.Year < kShortYearEnd ? f.Year - kShortYearBase : f.Year); return;
    default: result.BuildInteger(f.*kSettable[C]); return;
    }
}

template <TComponent C, bool Utc>
void SetComponent(TJObject& self, const TJValueList* args, TJValue& result) {
    result.SetUndefined();
    const TJValue* arg = FirstArgument(args);
    int value = 0;
    if (!arg || !ComponentArgument(*arg, value)) return;
    if (C == cShortYear && value < 100) value += kShortYearBase;
    if (C == cMonth) value += 1;
    TJDateObject& date = Date(self);
    TDateTimeFields f = date.Fields(Utc);
    f.*kSettable[C == cShortYear ? cYear : C] = value;
    if (date.SetFields(f, Utc)) result.BuildDouble(static_cast<double>(date.TimeValue()));
}

void GetTime(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildDouble(static_cast<double>(Date(self).TimeValue()));
}

void SetTime(TJObject& self, const TJValueList* args, TJValue& result) {
    result.SetUndefined();
    const TJValue* arg = FirstArgument(args);
    if (!arg) return;
    double t = std::nearbyint(arg->AsDouble());  // the time value rounds half to even
    if (InTimeRange(t) && Date(self).SetTimeValue(static_cast<std::int64_t>(t)))
        result.BuildDouble(static_cast<double>(Date(self).TimeValue()));
}

void GetTimezoneOffset(TJObject&, const TJValueList*, TJValue& result) {
    result.BuildInteger(static_cast<std::int32_t>(-CurrentUtcOffset() / kSecondsPerMinute));
}

template <bool Utc>
void ToText(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(Date(self).Text(Utc)));
}

void ParseOrUtc(TJObject&, const TJValueList* args, TJValue& result) {
    result.BuildDouble(static_cast<double>(TJDateObject::TimeValueOf(args)));
}

std::string ReadFormat(TJObject& self, int) { return Date(self).Format(); }
void WriteFormat(TJObject& self, int, std::string_view format) { Date(self).SetFormat(format); }

TDateTimeFields LocalNow() { return DecodeTimeValue(LocalTimeValue(CurrentTimeValue())); }

}  // namespace

TJDateObject::TJDateObject(TJBaseEngine* engine, const TJValueList* param)
    : TJObject(engine, param), time_(CurrentTimeValue()) {
    SetObjectName("Date");
    SetKind(TJObjectKind::Date);
    if (!param || param->Empty()) return;
    const TJValue& first = (*param)[0];
    if (param->Count() == 1 && first.IsNumberLike()) {
        double t = std::trunc(first.AsDouble());
        if (InTimeRange(t)) time_ = static_cast<std::int64_t>(t);
        return;
    }
    time_ = TimeValueOf(param);
}

TJDateObject::TJDateObject(TJBaseEngine* engine, const TJValueList* param, std::int64_t timeValue)
    : TJDateObject(engine, param) {
    SetTimeValue(timeValue);
}

const TJMethodTable* TJDateObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{
        {
            M::Method("getFullYear", &GetComponent<cYear, false>),
            M::Method("getYear", &GetComponent<cShortYear, false>),
            M::Method("getMonth", &GetComponent<cMonth, false>),
            M::Method("getDate", &GetComponent<cDay, false>),
            M::Method("getDay", &GetComponent<cWeekday, false>),
            M::Method("getHours", &GetComponent<cHour, false>),
            M::Method("getMinutes", &GetComponent<cMinute, false>),
            M::Method("getSeconds", &GetComponent<cSecond, false>),
            M::Method("getMilliseconds", &GetComponent<cMillisecond, false>),
            M::Method("getUTCFullYear", &GetComponent<cYear, true>),
            M::Method("getUTCYear", &GetComponent<cShortYear, true>),
            M::Method("getUTCMonth", &GetComponent<cMonth, true>),
            M::Method("getUTCDate", &GetComponent<cDay, true>),
            M::Method("getUTCDay", &GetComponent<cWeekday, true>),
            M::Method("getUTCHours", &GetComponent<cHour, true>),
            M::Method("getUTCMinutes", &GetComponent<cMinute, true>),
            M::Method("getUTCSeconds", &GetComponent<cSecond, true>),
            M::Method("getUTCMilliseconds", &GetComponent<cMillisecond, true>),
            M::Method("getTime", &GetTime),
            M::Method("getTimezoneOffset", &GetTimezoneOffset),
            M::Method("setFullYear", &SetComponent<cYear, false>),
            M::Method("setYear", &SetComponent<cShortYear, false>),
            M::Method("setMonth", &SetComponent<cMonth, false>),
            M::Method("setDate", &SetComponent<cDay, false>),
            M::Method("setHours", &SetComponent<cHour, false>),
            M::Method("setMinutes", &SetComponent<cMinute, false>),
            M::Method("setSeconds", &SetComponent<cSecond, false>),
            M::Method("setMilliseconds", &SetComponent<cMillisecond, false>),
            M::Method("setUTCFullYear", &SetComponent<cYear, true>),
            M::Method("setUTCYear", &SetComponent<cShortYear, true>),
            M::Method("setUTCMonth", &SetComponent<cMonth, true>),
            M::Method("setUTCDate", &SetComponent<cDay, true>),
            M::Method("setUTCHours", &SetComponent<cHour, true>),
            M::Method("setUTCMinutes", &SetComponent<cMinute, true>),
            M::Method("setUTCSeconds", &SetComponent<cSecond, true>),
            M::Method("setUTCMilliseconds", &SetComponent<cMillisecond, true>),
            M::Method("setTime", &SetTime),
            M::Method("toLocaleString", &ToText<false>),
            M::Method("toGMTString", &ToText<true>),
            M::Method("toUTCString", &ToText<true>),
            M::Method("parse", &ParseOrUtc),
            M::Method("UTC", &ParseOrUtc),
        },
        &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJDateObject::PublishedProperties() const {
    static const TJPropertyTable table{StringProperty("format", &ReadFormat, &WriteFormat)};
    return &table;
}

TJString TJDateObject::ToString(const TJValue*) { return TJString(Text(false)); }

bool TJDateObject::SetTimeValue(std::int64_t t) {
    if (!InTimeRange(static_cast<double>(t))) return false;
    time_ = t;
    return true;
}

TDateTimeFields TJDateObject::Fields(bool utc) const {
    return DecodeTimeValue(utc ? time_ : LocalTimeValue(time_));
}

bool TJDateObject::SetFields(const TDateTimeFields& fields, bool utc) {
    std::int64_t t = 0;
    if (!EncodeTimeValue(fields, t)) return false;
    if (!utc) t -= CurrentUtcOffset() * kMsPerSecond;
    return SetTimeValue(t);
}

std::string TJDateObject::Text(bool utc) const { return FormatDateTime(format_, Fields(utc), RegionalSettings()); }

std::int64_t TJDateObject::TimeValueOf(const TJValueList* args) {
    std::int64_t now = CurrentTimeValue();
    int count = args ? args->Count() : 0;
    if (count == 0) return now;
    std::int64_t t = now;
    if (count == 1) {
        // The text is a wall-clock reading, taken as UTC.
        TDateTimeFields f = ParseDateText((*args)[0].AsString().view(), RegionalSettings(), LocalNow());
        return EncodeTimeValue(f, t) ? t : now;
    }
    TDateTimeFields f = DecodeTimeValue(now);
    for (int i = 0; i < count && i < static_cast<int>(std::size(kSettable)); ++i) {
        int value = 0;
        if (!ComponentArgument((*args)[i], value)) return now;
        f.*kSettable[i] = i == cMonth ? value + 1 : value;
    }
    return EncodeTimeValue(f, t) ? t : now;
}

}  // namespace kestrel
