#include "script/core/ecma_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "tree_dump.h"
#include "util/CodePage.h"

using namespace kestrel;
using treedump::Dump;
using treedump::DumpList;

namespace {

// The statement list of a program, or <none> when nothing was parsed.
std::string Program(std::string_view source, bool lines = false) {
    TJParser parser;
    parser.SetSourceText(source);
    if (!parser.Parse()) return "<none>";
    return DumpList(parser.Root()->Sub1, lines);
}

bool Parses(std::string_view source) {
    TJParser parser;
    parser.SetSourceText(source);
    return parser.Parse();
}

// The expression of the first statement of "SOURCE;".
std::string Expr(std::string_view source) {
    TJParser parser;
    parser.SetSourceText(std::string(source) + ";");
    if (!parser.Parse()) return "<none>";
    return Dump(parser.Root()->Sub1->Expr);
}

struct Failure {
    std::string message;
    int line = 0;
};

// The syntax error a source gives.
Failure SyntaxErrorOf(std::string_view source) {
    TJParser parser;
    parser.SetSourceText(source);
    try {
        parser.Parse();
    } catch (const EJSyntaxError& e) {
        EXPECT_EQ(parser.ErrorLine(), e.Line());
        EXPECT_EQ(parser.Root(), nullptr);
        return {e.Message(), e.Line()};
    }
    ADD_FAILURE() << "no syntax error for: " << source;
    return {};
}

std::string Repeat(std::string_view piece, int count) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) out += piece;
    return out;
}

}  // namespace

TEST(ParserFolding, ConstantsFoldThroughTheValueOperators) {
    EXPECT_EQ(Expr("1 + 2 * 3"), "d:7");  // numeric addition gives a double
    EXPECT_EQ(Expr("1 < 2"), "b:true");
    EXPECT_EQ(Expr("-5"), "i:-5");
    EXPECT_EQ(Expr("~0"), "i:-1");
    EXPECT_EQ(Expr("\"a\" + 1"), "s:\"a1\"");
    EXPECT_EQ(Expr("-8 >>> 1"), "i:2147483644");
    EXPECT_EQ(Expr("7 % 0"), "NaN");
    EXPECT_EQ(Expr("1 / 0"), "inf");
    EXPECT_EQ(Expr("\"10\" < \"9\""), "b:false");
    EXPECT_EQ(Expr("1 === \"1\""), "b:false");
    EXPECT_EQ(Expr("true && 0"), "b:false");
    EXPECT_EQ(Expr("0 || \"x\""), "b:true");  // a boolean, never an operand
    EXPECT_EQ(Expr("(1 + 2) * 3 == 9"), "b:true");
}

TEST(ParserFolding, OnlyConstantOperandsFold) {
    EXPECT_EQ(Expr("x + 1 + 2"), "(2 (2 x i:1) i:2)");
    EXPECT_EQ(Expr("1 + 2 + x"), "(2 d:3 x)");
    EXPECT_EQ(Expr("!true"), "(40 b:true)");  // logical not is left to the evaluator
    EXPECT_EQ(Expr("typeof 1"), "(39 i:1)");
    EXPECT_EQ(Expr("1 ? 2 : 3"), "(60 i:1 i:2 i:3)");
    EXPECT_EQ(Expr("++1"), "(33 i:1)");
}

TEST(ParserFolding, FoldedOperandsAreFreed) {
    TJParser parser;
    parser.SetSourceText("1 + 2 * 3 - 4;");
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(parser.ExprFactory().Count(), 1u);
    EXPECT_EQ(parser.StatementFactory().Count(), 2u);  // program and statement
}

TEST(ParserFolding, ErrorsOfFoldingPropagateWithTheLexersLine) {
    TJParser parser;
    parser.SetSourceText("x = 1;\n\ny = -NaN;");
    try {
        parser.Parse();
        FAIL() << "no error";
    } catch (const EJThrow& e) {
        EXPECT_EQ(e.ErrorName(), "ETypeError");
        EXPECT_EQ(e.Message(), "vtNaN");
    }
    EXPECT_EQ(parser.ErrorLine(), 3);
    EXPECT_EQ(parser.Root(), nullptr);

    parser.SetSourceText("a = NaN < NaN;");
    EXPECT_THROW(parser.Parse(), EJThrow);
}

