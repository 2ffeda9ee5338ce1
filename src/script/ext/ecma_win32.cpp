// On Linux: winExec splits the command line by the Windows rules and spawns the
// program without a shell; shellExecute "open" runs an executable file itself and
// hands anything else ("open", "explore") to xdg-open, waiting at most 10 s for its
// verdict; getTickCount reads CLOCK_BOOTTIME.
#include "script/ext/ecma_win32.h"

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "script/ext/ext_common.h"
#include "script/ext/ext_paths.h"
#include "script/ext/ext_process.h"
#include "util/CodePage.h"

namespace kestrel {

using ext::Arg;
using ext::ArgCount;

namespace {

constexpr auto kOpenerWait = std::chrono::seconds(10);
constexpr std::int64_t kMsPerSecond = 1000, kNsPerMs = 1000000;

void Sleep(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    const std::int32_t ms = arg ? std::max(arg->AsInteger(), 0) : 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    result.BuildObject(&self);
}

void WinExec(TJObject&, const TJValueList* args, TJValue& result) {
    const TJValue* arg = Arg(args, 0);
    if (!arg) ext::Fail(ext::errors::Win32Error, "WinExec error");
    result.BuildBool(ext::Spawn(ext::SplitCommandLine(arg->AsString().view()), {}, std::nullopt).has_value());
}

bool IsExecutableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

void ShellExecute(TJObject&, const TJValueList* args, TJValue& result) {
    if (ArgCount(args) < 2) ext::Fail(ext::errors::Win32Error, "shellExecute error");
    const std::string verb = tinctor::CodePage::Current().Lower((*args)[0].AsString().view());
    const std::string file = (*args)[1].AsString().str();
    const TJValue* params = Arg(args, 2);
    const TJValue* folderArg = Arg(args, 3);
    const std::string folder = folderArg ? folderArg->AsString().str() : std::string();
    result.BuildBool(false);
    if (verb == "open" && IsExecutableFile(file)) {
        std::vector<std::string> argv{file};
        if (params)
            for (std::string& a : ext::SplitCommandLine(params->AsString().view())) argv.push_back(std::move(a));
        // The file meant, not one found on PATH, wherever the child starts.
        argv[0] = ext::ExpandFileName(file);
        result.BuildBool(ext::Spawn(argv, folder, std::nullopt).has_value());
    } else if (verb == "open" || verb == "explore") {
        const auto status = ext::Spawn({"xdg-open", file}, folder, kOpenerWait);
        result.BuildBool(status && *status == 0);
    }
}

// An integer while it fits in 31 bits, a double beyond: never negative.
void GetTickCount(TJObject&, const TJValueList*, TJValue& result) {
    timespec ts{};
    ::clock_gettime(CLOCK_BOOTTIME, &ts);
    result = ext::SizeValue(static_cast<std::int64_t>(ts.tv_sec) * kMsPerSecond + ts.tv_nsec / kNsPerMs);
}

}  // namespace

TJWin32Object::TJWin32Object(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Win32");
}

const TJMethodTable* TJWin32Object::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{
                                         M::Method("sleep", &Sleep),
                                         M::Method("winExec", &WinExec),
                                         M::Method("WinExec", &WinExec),
                                         M::Method("shellExecute", &ShellExecute),
                                         M::Method("getTickCount", &GetTickCount),
                                     },
                                     &BaseMethods()};
    return &table;
}

}  // namespace kestrel
