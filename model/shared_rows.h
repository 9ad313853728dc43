#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/table_index.h"

// A list of at most Capacity rows kept in blocks shared between copies: a
// copy costs a pointer per block, and changing a row copies only its block
// while another copy still shares it. The undo history keeps a copy of the
// work per action this way. Reading never copies. Copies may live on other
// threads: each thread changes only its own copy.
template <typename T, std::size_t Capacity, std::size_t BlockRows = 128>
class SharedRows {
    using Block = std::array<T, BlockRows>;

public:
    static constexpr std::size_t kCapacity = Capacity;
    static constexpr std::size_t kBlockBytes = sizeof(Block);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    const T& operator[](std::size_t i) const
    {
        checkedTableIndex(std::ptrdiff_t(i), size_);
        return (*blocks_[i / BlockRows])[i % BlockRows];
    }
    const T& back() const { return (*this)[size_ - 1]; }

    // Row i to change.
    T& at(std::size_t i)
    {
        checkedTableIndex(std::ptrdiff_t(i), size_);
        std::shared_ptr<Block>& block = blocks_[i / BlockRows];
        if (block.use_count() > 1)
            block = std::make_shared<Block>(*block);
        else
            // A copy just given up on another thread (the recovery writer's)
            // read this block before it let go: those reads come first.
            std::atomic_thread_fence(std::memory_order_acquire);
        return (*block)[i % BlockRows];
    }

    // Throws std::length_error, changing nothing, beyond the capacity.
    void push_back(const T& row)
    {
        if (size_ >= Capacity)
            throw std::length_error("a table of at most " + std::to_string(Capacity) + " rows is full");
        if (size_ % BlockRows == 0)
            blocks_.push_back(std::make_shared<Block>());
        ++size_;
        at(size_ - 1) = row;
    }

    // Keeps the rows for which keep(row) is true, in their order. Blocks
    // before the first row that goes stay shared.
    template <typename Keep>
    void keepIf(Keep keep)
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < size_; ++i) {
            const T& row = (*this)[i];
            if (!keep(row))
                continue;
            if (kept != i)
                at(kept) = T(row);
            ++kept;
        }
        resize(kept);
    }

    void erase(std::size_t i)
    {
        checkedTableIndex(std::ptrdiff_t(i), size_);
        std::size_t n = 0;
        keepIf([&](const T&) { return n++ != i; });
    }

    bool operator==(const SharedRows& other) const
    {
        if (size_ != other.size_)
            return false;
        for (std::size_t b = 0; b < blocks_.size(); ++b) {
            if (blocks_[b] == other.blocks_[b])
                continue;
            const std::size_t rows = std::min(BlockRows, size_ - b * BlockRows);
            for (std::size_t r = 0; r < rows; ++r)
                if (!((*blocks_[b])[r] == (*other.blocks_[b])[r]))
                    return false;
        }
        return true;
    }

    // The storage this list holds, block by block, to tell how much copies
    // share.
    template <typename Visit>
    void forEachBlock(Visit visit) const
    {
        for (const auto& block : blocks_)
            visit(static_cast<const void*>(block.get()));
    }

    class const_iterator {
    public:
        const_iterator(const SharedRows* rows, std::size_t i) : rows_(rows), i_(i) {}
        const T& operator*() const { return (*rows_)[i_]; }
        const T* operator->() const { return &(*rows_)[i_]; }
        const_iterator& operator++()
        {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator&) const = default;

    private:
        const SharedRows* rows_;
        std::size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

private:
    // Rows given up in a block kept in part stay there unseen: a row pushed
    // later overwrites its slot whole.
    void resize(std::size_t rows)
    {
        size_ = rows;
        blocks_.resize((rows + BlockRows - 1) / BlockRows);
    }

    std::vector<std::shared_ptr<Block>> blocks_;
    std::size_t size_ = 0;
};
