#include "platform/ErrorGuard.h"

#include <cstdio>
#include <new>

#include "platform/Dialogs.h"

namespace tinctor {

std::string ExceptionMessage(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return "メモリが不足しています。";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "不明なエラーが発生しました。";
    }
}

void ReportException(const std::exception_ptr& error) noexcept {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (...) {
    }
    try {
        Dialogs().ShowErrorBox(ExceptionMessage(error));
    } catch (...) {
        // The box itself failed (no memory, no display): the terminal is all that is left.
        std::fputs("Tinctor: an error could not be shown\n", stderr);
    }
}

}  // namespace tinctor