TEST(ParserExpressions, PrecedenceAndAssociativity) {
    EXPECT_EQ(Expr("a = b = c"), "(8 a (8 b c))");
    EXPECT_EQ(Expr("a - b - c"), "(3 (3 a b) c)");
    EXPECT_EQ(Expr("a / b * c % d"), "(6 (5 (4 a b) c) d)");
    EXPECT_EQ(Expr("a || b && c"), "(41 a (43 b c))");
    EXPECT_EQ(Expr("a | b ^ c & d == e < f << g + h * i"),
              "(58 a (57 b (56 c (52 d (48 e (45 f (2 g (5 h i))))))))");
    EXPECT_EQ(Expr("a != b === c !== d"), "(55 (54 (53 a b) c) d)");
    EXPECT_EQ(Expr("a > b <= c >= d"), "(51 (50 (49 a b) c) d)");
    EXPECT_EQ(Expr("a >> b >>> c"), "(47 (46 a b) c)");
    EXPECT_EQ(Expr("a ? b : c ? d : e"), "(60 a b (60 c d e))");
    EXPECT_EQ(Expr("a ? b, c : d"), "(60 a (1 b c) d)");
    EXPECT_EQ(Expr("a, b, c"), "(1 (1 a b) c)");
    EXPECT_EQ(Expr("x++ + ++y"), "(2 (35 x) (33 y))");
    EXPECT_EQ(Expr("x-- - --y"), "(3 (36 x) (34 y))");
    EXPECT_EQ(Expr("-x + !y + ~z + +w"), "(2 (2 (2 (23 x) (40 y)) (59 z)) (22 w))");
}

TEST(ParserExpressions, CompoundAssignmentsMapBySubCode) {
    EXPECT_EQ(Program("a *= 1; a /= 1; a += 1; a -= 1; a %= 1; a <<= 1; a >>= 1; a >>>= 1; a &= 1; a ^= 1; a |= 1;"),
              "[{3 (9 a i:1)} {3 (10 a i:1)} {3 (11 a i:1)} {3 (12 a i:1)} {3 (13 a i:1)} {3 (14 a i:1)} "
              "{3 (15 a i:1)} {3 (16 a i:1)} {3 (17 a i:1)} {3 (18 a i:1)} {3 (19 a i:1)}]");
}

TEST(ParserExpressions, TypeofVoidAndDeleteTakeAWholeExpressionList) {
    EXPECT_EQ(Expr("typeof x == \"undefined\""), "(39 (52 x s:\"undefined\"))");
    EXPECT_EQ(Expr("typeof a + b"), "(39 (2 a b))");
    EXPECT_EQ(Expr("typeof (x) == \"u\""), "(52 (39 x) s:\"u\")");
    EXPECT_EQ(Expr("void 0"), "(38 i:0)");
    EXPECT_EQ(Expr("void(a) + 1"), "(2 (38 a) i:1)");
    EXPECT_EQ(Expr("delete a.b"), "(37 (25 a b))");
    EXPECT_EQ(Expr("f(typeof a, b)"), "(31 f (32 _ (39 (1 a b))))");
}

