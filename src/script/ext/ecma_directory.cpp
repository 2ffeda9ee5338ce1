// TJDirectoryObject: searches, listings as new StringLists, make/remove/rename,
// changeTo and clear (to the trash or for good).
#include "script/ext/ecma_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "script/ext/ecma_strings.h"
#include "script/ext/ext_common.h"
#include "script/ext/ext_files.h"
#include "script/ext/ext_paths.h"
#include "script/ext/ext_trash.h"

namespace kestrel {

using ext::Arg;
using TFilter = TJDirectoryObject::TFilter;

namespace {

constexpr mode_t kNewFolderMode = 0777;  // less the umask
constexpr std::string_view kAllNames = "*.*";
// Message box flags and answer (see TJHost::MessageBox).
constexpr int kYesNo = 4, kQuestionIcon = 0x20, kSecondButtonDefault = 0x100, kYes = 6;

TJDirectoryObject& Directory(TJObject& self) { return static_cast<TJDirectoryObject&>(self); }

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// "*" any run of bytes, "?" any one byte, other bytes equal ignoring letter case.
bool MatchMask(std::string_view mask, std::string_view name) {
    if (mask == kAllNames) return true;
    std::size_t m = 0, n = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == '*') {
            star = m++;
            resume = n;
        } else if (star != std::string_view::npos) {
            m = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsDotName(std::string_view name) { return name == "." || name == ".."; }

// The full paths of the entries of Dir that pass Mask and Filter, sorted.
std::vector<std::string> List(const std::string& dir, std::string_view mask, TFilter filter) {
    std::vector<std::string> paths;
    DIR* d = dir.empty() ? nullptr : ::opendir(dir.c_str());
    if (!d) return paths;
    while (const dirent* e = ::readdir(d)) {
        const std::string_view name = e->d_name;
        if (IsDotName(name) || !MatchMask(mask, name)) continue;
        std::string path = dir + std::string(name);
        if (IsFolder(path) == (filter == TFilter::Folders)) paths.push_back(std::move(path));
    }
    ::closedir(d);
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string MaskArgument(const TJValueList* args) {
    const TJValue* arg = Arg(args, 0);
    return arg ? arg->AsString().str() : std::string(kAllNames);
}

template <TFilter Filter>
void FindFirstMethod(TJObject& self, const TJValueList* args, TJValue& result) {
    std::string name;
    if (Directory(self).FindFirst(MaskArgument(args), Filter, name)) result.BuildString(TJString(name));
    else result.BuildNull();
}

constexpr char kFindNextError[] = "findNext error: ", kFindNextFileError[] = "findNextFile error: ",
               kFindNextDirError[] = "findNextDir error: ";

template <TFilter Filter, const char* Error>
void FindNextMethod(TJObject& self, const TJValueList*, TJValue& result) {
    TJDirectoryObject& dir = Directory(self);
    if (!dir.Searching()) dir.Fail(Error);
    std::string name;
    if (dir.FindNext(Filter, name)) result.BuildString(TJString(name));
    else result.BuildNull();
}

void FindCloseMethod(TJObject& self, const TJValueList*, TJValue& result) {
    Directory(self).FindClose();
    result.SetUndefined();
}

void Make(TJObject& self, const TJValueList*, TJValue& result) {
    TJDirectoryObject& dir = Directory(self);
    const std::string path = ext::ExcludeDelimiter(dir.Dir());
    if (!IsFolder(path) && !ext::MakeFolders(path, kNewFolderMode)) dir.Fail("make error: ");
    result.BuildBool(true);
}

void Remove(TJObject& self, const TJValueList*, TJValue& result) {
    TJDirectoryObject& dir = Directory(self);
    if (dir.Dir().empty() || ::rmdir(dir.Dir().c_str()) != 0) dir.Fail("remove error: ");
    result.BuildBool(true);
}

// Renames the folder and adopts the new full path.
void RenameTo(TJObject& self, const TJValueList* args, TJValue& result) {
    TJDirectoryObject& dir = Directory(self);
    const TJValue* arg = Arg(args, 0);
    if (!arg) dir.Fail("rename error: ");
    const std::string target = ext::ExpandFileName(arg->AsString().view());
    if (dir.Dir().empty() || target.empty() ||
        ::rename(ext::ExcludeDelimiter(dir.Dir()).c_str(), ext::ExcludeDelimiter(target).c_str()) != 0)
        dir.Fail("rename error: ");
    dir.SetDir(target);
    result.BuildBool(true);
}

void Exists(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildBool(!Directory(self).Dir().empty() && IsFolder(Directory(self).Dir()));
}

// A failure is a script error the script can catch, not the end of the run.
void ChangeTo(TJObject& self, const TJValueList*, TJValue& result) {
    TJDirectoryObject& dir = Directory(self);
    if (dir.Dir().empty() || ::chdir(dir.Dir().c_str()) != 0) dir.Fail("changeTo error: ");
    result.BuildObject(&self);
}

void IncludeDelimiter(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(ext::IncludeDelimiter(Directory(self).Dir())));
}

void ExcludeDelimiter(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(ext::ExcludeDelimiter(Directory(self).Dir())));
}

void ExpandName(TJObject& self, const TJValueList*, TJValue& result) {
    result.BuildString(TJString(Directory(self).Dir()));
}

// Never the root, an empty name or a folder reached through a symbolic link.
bool MayClear(const std::string& dir) {
    if (dir.empty() || dir == "/") return false;
    struct stat st {};
    return ::lstat(ext::ExcludeDelimiter(dir).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The shell's confirmation: the host asks Yes/No with No as the default. With nobody
// to ask (a bare engine, or kestrel without a terminal, as in a pipeline or a cron
// job) the folder is cleared, as the shell's operation does without its dialog.
bool ConfirmClear(TJObject& self, const std::string& dir, bool toTrash) {
    auto* engine = dynamic_cast<TJEngine*>(self.Engine());
    TJHost* host = engine ? engine->Host : nullptr;
    if (!host || !host->CanAskUser()) return true;
    const std::string text = "「" + dir + (toTrash ? "」の中身をすべてごみ箱に移しますか?" : "」の中身をすべて完全に削除しますか?");
    return host->MessageBox(text, host->ApplicationTitle(), kYesNo | kQuestionIcon | kSecondButtonDefault) == kYes;
}

void Clear(TJObject& self, const TJValueList* args, TJValue& result) {
    TJDirectoryObject& dir = Directory(self);
    const TJValue* arg = Arg(args, 0);
    const bool toTrash = !arg || arg->AsBool();
    result.BuildObject(&self);
    if (!MayClear(dir.Dir()) || !ConfirmClear(self, dir.Dir(), toTrash)) return;
    if (toTrash) ext::MoveContentsToTrash(dir.Dir());
    else ext::DeleteContents(dir.Dir());
}

void FindFiles(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildObject(TJStringsObject::Make(self.Engine(), List(Directory(self).Dir(), MaskArgument(args), TFilter::Files)));
}

TJObject* ReadFiles(TJObject& self, int) {
    return TJStringsObject::Make(self.Engine(), List(Directory(self).Dir(), kAllNames, TFilter::Files));
}

TJObject* ReadDirectories(TJObject& self, int) {
    return TJStringsObject::Make(self.Engine(), List(Directory(self).Dir(), kAllNames, TFilter::Folders));
}

std::string ReadDir(TJObject& self, int) { return Directory(self).Dir(); }
void WriteDir(TJObject& self, int, std::string_view name) { Directory(self).SetDir(name); }

}  // namespace

TJDirectoryObject::TJDirectoryObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Directory");
    const TJValue* name = Arg(param, 0);
    SetDir(name ? name->AsString().view() : std::string_view("."));
}

TJDirectoryObject::~TJDirectoryObject() { FindClose(); }

void TJDirectoryObject::SetDir(std::string_view name) {
    dir_ = name.empty() ? std::string() : ext::IncludeDelimiter(ext::ExpandFileName(name));
}

void TJDirectoryObject::Fail(std::string_view message) const {
    ext::Fail(ext::errors::DirectoryError, message, dir_);
}

bool TJDirectoryObject::FindFirst(std::string_view mask, TFilter filter, std::string& name) {
    FindClose();
    if (dir_.empty() || !(search_ = ::opendir(dir_.c_str()))) return false;
    mask_ = mask;
    return FindNext(filter, name);
}

bool TJDirectoryObject::FindNext(TFilter filter, std::string& name) {
    while (const dirent* e = ::readdir(search_)) {
        const std::string_view entry = e->d_name;
        if (!MatchMask(mask_, entry)) continue;
        if (filter != TFilter::Any) {
            const bool folder = IsFolder(dir_ + std::string(entry));
            // The file searches never give "." or "..", which are folders anyway.
            if (folder != (filter == TFilter::Folders)) continue;
        }
        name = entry;
        return true;
    }
    return false;
}

void TJDirectoryObject::FindClose() noexcept {
    if (search_) ::closedir(search_);
    search_ = nullptr;
}

const TJMethodTable* TJDirectoryObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{
        {
            M::Method("make", &Make),
            M::Method("remove", &Remove),
            M::Method("renameTo", &RenameTo),
            M::Method("findFirst", &FindFirstMethod<TFilter::Any>),
            M::Method("findFirstFile", &FindFirstMethod<TFilter::Files>),
            M::Method("findFirstDir", &FindFirstMethod<TFilter::Folders>),
            M::Method("findNext", &FindNextMethod<TFilter::Any, kFindNextError>),
            M::Method("findNextFile", &FindNextMethod<TFilter::Files, kFindNextFileError>),
            M::Method("findNextDir", &FindNextMethod<TFilter::Folders, kFindNextDirError>),
            M::Method("findClose", &FindCloseMethod),
            M::Method("exists", &Exists),
            M::Method("changeTo", &ChangeTo),
            M::Method("includePathDelimiter", &IncludeDelimiter),
            M::Method("excludePathDelimiter", &ExcludeDelimiter),
            M::Method("expandUNCFilename", &ExpandName),
            M::Method("clear", &Clear),
            M::Method("findFiles", &FindFiles),
        },
        &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJDirectoryObject::PublishedProperties() const {
    static const TJPropertyTable table{StringProperty("dirname", &ReadDir, &WriteDir),
                                       StringProperty("path", &ReadDir, &WriteDir),
                                       ObjectProperty("files", nullptr, &ReadFiles, nullptr),
                                       ObjectProperty("directories", nullptr, &ReadDirectories, nullptr)};
    return &table;
}

}  // namespace kestrel
