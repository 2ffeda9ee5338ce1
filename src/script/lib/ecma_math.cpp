// TJMathObject. Linux mathematics does not trap, so the domain of every function is
// checked here and a failure raised as EMathError; a result too large for a double
// becomes an infinity value, which has a text, never a double holding inf.
#include "script/lib/ecma_math.h"

#include <cmath>
#include <ctime>
#include <numbers>

namespace kestrel {

namespace {

std::uint32_t gSeed = 0;

// Integral exponents up to this size are multiplied out one by one, as the dialect
// always did, so ordinary results keep their last bits; beyond it by squaring.
constexpr double kRepeatedMultiplicationLimit = 65536;
// ceil, floor and round fail beyond the 64-bit integer range.
constexpr double kInt64Limit = 9223372036854775808.0;  // 2^63

std::uint32_t MonotonicClock() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const auto nanos = static_cast<std::uint64_t>(now.tv_sec) * 1000000000u + static_cast<std::uint64_t>(now.tv_nsec);
    return static_cast<std::uint32_t>(nanos);
}

[[noreturn]] void Fail(const char* what) { throw EMathError(what); }

void DoubleResult(TJValue& result, double d) {
    if (std::isinf(d)) result.BuildInfinity(d < 0);
    else if (std::isnan(d)) Fail(kInvalidOperation);
    else result.BuildDouble(d);
}

// Needs N arguments: the result stays undefined with fewer.
bool Need(const TJValueList* args, int n) { return args && args->Count() >= n; }

double X(const TJValueList* args, int i = 0) { return (*args)[i].AsDouble(); }

// The low 32 bits of the integer I, a double that fits 64 bits.
std::int32_t Low32(double i) {
    if (!(i < kInt64Limit && i >= -kInt64Limit)) Fail(kInvalidOperation);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(i))));
}

double IntegralPower(double x, double y) {
    const double n = std::fabs(y);
    double product = 1;
    if (n <= kRepeatedMultiplicationLimit) {
        for (double i = 0; i < n; ++i) product *= x;
    } else {
        double base = x;
        for (double e = n; e >= 1 && product != 0 && !std::isinf(product); e = std::floor(e / 2)) {
            if (std::fmod(e, 2) == 1) product *= base;
            base *= base;
        }
    }
    return y < 0 ? 1 / product : product;
}

double Power(double x, double y) {
    if (y == 0) return 1;
    if (x == 0) {
        if (y > 0) return 0;
        Fail(kDivisionByZero);
    }
    if (std::trunc(y) == y) return IntegralPower(x, y);
    if (x < 0) Fail(kInvalidOperation);
    return std::exp(y * std::log(x));
}

using TUnary = double (*)(double);

template <TUnary F, bool (*Valid)(double) = nullptr>
void Unary(TJObject&, const TJValueList* args, TJValue& result) {
    if (!Need(args, 1)) return;
    const double x = X(args);
    if constexpr (Valid != nullptr) {
        if (!Valid(x)) Fail(kInvalidOperation);
    }
    DoubleResult(result, F(x));
}

bool NotNegative(double x) { return x >= 0; }
bool WithinOne(double x) { return x >= -1 && x <= 1; }

