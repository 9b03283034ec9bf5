#pragma once
// Fixed-capacity tables indexed like the program's arrays: every index from 0 to the last one
// exists (slot 0 is kept but never used by the computations), the storage is allocated once at
// construction and never resized, and an index outside the range raises the index failure.
//
//   Table1<double, 4000> x;      // x(1) .. x(4000)
//   Table2<double, 4000, 6> y;   // y(i, k), stored column by column so one curve is contiguous

#include <algorithm>
#include <cstddef>
#include <vector>

#include "model/checked_math.h"

namespace kivex::model {

[[noreturn]] inline void ThrowIndexFailure() { ThrowFailure(kSubscriptOutOfRange); }

template <typename T, int Last>
class Table1 {
 public:
  static constexpr int kLast = Last;

  Table1() : data_(static_cast<std::size_t>(Last) + 1, T{}) {}

  T& operator()(int i) { return data_[Checked(i)]; }
  const T& operator()(int i) const { return data_[Checked(i)]; }

  void Fill(const T& value) { std::fill(data_.begin(), data_.end(), value); }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }

 private:
  static std::size_t Checked(int i) {
    if (i < 0 || i > Last) ThrowIndexFailure();
    return static_cast<std::size_t>(i);
  }
  std::vector<T> data_;
};

template <typename T, int LastRow, int LastCol>
class Table2 {
 public:
  static constexpr int kLastRow = LastRow;
  static constexpr int kLastCol = LastCol;
  static constexpr std::size_t kRows = static_cast<std::size_t>(LastRow) + 1;

  Table2() : data_(kRows * (static_cast<std::size_t>(LastCol) + 1), T{}) {}

  T& operator()(int i, int k) { return data_[Checked(i, k)]; }
  const T& operator()(int i, int k) const { return data_[Checked(i, k)]; }

  // Slot 0 of column k, for loops that have checked their own range.
  T* Column(int k) { return data_.data() + Checked(0, k); }
  const T* Column(int k) const { return data_.data() + Checked(0, k); }

  void Fill(const T& value) { std::fill(data_.begin(), data_.end(), value); }

 private:
  static std::size_t Checked(int i, int k) {
    if (i < 0 || i > LastRow || k < 0 || k > LastCol) ThrowIndexFailure();
    return static_cast<std::size_t>(k) * kRows + static_cast<std::size_t>(i);
  }
  std::vector<T> data_;
};

}  // namespace kivex::model
