// The CheckListBox script object: a list of lines with a check mark each, shown in
// the host's check-list dialog, which gives the marks and the selected line back.
#pragma once

#include <vector>

#include "script/ext/ecma_strings.h"

namespace kestrel {

// The lines of a CheckListBox with one mark per line. After every change of the lines
// the marks are resized to the line count: marks keep their positions (they do not
// move with their lines), new ones are false, surplus ones are dropped. The marks live
// here, not in the box, so a script that keeps `items` after the box died is safe.
class TJCheckListItems : public TJStringsObject {
public:
    using TJStringsObject::TJStringsObject;
    void Changed() override { Checked.resize(List().Lines.size(), false); }
    std::vector<bool> Checked;
};

class TJCheckListBox : public TJObject {
public:
    TJCheckListBox(TJBaseEngine* engine, const TJValueList* param);
    ~TJCheckListBox() override;
    const TJMethodTable* SharedMethods() const override;
    const TJPropertyTable* PublishedProperties() const override;

    TJCheckListItems& Items() const noexcept { return *items_; }
    // The line selected when the dialog last closed; -1 before the first and for none.
    int Index = -1;

private:
    TJCheckListItems* items_;  // one count of ours
};

}  // namespace kestrel
