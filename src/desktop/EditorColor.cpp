#include "desktop/EditorColor.h"

#include "util/CodePage.h"

namespace tinctor {

namespace {

// Windows keeps class names to 19 characters here.
constexpr std::size_t ShortClassLength = 19;

std::optional<std::string> ReadRow(const TEditorRow& row, TWindowId active,
                                   const std::string& className, TEditOther& editor) {
    IDesktopWindows& windows = editor.Windows();
    if (row.Access == TEditorAccess::Selection) {
        if (className != row.ClassName) return std::nullopt;
        editor.Handle = active;
        auto text = windows.SelectedText(active);
        if (!text || static_cast<int>(CodePage::Current().CharCount(*text)) < EditorMinSelection)
            return std::nullopt;
        return text;
    }
    if (std::string_view(className).substr(0, ShortClassLength) != row.ClassName) return std::nullopt;
    TWindowId window = active;
    for (std::string_view cls : row.Path) {
        window = windows.FindChild(window, cls);
        if (!window) return std::nullopt;
    }
    editor.Handle = window;
    if (editor.SelLength() < EditorMinSelection) return std::nullopt;
    return editor.SelText();
}

}  // namespace

const std::vector<TEditorRow>& EditorTable() {
    using A = TEditorAccess;
    static const std::vector<TEditorRow> table = {
        {"TTeraPadMainForm", {"TEditor"}, A::EditControl},
        {"Notepad", {"Edit"}, A::EditControl},
        {"TK2EditMain", {"TK2Edit"}, A::EditControl},
        {"TMKEditorMain", {"TPageControl", "TTabSheet", "TEditorFrame", "TMKEditor"}, A::EditControl},
        {"TTEAD_FORM", {"TPanel", "TPageControl", "TTabSheet", "TF2Editor", "TFEditor"}, A::EditControl},
        // Linux editors, by the class part of their WM_CLASS.
        {"Gedit", {}, A::Selection},
        {"Mousepad", {}, A::Selection},
        {"kate", {}, A::Selection},
        {"kwrite", {}, A::Selection},
        {"Geany", {}, A::Selection},
        {"Xed", {}, A::Selection},
        {"Pluma", {}, A::Selection},
        {"Code", {}, A::Selection},
        {"Gvim", {}, A::Selection},
        {"Emacs", {}, A::Selection},
        {"Sublime_text", {}, A::Selection},
    };
    return table;
}

std::optional<std::string> ExtractEditorSelection(TEditOther& editor) noexcept {
    try {
        IDesktopWindows& windows = editor.Windows();
        const TWindowId active = windows.ActiveWindow();
        if (!active) return std::nullopt;
        const std::string className = windows.ClassName(active);
        for (const TEditorRow& row : EditorTable())
            if (auto text = ReadRow(row, active, className, editor)) return text;
    } catch (...) {
    }
    return std::nullopt;
}

}  // namespace tinctor