TEST(ParserExpressions, CallsMembersAndLists) {
    EXPECT_EQ(Expr("f()"), "(31 f)");
    EXPECT_EQ(Expr("a(1]"), "(31 a (32 _ i:1))");
    EXPECT_EQ(Expr("a[1)"), "(31 a (32 _ i:1))");
    EXPECT_EQ(Expr("f(1, 2, 3)"), "(31 f (32 (32 (32 _ i:1) i:2) i:3))");
    EXPECT_EQ(Expr("a.b"), "(25 a b)");
    EXPECT_EQ(Expr("a.b(1)"), "(62 a b (32 _ i:1))");
    EXPECT_EQ(Expr("a.b[1]"), "(62 a b (32 _ i:1))");
    EXPECT_EQ(Expr("a.b()"), "(62 a b)");
    EXPECT_EQ(Expr("a.b.c[0][1]"), "(31 (62 (25 a b) c (32 _ i:0)) (32 _ i:1))");
    EXPECT_EQ(Expr("a.new.delete"), "(25 (25 a new) delete)");  // keywords are member names after .
    EXPECT_EQ(Expr("new F"), "(28 F)");
    EXPECT_EQ(Expr("new F()"), "(28 F)");
    EXPECT_EQ(Expr("new F(1, x).y"), "(25 (28 F (32 (32 _ i:1) x)) y)");
    EXPECT_EQ(Expr("this.x"), "(25 (24) x)");
    EXPECT_EQ(Expr("super.x"), "(27 _ x)");
    EXPECT_EQ(Expr("super"), "(24)");
    EXPECT_EQ(Expr("f(a)++"), "(35 (31 f (32 _ a)))");
}

TEST(ParserExpressions, Literals) {
    EXPECT_EQ(Expr("x = {a: 1, b}"), "(8 x (29 (32 (32 _ (26 a i:1)) (26 b))))");
    EXPECT_EQ(Expr("x = {\"s\": 1, 2: 3, 1.5: 4}"),
              "(8 x (29 (32 (32 (32 _ (26 s:\"s\" i:1)) (26 i:2 i:3)) (26 d:1.5 i:4))))");
    EXPECT_EQ(Expr("x = {}"), "(8 x (29))");
    EXPECT_EQ(Expr("x = [5]"), "(8 x (30 (32 _ i:5)))");
    EXPECT_EQ(Expr("x = []"), "(8 x (30))");
    EXPECT_EQ(Expr("x = [1, [2]]"), "(8 x (30 (32 (32 _ i:1) (30 (32 _ i:2)))))");
    EXPECT_EQ(Expr("x = /a\\/b/gi"), "(8 x re:/a/b/gi)");
    // A zero character inside the pattern is part of it, not the start of the flags.
    EXPECT_EQ(Expr(std::string("x = /a\0bcdefghij/m", 18)), std::string("(8 x re:/a\0bcdefghij/m)", 23));
    EXPECT_EQ(Expr("x = 'a\\nb' + \"a\\qb\""), "(8 x s:\"a\\nbab\")");
    EXPECT_EQ(Expr("x = [true, false, null, NaN, 1.2.3, 0x1F, 1e3]"),
              "(8 x (30 (32 (32 (32 (32 (32 (32 (32 _ b:true) b:false) null) NaN) NaN) i:31) d:1000)))");
    EXPECT_EQ(Expr("x = 4294967296"), "(8 x d:4294967296)");
    // The two reserved words are accepted as the undefined value and positive infinity.
    EXPECT_EQ(Expr("x = [undefined, infinity, -infinity]"),
              "(8 x (30 (32 (32 (32 _ undef) inf) -inf)))");

    EXPECT_EQ(SyntaxErrorOf("x = [1,];").message, "Text( ] )");
    EXPECT_EQ(SyntaxErrorOf("x = [,1];").message, "Text( , )");
    EXPECT_EQ(SyntaxErrorOf("x = {a: 1,};").message, "Text( } )");
    EXPECT_EQ(SyntaxErrorOf("x = {a: 1;").message, "Text( ; )");
}

TEST(ParserExpressions, FunctionExpressions) {
    EXPECT_EQ(Expr("f = function(a, b) { return a; }"),
              "(8 f (61 {10 _ [{11 a} {11 b}] [{2 _ [{16 a}]} {16 (0)}]}))");
    // A name makes the expression an assignment of the literal to that name.
    EXPECT_EQ(Expr("f = function g() {}"), "(8 f (8 g (61 {10 g [{11}] [{2} {16 (0)}]})))");
    EXPECT_EQ(SyntaxErrorOf("f = function(a,) {};").message, "Text( ) )");
    EXPECT_EQ(SyntaxErrorOf("f = function(a) return a;").message, "Text( return )");
}

