// Storage for syntax tree nodes: blocks of nodes handed out one by one, so that a
// parse makes a handful of allocations instead of one per node, and a whole tree is
// freed at once. A node given back is reset and reused by the next request. Freeing
// the tree resets its nodes but keeps their blocks for the next tree, so that a new
// compile or load does not fault in fresh memory page by page.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace kestrel {

template <class T>
class TJNodePool {
public:
    TJNodePool() = default;
    TJNodePool(const TJNodePool&) = delete;
    TJNodePool& operator=(const TJNodePool&) = delete;

    // A node in its default state, owned by the pool.
    T* New() {
        ++live_;
        if (!free_.empty()) {
            T* node = free_.back();
            free_.pop_back();
            return node;
        }
        if (blocks_.empty() || used_ == blocks_[current_].Size) {
            if (!blocks_.empty() && current_ + 1 < blocks_.size()) {
                ++current_;
            } else {
                const std::size_t size =
                    blocks_.empty() ? kFirstBlock : std::min(blocks_.back().Size * 2, kLargestBlock);
                blocks_.push_back({std::make_unique<T[]>(size), size});
                current_ = blocks_.size() - 1;
            }
            used_ = 0;
        }
        return &blocks_[current_].Nodes[used_++];
    }

    // Gives a node back: it is reset now and reused later.
    void Free(T* node) {
        *node = T{};
        free_.push_back(node);
        --live_;
    }

    // Frees every node: each one handed out is reset, the blocks stay for reuse.
    void Clear() noexcept {
        for (std::size_t b = 0; b < blocks_.size() && b <= current_; ++b) {
            const std::size_t used = b == current_ ? used_ : blocks_[b].Size;
            for (std::size_t i = 0; i < used; ++i) {
                std::destroy_at(&blocks_[b].Nodes[i]);
                std::construct_at(&blocks_[b].Nodes[i]);
            }
        }
        free_.clear();
        current_ = 0;
        used_ = 0;
        live_ = 0;
    }

    // The number of nodes handed out and not given back.
    std::size_t Count() const noexcept { return live_; }

private:
    static constexpr std::size_t kFirstBlock = 32;
    static constexpr std::size_t kLargestBlock = 4096;

    struct Block {
        std::unique_ptr<T[]> Nodes;
        std::size_t Size;
    };
    std::vector<Block> blocks_;
    std::vector<T*> free_;
    std::size_t current_ = 0;  // the block nodes are handed out from
    std::size_t used_ = 0;     // nodes of that block handed out
    std::size_t live_ = 0;
};

}  // namespace kestrel
