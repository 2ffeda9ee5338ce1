#include "scripthost/ScriptRun.h"

#include "platform/Dialogs.h"
#include "scripthost/KSCClass.h"
#include "scripthost/Kestrel.h"
#include "scripthost/ScriptDialogs.h"
#include "scripthost/ScriptWatch.h"
#include "util/ProgramFiles.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

// Installs the sliders of a run for the Colors objects and puts the earlier ones back.
class TSlidersOfRun {
public:
    explicit TSlidersOfRun(IColorSliders& sliders) : earlier_(ColorSliders()) { SetColorSliders(&sliders); }
    ~TSlidersOfRun() { SetColorSliders(earlier_); }
    TSlidersOfRun(const TSlidersOfRun&) = delete;
    TSlidersOfRun& operator=(const TSlidersOfRun&) = delete;

private:
    IColorSliders* earlier_;
};

}  // namespace

void KestrelError(TKestrel&, int, std::string_view msg) { MessageError(msg); }

void RunColorScript(const std::string& path, IColorSliders& sliders, QWidget* window) {
    // A menu item whose file has gone would otherwise do nothing without a word.
    if (!FileExists(path)) {
        MessageError(ScriptNotFoundMessage + path);
        return;
    }
    // Declared in this order so that the engine dies first: its Colors object applies
    // the colour to the sliders of this run, also when an error ends the run.
    const TSlidersOfRun installed(sliders);
    TScriptWatch watch(window);
    TQtScriptHost host(window);
    TKestrel kestrel;
    kestrel.SetHost(&host);
    kestrel.ImportObject("Colors", kestrel::ClassOf<TColorCfg>());
    kestrel.SetOnError(&KestrelError);
    kestrel.SetOnStep([&watch](TKestrel&, bool& abort) { watch.Step(abort); });
    kestrel.SetOnDoEvents([&watch](TKestrel&, bool& abort) { watch.Idle(abort); });
    if (const std::string library = ScriptLibraryFolder(); DirectoryExists(library)) kestrel.SetLibraryPath({library});
    // A script that does not compile still runs: it does nothing, and its report has
    // reached the user already.
    kestrel.CompileFile(path);
    kestrel.Run({sliders.GetSliderValue(1), sliders.GetSliderValue(2), sliders.GetSliderValue(3)});
}

}  // namespace tinctor