double Exp(double x) { return std::exp(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }
double Atan(double x) { return std::atan(x); }

void Log(TJObject&, const TJValueList* args, TJValue& result) {
    if (!Need(args, 1)) return;
    const double x = X(args);
    if (x < 0) Fail(kInvalidOperation);
    if (x == 0) Fail(kDivisionByZero);
    DoubleResult(result, std::log(x));
}

void Abs(TJObject&, const TJValueList* args, TJValue& result) {
    if (!Need(args, 1)) return;
    const TJValue& x = (*args)[0];
    if (x.IsDouble()) {
        result.BuildDouble(std::fabs(x.vDouble()));
        return;
    }
    const std::int32_t i = x.AsInteger();
    // The one integer whose magnitude has no integer.
    if (i == INT32_MIN) result.BuildDouble(2147483648.0);
    else result.BuildInteger(i < 0 ? -i : i);
}

template <TUnary F>
void ToInteger(TJObject&, const TJValueList* args, TJValue& result) {
    if (!Need(args, 1)) return;
    result.BuildInteger(Low32(F(X(args))));
}

double Ceil(double x) { return std::ceil(x); }
double Floor(double x) { return std::floor(x); }
// Ties to the even neighbour, whatever the rounding mode.
double RoundHalfEven(double x) {
    const double f = std::floor(x);
    const double rest = x - f;
    return rest > 0.5 || (rest == 0.5 && std::fmod(f, 2) != 0) ? f + 1 : f;
}

void Atan2(TJObject&, const TJValueList* args, TJValue& result) {
    if (Need(args, 2)) DoubleResult(result, std::atan2(X(args, 0), X(args, 1)));
}

void Pow(TJObject&, const TJValueList* args, TJValue& result) {
    if (Need(args, 2)) DoubleResult(result, Power(X(args, 0), X(args, 1)));
}

void Max(TJObject&, const TJValueList* args, TJValue& result) {
    if (Need(args, 2)) result.BuildDouble(std::max(X(args, 0), X(args, 1)));
}

void Min(TJObject&, const TJValueList* args, TJValue& result) {
    if (Need(args, 2)) result.BuildDouble(std::min(X(args, 0), X(args, 1)));
}

void Random(TJObject&, const TJValueList* args, TJValue& result) {
    if (args && args->Count() > 0) result.BuildInteger(TJRandom::NextBelow((*args)[0].AsInteger()));
    else result.BuildDouble(TJRandom::NextDouble());
}

double Constant(TJObject&, int index) {
    static constexpr double kValues[] = {std::numbers::e,       std::numbers::ln2,    std::numbers::ln10,
                                         std::numbers::log2e,   std::numbers::log10e, std::numbers::pi,
                                         std::numbers::sqrt2 / 2, std::numbers::sqrt2};
    return kValues[index];
}

}  // namespace

std::uint32_t (*TJRandom::Clock)() = &MonotonicClock;

std::uint32_t TJRandom::Next() noexcept {
    gSeed = gSeed * 134775813u + 1u;
    return gSeed;
}

double TJRandom::NextDouble() noexcept { return Next() * (1.0 / 4294967296.0); }

std::int32_t TJRandom::NextBelow(std::int32_t n) noexcept {
    const std::uint64_t seed = Next();
    if (n <= 0) return 0;
    return static_cast<std::int32_t>((seed * static_cast<std::uint64_t>(n)) >> 32);
}

void TJRandom::SetSeed(std::uint32_t seed) noexcept { gSeed = seed; }

void TJRandom::Reseed() noexcept { gSeed = Clock(); }

TJMathObject::TJMathObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Math");
    TJRandom::Reseed();
}

const TJPropertyTable* TJMathObject::PublishedProperties() const {
    static const TJPropertyTable table{
        FloatProperty("E", &Constant, nullptr, 0),      FloatProperty("LN2", &Constant, nullptr, 1),
        FloatProperty("LN10", &Constant, nullptr, 2),   FloatProperty("LOG2E", &Constant, nullptr, 3),
        FloatProperty("LOG10E", &Constant, nullptr, 4), FloatProperty("PI", &Constant, nullptr, 5),
        FloatProperty("SQRT1_2", &Constant, nullptr, 6), FloatProperty("SQRT2", &Constant, nullptr, 7),
    };
    return &table;
}

const TJMethodTable* TJMathObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table(
        {
            M::Method("abs", &Abs),
            M::Method("ceil", &ToInteger<&Ceil>),
            M::Method("floor", &ToInteger<&Floor>),
            M::Method("round", &ToInteger<&RoundHalfEven>),
            M::Method("exp", &Unary<&Exp>),
            M::Method("log", &Log),
            M::Method("sqrt", &Unary<&Sqrt, &NotNegative>),
            M::Method("sin", &Unary<&Sin>),
            M::Method("cos", &Unary<&Cos>),
            M::Method("tan", &Unary<&Tan>),
            M::Method("asin", &Unary<&Asin, &WithinOne>),
            M::Method("acos", &Unary<&Acos, &WithinOne>),
            M::Method("atan", &Unary<&Atan>),
            M::Method("atan2", &Atan2),
            M::Method("pow", &Pow),
            M::Method("max", &Max),
            M::Method("min", &Min),
            M::Method("random", &Random),
        },
        &BaseMethods());
    return &table;
}

}  // namespace kestrel
