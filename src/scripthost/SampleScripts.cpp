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

int EnsureSampleScripts(const std::string& dataFolder, const std::string& scriptsFolder) {
    if (scriptsFolder.empty() || DirectoryExists(scriptsFolder)) return 0;
    // The folder is made even without samples to copy: it is where the user's go.
    if (!ForceDirectories(scriptsFolder)) return 0;
    return CopySampleScripts(dataFolder, scriptsFolder);
}

}  // namespace tinctor
