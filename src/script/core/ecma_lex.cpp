#include "script/core/ecma_lex.h"

#include <array>

#include "script/core/ecma_number.h"
#include "script/core/ecma_type.h"
#include "util/CodePage.h"

namespace kestrel {

static_assert(tkIn == 282 && tkSwitch == 293 && tkFloat == 297 && tkComma == 306);
static_assert(tkUnary == 315 && tkDot == 324 && tkGlobal == 329);

namespace {

constexpr std::size_t kMaxRegExpFlags = 7;

struct Keyword {
    const char* word;
    int code;
};

// Exactly these words are reserved; anything else is an identifier.
constexpr Keyword kKeywords[] = {
    {"var", tkVar},           {"function", tkFunction}, {"if", tkIf},
    {"else", tkElse},         {"while", tkWhile},       {"for", tkFor},
    {"continue", tkContinue}, {"break", tkBreak},       {"return", tkReturn},
    {"with", tkWith},         {"this", tkThis},         {"null", tkNull},
    {"true", tkTrue},         {"false", tkFalse},       {"new", tkNew},
    {"delete", tkDelete},     {"void", tkVoid},         {"typeof", tkTypeof},
    {"try", tkTry},           {"catch", tkCatch},       {"finally", tkFinally},
    {"throw", tkThrow},       {"undefined", tkUndefined}, {"infinity", tkInfinity},
    {"in", tkIn},             {"case", tkCase},         {"class", tkClass},
    {"const", tkConst},       {"debugger", tkDebugger}, {"do", tkDo},
    {"enum", tkEnum},         {"export", tkExport},     {"extends", tkExtends},
    {"import", tkImport},     {"super", tkSuper},       {"switch", tkSwitch},
    {"default", tkDefault},   {"static", tkStatic},     {"global", tkGlobal},
    {"NaN", tkNaN},
};
constexpr std::size_t kLongestKeyword = 9;  // "undefined"

bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char16_t c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsLetter(char16_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsIdentifierStart(char16_t c) { return IsLetter(c) || c == '$' || c == '_'; }
bool IsIdentifierPart(char16_t c) { return IsIdentifierStart(c) || IsDigit(c); }
bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// What a character starts outside strings, comments and regular expressions.
enum CharClass : std::uint8_t { ccSkip, ccOperator, ccQuote, ccIdentifier, ccDigit };

constexpr std::array<CharClass, 128> MakeCharClasses() {
    std::array<CharClass, 128> t{};
    for (char c : std::string_view("!#%&()*+,-./:;<=>?@[\\]^{|}~`")) t[static_cast<unsigned char>(c)] = ccOperator;
    t['"'] = t['\''] = ccQuote;
    for (int c = 'a'; c <= 'z'; ++c) t[c] = t[c - 32] = ccIdentifier;
    t['$'] = t['_'] = ccIdentifier;
    for (int c = '0'; c <= '9'; ++c) t[c] = ccDigit;
    return t;
}
constexpr std::array<CharClass, 128> kCharClasses = MakeCharClasses();

// Blanks, controls and every character outside ASCII are skipped.
CharClass ClassOf(char16_t c) { return c < 128 ? kCharClasses[c] : ccSkip; }

// Tokens after which a slash divides instead of starting a regular expression.
bool EndsOperand(int token) {
    switch (token) {
    case tkNull: case tkTrue: case tkFalse: case tkUndefined: case tkInfinity:
    case tkString: case tkIdentifier: case tkInteger: case tkFloat:
    case tkRParen: case tkRBracket: case tkRegExp: case tkNaN:
        return true;
    default:
        return false;
    }
}

// After ".", "$" and one of these characters name a static property of RegExp.
const char16_t* RegExpStaticName(char16_t c) {
    switch (c) {
    case '"': return u"rightContext";
    case '&': return u"lastMatch";
    case '*': return u"multiline";
    case '+': return u"lastParen";
    case '`': return u"leftContext";
    case '_': return u"input";
    default: return nullptr;
    }
}

// Identifier and number texts are ASCII: one byte per code unit.
void Narrow(std::u16string_view text, std::string& out) {
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i]);
}

}  // namespace