TEST(ParserExpressions, OnlyReferencesTakeAnAssignment) {
    EXPECT_EQ(Expr("a + b = 1"), "(8 (2 a b) i:1)");  // refused later, by the evaluator
    EXPECT_EQ(Expr("f() = 1"), "(8 (31 f) i:1)");
    EXPECT_EQ(Expr("(a).b = 1"), "(8 (25 a b) i:1)");
    EXPECT_EQ(Expr("x = (a = 1)"), "(8 x (8 a i:1))");
    EXPECT_EQ(SyntaxErrorOf("(a) = 1;").message, "Text( = )");
    EXPECT_EQ(SyntaxErrorOf("1 = 2;").message, "Text( = )");
    EXPECT_EQ(SyntaxErrorOf("(a + b) += 2;").message, "Text( += )");
}

TEST(ParserStatements, EveryKindWithItsChildren) {
    EXPECT_EQ(Program("if (a) b; else c; if (a) {}"), "[{4 a [{3 b}] [{3 c}]} {4 a [{2}]}]");
    EXPECT_EQ(Program("while (a) b;"), "[{5 a [{3 b}]}]");
    // do, break and continue leave their ; to be read as an empty statement.
    EXPECT_EQ(Program("do a; while (b); x;"), "[{6 b [{3 a}]} {0} {3 x}]");
    EXPECT_EQ(Program("while (1) { break; continue; }"), "[{5 i:1 [{2 _ [{14} {0} {15} {0}]}]}]");
    EXPECT_EQ(Program("for (;;) x;"), "[{7 _ [{3 x}] [{0} {0}]}]");
    EXPECT_EQ(Program("for (i = 0; i < n; i++) x;"), "[{7 (8 i i:0) [{3 x}] [{0 (48 i n)} {0 (35 i)}]}]");
    EXPECT_EQ(Program("for (var i = 0, j; ; ) ;"), "[{7 (63 (1 (8 i i:0) j)) [{0}] [{0} {0}]}]");
    EXPECT_EQ(Program("for (k in o) x;"), "[{8 k [{3 x}] [{0 o}]}]");
    EXPECT_EQ(Program("for (var k in o.p) x;"), "[{8 (63 k) [{3 x}] [{0 (25 o p)}]}]");
    EXPECT_EQ(Program("for (k in f()) {}"), "[{8 k [{2}] [{0 (31 f)}]}]");
    EXPECT_EQ(Program("return; return 1, 2;"), "[{16} {16 (1 i:1 i:2)}]");
    EXPECT_EQ(Program("throw; throw x;"), "[{20} {20 x}]");
    EXPECT_EQ(Program("switch (x) { case 1: a; case 2: default: b; c; }"),
              "[{24 x [{23 i:1 [{3 a}]} {23 i:2} {23 _ [{3 b} {3 c}]}]}]");
    EXPECT_EQ(Program("var a = 1, b; static s; global g = 2;"),
              "[{22 _ [{13 (21 a i:1)} {13 b}]} {25 _ [{13 s}]} {26 _ [{13 (21 g i:2)}]}]");
    EXPECT_EQ(Program("try a; catch (e) b; finally c;"), "[{17 _ [{3 a}] [{18 e [{3 b}]}] [{19 _ [{3 c}]}]}]");
    EXPECT_EQ(Program("try {} catch {} try {} catch () {} try {} finally {}"),
              "[{17 _ [{2}] [{18 _ [{2}]}]} {17 _ [{2}] [{18 _ [{2}]}]} {17 _ [{2}] _ [{19 _ [{2}]}]}]");
    EXPECT_EQ(Program("with (o) x;"), "[{21 o [{3 x}]}]");
    EXPECT_EQ(Program(";"), "[{0}]");
    EXPECT_EQ(Program("function f(a, b) { return a; } function () {}"),
              "[{10 f [{11 a} {11 b}] [{2 _ [{16 a}]} {16 (0)}]} {10 _ [{11}] [{2} {16 (0)}]}]");
}

