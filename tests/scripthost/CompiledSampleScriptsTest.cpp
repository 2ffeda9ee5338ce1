// The sample scripts run from their compiled files move the sliders exactly as they do
// from their text.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FakeSliders.h"
#include "TempFolder.h"
#include "scripthost/KSCClass.h"
#include "scripthost/Kestrel.h"

namespace tinctor {
namespace {

// The slider values after running Script with the given option.
std::array<int, 7> RunOnSliders(const std::string& script, bool compiledBinary) {
    testing::TFakeSliders sliders;
    {
        TKestrel kestrel;
        kestrel.ImportObject("Colors", kestrel::ClassOf<TColorCfg>());
        kestrel.SetCompiledBinary(compiledBinary);
        EXPECT_TRUE(kestrel.CompileFile(script)) << script;
        kestrel.Run({sliders.GetSliderValue(1), sliders.GetSliderValue(2), sliders.GetSliderValue(3)});
        EXPECT_EQ(kestrel.LastErrorText(), "") << script;
    }
    return sliders.Values;
}

TEST(CompiledSampleScripts, RunAsTheirText) {
    testing::TTempFolder folder;
    const std::filesystem::path samples = std::filesystem::path(TINCTOR_SOURCE_DIR) / "data" / "scripts";
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        if (entry.path().extension() != ".ksc") continue;
        ++count;
        const std::string script = folder.Path() + entry.path().filename().string();
        std::filesystem::copy_file(entry.path(), script);
        const std::array<int, 7> fromText = RunOnSliders(script, false);
        RunOnSliders(script, true);  // writes the compiled file
        const std::string compiled = folder.Path() + entry.path().stem().string() + ".kcb";
        ASSERT_TRUE(std::filesystem::exists(compiled)) << compiled;
        // The script's text is gone: only the compiled file can run now.
        std::filesystem::resize_file(script, 0);
        std::filesystem::last_write_time(script, std::filesystem::last_write_time(compiled) - std::chrono::seconds(5));
        EXPECT_EQ(RunOnSliders(script, true), fromText) << script;
    }
    EXPECT_GE(count, 5);
}

}  // namespace
}  // namespace tinctor
