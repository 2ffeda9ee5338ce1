#include "platform/SystemError.h"

namespace tinctor {

namespace {

std::string FormatMessage(int code, const std::string& description) {
    return "システムエラー。コード：" + std::to_string(code) + ".\n" + description;
}

}  // namespace

ESystemError::ESystemError(int code, const std::string& description)
    : std::runtime_error(FormatMessage(code, description)), code_(code) {}

std::string SystemErrorDescription(int code) {
    switch (code) {
        case ErrorHotkeyAlreadyRegistered: return "ホット キーは既に登録されています。";
        default: return {};
    }
}

void RaiseSystemError(int code, const std::string& description) {
    throw ESystemError(code, description.empty() ? SystemErrorDescription(code) : description);
}

}  // namespace tinctor
