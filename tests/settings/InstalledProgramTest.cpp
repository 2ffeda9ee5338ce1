// An installed program (its data in share/tinctor/ beside bin/) keeps its settings in
// the user's config folder, even where it may write to its own folder, and finds its
// data there; a portable copy or a build tree keeps both beside the executable.
#include "SettingsTestSupport.h"
#include "util/ProgramFiles.h"

namespace tinctor {
namespace {

using testing::EnvGuard;
using testing::TempFolder;

TEST(InstalledProgram, DataLivesInShareAndSettingsInTheConfigFolder) {
    TempFolder dir;
    EnvGuard env;
    env.Set("TINCTOR_HOME", std::nullopt);
    env.Set("XDG_CONFIG_HOME", dir / "config");
    ASSERT_TRUE(ForceDirectories(dir / "usr/bin"));
    ASSERT_TRUE(ForceDirectories(dir / "usr/share/tinctor"));
    ASSERT_TRUE(ForceDirectories(dir / "portable"));

    // The writable bin/ of an install (as root sees /usr/bin) is not the program folder.
    EXPECT_TRUE(IsInstalledProgram(dir / "usr/bin/"));
    EXPECT_EQ(DataFolder(dir / "usr/bin/"), dir / "usr/share/tinctor/");
    const TProgramFolderInfo installed = ResolveProgramFolder(dir / "usr/bin/");
    EXPECT_EQ(installed.Folder, dir / "config/tinctor/");
    EXPECT_EQ(installed.Source, TProgramFolderSource::UserConfig);

    EXPECT_FALSE(IsInstalledProgram(dir / "portable/"));
    EXPECT_EQ(DataFolder(dir / "portable"), dir / "portable/");
    EXPECT_EQ(ResolveProgramFolder(dir / "portable/").Source, TProgramFolderSource::Executable);

    // This test program runs from the build tree: its data is beside it.
    EXPECT_EQ(DataFolder(), ExecutableFolder());
    EXPECT_EQ(ScriptLibraryFolder(), ExecutableFolder() + "lib/");
}

}  // namespace
}  // namespace tinctor
