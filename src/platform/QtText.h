// Text crossing into Qt: the program's strings are bytes in the process code page,
// Qt's are UTF-16. These two are the only way between them.
#pragma once

#include <QString>

#include <string>
#include <string_view>

#include "util/CodePage.h"

namespace tinctor {

inline QString ToQString(std::string_view text) {
    const std::u16string wide = CodePage::Current().ToUtf16(text);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

inline std::string FromQString(const QString& text) {
    return CodePage::Current().FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

}  // namespace tinctor
