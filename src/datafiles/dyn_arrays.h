#pragma once

// The allocation layer: every block of Header Array and model data is allocated zero-filled through one
// checked routine that keeps a running total, and every array allocation is preceded by an estimate of the
// memory it needs, compared with the memory available. Vectors are 1-based (slot 0 unused). Arrays of up to 7
// dimensions and matrices are held as one contiguous zero-filled block; the estimates, limits and messages
// are those of the tree of pointer vectors the file layers were designed around, so refusals read the same.

#include "platform/error_text.h"
#include "platform/memory_status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin {

/// The element kinds of dynamic arrays, named as the allocation messages name them.
enum class ElemType { Real, Integer, String, Logical, Double };

/// "Real", "Integer", "String", "Logical" or "Double".
std::string_view TypeName(ElemType type);
/// Bytes per element: 4, 4, 4 (a string reference), 1, 8.
int ElementSize(ElemType type);

/// Largest length of a vector of integers, reals or string references, and of each size of an array.
inline constexpr std::int64_t kMaxArraySize = 268'435'454;
/// Largest length of a vector of booleans or characters.
inline constexpr std::int64_t kMaxByteVector = 1'073'741'822;
/// Memory the estimates leave to the rest of the program, in KB.
inline constexpr std::int64_t kMemoryReserveKb = 51'200;

/// Bytes currently held through SafeGetMem.
std::int64_t AllocationTotal();

/// Allocates `size` zero-filled bytes into an empty reference. Size 0 succeeds and allocates nothing.
bool SafeGetMem(void*& ref, std::int64_t size, ErrorText& errorText);
/// As SafeGetMem, but the block is not zero-filled: for readers that write or zero every byte themselves.
bool SafeGetMemUnfilled(void*& ref, std::int64_t size, ErrorText& errorText);
/// SafeGetMem of count x elemSize bytes, computed without overflow.
bool SafeGetMem2(void*& ref, std::int64_t count, std::int64_t elemSize, ErrorText& errorText);
/// Releases a block of `size` bytes taken by SafeGetMem and empties the reference.
void SafeFreeMem(void*& ref, std::int64_t size);

/// Memory the allocation estimates compare against, in KB: available (less the reserve) and already used.
struct MemoryKb {
  std::int64_t available = 0;
  std::int64_t used = 0;
};
/// The machine's memory as the estimates see it.
MemoryKb CurrentMemoryKb();
/// Replaces the memory status query (tests use it to make memory scarce); an empty function restores it.
void SetMemoryStatusSource(std::function<MemoryStatus()> source);

/// "Unexpected Nil Pointer" when `present` is false (content is required).
bool CheckNotNil(bool present, ErrorText& errorText);
/// "Expected Nil Pointer" when `present` is true (the reference must be empty).
bool CheckNil(bool present, ErrorText& errorText);

/// The product of seven sizes: 0 when any is 0 or negative, the largest 64-bit value when it would not fit.
std::int64_t ElementCount(const std::array<std::int64_t, 7>& dims);

/// A 1-based vector of n zero-filled elements (n + 1 slots, slot 0 unused) taken through SafeGetMem.
template <class T> class DynVec {
public:
  DynVec() = default;
  ~DynVec() { Free(); }
  DynVec(const DynVec&) = delete;
  DynVec& operator=(const DynVec&) = delete;
  DynVec(DynVec&& other) noexcept { Swap(other); }
  DynVec& operator=(DynVec&& other) noexcept {
    Free();
    Swap(other);
    return *this;
  }

  /// True when the vector holds a block.
  bool Allocated() const { return data_ != nullptr; }
  /// Number of elements (slots 1..n).
  std::int64_t Size() const { return n_; }
  T& operator[](std::int64_t i) { return data_[i]; }
  const T& operator[](std::int64_t i) const { return data_[i]; }
  /// The slots 0..n as a raw block.
  T* Data() { return data_; }
  const T* Data() const { return data_; }
  /// Releases the block.
  void Free() {
    void* p = data_;
    SafeFreeMem(p, (n_ + 1) * static_cast<std::int64_t>(sizeof(T)));
    data_ = nullptr;
    n_ = 0;
  }

  /// Takes over a block of n + 1 elements taken through SafeGetMem (the allocation routines use it).
  void Adopt(T* block, std::int64_t n) {
    Free();
    data_ = block;
    n_ = n;
  }

private:
  void Swap(DynVec& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(n_, other.n_);
  }
  T* data_ = nullptr;
  std::int64_t n_ = 0;
};

