// Lexical path handling, without touching the file system beyond the current folder.
#include "script/ext/ext_paths.h"

#include <unistd.h>

#include <memory>
#include <vector>

namespace kestrel::ext {

std::string_view ExtractName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string_view ExtractPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
}

std::string_view ExtractDir(std::string_view path) {
    std::string_view dir = ExtractPath(path);
    return dir.size() > 1 ? dir.substr(0, dir.size() - 1) : dir;
}

std::string_view ExtractExt(std::string_view path) {
    const std::string_view name = ExtractName(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::string ChangeExt(std::string_view path, std::string_view ext) {
    const std::string_view old = ExtractExt(path);
    std::string out(path.substr(0, path.size() - old.size()));
    out += ext;
    return out;
}

std::string ExpandFileName(std::string_view path) {
    if (path.empty()) return {};
    std::string full;
    if (path.front() != '/') {
        std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
        full = cwd ? cwd.get() : "/";
        full += '/';
    }
    full += path;
    std::vector<std::string_view> parts;
    std::string_view rest(full);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string out;
    for (std::string_view part : parts) {
        out += '/';
        out += part;
    }
    // A trailing "/" (a folder) stays.
    if (out.empty() || full.back() == '/') out += '/';
    return out;
}

std::string IncludeDelimiter(std::string_view path) {
    std::string out(path);
    if (out.empty() || out.back() != '/') out += '/';
    return out;
}

std::string ExcludeDelimiter(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

}  // namespace kestrel::ext
