#include <gtest/gtest.h>

#include "desktop/ClipboardObserver.h"
#include "platform/fake/FakeClipboard.h"

namespace tinctor {
namespace {


// A viewer of another program that keeps the chain rules as every program should.
class TOtherViewer : public IClipboardViewer {
public:
    explicit TOtherViewer(TFakeClipboard& clipboard, std::intptr_t result = 0)
        : clipboard_(clipboard), result_(result) {
        next_ = clipboard_.Join(*this);
    }
    void Leave() { clipboard_.Leave(*this, next_); }
    TViewerId Id() const { return clipboard_.IdOf(*this); }

    int Draws = 0;
    std::vector<std::pair<TViewerId, TViewerId>> ChainChanges;

    std::intptr_t DrawClipboard() override {
        ++Draws;
        if (next_) clipboard_.SendDrawClipboard(next_);
        return result_;
    }
    std::intptr_t ChangeCbChain(TViewerId leaving, TViewerId next) override {
        ChainChanges.emplace_back(leaving, next);
        if (leaving == next_)
            next_ = next;
        else if (next_)
            clipboard_.SendChangeCbChain(next_, leaving, next);
        return result_;
    }

private:
    TFakeClipboard& clipboard_;
    TViewerId next_ = 0;
    std::intptr_t result_;
};

TEST(ClipboardObserver, AloneInTheChainItHearsEveryChange) {
    TFakeClipboard clipboard;
    TClipboardObserver observer(clipboard);
    EXPECT_EQ(observer.NextViewer(), 0u);
    int changes = 0;
    observer.OnChange = [&](TClipboardObserver* sender) {
        EXPECT_EQ(sender, &observer);
        ++changes;
    };
    observer.Loaded();  // no next viewer: nothing at first
    EXPECT_EQ(changes, 0);
    clipboard.Change("#FF0000");
    clipboard.Change(std::nullopt);
    EXPECT_EQ(changes, 2);
    observer.OnChange = nullptr;  // silenced, still in the chain
    clipboard.Change("red");
    EXPECT_EQ(changes, 2);
}

TEST(ClipboardObserver, PassesNoticesOnUnlessCallNextIsOff) {
    TFakeClipboard clipboard;
    TOtherViewer before(clipboard, 42);
    TClipboardObserver observer(clipboard);
    EXPECT_EQ(observer.NextViewer(), before.Id());
    int changes = 0;
    observer.OnChange = [&](TClipboardObserver*) { ++changes; };

    // The head's result is that of the viewer it passed the notice to.
    EXPECT_EQ(clipboard.SendDrawClipboard(clipboard.Head()), 42);
    EXPECT_EQ(before.Draws, 1);
    EXPECT_EQ(changes, 1);

    observer.CallNext = false;
    EXPECT_EQ(clipboard.SendDrawClipboard(clipboard.Head()), 0);
    EXPECT_EQ(before.Draws, 1);
    EXPECT_EQ(changes, 2);
}

TEST(ClipboardObserver, LoadedRaisesOnChangeOnceWithANextViewer) {
    TFakeClipboard clipboard;
    TOtherViewer before(clipboard);
    TClipboardObserver observer(clipboard);
    int changes = 0;
    observer.Loaded();  // no handler yet
    observer.OnChange = [&](TClipboardObserver*) { ++changes; };
    observer.Loaded();
    EXPECT_EQ(changes, 1);
    observer.CallAtFirst = false;
    observer.Loaded();
    EXPECT_EQ(changes, 1);
}

TEST(ClipboardObserver, TakesOverTheSuccessorOfALeavingNextViewer) {
    TFakeClipboard clipboard;
    TOtherViewer last(clipboard);
    TOtherViewer middle(clipboard);
    TClipboardObserver observer(clipboard);
    ASSERT_EQ(observer.NextViewer(), middle.Id());

    middle.Leave();
    EXPECT_EQ(observer.NextViewer(), last.Id());
    EXPECT_TRUE(last.ChainChanges.empty());  // the notice stopped at the observer
    clipboard.Change("blue");
    EXPECT_EQ(last.Draws, 1);
    EXPECT_EQ(middle.Draws, 0);
}

TEST(ClipboardObserver, PassesOnTheLeavingOfAViewerFurtherDown) {
    TFakeClipboard clipboard;
    TOtherViewer last(clipboard);
    TOtherViewer middle(clipboard);
    TClipboardObserver observer(clipboard);
    const TViewerId lastId = last.Id();

    last.Leave();
    EXPECT_EQ(observer.NextViewer(), middle.Id());
    ASSERT_EQ(middle.ChainChanges.size(), 1u);
    EXPECT_EQ(middle.ChainChanges[0], std::make_pair(lastId, TViewerId{0}));
}

TEST(ClipboardObserver, WithCallNextOffTheLeavingOfAViewerFurtherDownGoesNoFurther) {
    TFakeClipboard clipboard;
    TOtherViewer last(clipboard);
    TOtherViewer middle(clipboard);
    TClipboardObserver observer(clipboard);
    observer.CallNext = false;
    last.Leave();
    EXPECT_EQ(observer.NextViewer(), middle.Id());
    EXPECT_TRUE(middle.ChainChanges.empty());
}

TEST(ClipboardObserver, LeavesTheChainWhenItDiesEvenAsTheLastViewer) {
    TFakeClipboard clipboard;
    TOtherViewer first(clipboard);
    auto observer = std::make_unique<TClipboardObserver>(clipboard);
    TOtherViewer after(clipboard);  // chain: after -> observer -> first
    observer.reset();
    ASSERT_EQ(after.ChainChanges.size(), 1u);
    clipboard.Change("x");
    EXPECT_EQ(after.Draws, 1);
    EXPECT_EQ(first.Draws, 1);  // after now passes straight to first

    TFakeClipboard alone;
    int changes = 0;
    {
        TClipboardObserver only(alone);
        only.OnChange = [&](TClipboardObserver*) { ++changes; };
    }
    EXPECT_EQ(alone.Head(), 0u);
    alone.Change("y");  // nobody left to tell, and nothing dangles
    EXPECT_EQ(changes, 0);
}

}  // namespace
}  // namespace tinctor