/// Vector allocations: the length is checked against the kind's maximum ("NElm(" n ")>" limit "(" max ")"),
/// then n + 1 slots are taken. The target must be empty.
bool AllocIntVec(DynVec<std::int32_t>& vec, std::int64_t n, ErrorText& errorText);
/// As AllocIntVec for booleans.
bool AllocBoolVec(DynVec<std::uint8_t>& vec, std::int64_t n, ErrorText& errorText);
/// As AllocIntVec for characters.
bool AllocCharVec(DynVec<char>& vec, std::int64_t n, ErrorText& errorText);
/// As AllocIntVec for single reals; also refuses a vector larger than the memory available.
bool AllocSingleVec(DynVec<float>& vec, std::int64_t n, ErrorText& errorText);

/// A 1-based list of strings: slot 0 is unused, slots 1..n hold the strings.
using PStrVec = std::vector<std::string>;
/// Makes `vec` a list of n empty strings (n + 1 slots).
bool AllocPStrVec(PStrVec& vec, std::int64_t n, ErrorText& errorText);
/// Copies strings 0..n of `source` into the empty `copy`; `longest` is the longest length (at least 1).
bool DupePStrVec(const PStrVec* source, std::int64_t n, PStrVec& copy, std::int64_t& longest,
                 ErrorText& errorText);

/// The memory estimate of a 7-dimensional array, in KB, each part rounded to the nearest KB.
struct Arr7Estimate {
  double pointerEntries = 0; ///< entries of all pointer vectors: s1 + s1*s2 + ... + s1*...*s6
  double valuesKb = 0;
  double pointersKb = 0;
  double overheadKb = 0;
  double RequiredKb() const { return valuesKb + pointersKb + overheadKb; }
};
/// The estimate for sizes given outermost first (s1 = dimension 7 of a header ... s7 = dimension 1).
Arr7Estimate EstimateArr7(const std::array<std::int64_t, 7>& sizesOuterFirst, int elementSize);
/// The "Not enough memory for ..." text of an array that does not fit.
std::string NotEnoughMemoryText(ElemType type, const std::array<std::int64_t, 7>& sizesOuterFirst,
                                const Arr7Estimate& estimate, const MemoryKb& memory);

/// A zero-filled array of up to 7 dimensions held in one block, dimension 1 varying fastest. Indexes are
/// 1-based.
template <class T> class Arr7 {
public:
  Arr7() = default;
  ~Arr7() { Release(); }
  Arr7(const Arr7&) = delete;
  Arr7& operator=(const Arr7&) = delete;
  Arr7(Arr7&& other) noexcept { Swap(other); }
  Arr7& operator=(Arr7&& other) noexcept {
    Release();
    Swap(other);
    return *this;
  }

  /// True when the array holds a block (an array with a size 0 holds none).
  bool Allocated() const { return data_ != nullptr; }
  /// Size of dimension d (1..7).
  std::int64_t Dim(int d) const { return dims_[d - 1]; }
  /// The seven sizes, dimension 1 first.
  const std::array<std::int64_t, 7>& Dims() const { return dims_; }
  /// Number of elements.
  std::int64_t Count() const { return count_; }
  /// The elements in storage order (dimension 1 fastest).
  T* Data() { return data_; }
  const T* Data() const { return data_; }
  /// The element at 1-based indexes (unused dimensions take 1).
  T& At(std::int64_t i1, std::int64_t i2 = 1, std::int64_t i3 = 1, std::int64_t i4 = 1, std::int64_t i5 = 1,
        std::int64_t i6 = 1, std::int64_t i7 = 1) {
    return data_[Offset({i1, i2, i3, i4, i5, i6, i7})];
  }
  const T& At(std::int64_t i1, std::int64_t i2 = 1, std::int64_t i3 = 1, std::int64_t i4 = 1,
              std::int64_t i5 = 1, std::int64_t i6 = 1, std::int64_t i7 = 1) const {
    return data_[Offset({i1, i2, i3, i4, i5, i6, i7})];
  }
  /// The 0-based storage offset of 1-based indexes.
  std::int64_t Offset(const std::array<std::int64_t, 7>& index) const {
    std::int64_t offset = 0;
    for (int d = 6; d >= 0; --d) {
      offset = offset * dims_[d] + (index[d] - 1);
    }
    return offset;
  }
  /// Releases the block; the sizes stay.
  void Release() {
    void* p = data_;
    SafeFreeMem(p, count_ * static_cast<std::int64_t>(sizeof(T)));
    data_ = nullptr;
  }

  /// Takes over a block of the sizes' product of elements taken through SafeGetMem (an empty block for a
  /// size 0); whatever the array held is released first.
  void Adopt(T* block, const std::array<std::int64_t, 7>& dims) {
    Release();
    data_ = block;
    dims_ = dims;
    count_ = ElementCount(dims);
  }
  /// Gives the same elements new sizes of the same product (false, and nothing changes, otherwise).
  bool Reshape(const std::array<std::int64_t, 7>& dims) {
    if (ElementCount(dims) != count_) {
      return false;
    }
    dims_ = dims;
    return true;
  }

private:
  void Swap(Arr7& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(dims_, other.dims_);
    std::swap(count_, other.count_);
  }
  T* data_ = nullptr;
  std::array<std::int64_t, 7> dims_{1, 1, 1, 1, 1, 1, 1};
  std::int64_t count_ = 0;
};

