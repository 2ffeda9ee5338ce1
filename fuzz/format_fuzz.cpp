// Fuzz target of the formatting languages and the date text parser: any format, mask
// or text, any argument kinds and values, under both code pages (fuzz/run.sh format).
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "script/lib/ecma_datetime.h"
#include "script/lib/ecma_format.h"
#include "util/CodePage.h"

using namespace kestrel;

namespace {

// Reads fixed-size values off the front of the input; zeros once it runs out.
struct TReader {
    const std::uint8_t* data;
    std::size_t size;
    template <class T>
    T Take() {
        T value{};
        std::size_t n = size < sizeof(T) ? size : sizeof(T);
        std::memcpy(&value, data, n);
        data += n;
        size -= n;
        return value;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TReader in{data, size};
    auto mode = in.Take<std::uint8_t>();
    tinctor::CodePage::Select(mode & 0x80 ? tinctor::CodePage::ShiftJis : tinctor::CodePage::Utf8);
    TFormatSettings settings = DefaultFormatSettings();
    settings.NegCurrFormat = in.Take<std::uint8_t>() % 16;
    settings.CurrencyFormat = in.Take<std::uint8_t>() % 4;
    switch (mode & 3) {
    case 0: {
        std::vector<TFormatArg> args;
        std::vector<std::string> texts;
        texts.reserve(8);
        for (int i = 0, n = in.Take<std::uint8_t>() % 8; i < n; ++i) {
            switch (in.Take<std::uint8_t>() % 3) {
            case 0: args.push_back(TFormatArg::OfInteger(in.Take<std::int32_t>())); break;
            case 1: args.push_back(TFormatArg::OfFloat(in.Take<double>())); break;
            default: texts.push_back(std::string(in.Take<std::uint64_t>() % 40, 'a') + "\x82\xA0");
                     args.push_back(TFormatArg::OfString(texts.back())); break;
            }
        }
        std::string_view format(reinterpret_cast<const char*>(in.data), in.size);
        try {
            FormatText(format, args, settings);
        } catch (const EFormatError&) {
        }
        break;
    }
    case 1: {
        double value = in.Take<double>();
        FormatFloatMask(std::string_view(reinterpret_cast<const char*>(in.data), in.size), value, settings);
        for (auto form : {TFloatForm::General, TFloatForm::Exponent, TFloatForm::Fixed, TFloatForm::Number,
                          TFloatForm::Currency})
            FormatFloat(value, form, in.Take<std::int8_t>(), in.Take<std::int8_t>(), settings);
        break;
    }
    case 2: {
        TDateTimeFields f = DecodeTimeValue(in.Take<std::int64_t>() % (kMaxTimeValue + 1));
        FormatDateTime(std::string_view(reinterpret_cast<const char*>(in.data), in.size), f, settings);
        break;
    }
    default: {
        TDateTimeFields now = DecodeTimeValue(1120964645678);
        ParseDateText(std::string_view(reinterpret_cast<const char*>(in.data), in.size), settings, now);
        break;
    }
    }
    return 0;
}
