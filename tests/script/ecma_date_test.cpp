// The Date object in three zones, with the clock fixed at Sunday 2005-07-10 03:04:05.678 UTC.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "script/lib/ecma_datetime.h"
#include "script_runner.h"

using namespace kestrel;

namespace {

constexpr std::int64_t kNow = 1120964645678;

// An environment variable set for one test and restored afterwards.
class TScopedVariable {
public:
    TScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        setenv(name, value, 1);
    }
    ~TScopedVariable() {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
        tzset();
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

class DateTest : public ::testing::Test {
protected:
    void SetUp() override { SetClockForTests([] { return kNow; }); }
    void TearDown() override { SetClockForTests(nullptr); }
    void Zone(const char* tz) {
        zone_.emplace("TZ", tz);
        tzset();
    }
    // Runs Script with o(v), which collects "v|" for every value it is given.
    std::string Run(const std::string& script) {
        return runner_.Output("var s = ''; function o(v) { s = s + (isUndefined(v) ? 'undefined' : v) + '|'; }\n" +
                              script + "\nprint(s);");
    }

    kestrel::testing::ScriptRunner runner_;
    TScopedVariable posixLocale_{"LC_ALL", "C"};  // the regional fallbacks: "c" is yyyy/mm/dd hh:nn:ss
    std::optional<TScopedVariable> zone_;
};

struct Case {
    const char* script;
    const char* expected;
};

TEST_F(DateTest, LocalComponentsInTokyo) {
    Zone("Asia/Tokyo");
    for (const Case& c : std::initializer_list<Case>{
             {"var d = new Date(0); o(d.getUTCHours()); o(d.getHours()); o(d.getTimezoneOffset());", "0|9|-540|"},
             {"var d = new Date(); o(d.getFullYear()); o(d.getMonth()); o(d.getDate()); o(d.getHours());",
              "2005|6|10|12|"},
             {"var d = new Date(2005, 0, 15, 10, 20, 30, 0); o(d.getUTCMonth()); o(d.getUTCDate()); o(d.getHours());",
              "0|15|19|"},
             {"var d = new Date(2005, 1, 28); d.format = 'yyyy-mm-dd hh:nn:ss.zzz'; o(d.toUTCString()); "
              "o(Date.UTC(2005, 1, 28) == d.getTime());", "2005-02-28 03:04:05.678|true|"},
             {"var d = new Date(0); d.format = 'yyyy-mm-dd hh:nn:ss.zzz'; o(d); o(d.toLocaleString()); "
              "o(d.toGMTString());", "1970-01-01 09:00:00.000|1970-01-01 09:00:00.000|1970-01-01 00:00:00.000|"},
             // An empty format is "c": the time only when it is not exactly midnight.
             {"o(new Date(Date.UTC(2005, 1, 3, 15, 0, 0, 0))); o(new Date(Date.UTC(2005, 1, 3, 15, 0, 1, 0)));",
              "2005/02/04|2005/02/04 00:00:01|"},
         })
        EXPECT_EQ(Run(c.script), c.expected) << c.script;
}

TEST_F(DateTest, SettersReplaceOneComponentOrNothing) {
    Zone("UTC");
    for (const Case& c : std::initializer_list<Case>{
             // 31 January 2005, 10:00 UTC
             {"var d = new Date(1107165600000); o(d.setMonth(1)); o(d.setHours(25)); o(d.setDate(32)); o(d.getTime());",
              "undefined|undefined|undefined|1107165600000|"},
             {"var d = new Date(1107165600000); o(d.setDate(15));", "1105783200000|"},
             {"var d = new Date(1107165600000); o(d.setMonth(11)); o(d.getMonth()); o(d.getDay());",
              "1136023200000|11|6|"},
             {"var d = new Date(); o(d.getDay()); o(d.getUTCDay());", "0|0|"},
             {"var d = new Date(1107165600000); d.setFullYear(1999); o(d.getYear()); o(d.getUTCYear()); "
              "d.setYear(5); o(d.getFullYear()); d.setYear(105); o(d.getFullYear()); o(d.getYear());",
              "99|99|1905|105|-1795|"},
             {"var d = new Date(1107165600000); o(d.setTime()); o(d.setFullYear()); o(d.setTime(1.5)); "
              "o(d.setTime(2.5));", "undefined|undefined|2|2|"},
             // Arguments beyond 16 bits are refused, not cut (67542 would be 2006, 65551 the 15th).
             {"var d = new Date(1107165600000); o(d.setFullYear(67542)); o(d.setDate(65551)); o(d.setHours(-1)); "
              "o(d.setMinutes(4294967297)); o(d.getTime());",
              "undefined|undefined|undefined|undefined|1107165600000|"},
             // Out-of-range time values keep the instant.
             {"var d = new Date(1e20); o(d.getTime()); o(d.setTime(-1e17)); o(d.getTime());",
              "1120964645678|undefined|1120964645678|"},
             {"o(new Date(1.9).getTime()); o(new Date('1000').getTime()); o(new Date(5000) - new Date(2000));",
              "1|1000|3000|"},
         })
        EXPECT_EQ(Run(c.script), c.expected) << c.script;
}

TEST_F(DateTest, ParseAndUtc) {
    Zone("Asia/Tokyo");
    for (const Case& c : std::initializer_list<Case>{
             {"var d = new Date('Feb 3 2005 10:20:30'); d.format = 'yyyy-mm-dd hh:nn:ss.zzz'; o(d.toUTCString());",
              "2005-02-03 10:20:30.678|"},
             // An unknown month name is January; the clock fields come from the local time now.
             {"var d = new Date('Xyz 3 2005'); d.format = 'yyyy-mm-dd hh:nn:ss.zzz'; o(d.toUTCString());",
              "2005-01-03 12:04:05.678|"},
             {"o(new Date('  2005/01/02 10:20:30 ').getTime()); o(Date.parse('2005/01/02'));",
              "1104661230000|1104624000000|"},
             {"o(Date.parse('05/01/02 1:02 PM') == Date.UTC(2005, 0, 2, 13, 2, 0, 0));", "true|"},
             {"o(Date.parse('december, 24, 1999, 23:59') == Date.UTC(1999, 11, 24, 23, 59, 5, 678));", "true|"},
             // Invalid parsed or given components give the current time (local for the parser).
             {"o(Date.parse('Feb 30 2005')); o(Date.UTC(67542, 0, 1)); o(Date.UTC(2005, 1, 29));",
              "1120997045678|1120964645678|1120964645678|"},
             {"o(Date.UTC()); o(new Date().parse());", "1120964645678|1120964645678|"},
             {"var d = new Date(0); Date.UTC(2000, 0, 1); d.parse('2005/01/02'); o(d.getTime());", "0|"},
         })
        EXPECT_EQ(Run(c.script), c.expected) << c.script;
}

TEST_F(DateTest, OneOffsetForEveryDateInADaylightSavingZone) {
    // In July New York is four hours behind; that offset serves a January date too.
    Zone("America/New_York");
    EXPECT_EQ(Run("var d = new Date(Date.UTC(2005, 0, 1, 12, 0, 0, 0)); o(d.getTimezoneOffset()); o(d.getHours()); "
                  "o(d.setHours(10)); o(d.getUTCHours());"),
              "240|8|1104588000000|14|");
    SetClockForTests([] { return std::int64_t(1104580800000); });  // 2005-01-01 12:00 UTC, standard time
    EXPECT_EQ(Run("var d = new Date(Date.UTC(2005, 6, 1, 12, 0, 0, 0)); o(d.getTimezoneOffset()); o(d.getHours());"),
              "300|7|");
}

TEST_F(DateTest, DatesBeforeTheDayCountBeginsStayContinuous) {
    Zone("UTC");
    // 1899-12-29 18:00 and 0001-01-01 00:00:00.001 round-trip and keep their clock fields.
    EXPECT_EQ(Run("var d = new Date(-2209183200000); o(d.getTime()); o(d.getDate()); o(d.getHours());"),
              "-2209183200000|29|18|");
    EXPECT_EQ(Run("var d = new Date(-62135596799999); o(d.getFullYear()); o(d.getMonth()); o(d.getDate()); "
                  "o(d.getMilliseconds()); o(d.setMilliseconds(0)); o(d.setTime(-62135596800001));"),
              "1|0|1|1|-62135596800000|undefined|");
}

TEST(DateCalendar, DecodeAndEncodeAgreeAcrossTheWholeRange) {
    for (std::int64_t t = kMinTimeValue; t < kMaxTimeValue; t += 7 * kMsPerDay + 3'600'001) {
        std::int64_t back = 0;
        ASSERT_TRUE(EncodeTimeValue(DecodeTimeValue(t), back)) << t;
        ASSERT_EQ(back, t);
    }
    TDateTimeFields last = DecodeTimeValue(kMaxTimeValue);
    EXPECT_EQ(last.Year * 10000 + last.Month * 100 + last.Day, 99991231);
    EXPECT_EQ(DecodeTimeValue(0).DayOfWeek, 4);
}

}  // namespace
