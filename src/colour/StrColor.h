// Colour codes as text: writing a colour in one of the six notations, and reading
// names and hexadecimal codes back.
#pragma once

#include "colour/stdColors.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace tinctor {

// The notation index is the tag of the notation button.
enum TColorNotation : int {
    HtmlNotation = 0,        // "#FF8000"
    VBNotation = 1,          // "&h000080FF"
    DelphiNotation = 2,      // "$000080FF"
    CNotation = 3,           // "0x000080FF"
    RGBNotation = 4,         // "RGB(255,128,0);"
    DoubleWordNotation = 5,  // "33023"
};

struct TColorCodeOptions {
    bool ColorCode = false;    // write a colour name where the notation's table has one
    bool ExtendColor = false;  // HTML names from the extended table instead of the sixteen basic ones
    bool LowerCase = false;    // HTML codes (not names) in lower case
};

// The code text of C in Notation. Only the HTML, Visual Basic and Delphi notations
// take names. An index outside 0..5 writes HTML. Allocates only the result.
std::string FormatColorCode(TColor c, int notation, TColorCodeOptions options = {});

// A recognised code with characters that are not hexadecimal digits. The message is
// "'$00xxxxxx' は整数ではありません" with the six characters as they were, in the
// process code page. Message() has every byte; what() stops at a NUL among them.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(std::string message) : std::runtime_error(message), message_(std::move(message)) {}
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// The colour of a name (HTML, Visual Basic, Delphi or system colour, any case) or of a
// code with the prefix "#", "&h", "$" or "0x"; NoColor for anything else. Text after
// the first blank is ignored. Throws EConvertError for a code with a non-hex digit.
// Allocates nothing unless it throws.
TColor ParseColorText(std::string_view text);

}  // namespace tinctor
