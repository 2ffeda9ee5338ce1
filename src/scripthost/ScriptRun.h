// One run of a script of the script menu on the current colour.
#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace tinctor {

class IColorSliders;
class TKestrel;

// The error box of a script item whose file has gone, followed by the path.
inline constexpr const char* ScriptNotFoundMessage = "スクリプトファイルが見つかりません。\n";

// Compiles and runs the script file Path in an engine of its own, with the red, green
// and blue of Sliders as its arguments and Sliders as its Colors object; the colour
// follows when the run ends. Reports reach the user through KestrelError. While it
// runs, Esc or closing Window offers to stop it (ScriptWatch.h).
void RunColorScript(const std::string& path, IColorSliders& sliders, QWidget* window);

// The engine's error handler: the report in an error box, after the error beep.
void KestrelError(TKestrel& sender, int lineNo, std::string_view msg);

}  // namespace tinctor
