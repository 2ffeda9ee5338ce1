// The syntax error of the script language: a message and the source line it was
// found on. It stands on its own so that the lexer needs nothing of the value and
// object types; the engine's error family adopts it as its syntax error.
#pragma once

#include <stdexcept>
#include <string>

namespace kestrel {

class EJSyntaxError : public std::runtime_error {
public:
    EJSyntaxError(const std::string& message, int line) : std::runtime_error(message), line_(line) {}
    const char* ErrorName() const { return "ESyntaxError"; }
    int Line() const { return line_; }

private:
    int line_;
};

}  // namespace kestrel
