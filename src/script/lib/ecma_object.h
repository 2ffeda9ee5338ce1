// The global object and the built-in objects of the standard library.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "script/core/ecma_engine.h"

namespace kestrel {

// The dialect's ordered, growable list of values. `a[i]` with an integer key (also
// its text, in any form the integer parser reads) reads or writes element i, growing
// the array first; any other key is an ordinary member.
//
// Elements removed by shift leave a gap at the front of the storage that later
// growth or a compaction reclaims, so that a queue costs constant time per element.
class TJArrayObject : public TJObject {
public:
    // No array grows beyond this many elements: a larger index or length is an EIndexError.
    static constexpr std::int32_t kMaxLength = 1 << 24;

    // One integer argument: that many undefined elements; otherwise the arguments.
    TJArrayObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJArrayObject() override;

    bool IsArray() const override { return true; }
    int GetCount() override { return Count(); }
    void GetItem(int index, TJValue& value) override;
    bool GetElement(std::int32_t index, TJValue& value) override;
    bool SetElement(std::int32_t index, const TJValue& value) override;
    void GetValue(std::string_view name, bool arrayStyle, TJValue& value, const TJValueList* param = nullptr) override;
    void SetValue(std::string_view name, const TJValue& value, const TJValueList* param = nullptr,
                  bool arrayStyle = false) override;
    // The elements joined with ",".
    TJString ToString(const TJValue* arg = nullptr) override;
    TJValue ValueOf() override { return StringValue(ToString()); }
    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;

    int Count() const noexcept { return items_.Count() - head_; }
    // The element storage, index 0 first.
    TJValueList& Items() noexcept {
        Compact();
        return items_;
    }
    // The text of every element joined with Separator; null and undefined give empty
    // text. An array that is being joined already (it holds itself) gives empty text.
    TJString Join(std::string_view separator);
    // Appends undefined values up to Count, or removes elements from the end; a
    // negative count empties the array, one above kMaxLength is an EIndexError.
    void SetLength(std::int32_t count);
    // `length` takes its value whole, so it is written here rather than by the property.
    bool SetValueImpl(std::string_view name, const TJValue& value, const TJValueList* param) override;

private:
    // Makes room for element Index; EIndexError for a negative or too large index.
    void Reach(std::int32_t index, std::string_view keyText);
    // EIndexError unless the array may hold NewCount elements.
    static void CheckGrowth(std::int64_t newCount);
    // Closes the gap that shift left at the front.
    void Compact();
    const TJValue& At(int index) const noexcept { return items_[head_ + index]; }
    // Removes element Index.
    void RemoveAt(int index);
    // Removes element Index and hands it to the caller alive.
    void TakeOut(int index, TJValue& removed);
    // A new array of this engine holding Items.
    TJArrayObject* NewArray(const TJValueList* items = nullptr) const;

    // The methods, in the order scripts know them.
    void Add(const TJValueList* args, TJValue& result);
    void Push(const TJValueList* args, TJValue& result);
    void Pop(const TJValueList* args, TJValue& result);
    void Shift(const TJValueList* args, TJValue& result);
    void Unshift(const TJValueList* args, TJValue& result);
    void Delete(const TJValueList* args, TJValue& result);
    void Clear(const TJValueList* args, TJValue& result);
    void Assign(const TJValueList* args, TJValue& result);
    void Concat(const TJValueList* args, TJValue& result);
    void JoinMethod(const TJValueList* args, TJValue& result);
    void Reverse(const TJValueList* args, TJValue& result);
    void Slice(const TJValueList* args, TJValue& result);
    void Splice(const TJValueList* args, TJValue& result);
    void Sort(const TJValueList* args, TJValue& result);

    TJValueList items_;
    int head_ = 0;  // dead (undefined) slots at the front of items_
    bool joining_ = false;
    // What a sort with a compare function keeps; made by the first such sort.
    struct TSortState;
    std::unique_ptr<TSortState> sort_;
};

// The global object: the functions a script calls without naming an object, the
// `arguments` of the run, facts about the host, and the flag that keeps the event
// loop going. Its methods are shared by the class, so clearing it for a run is cheap.
class TJGlobalObject : public TJGlobalBase {
public:
    TJGlobalObject(TJBaseEngine* engine, const TJValueList* param);
    ~TJGlobalObject() override;

    const TJPropertyTable* PublishedProperties() const override;
    const TJMethodTable* SharedMethods() const override;
    void SetArguments(const TJValueList* args) override;
    TJArrayObject* Arguments() const noexcept { return arguments_; }
    TJArrayObject* Finalizer() const noexcept { return finalizer_; }
    // The engine that made it, or none.
    TJEngine* ScriptEngine() const noexcept;

private:
    // Console and input.
    void Print(const TJValueList* args, TJValue& result);
    void PrintLine(const TJValueList* args, TJValue& result);
    void Read(const TJValueList* args, TJValue& result);
    void ReadLine(const TJValueList* args, TJValue& result);
    // Dialogs.
    void Alert(const TJValueList* args, TJValue& result);
    void Confirm(const TJValueList* args, TJValue& result);
    void Prompt(const TJValueList* args, TJValue& result);
    void TextArea(const TJValueList* args, TJValue& result);
    void MsgBox(const TJValueList* args, TJValue& result);
    // The run and the event loop.
    void Exit(const TJValueList* args, TJValue& result);
    void EventLoop(const TJValueList* args, TJValue& result);
    void Terminate(const TJValueList* args, TJValue& result);
    void DoEvents(const TJValueList* args, TJValue& result);
    void Sleep(const TJValueList* args, TJValue& result);
    void IsConsole(const TJValueList* args, TJValue& result);
    void Eval(const TJValueList* args, TJValue& result);
    // Formatting.
    void Format(const TJValueList* args, TJValue& result);
    void Printf(const TJValueList* args, TJValue& result);
    void PrintfLine(const TJValueList* args, TJValue& result);

    // Text Count and Line asked of the input link; EFileError when none came.
    std::string ReadInput(int count, bool line);
    int ShowBox(std::string_view text, std::string_view caption, int flags);
    void ShowInput(const TJValueList* args, bool multiLine, TJValue& result);
    std::string Title() const;

    TJArrayObject* arguments_;
    TJArrayObject* finalizer_;
};

}  // namespace kestrel
