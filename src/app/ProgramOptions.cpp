#include "app/ProgramOptions.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "util/CommandLine.h"

namespace tinctor {

namespace {

constexpr std::string_view Program = "tinctor";
constexpr std::string_view Usage = "usage: tinctor [OPTION]... [QT-OPTION]...\n";
constexpr std::string_view Help =
    "usage: tinctor [OPTION]... [QT-OPTION]...\n"
    "Tinctor, a colour tool: picks colours from the screen or a colour table, changes\n"
    "them with sliders and writes them as colour codes; keeps colour lists and runs\n"
    "colour scripts.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n"
    "Qt's options (-display, -platform, -style, -name, ...) are passed on to Qt.\n"
    "\n"
    "Environment:\n"
    "  TINCTOR_HOME      the program folder (Tinctor.ini, Colors/, Scripts/); by default\n"
    "                    the program's own folder when it is writable and not installed,\n"
    "                    else $XDG_CONFIG_HOME/tinctor (~/.config/tinctor)\n"
    "  TINCTOR_CODEPAGE  932 treats text as Shift-JIS, 65001 as UTF-8 (default: the locale)\n"
    "\n"
    "F1 in the window opens the manual.\n";

// Qt's own command-line options (QGuiApplication, QApplication and the X11 platform),
// with whether each takes the next argument as its value. Qt reads "--name" as "-name".
struct TQtOption {
    std::string_view Name;
    bool TakesValue;
};
constexpr std::array QtOptions{
    TQtOption{"-platform", true},   TQtOption{"-platformpluginpath", true},
    TQtOption{"-platformtheme", true}, TQtOption{"-plugin", true},
    TQtOption{"-qwindowgeometry", true}, TQtOption{"-qwindowicon", true},
    TQtOption{"-qwindowtitle", true}, TQtOption{"-reverse", false},
    TQtOption{"-session", true},    TQtOption{"-style", true},
    TQtOption{"-stylesheet", true}, TQtOption{"-widgetcount", false},
    TQtOption{"-display", true},    TQtOption{"-geometry", true},
    TQtOption{"-name", true},       TQtOption{"-title", true},
    TQtOption{"-visual", true},     TQtOption{"-dialogs", true},
    TQtOption{"-nograb", false},    TQtOption{"-dograb", false},
    TQtOption{"-sync", false},      TQtOption{"-qmljsdebugger", true},
};

// The Qt option Arg names ("-style" and "-style=fusion" alike), or none.
const TQtOption* FindQtOption(std::string_view arg) {
    if (arg.starts_with("--")) arg.remove_prefix(1);
    const std::string_view name = arg.substr(0, arg.find('='));
    const auto found = std::find_if(QtOptions.begin(), QtOptions.end(),
                                    [name](const TQtOption& option) { return option.Name == name; });
    return found == QtOptions.end() ? nullptr : &*found;
}

}  // namespace

std::optional<int> ParseProgramOptions(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (IsHelpOption(arg)) {
            PrintHelp(Help);
            return ExitHelp;
        }
        if (IsVersionOption(arg)) {
            PrintVersion(Program);
            return ExitHelp;
        }
        if (!IsOption(arg)) return UsageError(Program, "unexpected argument " + std::string(arg), Usage);
        const TQtOption* qt = FindQtOption(arg);
        if (!qt) return UsageError(Program, "unknown option " + std::string(arg), Usage);
        if (qt->TakesValue && arg.find('=') == std::string_view::npos) {
            if (i + 1 >= argc) return UsageError(Program, "option " + std::string(arg) + " needs a value", Usage);
            ++i;
        }
    }
    return std::nullopt;
}

}  // namespace tinctor
