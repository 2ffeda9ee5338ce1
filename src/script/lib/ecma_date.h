// The Date object: one instant, read and changed in local time or UTC, parsed from
// text and written through the date-time language with a format scripts can set.
#pragma once

#include <cstdint>
#include <string>

#include "script/core/ecma_engine.h"
#include "script/lib/ecma_datetime.h"

namespace kestrel {

class TJDateObject : public TJObject {
public:
    // Script construction: no argument is now; one number-like argument a time value
    // (truncated toward zero); one other argument text read as `parse` reads it; two
    // or more the UTC components of `UTC`. A time value outside 0001-9999 keeps now.
    TJDateObject(TJBaseEngine* engine, const TJValueList* param);
    // Host construction at a given time value (File lastModified, cookie expiry);
    // one outside 0001-9999 gives now.
    TJDateObject(TJBaseEngine* engine, const TJValueList* param, std::int64_t timeValue);

    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;
    // The local date-time written with `format` ("c" when it is empty).
    TJString ToString(const TJValue* arg = nullptr) override;
    TJValue ValueOf() override { return DoubleValue(static_cast<double>(time_)); }
    double ToNumber() override { return static_cast<double>(time_); }

    std::int64_t TimeValue() const noexcept { return time_; }
    // False, changing nothing, for a time value outside 0001-9999.
    bool SetTimeValue(std::int64_t t);
    const std::string& Format() const noexcept { return format_; }
    void SetFormat(std::string_view format) { format_ = format; }

    // The components of the instant, local (shifted by the current offset) or UTC.
    TDateTimeFields Fields(bool utc) const;
    // Stores the instant of components given in local time or UTC; false, changing
    // nothing, when they are invalid or fall outside 0001-9999 as UTC.
    bool SetFields(const TDateTimeFields& fields, bool utc);
    // The date-time written with `format`, local or UTC.
    std::string Text(bool utc) const;

    // `parse` and `UTC`: the time value of the arguments (see the class comment).
    static std::int64_t TimeValueOf(const TJValueList* args);

private:
    std::int64_t time_;
    std::string format_;
};

}  // namespace kestrel
