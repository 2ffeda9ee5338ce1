// The main window's script menu: the scripts of the scripts folder above the fixed
// items, and the run of a chosen script on the current colour.
#include <QAction>
#include <QMenu>

#include "app/Main.h"
#include "scripthost/ScriptMenu.h"
#include "settings/ProgramFolder.h"

namespace tinctor {

void TTinctorForm::RebuildScriptMenu() {
    tinctor::RebuildScriptMenu(*ScriptMenu, ScriptsFolder(), [this](QAction* item) { RunScript(item); });
}

void TTinctorForm::RunScript(QAction*) {}

}  // namespace tinctor
