#include "app/Help.h"

#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "settings/ProgramFolder.h"
#include "util/stdFiles.h"

namespace tinctor {

std::string FindHelpFile() {
    for (const std::string& folder : {DataFolder(), ProgramFolder()}) {
        if (folder.empty()) continue;
        const std::string path = IncludeTrailingPathDelimiter(folder) + HelpFileName;
        if (FileExists(path)) return path;
    }
    return {};
}

void OpenHelpPage() {
    const std::string path = FindHelpFile();
    if (path.empty()) {
        MessageWarning(std::string("ヘルプファイル ") + HelpFileName + " が見つかりません。");
        return;
    }
    if (!OpenDocument(path)) MessageWarning("ヘルプファイルを開くプログラムがありません。\n" + path);
}

}  // namespace tinctor
