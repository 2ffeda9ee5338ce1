// libFuzzer target: the whole engine with its standard library on scripts that parse.
// The input bytes steer a generator of syntactically valid scripts (declarations,
// assignments and compound assignments, increments, operators on numbers, strings,
// arrays and objects, member and index access, library calls, closures, loops,
// for-in, switch, try, delete, eval), so the runs reach the evaluator instead of
// stopping in the parser. A run may end in a script error; it must never crash,
// hang, leak memory, let a C++ exception other than a Math domain error escape, or
// show undefined behaviour.
//
// Loops are bounded by the generator and every run by a step budget.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/lib/ecma_math.h"
#include "script/lib/ecma_object.h"
#include "util/CodePage.h"

namespace {

constexpr int kMaxDepth = 4;
constexpr int kMaxStatements = 40;
constexpr int kStepBudget = 20000;
constexpr int kVariables = 5;
constexpr int kFunctions = 3;

const char* const kBinary[] = {"+", "-", "*", "/", "%", "<<", ">>", ">>>", "&", "|", "^", "==", "!=", "===",
                               "!==", "<", ">", "<=", ">=", "&&", "||"};
const char* const kAssign[] = {"=", "+=", "-=", "*=", "/=", "%=", "<<=", ">>=", ">>>=", "&=", "|=", "^="};
const char* const kUnary[] = {"-", "+", "!", "~", "typeof "};
const char* const kMembers[] = {"a", "b", "length", "x", "toString", "valueOf", "number", "int", "bool"};
const char* const kLiterals[] = {"0",      "1",       "-1",   "2.5",       "1e300", "2147483647", "-2147483648",
                                 "0x1F",   "\"\"",    "\"a\"", "\"12\"",   "\"2.5\"", "\"%41+b\"", "true",
                                 "false",  "null",    "undefined", "NaN", "\"あ\"", "4294967297", "1e-7"};
// Library calls with the number of arguments they are given (sleep, dialogs, input
// and the event loop are left out: they wait).
struct TCall {
    const char* Name;
    int Arguments;
};
const TCall kCalls[] = {
    {"escape", 1},           {"unescape", 1},      {"encodeURI", 1},   {"decodeURIComponent", 1},
    {"parseInt", 1},         {"parseFloat", 1},    {"isNaN", 1},       {"isFinite", 1},
    {"format", 2},           {"format", 3},        {"formatFloat", 2}, {"print", 1},
    {"println", 2},          {"printf", 2},        {"isNull", 1},      {"isUndefined", 0},
    {"Math.floor", 1},       {"Math.round", 1},    {"Math.abs", 1},    {"Math.random", 1},
    {"Math.pow", 2},         {"Math.max", 2},      {"Math.atan2", 2},  {"Math.sin", 1},
    {"scriptEngineVersion", 0},
};
const char* const kFormats[] = {"\"%d\"", "\"%s|%5.1f\"", "\"%x %u\"", "\"%-8s\"", "\"%*d\"", "\"%1:s %0:s\"",
                                "\"#,##0.00\"", "\"0.0;(0.0)\"", "\"%e %g %n %m\"", "\"%.3s\""};
const char* const kMethods[] = {".toString(16)", ".toString(2)", ".toFixed(2)", ".toExponential(3)",
                                ".toPrecision(1)", ".toChar()", ".valueOf()", ".getKeys()", ".hasKey(\"a\")",
                                ".removeKey(\"a\")", ".push(1)", ".pop()", ".join(\",\")", ".concat([1])",
                                ".reverse()", ".slice(1)", ".shift()", ".sort()"};

class TGenerator {
public:
    explicit TGenerator(FuzzedDataProvider& data) : data_(data) {}

    std::string Script() {
        std::string s;
        for (int i = 0; i < kVariables; ++i) s += "var v" + std::to_string(i) + " = " + Literal() + ";\n";
        const int count = data_.ConsumeIntegralInRange(1, kMaxStatements);
        for (int i = 0; i < count && data_.remaining_bytes() > 0; ++i) Statement(s, 0);
        return s;
    }

private:
    template <class T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[data_.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
    }
    std::string Variable() { return "v" + std::to_string(data_.ConsumeIntegralInRange(0, kVariables - 1)); }
    std::string Literal() { return Pick(kLiterals); }

