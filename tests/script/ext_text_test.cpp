// The text-handling extension objects: StringBuffer, Strings, CRC and Base64
// through scripts, and the plain coders beside them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "script/ext/ecma_extensions.h"
#include "script/ext/ecma_geometry.h"
#include "script/ext/ecma_strings.h"
#include "script/ext/ext_header_words.h"
#include "script_runner.h"
#include "util/Base64.h"
#include "util/Crc.h"

using namespace kestrel;

namespace {

class ExtTextTest : public ::testing::Test {
protected:
    ExtTextTest() { ImportExtensionObjects(run.engine); }
    std::string Out(std::string_view script) { return run.Output(script); }
    kestrel::testing::ScriptRunner run;
};

struct TCase {
    const char* script;
    const char* expected;
};

TEST_F(ExtTextTest, StringBuffer) {
    const TCase cases[] = {
        {"var b = new StringBuffer(3, 'x'); print(b + '/' + b.length);", "xxx/3"},
        {"var b = new StringBuffer(1 + 2); print(b);", "3"},
        {"print(new StringBuffer(2).charCodeAt(1));", "0"},
        {"var b = new StringBuffer('hello'); print(b.substring(1, 3)); b.delete(1, 3); print(b);", "elhlo"},
        {"var b = new StringBuffer('abc'); b.delete(2, 1); print(b);", "abc"},
        {"var b = new StringBuffer('abc'); b.append('d', 1, 'e').insert(0, '>'); print(b);", ">abcd1e"},
        {"var b = new StringBuffer('abcdef'); b.replace(1, 4, 'XY'); print(b);", "aXYef"},
        {"var b = new StringBuffer('abc'); b[-1] = 'Zq'; b[0] = ''; print(b + b[1] + b[-3]);", "abZba"},
        {"var b = new StringBuffer('abc'); b.length = 1; print(b); b.LENGTH = 3; print(b.charCodeAt(2));", "a0"},
        {"print(new StringBuffer('ab').charCodeAt());", "undefined"},
        {"new StringBuffer('ab').charCodeAt(2);", "!Exception: EIndexError(1) => 3"},
        {"new StringBuffer('ab')[2];", "!Exception: EIndexError(1) => 2"},
        {"new StringBuffer('ab').length = -4;", "!Exception: EStringError(1) => length error -4"},
        {"new StringBuffer(2000000000);", "!Exception: EStringError(1) => string too long"},
        {"new StringBuffer('ab').replace(1, 2);", "!Exception: EStringError(1) => replace error"},
        {"var a = new Array(); a.assign(new StringBuffer('xy')); print(a.join('-'));", "x-y"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
}

TEST_F(ExtTextTest, Strings) {
    const TCase cases[] = {
        {"var s = new Strings(\"a\\nb\"); print(s.count + s.toString(','));", "2a,b,"},
        {"var s = new Strings(\"a\\nb\\rc\\n\"); print(s.length + '|' + s.text);", "3|a\nb\nc\n"},
        {"var s = new Strings(); s.add('b', 'a c', 'q\"x'); print(s.commaText);", "b,\"a c\",\"q\"\"x\""},
        {"var s = new Strings(); s.commaText = ' x, \"a,b\"  \"c\"\"d\" e,,'; print(s.toString('|'));", "x|a,b|c\"d|e||"},
        {"var s = new Strings(); s.commaText = 'a,\"open end'; print(s.toString('|'));", "a|open end|"},
        {"var s = new Strings(); s.add('b', 'C', 'a'); s.sorted = true; print(s.add('c') + s.toString());",
         "2a\nb\nC\n"},
        {"var s = new Strings(); s.sorted = true; print(s.add('m', 'a', 'z', 'b')); print(s.toString('.'));",
         "1a.b.m.z."},
        {"var s = new Strings(); s.add('a', 'B'); print(s.indexOf('b') + ',' + s.indexOf() + ',' + s[1]);", "1,-1,B"},
        {"var s = new Strings(); s.add('a'); s.insert(1, 'z').insert(0, 'y').delete(1); print(s.commaText);", "y,z"},
        {"var s = new Strings(); s.add('x', 'y'); s.assign(s); s.addStrings(s); print(s.commaText);", "x,y,x,y"},
        {"var s = new Strings(); s.addStrings(['p', 1]); s.addStrings(7); print(s.commaText);", "p,1,7"},
        {"var s = new Strings(); s.add('a'); s[0] = 'b'; print(s[0]);", "b"},
        {"var s = new Strings(); s.sorted = true; s.insert(0, 'a');",
         "!Exception: EStringsError(1) => ソートされる文字列リストに対しては許されない動作です"},
        {"var s = new Strings(); s.insert(1, 'a');",
         "!Exception: EStringsError(1) => リストのインデックスが範囲を超えています (1)"},
        {"var s = new Strings(); s.delete(0);",
         "!Exception: EStringsError(1) => リストのインデックスが範囲を超えています (0)"},
        {"new Strings()[0];", "!Exception: EIndexError(1) => 0"},
        {"new Strings().addStrings(new Date());", "!Exception: EStringsError(1) => addStrings error"},
        {"new Strings().loadFromFile('/nonexistent/x');", "!Exception: EStringsError(1) => loadFromFile error"},
        {"new Strings().loadFromFile('/');", "!Exception: EStringsError(1) => loadFromFile error"},
        {"var a = [].concat(new Strings(\"u\\nv\")); print(a.length);", "2"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
}

TEST_F(ExtTextTest, WrapperOfLostListRaises) {
    auto lines = std::make_shared<TJStringList>();
    lines->Lines = {"one"};
    auto* wrapper = TJObject::New<TJBaseStringsObject>(&run.engine, false, nullptr, std::weak_ptr(lines));
    EXPECT_EQ(wrapper->GetCount(), 1);
    lines.reset();
    try {
        wrapper->GetCount();
        ADD_FAILURE() << "no error";
    } catch (const EJThrow& e) {
        EXPECT_EQ(e.ErrorName(), "EStringsError");
        EXPECT_EQ(e.Message(), "strings is null");
    }
    wrapper->Destroy();
}

TEST_F(ExtTextTest, CrcAndBase64Objects) {
    const TCase cases[] = {
        {"print(CRC.CRC16 + ',' + CRC.CRC32);", "65535,-1"},
        {"CRC.calc('123456789'); print(CRC.CRC16 + ',' + CRC.crc32);", "28561,-873187034"},
        {"CRC.calc('x'); try { CRC.calcFile('/dev/zero'); } catch (e) { print(e); } print(CRC.CRC32);",
         "ECRCError-1"},
        {"print(Base64.encode('abc') + Base64.encode('ab') + Base64.encode(''));", "YWJjYWI="},
        {"print(Base64.decode(\"YW\\r\\nJj\") + Base64.decode('YWI=YWJj') + Base64.decode('YWJjZ'));", "abcababc"},
        {"Base64.decode();", "!Exception: EBase64Error(1) => decode error"},
        {"print(Base64.encodeHeader('a 日本') + '|' + Base64.decodeHeader('x =?iso-2022-jp?B?GyRCRnxLXBsoQg==?= y'));",
         "a =?ISO-2022-JP?B?GyRCRnxLXBsoQg==?=|x 日本 y"},
        {"print(Base64.decodeHeader('=?ISO-2022-JP?B?GyRCRnxL'));", "=?ISO-2022-JP?B?GyRCRnxL"},
        {"print(Base64.decodeHeader('=?ISO-2022-JP?B?' + Base64.encode('\\~') + '?='));", "\\~"},
    };
    for (const TCase& c : cases) EXPECT_EQ(Out(c.script), c.expected) << c.script;
}

// Broken ISO-2022-JP inside a header word: the valid characters before the fault
// come through, the text around the word stays, and nothing is read past the word.
TEST(HeaderWords, InvalidJisNeverSpillsOverTheWord) {
    const struct {
        std::string jis;
        const char* valid;  // what must come first, in the code page
    } cases[] = {
        {"\x1b$BF|K", "日"},             // an odd byte at the end
        {"\x1b$BF|\xff\xfe", "日"},     // bytes beyond 7 bits in the double-byte set
        {"\x1b$BF|\x1b", "日"},          // a lone ESC at the end
        {"\x1b$BF|\x7f\x7f\x21\x7f", "日"},  // pairs outside the set
        {"\x1b$", ""},                  // an escape cut short
        {std::string("\x1b$B\0\0", 5), ""},  // NUL pairs
        {"\x1b(I\x31\x7f", ""},         // half-width kana, then DEL
    };
    for (const int codePage : {tinctor::CodePage::ShiftJis, tinctor::CodePage::Utf8}) {
        kestrel::testing::CodePageScope scope(codePage);
        const std::string valid0 = tinctor::CodePage::Current().FromUtf8Replacing("日");
        for (const auto& c : cases) {
            const std::string word = "=?ISO-2022-JP?B?" + tinctor::Base64Encode(c.jis) + "?=";
            const std::string decoded = ext::DecodeHeaderWords("a " + word + " b");
            const std::string valid = *c.valid ? valid0 : std::string();
            EXPECT_TRUE(decoded.starts_with("a " + valid)) << codePage << " " << c.jis.size();
            EXPECT_TRUE(decoded.ends_with(" b")) << codePage << " " << c.jis.size();
            // At most a character of the code page for every byte of the word.
            EXPECT_LE(decoded.size(), 4 + 3 * c.jis.size()) << codePage << " " << c.jis.size();
        }
    }
}

TEST_F(ExtTextTest, PointAndRectTextForms) {
    auto* point = TJObject::New<TJPoint>(&run.engine, false);
    const struct {
        const char* text;
        const char* after;
    } points[] = {
        {"{ x : 3 , y : 4 }", "{x:3,y:4}"},
        {"{x:-3,y:4}", "{x:3,y:4}"},
        {"{x:4294967296,y:1}", "{x:3,y:4}"},
        {"{x:5,y:6}tail", "{x:3,y:4}"},
        {"{X:5,y:6}", "{x:3,y:4}"},
        {"{x:2147483647,y:0}", "{x:2147483647,y:0}"},
    };
    for (const auto& c : points) {
        point->SetValue("point", StringValue(TJString(c.text)));
        EXPECT_EQ(point->ToString().str(), c.after) << c.text;
    }
    auto* rect = TJObject::New<TJRect>(&run.engine, false);
    rect->SetValue("RECT", StringValue(TJString("{left:1,top:2,right:30,bottom:40}")));
    rect->SetValue("topLeft", ObjectValue(point));
    TJValue corner;
    rect->GetValue("bottomRight", false, corner);
    EXPECT_EQ(corner.AsString().str(), "{x:30,y:40}");
    EXPECT_EQ(rect->ToString().str(), "{left:2147483647,top:0,right:30,bottom:40}");
    rect->Destroy();
    point->Destroy();
}

TEST(Base64Coder, DecodeSkipsForeignBytesAndRoundTrips) {
    EXPECT_EQ(tinctor::Base64Decode("Y W*J\nj"), "abc");
    EXPECT_EQ(tinctor::Base64Decode("Y"), "");
    EXPECT_EQ(tinctor::Base64Decode("YWJjZA"), "abcd");
    std::string all;
    for (int i = 0; i < 256 * 3; ++i) all += static_cast<char>(i * 7);
    for (std::size_t n = 0; n < 8; ++n) {
        const std::string part = all.substr(n);
        EXPECT_EQ(tinctor::Base64Decode(tinctor::Base64Encode(part)), part) << n;
    }
}

TEST(CrcCoder, PiecesGiveTheSameChecksumsAsOnePass) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 31 + 5);
    tinctor::TCrc16And32 whole, pieces;
    whole.Update(bytes);
    for (std::size_t i = 0; i < bytes.size(); i += 13) pieces.Update(std::string_view(bytes).substr(i, 13));
    EXPECT_EQ(whole.Crc16(), pieces.Crc16());
    EXPECT_EQ(whole.Crc32(), pieces.Crc32());
}

}  // namespace
