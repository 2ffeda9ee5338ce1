// The Dialog object: the open, open-several, save and folder dialogs, asked of the
// engine's host (cancelled at once when there is nobody to ask).
#pragma once

#include "script/core/ecma_engine.h"

namespace kestrel {

class TJDialogObject : public TJObject {
public:
    TJDialogObject(TJBaseEngine* engine, const TJValueList* param);
    const TJMethodTable* SharedMethods() const override;
};

// What a file dialog asks for from its file name argument: a folder starts the
// dialog in it; else the folder part starts the dialog (the current folder when there
// is none or it does not exist), a name
// with "*" or "?" is the filter (masks joined by ";"), any other name is proposed,
// and the proposed name's extension, else that of a filter's first "*.ext" mask, is
// what Save adds to a name typed without one.
TJFileDialog FileDialogRequest(TJFileDialog::TKind kind, std::string title, std::string_view fileName);

}  // namespace kestrel
