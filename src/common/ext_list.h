// An owning, ordered list whose reads never fail: reading a slot that is empty or beyond the
// end creates the item there through the list's factory. Sections of settings trees and the
// list of standards build on it.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace velview {

template <class T>
class TExtList {
public:
    TExtList() = default;
    virtual ~TExtList() = default;
    TExtList(const TExtList&) = delete;
    TExtList& operator=(const TExtList&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }

    // The item at index i, created when the slot is empty; at or beyond the end, the list is
    // extended to i entries and one new item appended. Null only when the factory gives none.
    T* Item(int i) {
        if (i < 0) throw std::out_of_range("TExtList: negative index");
        if (i >= Count()) {
            items_.resize(static_cast<std::size_t>(i));
            items_.push_back(CreateItem(i));
            return items_.back().get();
        }
        auto& slot = items_[static_cast<std::size_t>(i)];
        if (!slot) slot = CreateItem(i);
        return slot.get();
    }

    // The item at index i without creating anything (null for an empty slot or beyond the end).
    T* Peek(int i) const {
        return (i >= 0 && i < Count()) ? items_[static_cast<std::size_t>(i)].get() : nullptr;
    }

    // Appends a new item and returns its index.
    int Add() {
        items_.push_back(CreateItem(Count()));
        return Count() - 1;
    }

    void Delete(int i) {
        if (i < 0 || i >= Count()) return;
        items_.erase(items_.begin() + i);
    }

    void Clear() { items_.clear(); }

    // Shifts one item from `from` to `to` by neighbour exchanges, keeping the others in order.
    void Move(int from, int to) {
        if (from < 0 || from >= Count() || to < 0 || to >= Count()) return;
        for (; from < to; ++from) std::swap(items_[from], items_[from + 1]);
        for (; from > to; --from) std::swap(items_[from], items_[from - 1]);
    }

    // Runs the change hook and then the change event, unless updates are locked.
    void Changed() {
        if (updateCount_ != 0) return;
        ChangeHook();
        if (OnChange) OnChange();
    }
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() {
        if (updateCount_ > 0) --updateCount_;
    }

    std::function<void()> OnChange;

protected:
    virtual std::unique_ptr<T> CreateItem(int /*index*/) { return nullptr; }
    virtual void ChangeHook() {}

    // Takes ownership of an item created elsewhere, at the end.
    int Adopt(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return Count() - 1;
    }

private:
    std::vector<std::unique_ptr<T>> items_;
    int updateCount_ = 0;
};

}  // namespace velview
