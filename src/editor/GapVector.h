// A sequence kept in one array with a movable gap of unused slots at the last place it changed:
// inserting or erasing there costs no moves of the items behind it, as editing mostly happens in
// one place of a large text; reaching an item by its index stays a constant-time lookup.
#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

template <typename T> class GapVector {
public:
  [[nodiscard]] std::size_t size() const { return items_.size() - GapLength(); }
  [[nodiscard]] bool empty() const { return size() == 0; }
  [[nodiscard]] T& operator[](std::size_t index) { return items_[Slot(index)]; }
  [[nodiscard]] const T& operator[](std::size_t index) const { return items_[Slot(index)]; }

  void reserve(std::size_t count) { items_.reserve(count + GapLength()); }
  void clear() {
    items_.clear();
    gapStart_ = gapEnd_ = 0;
  }

  // Appending grows like a plain vector, so a freshly loaded text holds no gap.
  void push_back(T item) {
    if (gapEnd_ < items_.size() || gapStart_ == gapEnd_) {
      const bool gapAtEnd = gapEnd_ == items_.size();
      items_.push_back(std::move(item));
      if (gapAtEnd) gapStart_ = gapEnd_ = items_.size();
    } else {
      items_[gapStart_++] = std::move(item);
    }
  }

  void insert(std::size_t index, T item) {
    if (gapStart_ == gapEnd_) OpenGap(index);
    MoveGap(index);
    items_[gapStart_++] = std::move(item);
  }

  void erase(std::size_t index) {
    MoveGap(index);
    items_[gapEnd_++] = T(); // a slot in the gap holds nothing
  }

private:
  [[nodiscard]] std::size_t GapLength() const { return gapEnd_ - gapStart_; }
  [[nodiscard]] std::size_t Slot(std::size_t index) const {
    return index < gapStart_ ? index : index + GapLength();
  }

  // Puts the gap before the item at `index`, moving only the items between the two places.
  void MoveGap(std::size_t index) {
    if (gapStart_ == gapEnd_) {
      gapStart_ = gapEnd_ = index;
    } else if (index < gapStart_) {
      std::move_backward(items_.begin() + static_cast<std::ptrdiff_t>(index),
                         items_.begin() + static_cast<std::ptrdiff_t>(gapStart_),
                         items_.begin() + static_cast<std::ptrdiff_t>(gapEnd_));
      gapEnd_ -= gapStart_ - index;
      gapStart_ = index;
    } else if (index > gapStart_) {
      const std::size_t count = index - gapStart_;
      std::move(items_.begin() + static_cast<std::ptrdiff_t>(gapEnd_),
                items_.begin() + static_cast<std::ptrdiff_t>(gapEnd_ + count),
                items_.begin() + static_cast<std::ptrdiff_t>(gapStart_));
      gapStart_ += count;
      gapEnd_ += count;
    }
  }

  // A new gap, in proportion to the size so that opening it is rare, at `index`.
  void OpenGap(std::size_t index) {
    const std::size_t length = std::max<std::size_t>(kMinGap, size() / 16);
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), length, T());
    gapStart_ = index;
    gapEnd_ = index + length;
  }

  static constexpr std::size_t kMinGap = 64;

  std::vector<T> items_; // the items before the gap, the gap's slots, the items after it
  std::size_t gapStart_ = 0;
  std::size_t gapEnd_ = 0;
};