TJLex::TJLex() : keywords_(100) {
    for (const Keyword& k : kKeywords) keywords_.Put(k.word, k.code);
}

void TJLex::Reset() {
    line_ = 1;
    pos_ = 0;
    token_ = 0;
    prevToken_ = 0;
    endsOperand_ = prevEndsOperand_ = false;
    atEnd_ = true;
    value_ = {};
    source_.clear();
    text_.clear();
}

void TJLex::SetSource(std::u16string text) {
    Reset();
    source_ = std::move(text);
    atEnd_ = source_.empty();
}

void TJLex::SetSourceText(std::string_view bytes) { SetSource(tinctor::CodePage::Current().ToUtf16(bytes)); }

void TJLex::InsertSource(std::u16string_view text) {
    if (text.empty()) return;
    if (pos_ > source_.size()) pos_ = source_.size();  // the end was read: the text comes next
    source_.insert(pos_, text);
    atEnd_ = false;
}

std::string TJLex::TokenString() const { return tinctor::CodePage::Current().FromUtf16(text_); }

char16_t TJLex::Read() {
    if (pos_ >= source_.size()) {
        ++pos_;  // stepping back must undo this read too
        atEnd_ = true;
        token_ = 0;
        return 0;
    }
    char16_t c = source_[pos_++];
    if (c == '\n') ++line_;
    return c;
}

void TJLex::StepBack() {
    if (pos_ == 0) return;
    --pos_;
    atEnd_ = pos_ > source_.size();
    if (pos_ < source_.size() && source_[pos_] == '\n') --line_;
}

void TJLex::TakeText(std::size_t start) { text_.assign(source_.data() + start, pos_ - start); }

int TJLex::Operator(int code, int subCode) {
    value_.Kind = TJTokenValue::tvSubCode;
    value_.Integer = subCode;
    return code;
}

bool TJLex::Next() {
    prevToken_ = token_;
    prevEndsOperand_ = endsOperand_;
    text_.clear();
    value_ = {};
    while (!atEnd_) {
        // Skip to the first character of a token; it is looked at, not read: the scan reads it.
        while (pos_ < source_.size() && ClassOf(source_[pos_]) == ccSkip) {
            if (source_[pos_] == '\n') ++line_;
            ++pos_;
        }
        if (pos_ >= source_.size()) {
            Read();  // the end
            break;
        }
        int token = 0;
        switch (ClassOf(source_[pos_])) {
        case ccOperator: token = ScanOperator(); break;
        case ccQuote: token = ScanString(); break;
        case ccIdentifier: token = ScanIdentifier(); break;
        case ccDigit: token = ScanNumber(); break;
        case ccSkip: break;
        }
        if (token != 0) {
            token_ = token;
            // ++ and -- right after an operand are postfix: the operand still ends there.
            endsOperand_ = EndsOperand(token) || (token == tkIncDec && prevEndsOperand_);
            if (OnDebugout) Debugout();
            return true;
        }
        text_.clear();
        value_ = {};
    }
    token_ = 0;
    return false;
}

void TJLex::Debugout() {
    std::string line = std::to_string(token_);
    line += "( ";
    line += TokenString();
    line += " )";
    OnDebugout(line);
}