/// Allocates a 7-dimensional array with sizes given dimension 1 first (the header's order). Whatever the
/// array held is released first; every size must be at most 268,435,454 and the estimate must fit the memory
/// available. Messages end with " [AllocArr7UK (" + type name + ")]".
bool AllocArr7UK(Arr7<float>& arr, const std::array<std::int64_t, 7>& dims, ElemType type,
                 ErrorText& errorText);
bool AllocArr7UK(Arr7<double>& arr, const std::array<std::int64_t, 7>& dims, ElemType type,
                 ErrorText& errorText);
bool AllocArr7UK(Arr7<std::int32_t>& arr, const std::array<std::int64_t, 7>& dims, ElemType type,
                 ErrorText& errorText);
/// As AllocArr7UK, with the same checks and messages, but the values are left unset: the caller writes or
/// zeroes every one of them before anyone else sees the array (the file readers, which fill arrays in order).
bool AllocArr7UKUnfilled(Arr7<float>& arr, const std::array<std::int64_t, 7>& dims, ErrorText& errorText);
/// The same for booleans ("Logical").
bool AllocBoolMat7(Arr7<std::uint8_t>& arr, const std::array<std::int64_t, 7>& dims, ErrorText& errorText);
/// Releases a 7-dimensional array (the sizes stay). Always succeeds.
template <class T> bool FreeArr7UK(Arr7<T>& arr, ErrorText& /*errorText*/) {
  arr.Release();
  return true;
}

/// A zero-filled rows x columns matrix in one block, indexed (row, column) from 1, the row index varying
/// fastest.
template <class T> class Mat2 {
public:
  Mat2() = default;
  ~Mat2() { Release(); }
  Mat2(const Mat2&) = delete;
  Mat2& operator=(const Mat2&) = delete;
  Mat2(Mat2&& other) noexcept { Swap(other); }
  Mat2& operator=(Mat2&& other) noexcept {
    Release();
    Swap(other);
    return *this;
  }

  bool Allocated() const { return data_ != nullptr; }
  std::int64_t Rows() const { return rows_; }
  std::int64_t Cols() const { return cols_; }
  T& At(std::int64_t row, std::int64_t col) { return data_[(col - 1) * rows_ + (row - 1)]; }
  const T& At(std::int64_t row, std::int64_t col) const { return data_[(col - 1) * rows_ + (row - 1)]; }
  /// The elements column by column.
  T* Data() { return data_; }
  const T* Data() const { return data_; }
  /// Gives up the block without releasing it (for handing it to an Arr7 of the same element type).
  T* Detach() {
    T* p = data_;
    data_ = nullptr;
    rows_ = cols_ = 0;
    return p;
  }
  void Release() {
    void* p = data_;
    SafeFreeMem(p, rows_ * cols_ * static_cast<std::int64_t>(sizeof(T)));
    data_ = nullptr;
    rows_ = cols_ = 0;
  }
  /// Takes over a block of rows x cols elements taken through SafeGetMem.
  void Adopt(T* block, std::int64_t rows, std::int64_t cols) {
    Release();
    data_ = block;
    rows_ = rows;
    cols_ = cols;
  }

private:
  void Swap(Mat2& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(rows_, other.rows_);
    std::swap(cols_, other.cols_);
  }
  T* data_ = nullptr;
  std::int64_t rows_ = 0;
  std::int64_t cols_ = 0;
};

/// Allocates a rows x columns matrix: "Too many rows(" / "Too many cols(" above 268,435,454, the estimate
/// must fit the memory available, an existing matrix is released first. Failures append " [AllocMat2UK]".
bool AllocMat2UK(Mat2<float>& mat, std::int64_t rows, std::int64_t cols, ElemType type, ErrorText& errorText);
bool AllocMat2UK(Mat2<std::int32_t>& mat, std::int64_t rows, std::int64_t cols, ElemType type,
                 ErrorText& errorText);
bool AllocMat2UK(Mat2<double>& mat, std::int64_t rows, std::int64_t cols, ElemType type,
                 ErrorText& errorText);
/// The same for booleans ("Logical"); failures append " [AllocBoolMat2]".
bool AllocBoolMat2(Mat2<std::uint8_t>& mat, std::int64_t rows, std::int64_t cols, ErrorText& errorText);
/// Releases a matrix. Always succeeds.
template <class T> bool FreeMat2UK(Mat2<T>& mat, ErrorText& /*errorText*/) {
  mat.Release();
  return true;
}

} // namespace pelorin