    std::string Expression(int depth) {
        if (depth >= kMaxDepth) return data_.ConsumeBool() ? Variable() : Literal();
        switch (data_.ConsumeIntegralInRange(0, 17)) {
        case 0: return Literal();
        case 1: case 2: return Variable();
        case 3: return "(" + Expression(depth + 1) + " " + Pick(kBinary) + " " + Expression(depth + 1) + ")";
        case 4: return std::string("(") + Pick(kUnary) + Expression(depth + 1) + ")";
        case 5: return "[" + Expression(depth + 1) + ", " + Expression(depth + 1) + "]";
        // In parentheses: the lexer reads "/" after a closing brace as a regular expression.
        case 6: return "({a: " + Expression(depth + 1) + ", b: " + Expression(depth + 1) + "})";
        case 7: return Variable() + "." + Pick(kMembers);
        case 8: return Variable() + "[" + Expression(depth + 1) + "]";
        case 9: {
            const TCall& call = Pick(kCalls);
            std::string s = std::string(call.Name) + "(";
            for (int i = 0; i < call.Arguments; ++i) {
                if (i) s += ", ";
                s += i == 0 && (std::string_view(call.Name).starts_with("format") || std::string_view(call.Name) == "printf")
                         ? Pick(kFormats)
                         : Expression(depth + 1);
            }
            return s + ")";
        }
        case 10: return "(" + Expression(depth + 1) + ")" + Pick(kMethods);
        // In parentheses: the lexer reads "/" after a postfix "--" as a regular expression.
        case 11: return "(" + Variable() + (data_.ConsumeBool() ? "++" : "--") + ")";
        case 12: return "(" + std::string(data_.ConsumeBool() ? "++" : "--") + Variable() + ")";
        case 13: return "f" + std::to_string(data_.ConsumeIntegralInRange(0, kFunctions - 1)) + "(" +
                        Expression(depth + 1) + ", " + Expression(depth + 1) + ")";
        case 14: return "(function(x) { return x " + std::string(Pick(kBinary)) + " " + Variable() + "; })(" +
                        Expression(depth + 1) + ")";
        case 15: {
            static const char* const kNew[] = {"Object()", "Array(3)", "Number(", "Boolean(", "Array("};
            std::string s = std::string("new ") + Pick(kNew);
            return s.back() == '(' ? s + Expression(depth + 1) + ")" : s;
        }
        case 16: return "eval(\"" + std::string(data_.ConsumeBool() ? "v0 + 1" : "f0(1, 2)") + "\")";
        default: return "(" + Expression(depth + 1) + " ? " + Expression(depth + 1) + " : " + Expression(depth + 1) + ")";
        }
    }

    void Block(std::string& s, int depth) {
        s += "{\n";
        const int count = data_.ConsumeIntegralInRange(1, 4);
        for (int i = 0; i < count; ++i) Statement(s, depth + 1);
        s += "}\n";
    }

    void Statement(std::string& s, int depth) {
        const int kinds = depth >= kMaxDepth ? 3 : 13;
        switch (data_.ConsumeIntegralInRange(0, kinds - 1)) {
        case 0: s += Variable() + " " + Pick(kAssign) + " " + Expression(depth) + ";\n"; return;
        case 1: s += "(" + Expression(depth) + ");\n"; return;  // never read as a block
        case 2: s += Variable() + "." + Pick(kMembers) + " = " + Expression(depth) + ";\n"; return;
        case 3:
            s += "if (" + Expression(depth) + ") ";
            Block(s, depth);
            if (data_.ConsumeBool()) {
                s += "else ";
                Block(s, depth);
            }
            return;
        case 4: {
            const std::string i = "i" + std::to_string(depth);
            s += "for (var " + i + " = 0; " + i + " < " + std::to_string(data_.ConsumeIntegralInRange(0, 20)) + "; " +
                 i + "++) ";
            Block(s, depth);
            return;
        }
        case 5: s += "for (var k" + std::to_string(depth) + " in " + Variable() + ") "; Block(s, depth); return;
        case 6:
            s += "try ";
            Block(s, depth);
            s += "catch (e) ";
            Block(s, depth);
            return;
        case 7: {
            const std::string f = "f" + std::to_string(data_.ConsumeIntegralInRange(0, kFunctions - 1));
            // A closure over the parameters and a local, returned or called.
            s += "function " + f + "(p, q) { var c = " + Expression(depth + 1) + "; var g = function(x) { c " +
                 Pick(kAssign) + " x; return c " + Pick(kBinary) + " p; }; ";
            s += data_.ConsumeBool() ? "return g(q); }\n" : "return g; }\n";
            return;
        }
        case 8: s += "delete " + Variable() + "." + Pick(kMembers) + ";\n"; return;
        case 9:
            s += "switch (" + Expression(depth) + ") { case " + Literal() + ": " + Variable() + " = " +
                 Expression(depth + 1) + "; break; case " + Literal() + ": " + Variable() + "++; default: (" +
                 Expression(depth + 1) + "); }\n";
            return;
        case 10: s += "var " + Variable() + " = " + Expression(depth) + ";\n"; return;
        case 11: s += Variable() + "[" + Expression(depth) + "] = " + Expression(depth) + ";\n"; return;
        default: s += "while (" + Variable() + " && " + Variable() + "--) "; Block(s, depth); return;
        }
    }

    FuzzedDataProvider& data_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    tinctor::CodePage::Select(provider.ConsumeBool() ? tinctor::CodePage::ShiftJis : tinctor::CodePage::Utf8);
    const std::string script = TGenerator(provider).Script();
    if (std::getenv("SCRIPT_FUZZ_PRINT")) std::fprintf(stderr, "%s\n----\n", script.c_str());
    kestrel::TJEngine engine;
    int steps = 0;
    engine.OnStep = [&steps](bool& abort) { abort = ++steps > kStepBudget; };
    std::string report;
    engine.OnError = [&report](int, std::string_view text) {
        if (report.empty()) report = text;
    };
    if (!engine.CompileText(script)) {
        // The generator writes only scripts that parse; folding constants may still fail.
        if (report.rfind("SyntaxError", 0) == 0) std::abort();
        return 0;
    }
    try {
        engine.Run();
    } catch (const kestrel::EMathError&) {
        // a Math domain error ends the run on purpose, as a host error
    }
    return 0;
}