int TJLex::ScanOperator() {
    const std::size_t start = pos_;
    const char16_t c = Read();
    int token = 0;
    // Reads one more character and keeps it when it is Expected.
    auto follows = [this](char16_t expected) {
        if (Read() == expected) return true;
        StepBack();
        return false;
    };
    switch (c) {
    case '(': token = tkLParen; break;
    case ')': token = tkRParen; break;
    case '{': token = tkLBrace; break;
    case '}': token = tkRBrace; break;
    case '[': token = tkLBracket; break;
    case ']': token = tkRBracket; break;
    case ';': token = tkSemicolon; break;
    case ',': token = tkComma; break;
    case '?': token = tkQuestion; break;
    case ':': token = tkColon; break;
    case '@': token = tkAt; break;
    case '.': token = tkDot; break;
    case '+':
    case '-':
        if (follows(c)) token = Operator(tkIncDec, c);
        else if (follows('=')) token = Operator(tkCompoundAssign, c);
        else token = Operator(tkAdditive, c);
        break;
    case '*':
    case '%':
        token = Operator(follows('=') ? tkCompoundAssign : tkMultiplicative, c);
        break;
    case '<':
        if (follows('=')) token = Operator(tkRelational, 40);
        else if (follows('<')) token = Operator(follows('=') ? tkCompoundAssign : tkShift, 60);
        else token = Operator(tkRelational, 60);
        break;
    case '>':
        if (follows('=')) {
            token = Operator(tkRelational, 41);
        } else if (follows('>')) {
            if (follows('>')) token = Operator(follows('=') ? tkCompoundAssign : tkShift, 51);
            else if (follows('=')) token = Operator(tkCompoundAssign, 62);
            else token = Operator(tkShift, 62);
        } else {
            token = Operator(tkRelational, 62);
        }
        break;
    case '=':
        if (follows('=')) token = Operator(tkEquality, follows('=') ? 51 : 61);
        else token = tkAssign;
        break;
    case '!':
        if (follows('=')) token = Operator(tkEquality, follows('=') ? 50 : 33);
        else token = Operator(tkUnary, 33);
        break;
    case '&':
        if (follows('&')) token = tkAndAnd;
        else if (follows('=')) token = Operator(tkCompoundAssign, 38);
        else token = tkBitAnd;
        break;
    case '|':
        if (follows('|')) token = tkOrOr;
        else if (follows('=')) token = Operator(tkCompoundAssign, 124);
        else token = tkBitOr;
        break;
    case '^':
        token = follows('=') ? Operator(tkCompoundAssign, 94) : tkBitXor;
        break;
    case '~': token = Operator(tkUnary, 126); break;
    case '/':
        if (follows('/')) {
            SkipLineComment();
            return 0;
        }
        if (follows('*')) {
            SkipBlockComment();
            return 0;
        }
        if (!prevEndsOperand_) return ScanRegExp();
        token = Operator(follows('=') ? tkCompoundAssign : tkMultiplicative, 47);
        break;
    default:  // '#', '\' and the grave accent make no token
        return 0;
    }
    TakeText(start);
    return token;
}

void TJLex::SkipLineComment() {
    const std::size_t newline = source_.find(u'\n', pos_);
    if (newline == std::u16string::npos) {
        pos_ = source_.size();
        Read();  // the end
        return;
    }
    pos_ = newline + 1;
    ++line_;
}

void TJLex::SkipBlockComment() {
    for (;;) {
        const std::size_t star = source_.find(u'*', pos_);
        const std::size_t stop = star == std::u16string::npos ? source_.size() : star;
        for (std::size_t i = pos_; i < stop; ++i)
            if (source_[i] == '\n') ++line_;
        pos_ = stop;
        if (star == std::u16string::npos) {
            Read();  // the end: an unterminated comment ends the token stream
            return;
        }
        ++pos_;
        if (Peek() == '/') {
            ++pos_;
            return;
        }
    }
}

int TJLex::ScanString() {
    const char16_t quote = source_[pos_++];
    const bool escapes = quote == '"';
    for (;;) {
        // Take the run up to the next quote, backslash or line feed in one piece.
        std::size_t i = pos_;
        while (i < source_.size()) {
            const char16_t c = source_[i];
            if (c == quote || c == '\n' || (escapes && c == '\\')) break;
            ++i;
        }
        text_.append(source_, pos_, i - pos_);
        pos_ = i;
        const char16_t c = Read();
        if (atEnd_) return 0;  // unterminated: no token
        if (c == quote) return tkString;
        if (c == '\n') {
            text_ += c;
            continue;
        }
        const char16_t e = Read();
        if (atEnd_) return 0;
        switch (e) {
        case '\\': text_ += u'\\'; break;
        case 'b': text_ += u'\b'; break;
        case 'f': text_ += u'\f'; break;
        case 'n': text_ += u"\r\n"; break;
        case 'r': text_ += u'\r'; break;
        case 't': text_ += u'\t'; break;
        case '"': text_ += u'"'; break;
        default:
            // Backslash and character are dropped; a character beyond the BMP goes whole.
            if (IsHighSurrogate(e) && IsLowSurrogate(Peek())) ++pos_;
            break;
        }
    }
}

