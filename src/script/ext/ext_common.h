// What every extension object shares: argument access, the error names of the
// extension library and the one size limit of anything a single call builds.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/core/ecma_engine.h"

namespace kestrel::ext {

namespace errors {
inline constexpr std::string_view FileError = "EFileError";
inline constexpr std::string_view DirectoryError = "EDirectoryError";
inline constexpr std::string_view StringsError = "EStringsError";
inline constexpr std::string_view Win32Error = "EWin32Error";
inline constexpr std::string_view IniError = "EIniError";
inline constexpr std::string_view CRCError = "ECRCError";
inline constexpr std::string_view Base64Error = "EBase64Error";
}  // namespace errors

inline const TJValue* Arg(const TJValueList* args, int index) { return args ? args->Get(index) : nullptr; }
inline int ArgCount(const TJValueList* args) { return args ? args->Count() : 0; }
// The argument as text, "" when it is missing.
inline std::string TextArg(const TJValueList* args, int index) {
    const TJValue* arg = Arg(args, index);
    return arg ? arg->AsString().str() : std::string();
}

// Raises ErrorName with Message + Name.
[[noreturn]] inline void Fail(std::string_view errorName, std::string_view message, std::string_view name = {}) {
    std::string text(message);
    text += name;
    ThrowError(errorName, text);
}

// Whether a text of Size bytes may be built at all (the engine's string limit).
inline bool FitsStringLimit(std::uint64_t size) { return size <= TJString::kMaxLength; }

// A size or position for scripts: an integer while it fits, else a double.
inline TJValue SizeValue(std::int64_t size) {
    return size >= INT32_MIN && size <= INT32_MAX ? IntegerValue(static_cast<std::int32_t>(size))
                                                  : DoubleValue(static_cast<double>(size));
}

// A new registered script object of class T, handed to Result.
template <class T>
T* NewResultObject(TJBaseEngine* engine, TJValue& result) {
    T* object = TJObject::New<T>(engine, true);
    result.BuildObject(object);
    return object;
}

}  // namespace kestrel::ext
