// The main window's script menu: the scripts of the scripts folder above the fixed
// items, and the run of a chosen script on the current colour.
#include <QAction>
#include <QMenu>
#include <QTimer>

#include <stdexcept>

#include "app/Main.h"
#include "app/MainToolBar.h"
#include "app/SliderPages.h"
#include "platform/Shell.h"
#include "scripthost/KSCClass.h"
#include "scripthost/SampleScripts.h"
#include "scripthost/ScriptMenu.h"
#include "scripthost/ScriptRun.h"
#include "settings/ProgramFolder.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

// The window's sliders as the Colors object sees them.
class TFormSliders final : public IColorSliders {
public:
    explicit TFormSliders(TTinctorForm& form) : form_(form) {}
    int GetSliderValue(int index) const override { return form_.GetSliderValue(index); }
    void SetSliderValue(int index, std::uint16_t value) override { form_.SetSliderValue(index, value); }
    void SliderMoved(int index) override {
        if (index >= RedSlider && index <= BlueSlider)
            form_.RGBValueScroll(index);
        else if (index >= HueSlider && index <= SaturationSlider)
            form_.HLSValueScroll(index);
    }

private:
    TTinctorForm& form_;
};

}  // namespace

void TTinctorForm::OpenScriptDirectoryClick() {
    const std::string folder = ScriptsFolder();
    const bool missing = !DirectoryExists(folder);
    EnsureSampleScripts(DataFolder(), folder);
    if (missing) RebuildScriptMenu();
    if (!DirectoryExists(folder) || !OpenDocument(folder))
        throw std::runtime_error("スクリプトのフォルダ \"" + folder + "\" を開けません。");
}

void TTinctorForm::RebuildScriptMenu() {
    tinctor::RebuildScriptMenu(*ToolBar->ScriptMenu(), ScriptsFolder(), [this](QAction* item) { RunScript(item); });
}

void TTinctorForm::RunScript(QAction* item) {
    // The timer's editor extraction and compact mode wait: the colour belongs to the
    // script until it ends.
    const bool ticking = Timer->isActive();
    Timer->stop();
    struct TRestart {
        QTimer* Timer;
        bool Ticking;
        ~TRestart() {
            if (Ticking) Timer->start();
        }
    } restart{Timer, ticking};
    TFormSliders sliders(*this);
    RunColorScript(ScriptsFolder() + ScriptFileOf(item), sliders, this);
}

}  // namespace tinctor
