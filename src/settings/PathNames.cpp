#include "settings/PathNames.h"

#include <vector>

namespace tinctor {

namespace {

std::vector<std::string_view> Steps(std::string_view path) {
    std::vector<std::string_view> steps;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string_view::npos) slash = path.size();
        std::string_view step = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (step.empty() || step == ".") continue;
        if (step == ".." && !steps.empty() && steps.back() != "..") {
            steps.pop_back();
        } else if (step != ".." || !IsAbsolutePath(path)) {
            steps.push_back(step);
        }
    }
    return steps;
}

std::string Join(const std::vector<std::string_view>& steps, std::size_t from, bool absolute) {
    std::string out = absolute ? "/" : "";
    for (std::size_t i = from; i < steps.size(); ++i) {
        if (i > from) out += '/';
        out += steps[i];
    }
    return out;
}

}  // namespace

std::string NormalizePath(std::string_view path) {
    if (path.empty()) return {};
    const bool absolute = IsAbsolutePath(path);
    std::vector<std::string_view> steps = Steps(path);
    std::string out = Join(steps, 0, absolute);
    if (out.empty()) return ".";
    if (path.back() == '/' && out.back() != '/') out += '/';
    return out;
}

std::string ExpandFileName(std::string_view path, std::string_view base) {
    if (path.empty() || IsAbsolutePath(path)) return std::string(path);
    std::string joined(base);
    if (!joined.empty() && joined.back() != '/') joined += '/';
    for (char c : path) joined += c == '\\' ? '/' : c;
    return NormalizePath(joined);
}

std::string ExtractRelativePath(std::string_view base, std::string_view dest) {
    if (!IsAbsolutePath(dest) || !IsAbsolutePath(base)) return std::string(dest);
    std::vector<std::string_view> from = Steps(base);
    std::vector<std::string_view> to = Steps(dest);
    const bool trailing = dest.back() == '/' && !to.empty();
    if (!from.empty() && (to.empty() || to.front() != from.front())) return NormalizePath(dest);
    std::size_t common = 0;
    while (common < from.size() && common < to.size() && from[common] == to[common]) ++common;
    std::string out;
    for (std::size_t i = common; i < from.size(); ++i) out += "../";
    out += Join(to, common, false);
    if (out.empty()) return ".";
    if (out.back() == '/') out.pop_back();
    if (trailing) out += '/';
    return out;
}

}  // namespace tinctor