TEST(ParserStatements, Classes) {
    EXPECT_EQ(Program("class A extends B { var x = 1, y; z; static s; function A(a) { this.x = a; } }"),
              "[{12 (21 A B) [{22 _ [{13 (21 x i:1)} {13 y}]} {13 z} {25 _ [{13 s}]} "
              "{10 A [{11 a}] [{2 _ [{3 (8 (25 (24) x) a)}]} {16 (0)}]}]}]");
    EXPECT_EQ(Program("class A(B) {} class C {}"), "[{12 (21 A B)} {12 C}]");
    EXPECT_EQ(SyntaxErrorOf("class A;").message, "Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("class A { x = 1 }").message, "Text( } )");
    EXPECT_EQ(SyntaxErrorOf("class A { if (x) y; }").message, "Text( if )");
    // Class declarations are top-level items only.
    EXPECT_EQ(SyntaxErrorOf("{ class A {} }").message, "Text( class )");
}

TEST(ParserStatements, DeclarationsKnowTheirEnclosingDeclaration) {
    TJParser parser;
    parser.SetSourceText(
        "function f() { function g() {} x = function() {}; }\n"
        "class C { function m() {} }");
    ASSERT_TRUE(parser.Parse());
    const TJStatement* program = parser.Root();
    EXPECT_EQ(program->Sub3, nullptr);
    const TJStatement* f = program->Sub1;
    const TJStatement* c = f->Next;
    ASSERT_EQ(f->Kind, skFunction);
    ASSERT_EQ(c->Kind, skClass);
    EXPECT_EQ(f->Sub3, program);
    EXPECT_EQ(c->Sub3, program);
    const TJStatement* g = f->Sub2->Sub1;
    ASSERT_EQ(g->Kind, skFunction);
    EXPECT_EQ(g->Sub3, f);
    const TJExpr* literal = g->Next->Expr->Right;
    ASSERT_EQ(literal->Code, ecFunction);
    EXPECT_EQ(literal->Statement->Sub3, f);
    EXPECT_EQ(c->Sub1->Sub3, c);
}

TEST(ParserStatements, LinesAreTheLexersLineWhenEachNodeIsMade) {
    const char* source =
        "x = 1;\n"              // 1
        "if (x)\n"              // 2
        "  y = 2;\n"            // 3
        "else y = 3;\n"         // 4
        "var a = 1,\n"          // 5
        "  b;\n"                // 6
        "return a\n"            // 7
        ";\n"                   // 8
        "function f(p)\n"       // 9
        "{\n"                   // 10
        "  while (p) { break\n" // 11
        "  ; }\n"               // 12
        "}\n"                   // 13
        "z;\n"                  // 14
        "do z; while (z)\n"     // 15
        ";";                    // 16
    EXPECT_EQ(Program(source, true),
              "[{3@1 (8 x i:1)} {4@5 x [{3@3 (8 y i:2)}] [{3@4 (8 y i:3)}]} "
              "{22@7 _ [{13@5 (21 a i:1)} {13@6 b}]} {16@9 a} "
              "{10@9 f [{11@9 p}] [{2@14 _ [{5@13 p [{2@13 _ [{14@12} {0@12}]}]}]} {16@-1 (0)}]} {3@14 z} "
              "{6@16 z [{3@15 z}]} {0@16}]");
    TJParser parser;
    parser.SetSourceText(source);
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(parser.Root()->Line, 1);
}

