// Which editors the colour extraction watches, and the step that reads the selected
// text of the active one. The main window's timer parses the text into the colour.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/OtWndCtrl.h"

namespace tinctor {

enum class TEditorAccess {
    EditControl,  // the class name cut to 19 characters; the path leads to an edit control
    Selection,    // the whole class name; the program's selected text (PRIMARY on X11)
};

struct TEditorRow {
    std::string_view ClassName;
    std::vector<std::string_view> Path;  // child window classes down to the edit control
    TEditorAccess Access;
};

// The table, in the order the rows are tried.
const std::vector<TEditorRow>& EditorTable();

// A selection shorter than this is never a colour.
inline constexpr int EditorMinSelection = 3;

// The selected text of the first row that matches the active window, or nothing.
// Points Editor at the edit control it reads. Never throws: whatever fails in a
// tick passes silently.
std::optional<std::string> ExtractEditorSelection(TEditOther& editor) noexcept;

}  // namespace tinctor
