// Errors of the operating system, reported as "システムエラー。コード：%d." followed by
// a line break and the system's description.
#pragma once

#include <stdexcept>
#include <string>

namespace tinctor {

// The codes this program reports itself, with their system texts.
inline constexpr int ErrorHotkeyAlreadyRegistered = 1409;

class ESystemError : public std::runtime_error {
public:
    ESystemError(int code, const std::string& description);
    int Code() const { return code_; }

private:
    int code_;
};

// The system's description of a code this program knows ("" for others).
std::string SystemErrorDescription(int code);
// Raises ESystemError for Code with its description (or Description when given).
[[noreturn]] void RaiseSystemError(int code, const std::string& description = {});

}  // namespace tinctor
