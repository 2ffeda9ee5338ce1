// TJCheckListBox: execute through the host's dialog, the marks by line, and the
// index and count properties.
#include "script/ext/ecma_checklistbox.h"

#include "script/ext/ecma_desktop.h"
#include "script/ext/ext_common.h"

namespace kestrel {

using ext::Arg;

namespace {

TJCheckListBox& Box(TJObject& self) { return static_cast<TJCheckListBox&>(self); }

// A line index of the box, or -1 when Index names none.
int LineOrNone(const TJCheckListBox& box, std::int64_t index) {
    return index >= 0 && index < static_cast<std::int64_t>(box.Items().Checked.size()) ? static_cast<int>(index) : -1;
}

// The mark slot of line Index; EIndexError Message when there is no such line.
std::vector<bool>::reference Mark(TJCheckListBox& box, const TJValue& index, std::string_view message) {
    const int line = LineOrNone(box, index.AsInteger());
    if (line < 0) ThrowError(errors::IndexError, message);
    return box.Items().Checked[static_cast<std::size_t>(line)];
}

void Execute(TJObject& self, const TJValueList* args, TJValue& result) {
    TJCheckListBox& box = Box(self);
    const TJValue* index = Arg(args, 2);
    TJCheckList list{ext::TextArg(args, 0), ext::TextArg(args, 1), box.Items().List().Lines, box.Items().Checked,
                     index ? LineOrNone(box, index->AsInteger()) : -1};
    const bool accepted = DesktopHost(self).CheckListDialog(list);
    if (accepted) {
        list.Checked.resize(box.Items().Checked.size(), false);
        box.Items().Checked = std::move(list.Checked);
    }
    box.Index = LineOrNone(box, list.Index);
    result.BuildBool(accepted);
}

void GetChecked(TJObject& self, const TJValueList* args, TJValue& result) {
    const TJValue* index = Arg(args, 0);
    result.BuildBool(index && Mark(Box(self), *index, "CheckListBox.getChecked Index Error"));
}

void SetChecked(TJObject& self, const TJValueList* args, TJValue& result) {
    result.BuildObject(&self);
    if (ext::ArgCount(args) < 2) return;
    Mark(Box(self), (*args)[0], "CheckListBox.setChecked Index Error") = (*args)[1].AsBool();
}

TJObject* ReadItems(TJObject& self, int) { return &Box(self).Items(); }
std::int64_t ReadIndex(TJObject& self, int) { return Box(self).Index; }
std::int64_t ReadCount(TJObject& self, int) { return Box(self).Items().GetCount(); }

}  // namespace

TJCheckListBox::TJCheckListBox(TJBaseEngine* engine, const TJValueList* param)
    : TJObject(engine, param), items_(TJObject::New<TJCheckListItems>(engine, false)) {
    SetObjectName("CheckListBox");
    items_->IncRef();
}

TJCheckListBox::~TJCheckListBox() { items_->DecRef(); }

const TJMethodTable* TJCheckListBox::SharedMethods() const {
    using M = TJMethodTable;
    static const TJMethodTable table{{M::Method("execute", &Execute),
                                      M::Method("getChecked", &GetChecked),
                                      M::Method("setChecked", &SetChecked)},
                                     &BaseMethods()};
    return &table;
}

const TJPropertyTable* TJCheckListBox::PublishedProperties() const {
    static const TJPropertyTable table{ObjectProperty("items", nullptr, &ReadItems, nullptr),
                                       IntegerProperty("index", TJOrdinalType::S32, &ReadIndex, nullptr),
                                       IntegerProperty("count", TJOrdinalType::S32, &ReadCount, nullptr)};
    return &table;
}

}  // namespace kestrel
