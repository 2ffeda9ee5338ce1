// An in-memory host for scripts: it records every box and input dialog and answers
// them from a script of answers, and supplies standard input from a text.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "script/core/ecma_engine.h"

namespace kestrel::testing {

class FakeHost final : public TJHost {
public:
    struct Box {
        std::string Text, Caption;
        int Flags;
        bool operator==(const Box&) const = default;
    };
    int MessageBox(std::string_view text, std::string_view caption, int flags) override {
        boxes.push_back({std::string(text), std::string(caption), flags});
        return Next(boxAnswers, 1);
    }
    bool InputBox(std::string_view message, bool multiLine, std::string& text) override {
        inputs.push_back({std::string(message), text, multiLine ? 1 : 0});
        std::optional<std::string> answer = Next(inputAnswers, std::optional<std::string>());
        if (answer) text = *answer;
        return answer.has_value();
    }
    bool FileDialog(const TJFileDialog& dialog, std::vector<std::string>& chosen) override {
        fileDialogs.push_back(dialog);
        std::optional<std::vector<std::string>> answer = Next(fileAnswers, std::optional<std::vector<std::string>>());
        if (answer) chosen = *answer;
        return answer.has_value();
    }
    // Each answer acts on the dialog as a user would and says whether OK closed it.
    bool CheckListDialog(TJCheckList& list) override {
        checkLists.push_back(list);
        return Next(checkListAnswers, std::function<bool(TJCheckList&)>([](TJCheckList&) { return false; }))(list);
    }
    bool CanAskUser() const override { return canAsk; }
    bool ProcessEvents() override {
        ++processed;
        return !closing;
    }
    std::string ApplicationTitle() const override { return "Tinctor"; }
    std::uint32_t ApplicationHandle() const override { return 0x3A00005; }
    std::uint32_t MainFormHandle() const override { return 0x3A00005; }

    // Standard input for the engine's OnStdin hook: Count bytes, everything, or a line.
    void Read(std::string& text, bool& success, int count, bool line) {
        reads.push_back({count, line});
        if (!stdinText) return;
        if (line) {
            const std::size_t end = stdinText->find('\n');
            text = stdinText->substr(0, end);
            stdinText->erase(0, end == std::string::npos ? end : end + 1);
        } else {
            text = *stdinText;  // the whole text: read(n) keeps its first n bytes
        }
        success = true;
    }

    std::vector<Box> boxes;
    std::vector<Box> inputs;  // message, default text, multi-line
    std::deque<int> boxAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    std::vector<TJFileDialog> fileDialogs;
    std::deque<std::optional<std::vector<std::string>>> fileAnswers;  // none: cancelled
    std::vector<TJCheckList> checkLists;                               // as they were shown
    std::deque<std::function<bool(TJCheckList&)>> checkListAnswers;
    std::optional<std::string> stdinText;
    std::vector<std::pair<int, bool>> reads;
    int processed = 0;
    bool closing = false;
    bool canAsk = true;

private:
    template <class T>
    static T Next(std::deque<T>& answers, T otherwise) {
        if (answers.empty()) return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

}  // namespace kestrel::testing
