// The desktop a script reads on X11 without Qt: held keys and mouse buttons, the
// pointer position and the text of the CLIPBOARD selection.
//
// Keys and buttons come from XQueryKeymap and XQueryPointer on a connection of the
// script's thread. The clipboard is owned by a window of its own whose thread answers
// other programs' requests; X11 keeps no copy, so what a program put there lasts until
// another program takes the clipboard or the program ends (unless a clipboard manager
// keeps it).
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tinctor {

struct TXPointer {
    int X = 0, Y = 0;
    bool Left = false, Middle = false, Right = false;
};

class TXDesktop {
public:
    // The desktop of $DISPLAY; none when there is no display.
    static std::unique_ptr<TXDesktop> Open();
    ~TXDesktop();
    TXDesktop(const TXDesktop&) = delete;
    TXDesktop& operator=(const TXDesktop&) = delete;

    // Whether the key with the Windows virtual-key code Vk is held now (codes 1, 2
    // and 4 are the left, right and middle mouse buttons).
    bool IsKeyDown(unsigned vk);
    TXPointer Pointer();
    // The clipboard's text in UTF-8; none when it holds no text (e.g. only a picture).
    bool ClipboardText(std::string& utf8);
    // Takes the clipboard with Utf8 as its text.
    void SetClipboardText(std::string_view utf8);

private:
    struct TImpl;
    explicit TXDesktop(std::unique_ptr<TImpl> impl);
    std::unique_ptr<TImpl> impl_;
};

}  // namespace tinctor
