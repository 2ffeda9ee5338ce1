// TJDialogObject: the four dialogs, their default title (the program file's name
// without its extension) and their answers (null, or an empty StringList, when
// cancelled).
#include "script/ext/ecma_dialog.h"

#include "script/ext/ecma_desktop.h"
#include "script/ext/ecma_strings.h"
#include "script/ext/ext_common.h"
#include "script/ext/ext_paths.h"
#include "util/ProgramFiles.h"
#include "util/stdFiles.h"

namespace kestrel {

using ext::Arg;
using TKind = TJFileDialog::TKind;

namespace {

constexpr std::string_view kWildcards = "*?";
constexpr std::string_view kMaskSeparator = ";";

// The program file's name without its extension ("tinctor", "kestrel").
const std::string& ProgramTitle() {
    static const std::string title = [] {
        const std::string exe = tinctor::ExecutablePath();
        const std::string_view name = ext::ExtractName(exe);
        return std::string(name.substr(0, name.size() - ext::ExtractExt(name).size()));
    }();
    return title;
}

// Folder as a full path without a trailing "/" when it exists, else the current folder.
std::string StartFolder(std::string_view folder) {
    std::string full = folder.empty() ? std::string() : ext::ExcludeDelimiter(ext::ExpandFileName(folder));
    return tinctor::DirectoryExists(full) ? full : ext::ExcludeDelimiter(ext::ExpandFileName("."));
}

// The extension of a "*.ext" mask without its dot ("" for any other mask).
std::string_view MaskExtension(std::string_view mask) {
    if (!mask.starts_with("*.")) return {};
    const std::string_view ext = mask.substr(2);
    return ext.find_first_of(kWildcards) == std::string_view::npos ? ext : std::string_view();
}

std::string Title(const TJValueList* args) {
    const TJValue* arg = Arg(args, 0);
    return arg ? arg->AsString().str() : ProgramTitle();
}

// Shows the dialog the request describes; the chosen paths, empty when cancelled.
std::vector<std::string> Ask(TJObject& self, const TJFileDialog& request) {
    std::vector<std::string> chosen;
    if (!DesktopHost(self).FileDialog(request, chosen)) chosen.clear();
    return chosen;
}

template <TKind Kind>
void AskOne(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJFileDialog request = Kind == TKind::Folder
                                     ? TJFileDialog{Kind, Title(args), StartFolder(ext::TextArg(args, 1)), {}, {}, {}}
                                     : FileDialogRequest(Kind, Title(args), ext::TextArg(args, 1));
    const std::vector<std::string> chosen = Ask(self, request);
    if (chosen.empty()) return void(result.BuildNull());
    result.BuildString(TJString(chosen.front()));
}

void OpenFiles(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJFileDialog request = FileDialogRequest(TKind::OpenMany, Title(args), ext::TextArg(args, 1));
    result.BuildObject(TJStringsObject::Make(self.Engine(), Ask(self, request)));
}

}  // namespace

TJFileDialog FileDialogRequest(TKind kind, std::string title, std::string_view fileName) {
    // A folder of its own starts the dialog without a name.
    if (!fileName.empty() && tinctor::DirectoryExists(ext::ExpandFileName(fileName)))
        return {kind, std::move(title), StartFolder(fileName), {}, {}, {}};
    TJFileDialog request{kind, std::move(title), StartFolder(ext::ExtractPath(fileName)), {}, {}, {}};
    const std::string_view name = ext::ExtractName(fileName);
    if (name.find_first_of(kWildcards) != std::string_view::npos) {
        request.Filter = name;
        request.DefaultExt = MaskExtension(name.substr(0, name.find(kMaskSeparator)));
    } else {
        request.FileName = name;
        const std::string_view ext = ext::ExtractExt(name);
        request.DefaultExt = ext.empty() ? ext : ext.substr(1);
    }
    return request;
}

TJDialogObject::TJDialogObject(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Dialog");
}

const TJMethodTable* TJDialogObject::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{M::Method("openFile", &AskOne<TKind::Open>),
                                      M::Method("openFiles", &OpenFiles),
                                      M::Method("saveFile", &AskOne<TKind::Save>),
                                      M::Method("openFolder", &AskOne<TKind::Folder>)},
                                     &BaseMethods()};
    return &table;
}

}  // namespace kestrel
