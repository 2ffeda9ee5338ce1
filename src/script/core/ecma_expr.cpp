#include "script/core/ecma_expr.h"

#include <algorithm>
#include <limits>

namespace kestrel {

namespace {

bool IsFoldableUnary(TJExprCode code) noexcept {
    return code == ecUnaryPlus || code == ecUnaryMinus || code == ecBitNot;
}

// Codes folded with ApplyCompareOperator (a boolean result).
bool IsComparison(TJExprCode code) noexcept {
    return (code >= ecOrElse && code <= ecAnd) || (code >= ecLess && code <= ecStrictNotEqual);
}

bool IsConstant(const TJExpr* e) noexcept { return e && e->Code == ecConstant; }

std::uint16_t DepthOf(const TJExpr* e) noexcept { return e ? e->Depth : 0; }

}  // namespace

bool IsFoldableBinary(TJExprCode code) noexcept {
    return (code >= ecAdd && code <= ecIntDivide) || (code >= ecOrElse && code <= ecBitOr);
}

void TJExprFactory::UpdateDepth(TJExpr& node) noexcept {
    unsigned depth;
    if (node.Code == ecListLink) {
        // The chain itself is walked in a loop: only the elements add height.
        depth = std::max<unsigned>(DepthOf(node.Left), DepthOf(node.Right) + 1u);
    } else {
        depth = 1u + std::max({DepthOf(node.Left), DepthOf(node.Right), DepthOf(node.Third)});
    }
    node.Depth = static_cast<std::uint16_t>(std::min<unsigned>(depth, std::numeric_limits<std::uint16_t>::max()));
}

TJExpr* TJExprFactory::Make(TJExprCode code, TJExpr* left, TJExpr* right, TJExpr* third) {
    if (IsConstant(left) && !third) {
        if (!right && IsFoldableUnary(code)) {
            left->Value = ApplyUnaryOperator(code, left->Value);
            return left;
        }
        if (IsConstant(right) && IsFoldableBinary(code)) return Fold(code, left, right);
    }
    TJExpr* node = pool_.New();
    node->Code = code;
    node->Left = left;
    node->Right = right;
    node->Third = third;
    UpdateDepth(*node);
    return node;
}

TJExpr* TJExprFactory::Fold(TJExprCode code, TJExpr* left, TJExpr* right) {
    // Constants have no side effects, so the evaluator's right-first order changes nothing.
    TJValue result = IsComparison(code) ? ApplyCompareOperator(code, left->Value, right->Value)
                                        : ApplyOperator(code, left->Value, right->Value);
    left->Value = std::move(result);
    pool_.Free(right);
    return left;
}

TJExpr* TJExprFactory::MakeConstant(TJValue value) {
    TJExpr* node = pool_.New();
    node->Code = ecConstant;
    node->Value = std::move(value);
    return node;
}

TJExpr* TJExprFactory::MakeIdentifier(TJString name) {
    TJExpr* node = pool_.New();
    node->Code = ecIdentifier;
    node->Symbol = std::move(name);
    return node;
}

TJExpr* TJExprFactory::MakeFunction(TJStatement* declaration) {
    TJExpr* node = pool_.New();
    node->Code = ecFunction;
    node->Statement = declaration;
    return node;
}

}  // namespace kestrel
