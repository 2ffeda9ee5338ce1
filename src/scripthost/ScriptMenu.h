// The script menu: one item per script of the scripts folder above the fixed items
// (a separator, "フォルダを開く(&D)", "メニューの更新(&R)").
#pragma once

#include <functional>
#include <string>
#include <string_view>

class QAction;
class QMenu;

namespace tinctor {

// The menu caption of a script: its first line after "//", cut to 256 bytes and
// trimmed of spaces and control characters; the file name when the first line is
// not a "//" comment.
std::string ScriptCaption(std::string_view text, std::string_view fileName);

// The file name (with extension, without folder) a script item runs, or empty for
// the fixed items.
std::string ScriptFileOf(const QAction* item);

// Replaces the script items of Menu (everything above its first separator) by the
// scripts of Folder in name order. Choosing an item calls OnRun with it.
void RebuildScriptMenu(QMenu& menu, const std::string& folder, const std::function<void(QAction*)>& onRun);

}  // namespace tinctor
