// The pictures of the toolbar, the eyedropper and the clipboard buttons, drawn by
// the program itself (16 x 16).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace tinctor {

enum class TToolIcon {
    Config, ColorList, Script,
    Html, VisualBasic, Delphi, CLang, RgbCall, DoubleWord,
    Spoit, NewFile, DeleteFile, AddColor, MoveUp, MoveDown, LargeIcon, SmallIcon,
    CopyToClipboard, LoadFromClipboard,
};

QPixmap ToolPixmap(TToolIcon icon);
inline QIcon ToolIconOf(TToolIcon icon) { return QIcon(ToolPixmap(icon)); }

}  // namespace tinctor
