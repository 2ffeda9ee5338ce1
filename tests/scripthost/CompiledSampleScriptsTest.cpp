// The sample scripts run from their compiled files move the sliders as from their text.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "FakeSliders.h"
#include "TempFolder.h"
#include "scripthost/Kestrel.h"

namespace tinctor {
namespace {

namespace fs = std::filesystem;

// The slider values after a run of Script, with or without compiled files.
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
    for (const auto& sample : fs::directory_iterator(fs::path(TINCTOR_SOURCE_DIR) / "data" / "scripts")) {
        const std::string script = folder.Path() + sample.path().filename().string();
        fs::copy_file(sample.path(), script);
        const std::array<int, 7> fromText = RunOnSliders(script, false);
        RunOnSliders(script, true);  // writes the compiled file
        // With the text gone, only the compiled file can give the same colour.
        const fs::path compiled = fs::path(script).replace_extension(".kcb");
        fs::resize_file(script, 0);
        fs::last_write_time(script, fs::last_write_time(compiled) - std::chrono::seconds(5));
        EXPECT_EQ(RunOnSliders(script, true), fromText) << script;
    }
}

}  // namespace
}  // namespace tinctor
