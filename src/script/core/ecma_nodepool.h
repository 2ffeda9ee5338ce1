// Storage for syntax tree nodes: blocks of nodes handed out one by one, so that a
// parse makes a handful of allocations instead of one per node, and a whole tree is
// freed at once. A node given back is reset and reused by the next request.
#pragma once

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
        if (blocks_.empty() || used_ == blockSize_) {
            if (!blocks_.empty() && blockSize_ < kLargestBlock) blockSize_ *= 2;
            blocks_.push_back(std::make_unique<T[]>(blockSize_));
            used_ = 0;
        }
        return &blocks_.back()[used_++];
    }

    // Gives a node back: it is reset now and reused later.
    void Free(T* node) {
        *node = T{};
        free_.push_back(node);
        --live_;
    }

    // Frees every node.
    void Clear() noexcept {
        blocks_.clear();
        free_.clear();
        blockSize_ = kFirstBlock;
        used_ = 0;
        live_ = 0;
    }

    // The number of nodes handed out and not given back.
    std::size_t Count() const noexcept { return live_; }

private:
    static constexpr std::size_t kFirstBlock = 32;
    static constexpr std::size_t kLargestBlock = 4096;

    std::vector<std::unique_ptr<T[]>> blocks_;
    std::vector<T*> free_;
    std::size_t blockSize_ = kFirstBlock;
    std::size_t used_ = 0;
    std::size_t live_ = 0;
};

}  // namespace kestrel