TEST(ParserErrors, MessagesAndLines) {
    EXPECT_EQ(SyntaxErrorOf("x = 1 }").message, "Text( } )");
    EXPECT_EQ(SyntaxErrorOf("{ try {} }").message, "not found catch-statement: Text( } )");
    const Failure missingSemicolon = SyntaxErrorOf("x = 0;\nvar x = 1");
    EXPECT_EQ(missingSemicolon.message, "Text(  )");
    EXPECT_EQ(missingSemicolon.line, 2);
    const Failure late = SyntaxErrorOf("x = 1;\n\ny = ;");
    EXPECT_EQ(late.message, "Text( ; )");
    EXPECT_EQ(late.line, 3);
    EXPECT_EQ(SyntaxErrorOf("x = \"abc").message, "Text(  )");  // an unterminated string ends the stream
    EXPECT_EQ(SyntaxErrorOf("if x;").message, "Text( x )");
    EXPECT_EQ(SyntaxErrorOf("if (x) else y;").message, "Text( else )");
    EXPECT_EQ(SyntaxErrorOf("do x; while (y)").message, "Text(  )");
    EXPECT_EQ(SyntaxErrorOf("break").message, "Text(  )");
    EXPECT_EQ(SyntaxErrorOf("for (x in) ;").message, "Text( ) )");
    EXPECT_EQ(SyntaxErrorOf("for (in y) ;").message, "Text( in )");
    EXPECT_EQ(SyntaxErrorOf("var;").message, "Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("x = new 5;").message, "Text( 5 )");
    EXPECT_EQ(SyntaxErrorOf("x = a.;").message, "Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("x = y = ;").message, "Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("x = a ? b ;").message, "Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("switch (x) { default: default: }").message, "Text( default )");
    EXPECT_EQ(SyntaxErrorOf("switch (x) { case : }").message, "need constant expression.: Text( : )");
    EXPECT_EQ(SyntaxErrorOf("switch (x) {}").message, "Text( } )");
    EXPECT_EQ(SyntaxErrorOf("x = /a/gggggggg;").message.substr(0, 33), "too many regular expression flags");
}

TEST(ParserErrors, WhatEndsAProgramSilently) {
    // The first token that cannot begin an item ends the program; the rest is ignored.
    EXPECT_EQ(Program("x = 1; ) y = ;;; ((("), "[{3 (8 x i:1)}]");
    EXPECT_EQ(Program("x; } y;"), "[{3 x}]");
    // No statement at all: nothing is parsed and nothing is reported.
    EXPECT_EQ(Program(""), "<none>");
    EXPECT_EQ(Program("// a comment\n/* and another */  \n"), "<none>");
    EXPECT_EQ(Program(") x = 1;"), "<none>");
}

TEST(ParserErrors, AFailedParseLeavesNoTree) {
    TJParser parser;
    parser.SetSourceText("import nothing_here; x = 1;");
    EXPECT_THROW(parser.Parse(), EJSyntaxError);
    EXPECT_EQ(parser.Root(), nullptr);
    EXPECT_EQ(parser.ExprFactory().Count(), 0u);
    EXPECT_EQ(parser.StatementFactory().Count(), 0u);
    parser.SetSourceText("x = 1;");
    EXPECT_TRUE(parser.Parse());
}

TEST(ParserPragmas, SwitchesChangeTheConstructsParsedAfterThem) {
    EXPECT_EQ(Program("f() || g(); a && b;"), "[{3 (41 (31 f) (31 g))} {3 (43 a b)}]");
    EXPECT_EQ(Program("@set @SHORT_CIRCUIT = 0; f() || g(); a && b;"),
              "[{0} {0} {3 (42 (31 f) (31 g))} {3 (44 a b)}]");
    EXPECT_EQ(Program("@set @SHORT_CIRCUIT = false a && b; @set @SHORT_CIRCUIT = 1 a && b;"),
              "[{0} {3 (44 a b)} {0} {3 (43 a b)}]");
    EXPECT_EQ(Program("for (k in o); @set @VERSION7 = 1 for (k in o); @set @VERSION7 = 0 for (k in o);"),
              "[{8 k [{0}] [{0 o}]} {0} {9 k [{0}] [{0 o}]} {0} {8 k [{0}] [{0 o}]}]");

    TJParser parser;
    parser.SetSourceText("@set @SHORT_CIRCUIT = -3 @set @Other = true");
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(parser.Pragma("SHORT_CIRCUIT"), -3);
    EXPECT_EQ(parser.Pragma("Other"), 1);
    EXPECT_EQ(parser.Pragma("other", 42), 42);  // names are case-sensitive
    // Every parse starts with no switches.
    parser.SetSourceText("a && b;");
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(parser.Pragma("SHORT_CIRCUIT", 42), 42);
    EXPECT_EQ(Dump(parser.Root()->Sub1->Expr), "(43 a b)");
}

TEST(ParserPragmas, TheValueMustBeAnIntegerOrBooleanConstant) {
    EXPECT_EQ(SyntaxErrorOf("@set @X = 1 + 1;").message, "need constant expression.: Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("@set @X = y;").message, "need constant expression.: Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("@set @X = \"1\";").message, "need constant expression.: Text( ; )");
    EXPECT_EQ(SyntaxErrorOf("@foo @X = 1;").message, "Text( foo )");
    EXPECT_EQ(SyntaxErrorOf("@set X = 1;").message, "Text( X )");
    EXPECT_EQ(SyntaxErrorOf("@set @X 1;").message, "Text( 1 )");
}

TEST(ParserFunctionText, WrapsTheTextAsAFunctionReturningIt) {
    TJParser parser;
    parser.SetSourceText("function f() {}");
    ASSERT_TRUE(parser.Parse());
    const TJStatement* root = parser.Root();

    const TJExpr* e = parser.ParseFunctionText("a + 1");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(Dump(e), "(61 {10 _ [{11}] [{2 _ [{16 (2 a i:1)}]} {16 (0)}]})");
    EXPECT_EQ(e->Statement->Sub3, nullptr);  // no enclosing declaration
    // The tree stays.
    EXPECT_EQ(parser.Root(), root);
    EXPECT_EQ(root->Sub1->Kind, skFunction);

    // Statements may follow the first expression.
    EXPECT_EQ(Dump(parser.ParseFunctionText("1; b = 2")),
              "(61 {10 _ [{11}] [{2 _ [{16 i:1} {3 (8 b i:2)}]} {16 (0)}]})");

    try {
        parser.ParseFunctionText("a +");
        FAIL() << "no error";
    } catch (const EJSyntaxError& e) {
        EXPECT_EQ(e.Message(), "Text( ; )");
        EXPECT_EQ(e.Line(), 1);
    }
    const TJExpr* after = parser.ParseFunctionText("2");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->Statement->Sub3, nullptr);
    EXPECT_EQ(parser.Root(), root);
}

TEST(ParserReset, TheOwnerHearsOfTheResetWhileTheOldTreeIsWhole) {
    TJParser parser;
    int resets = 0;
    std::string seen;
    parser.OnReset = [&] {
        ++resets;
        if (parser.Root()) seen = Dump(parser.Root()->Sub1);
    };
    parser.SetSourceText("function f() { return 1; }");
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(resets, 1);
    const std::size_t firstCount = parser.StatementFactory().Count();

    parser.SetSourceText("x;");
    ASSERT_TRUE(parser.Parse());
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(seen, "{10 f [{11}] [{2 _ [{16 i:1}]} {16 (0)}]}");
    EXPECT_EQ(parser.StatementFactory().Count(), 2u);
    EXPECT_LT(parser.StatementFactory().Count(), firstCount);
}

TEST(ParserCodePage, StringsKeepTheirBytes) {
    EXPECT_EQ(Expr("s = \"日本語\""), "(8 s s:\"日本語\")");
    EXPECT_EQ(Expr("s = \"a\xff\xfe\""), "(8 s s:\"a\xff\xfe\")");
    // Characters outside ASCII and outside strings are skipped like blanks.
    EXPECT_EQ(Expr("x日本 = 1"), "(8 x i:1)");
    tinctor::CodePage::Select(tinctor::CodePage::ShiftJis);
    // The trail byte 0x5C of this character is no backslash escape.
    const std::string so = "\x83\x5c";
    EXPECT_EQ(Expr("s = \"" + so + "\""), "(8 s s:\"" + so + "\")");
    tinctor::CodePage::Select(tinctor::CodePage::Utf8);
}

TEST(ParserLimits, DeepNestingIsASyntaxErrorNotACrash) {
    const int deep = 100000;
    const char* nested[] = {"(", "[", "f(", "{a:", "!", "- ", "++", "typeof ", "a ? b : "};
    for (const char* opener : nested) {
        const std::string source = "x = " + Repeat(opener, deep) + "1;";
        const Failure failure = SyntaxErrorOf(source);
        EXPECT_EQ(failure.message.substr(0, 16), "nesting too deep") << opener;
    }
    EXPECT_EQ(SyntaxErrorOf(Repeat("{", deep)).message.substr(0, 16), "nesting too deep");
    EXPECT_EQ(SyntaxErrorOf(Repeat("if (x) ", deep) + ";").message.substr(0, 16), "nesting too deep");
    EXPECT_EQ(SyntaxErrorOf(Repeat("function f() {", deep)).message.substr(0, 16), "nesting too deep");
    EXPECT_EQ(SyntaxErrorOf("x = " + Repeat("a = ", deep) + "1;").message.substr(0, 16), "nesting too deep");
    // Long chains build deep trees without nesting; the tree height is limited too.
    EXPECT_EQ(SyntaxErrorOf("x = " + Repeat("a + ", 5000) + "a;").message.substr(0, 16), "nesting too deep");
    EXPECT_EQ(SyntaxErrorOf("x = a" + Repeat(".b", 5000) + ";").message.substr(0, 16), "nesting too deep");
}

TEST(ParserLimits, OrdinaryLargeScriptsStayWithinTheLimits) {
    EXPECT_TRUE(Parses("x = " + Repeat("(", 150) + "1" + Repeat(")", 150) + ";"));
    EXPECT_TRUE(Parses("x = " + Repeat("a + ", 900) + "a;"));
    EXPECT_TRUE(Parses("x = " + Repeat("1 + ", 100000) + "1;"));  // folds to one constant
    EXPECT_TRUE(Parses("x = [" + Repeat("1, ", 100000) + "1];"));
    EXPECT_TRUE(Parses("f(" + Repeat("a, ", 100000) + "a);"));
    EXPECT_TRUE(Parses("if (x) y; " + Repeat("else if (x) y; ", 400)));
    EXPECT_TRUE(Parses(Repeat("{", 300) + Repeat("}", 300)));
    EXPECT_TRUE(Parses(Repeat("x = 1;\n", 100000)));
}

TEST(ParserLimits, EveryTruncationOfAScriptParsesOrFailsCleanly) {
    const std::string script =
        "// caption\n"
        "@set @SHORT_CIRCUIT = 0\n"
        "class Point extends Base { var x = 0, y = 0; function Point(a, b) { this.x = a; this.y = b; } }\n"
        "function sum(list) { var total = 0; for (var i = 0; i < list.length; i++) total += list[i]; "
        "return total; }\n"
        "var p = new Point(1, 2), o = {a: 1, \"b\": [1, 2, 3], c: function(x) { return x * 2; }};\n"
        "switch (p.x) { case 1: s = 'one'; break; default: s = \"other\\n\"; }\n"
        "try { with (o) { a = b[0] ? -c(1) : ~2; } } catch (e) { throw e; } finally { o = null; }\n"
        "do { p.x--; continue; } while (p.x > 0 && /re\\/x/gi.test(s));\n"
        "for (k in o) if (typeof o[k] == \"function\") delete o[k]; else o.k <<= 1;\n"
        "x = 1.5e3 + 0x1F - NaN.x;\n";
    for (std::size_t n = 0; n <= script.size(); ++n) {
        TJParser parser;
        parser.SetSourceText(std::string_view(script).substr(0, n));
        try {
            const bool parsed = parser.Parse();
            EXPECT_EQ(parsed, parser.Root() != nullptr);
        } catch (const EJSyntaxError& e) {
            EXPECT_GE(e.Line(), 1);
            EXPECT_EQ(parser.Root(), nullptr);
        } catch (const EJThrow&) {
            EXPECT_EQ(parser.Root(), nullptr);
        }
    }
}
