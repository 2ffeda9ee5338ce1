// The script lexer: turns source text into tokens for the parser.
//
// It works on UTF-16 code units. Source bytes in the code page are converted with
// the code page service, which carries undecodable bytes as U+DC80..U+DCFF, so a
// token text converted back gives exactly the bytes it came from. Characters outside
// ASCII never belong to identifiers or operators; outside strings, regular
// expressions and comments they are skipped like blanks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "script/core/hashtable.h"

namespace kestrel {

// Token codes shared by lexer and parser; the debug trace shows them as numbers.
enum TJTokenCode : int {
    tkNone = 0,
    tkVar = 257,
    tkFunction = 258,
    tkIf = 260,
    tkElse,
    tkWhile,
    tkFor,
    tkContinue,
    tkBreak,
    tkReturn,
    tkWith,
    tkThis,
    tkNull,
    tkTrue,
    tkFalse,
    tkNew,
    tkDelete,
    tkVoid,
    tkTypeof,
    tkTry,
    tkCatch,
    tkFinally,
    tkThrow,
    tkUndefined,
    tkInfinity,
    tkIn,
    tkCase,
    tkClass,
    tkConst,
    tkDebugger,
    tkDo,
    tkEnum,
    tkExport,
    tkExtends,
    tkImport,
    tkSuper,
    tkSwitch,        // 293
    tkString,        // 294
    tkIdentifier,    // 295
    tkInteger,       // 296
    tkFloat,         // 297
    tkLParen = 299,  // ( ) { } [ ] ; ,
    tkRParen,
    tkLBrace,
    tkRBrace,
    tkLBracket,
    tkRBracket,
    tkSemicolon,
    tkComma,           // 306
    tkAdditive = 308,  // + -
    tkShift,           // << >> >>>
    tkMultiplicative,  // * / %
    tkRelational,      // < > <= >=
    tkEquality,        // == === != !==
    tkCompoundAssign,  // *= /= %= += -= <<= >>= >>>= &= |= ^=
    tkIncDec,          // ++ --
    tkUnary,           // ! ~
    tkAssign,          // 316 =
    tkQuestion,
    tkColon,
    tkOrOr,
    tkAndAnd,
    tkBitOr,
    tkBitXor,
    tkBitAnd,
    tkDot,     // 324
    tkRegExp,  // 325: pattern, a zero character, flags
    tkDefault,
    tkAt,  // 327 @
    tkStatic,
    tkGlobal,    // 329
    tkNaN = 502  // the word NaN and every malformed number
};

// What a token carries besides its text.
struct TJTokenValue {
    enum TKind : std::uint8_t { tvNone, tvInteger, tvDouble, tvSubCode };
    TKind Kind = tvNone;
    std::int32_t Integer = 0;  // integer literal, or the operator sub-code
    double Double = 0;         // floating literal
};

class TJLex {
public:
    TJLex();

    // Line 1, position 1, no token, no source.
    void Reset();
    // Resets and lexes Text from its start.
    void SetSource(std::u16string text);
    // The same for bytes in the code page.
    void SetSourceText(std::string_view bytes);
    // Inserts Text just before the next unread character (import of a whole library).
    void InsertSource(std::u16string_view text);

    // Reads the next token; false at the end of the source. Throws EJSyntaxError for
    // a regular-expression literal with more than seven flag letters.
    bool Next();
    // The token the parser sees: 0 once the end has been read.
    int Current() const { return atEnd_ ? tkNone : token_; }

    int Token() const { return token_; }
    int PrevToken() const { return prevToken_; }
    // The parser marks the current token as the end of an operand where the token
    // alone cannot tell (the } of an object literal): a / after it divides.
    void EndOperand() { endsOperand_ = true; }
    const TJTokenValue& TokenValue() const { return value_; }
    const std::u16string& TokenText() const { return text_; }
    // The token text in the code page.
    std::string TokenString() const;

    int Line() const { return line_; }
    // 1-based index of the next code unit to read.
    std::size_t Position() const { return pos_ + 1; }
    std::size_t Size() const { return source_.size(); }
    bool AtEnd() const { return atEnd_; }
    const std::u16string& Source() const { return source_; }

    // Called with "code( text )" for every token produced, when set.
    std::function<void(const std::string&)> OnDebugout;

private:
    // One code unit; 0 and AtEnd past the end (the end reads as endless zeros).
    char16_t Read();
    // Undoes the last Read, line feed count included.
    void StepBack();
    char16_t Peek() const { return pos_ < source_.size() ? source_[pos_] : 0; }

    int ScanOperator();
    int ScanString();
    int ScanIdentifier();
    int ScanNumber();
    int ScanRegExp();
    void SkipLineComment();
    void SkipBlockComment();

    int Operator(int code, int subCode);
    // Token text = the source from Start to the current position.
    void TakeText(std::size_t start);
    void Debugout();

    TIntegerHashTable keywords_;
    int token_ = 0;
    int prevToken_ = 0;
    bool endsOperand_ = false;      // the current token ends an operand
    bool prevEndsOperand_ = false;  // the previous one did: a / divides
    std::u16string source_;
    int line_ = 1;
    std::size_t pos_ = 0;  // 0-based; past the end while reading the end
    bool atEnd_ = true;
    TJTokenValue value_;
    std::u16string text_;
    std::string scratch_;  // identifier and number texts narrowed to bytes
};

}  // namespace kestrel
