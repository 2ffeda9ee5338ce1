// TJKeyboard, TJMouse and TJClipboard over the host's desktop.
#include "script/ext/ecma_desktop.h"

#include "script/ext/ext_common.h"

namespace kestrel {

namespace {

constexpr unsigned kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;

// What an engine without a host sees: no display (the defaults of TJHost).
class TNoDisplayHost final : public TJHost {
public:
    int MessageBox(std::string_view, std::string_view, int flags) override { return DismissedBoxResult(flags); }
    bool InputBox(std::string_view, bool, std::string&) override { return false; }
    std::string ApplicationTitle() const override { return {}; }
};

template <unsigned Vk>
std::int64_t ReadKey(TJObject& self, int) {
    return DesktopHost(self).IsKeyDown(Vk);
}

// The first byte of the text is the virtual-key code (so "a", 0x61, is numeric-pad 1).
void IsDown(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* arg = ext::Arg(args, 0);
    if (!arg) return;
    const TJString key = arg->AsString();
    if (key.view().empty()) return;
    result.BuildBool(DesktopHost(self).IsKeyDown(static_cast<unsigned char>(key.view()[0])));
}

std::int64_t ReadLeft(TJObject& self, int) { return DesktopHost(self).PointerState().Left; }
std::int64_t ReadMiddle(TJObject& self, int) { return DesktopHost(self).PointerState().Middle; }
std::int64_t ReadRight(TJObject& self, int) { return DesktopHost(self).PointerState().Right; }
std::int64_t ReadX(TJObject& self, int) { return DesktopHost(self).PointerState().X; }
std::int64_t ReadY(TJObject& self, int) { return DesktopHost(self).PointerState().Y; }

std::string ClipboardText(const TJObject& self) {
    std::string text;
    if (!DesktopHost(self).ClipboardText(text)) text.clear();
    return text;
}

std::string ReadAsText(TJObject& self, int) { return ClipboardText(self); }
void WriteAsText(TJObject& self, int, std::string_view text) { DesktopHost(self).SetClipboardText(text); }

void HasText(TJObject& self, const TJValueList*, TJValue& result) {
    std::string text;
    result.BuildBool(DesktopHost(self).ClipboardText(text));
}

void ToText(TJObject& self, const TJValueList*, TJValue& result) { result.BuildString(TJString(ClipboardText(self))); }

}  // namespace

TJHost& DesktopHost(const TJObject& object) {
    static TNoDisplayHost noDisplay;
    auto* engine = dynamic_cast<TJEngine*>(object.Engine());
    return engine && engine->Host ? *engine->Host : noDisplay;
}

TJKeyboard::TJKeyboard(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Keyboard");
}

const TJMethodTable* TJKeyboard::SharedMethods() const {
    static const TJMethodTable table{{TJMethodTable::Method("isDown", &IsDown)}, &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJKeyboard::PublishedProperties() const {
    static const TJPropertyTable table{BooleanProperty("shift", &ReadKey<kVkShift>, nullptr),
                                       BooleanProperty("ctrl", &ReadKey<kVkControl>, nullptr),
                                       BooleanProperty("alt", &ReadKey<kVkMenu>, nullptr)};
    return &table;
}

TJMouse::TJMouse(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Mouse");
}

const TJPropertyTable* TJMouse::PublishedProperties() const {
    static const TJPropertyTable table{BooleanProperty("lbutton", &ReadLeft, nullptr),
                                       BooleanProperty("mbutton", &ReadMiddle, nullptr),
                                       BooleanProperty("rbutton", &ReadRight, nullptr),
                                       IntegerProperty("x", TJOrdinalType::S32, &ReadX, nullptr),
                                       IntegerProperty("y", TJOrdinalType::S32, &ReadY, nullptr)};
    return &table;
}

TJClipboard::TJClipboard(TJBaseEngine* engine, const TJValueList* param) : TJObject(engine, param) {
    SetObjectName("Clipboard");
}

const TJMethodTable* TJClipboard::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{M::Method("hasText", &HasText), M::Method("toString", &ToText)}, &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJClipboard::PublishedProperties() const {
    static const TJPropertyTable table{StringProperty("asText", &ReadAsText, &WriteAsText)};
    return &table;
}

TJString TJClipboard::ToString(const TJValue*) { return TJString(ClipboardText(*this)); }

}  // namespace kestrel
