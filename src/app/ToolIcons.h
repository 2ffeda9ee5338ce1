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

// The picture drawn at Ratio device pixels per pixel (2 under a desktop scale of 2),
// so that it is as sharp as the screen, never a small picture stretched.
QPixmap ToolPixmap(TToolIcon icon, qreal ratio = 1.0);
// The icon with the picture at each device pixel ratio a desktop uses.
QIcon ToolIconOf(TToolIcon icon);

}  // namespace tinctor
