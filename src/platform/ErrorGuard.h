// The one guard of every entry point from the event loop (slots, event handlers,
// timers, native event filters): an exception never leaves it, it ends in the
// standard error box instead, and the rest of the handler is skipped.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tinctor {

// The silent abort: ends the current command without a message.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The text the error box shows for an exception.
std::string ExceptionMessage(const std::exception_ptr& error);

// Shows the standard error box for Error (nothing for EAbort); never throws.
void ReportException(const std::exception_ptr& error) noexcept;

// Runs Handler; whatever it throws is reported. True when it ran to its end.
template <typename F>
bool Guarded(F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
        return true;
    } catch (...) {
        ReportException(std::current_exception());
        return false;
    }
}

}  // namespace tinctor
