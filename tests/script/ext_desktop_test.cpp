// Keyboard, Mouse and Clipboard without a display: nothing held, the pointer at 0, 0
// and a clipboard of the process, both with no host and with one.
#include <gtest/gtest.h>

#include "fake_host.h"
#include "script/ext/ecma_extensions.h"
#include "script_runner.h"

namespace {

TEST(ExtDesktopTest, WithoutADisplay) {
    kestrel::testing::FakeHost host;
    for (kestrel::TJHost* withHost : {static_cast<kestrel::TJHost*>(nullptr), static_cast<kestrel::TJHost*>(&host)}) {
        kestrel::testing::ScriptRunner run;
        kestrel::ImportExtensionObjects(run.engine);
        run.engine.Host = withHost;
        const struct {
            const char* script;
            const char* expected;
        } cases[] = {
            {"print(Keyboard.isDown('A'), Keyboard.SHIFT, Keyboard.ctrl, Keyboard.alt);", "falsefalsefalsefalse"},
            {"print(Keyboard.isDown(), '|', Keyboard.isDown(''));", "undefined|undefined"},
            {"print(Mouse.x, Mouse.y, Mouse.lbutton, Mouse.mbutton, Mouse.rbutton);", "00falsefalsefalse"},
            {"Clipboard.asText = ''; print(Clipboard.hasText(), '[', Clipboard, ']');", "false[]"},
            {"new Clipboard().asText = 'kept'; print(Clipboard.hasText(), Clipboard.toString());", "truekept"},
        };
        for (const auto& c : cases) EXPECT_EQ(run.Output(c.script), c.expected) << c.script;
    }
}

}  // namespace
