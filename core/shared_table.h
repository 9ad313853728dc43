#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

#include "core/table_index.h"

// A table like FixedTable (slots 0 to Size - 1, every access checked) whose
// rows are kept in blocks shared between copies: a copy costs a pointer per
// block, and writing a row copies only its block when another copy still
// shares it. The undo history keeps a copy of the dip table per action this
// way. Reading through a const table never copies anything. Copies may live
// on other threads: each thread writes only through its own copy.
template <typename T, std::size_t Size, std::size_t BlockRows = 128>
class SharedTable {
    using Block = std::array<T, BlockRows>;

public:
    static constexpr std::size_t kBlocks = (Size + BlockRows - 1) / BlockRows;
    static constexpr std::size_t kBlockBytes = sizeof(Block);

    SharedTable() : blocks_(kBlocks, std::make_shared<Block>()) {}

    static constexpr std::size_t size() { return Size; }

    T& operator[](std::ptrdiff_t i)
    {
        const std::size_t at = checked(i);
        std::shared_ptr<Block>& block = blocks_[at / BlockRows];
        if (block.use_count() > 1)
            block = std::make_shared<Block>(*block);
        else
            // A copy just given up on another thread (the recovery writer's)
            // read this block before it let go: those reads come first.
            std::atomic_thread_fence(std::memory_order_acquire);
        return (*block)[at % BlockRows];
    }

    const T& operator[](std::ptrdiff_t i) const
    {
        const std::size_t at = checked(i);
        return (*blocks_[at / BlockRows])[at % BlockRows];
    }

    bool operator==(const SharedTable& other) const
    {
        for (std::size_t b = 0; b < kBlocks; ++b)
            if (blocks_[b] != other.blocks_[b] && *blocks_[b] != *other.blocks_[b])
                return false;
        return true;
    }

    // The storage this table holds, block by block, to tell how much copies
    // share.
    template <typename Visit>
    void forEachBlock(Visit visit) const
    {
        for (const auto& block : blocks_)
            visit(static_cast<const void*>(block.get()));
    }

private:
    static std::size_t checked(std::ptrdiff_t i) { return checkedTableIndex(i, Size); }

    std::vector<std::shared_ptr<Block>> blocks_;
};
