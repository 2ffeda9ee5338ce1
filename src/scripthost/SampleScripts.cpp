#include "scripthost/SampleScripts.h"

#include <vector>

#include "util/stdFiles.h"

namespace tinctor {

int CopySampleScripts(const std::string& dataFolder, const std::string& scriptsFolder) {
    if (dataFolder.empty() || scriptsFolder.empty()) return 0;
    const std::string from = IncludeTrailingPathDelimiter(dataFolder) + "Scripts/";
    const std::string to = IncludeTrailingPathDelimiter(scriptsFolder);
    std::vector<std::string> names;
    if (from == to || !ListFileNames(from, "*.ksc", names) || !ForceDirectories(to)) return 0;
    int copied = 0;
    for (const std::string& name : names) {
        std::string text;
        if (FileExists(to + name) || !LoadTextFile(from + name, text)) continue;
        if (SaveTextFile(to + name, text)) ++copied;
    }
    return copied;
}

}  // namespace tinctor