int TJLex::ScanRegExp() {
    for (;;) {
        std::size_t i = pos_;
        while (i < source_.size()) {
            const char16_t c = source_[i];
            if (c == '/' || c == '\\' || c == '\n') break;
            ++i;
        }
        text_.append(source_, pos_, i - pos_);
        pos_ = i;
        const char16_t c = Read();
        if (atEnd_) return 0;  // unterminated: the token stream ends, as for strings
        if (c == '/') break;
        if (c == '\n') {
            text_ += c;
            continue;
        }
        const char16_t e = Read();
        if (atEnd_) return 0;
        switch (e) {
        case '/': text_ += u'/'; break;
        case 'f': text_ += u'\f'; break;
        case 'n': text_ += u"\r\n"; break;
        case 'r': text_ += u'\r'; break;
        case 't': text_ += u'\t'; break;
        case 0: break;
        default:  // \b (a word boundary), \d, \. and the rest reach the matcher as written
            text_ += u'\\';
            text_ += e;
            break;
        }
    }
    text_ += u'\0';
    std::size_t flags = 0;
    while (Peek() == 'g' || Peek() == 'i' || Peek() == 'm') {
        if (++flags > kMaxRegExpFlags) {
            std::size_t end = pos_;
            while (end < source_.size() && IsLetter(source_[end])) ++end;
            std::string message = "too many regular expression flags: Text( ";
            message += tinctor::CodePage::Current().FromUtf16(
                std::u16string_view(source_).substr(pos_ - kMaxRegExpFlags, end - pos_ + kMaxRegExpFlags));
            message += " )";
            throw EJSyntaxError(message, line_);
        }
        text_ += source_[pos_++];
    }
    return tkRegExp;
}

int TJLex::ScanIdentifier() {
    const std::size_t start = pos_;
    if (prevToken_ == tkDot && source_[pos_] == '$' && pos_ + 1 < source_.size()) {
        if (const char16_t* name = RegExpStaticName(source_[pos_ + 1])) {
            pos_ += 2;
            text_ = name;
            return tkIdentifier;
        }
    }
    std::size_t i = pos_ + 1;
    while (i < source_.size() && IsIdentifierPart(source_[i])) ++i;
    pos_ = i;
    TakeText(start);
    // After "." every word is a member name.
    if (prevToken_ != tkDot && text_.size() <= kLongestKeyword) {
        Narrow(text_, scratch_);
        std::int32_t code;
        if (keywords_.TryGet(scratch_, code)) return code;
    }
    return tkIdentifier;
}

int TJLex::ScanNumber() {
    const std::size_t start = pos_;
    auto at = [this](std::size_t i) -> char16_t { return i < source_.size() ? source_[i] : 0; };
    std::size_t i = pos_ + 1;
    bool floating = false;
    for (;;) {
        const char16_t c = at(i);
        if (IsDigit(c)) {
            ++i;
        } else if (c == '.' && IsDigit(at(i + 1))) {
            floating = true;
            i += 2;
        } else if ((c == 'E' || c == 'e') && (at(i + 1) == '+' || at(i + 1) == '-' || IsDigit(at(i + 1)))) {
            floating = true;
            i += 2;
        } else if (c == 'X' || c == 'x') {
            ++i;
            while (IsHexDigit(at(i))) ++i;
            break;
        } else {
            break;  // "1.toString" and "1e" leave the dot and the letter for the next token
        }
    }
    pos_ = i;
    TakeText(start);
    Narrow(text_, scratch_);

    double d;
    if (!floating) {
        std::int32_t n;
        if (TryTextToInteger(scratch_, n)) {
            value_.Kind = TJTokenValue::tvInteger;
            value_.Integer = n;
            return tkInteger;
        }
        std::int64_t wide;
        if (TryTextToInt64(scratch_, wide)) {
            value_.Kind = TJTokenValue::tvDouble;
            value_.Double = static_cast<double>(wide);
            return tkFloat;
        }
    }
    if (TryTextToFloat(scratch_, d)) {
        value_.Kind = TJTokenValue::tvDouble;
        value_.Double = d;
        return tkFloat;
    }
    return tkNaN;
}

}  // namespace kestrel
