#include "util/StrToken.h"

#include "util/CodePage.h"

namespace tinctor {

std::string StrToken(std::string& text, char delimiter, char escape) {
    const CodePage& cp = CodePage::Current();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = cp.CharLength(text, i);
        if (len == 1) {
            if (escape != '\0' && text[i] == escape && i + 1 < text.size()) {
                i += 1 + cp.CharLength(text, i + 1);  // the escaped character is kept as it is
                continue;
            }
            if (text[i] == delimiter) {
                std::string token = text.substr(0, i);
                text.erase(0, i + 1);
                return token;
            }
        }
        i += len;
    }
    std::string token = std::move(text);
    text.clear();
    return token;
}

}  // namespace tinctor
