#include "datafiles/dyn_arrays.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <new>

namespace pelorin {

namespace {

std::atomic<std::int64_t> allocationTotal{0};

std::mutex memorySourceMutex;
std::function<MemoryStatus()>& MemorySource() {
  static std::function<MemoryStatus()> source;
  return source;
}

std::string Num(std::int64_t value) {
  return std::to_string(value);
}

// Whole numbers that may exceed 64 bits (array estimates of absurd sizes) are printed without exponent.
std::string WholeText(double value) {
  char text[400];
  std::snprintf(text, sizeof text, "%.0f", value);
  return text;
}

// Estimates of absurd arrays exceed every integer type, so they stay floating.
double RoundKb(long double bytes) {
  return std::round(static_cast<double>(bytes / 1024));
}

template <class T>
bool AllocVector(DynVec<T>& vec, std::int64_t n, std::int64_t maximum, std::string_view limitName,
                 std::string_view tag, ErrorText& errorText) {
  if (vec.Allocated()) {
    return Fail(errorText, "Expected Nil Pointer", tag);
  }
  if (n > maximum) {
    return Fail(errorText, "NElm(" + Num(n) + ")>" + std::string(limitName) + "(" + Num(maximum) + ")", tag);
  }
  void* block = nullptr;
  if (!SafeGetMem2(block, n + 1, static_cast<std::int64_t>(sizeof(T)), errorText)) {
    return AddTag(errorText, tag);
  }
  vec.Adopt(static_cast<T*>(block), n + 1 > 0 ? n : 0);
  return true;
}

template <class T>
bool AllocArr7Typed(Arr7<T>& arr, const std::array<std::int64_t, 7>& dims, ElemType type,
                    ErrorText& errorText, bool zeroFill = true) {
  const std::string tag = " [AllocArr7UK (" + std::string(TypeName(type)) + ")]";
  arr.Release();
  for (std::int64_t size : dims) {
    if (size > kMaxArraySize) {
      return Fail(errorText, "Dimension too large(" + Num(size) + "), max is " + Num(kMaxArraySize), tag);
    }
    if (size < 0) {
      return Fail(errorText, "Size<0", tag);
    }
  }
  std::array<std::int64_t, 7> outerFirst{};
  for (int d = 0; d < 7; ++d) {
    outerFirst[d] = dims[6 - d];
  }
  const Arr7Estimate estimate = EstimateArr7(outerFirst, ElementSize(type));
  const MemoryKb memory = CurrentMemoryKb();
  if (estimate.RequiredKb() > static_cast<double>(memory.available)) {
    return Fail(errorText, NotEnoughMemoryText(type, outerFirst, estimate, memory), tag);
  }
  const std::int64_t count = ElementCount(dims); // bounded: the estimate above fits the memory available
  void* block = nullptr;
  const bool ok = zeroFill
                      ? SafeGetMem2(block, count, static_cast<std::int64_t>(sizeof(T)), errorText)
                      : SafeGetMemUnfilled(block, count * static_cast<std::int64_t>(sizeof(T)), errorText);
  if (!ok) {
    return AddTag(errorText, tag);
  }
  arr.Adopt(static_cast<T*>(block), dims);
  return true;
}

template <class T>
bool AllocMat2Typed(Mat2<T>& mat, std::int64_t rows, std::int64_t cols, int elementSize, std::string_view tag,
                    ErrorText& errorText) {
  if (rows > kMaxArraySize) {
    return Fail(errorText, "Too many rows(" + Num(rows) + "), max is " + Num(kMaxArraySize), tag);
  }
  if (cols > kMaxArraySize) {
    return Fail(errorText, "Too many cols(" + Num(cols) + "), max is " + Num(kMaxArraySize), tag);
  }
  if (rows < 0 || cols < 0) {
    return Fail(errorText, "Size<0", tag);
  }
  const long double bytes =
      static_cast<long double>(rows) * cols * elementSize + rows * 4.0L + rows * 4.0L * (rows == 1 ? 2 : 1);
  if (RoundKb(bytes) > static_cast<double>(CurrentMemoryKb().available)) {
    return Fail(errorText,
                "Not enough memory for array size " + Num(rows) + " rows and " + Num(cols) + " columns", tag);
  }
  mat.Release();
  void* block = nullptr;
  if (!SafeGetMem2(block, rows * cols, static_cast<std::int64_t>(sizeof(T)), errorText)) {
    return AddTag(errorText, tag);
  }
  mat.Adopt(static_cast<T*>(block), rows, cols);
  return true;
}

} // namespace

std::int64_t ElementCount(const std::array<std::int64_t, 7>& dims) {
  std::int64_t count = 1;
  for (std::int64_t size : dims) {
    if (size <= 0) {
      return 0;
    }
  }
  for (std::int64_t size : dims) {
    if (count > INT64_MAX / size) {
      return INT64_MAX;
    }
    count *= size;
  }
  return count;
}

std::string_view TypeName(ElemType type) {
  switch (type) {
  case ElemType::Real:
    return "Real";
  case ElemType::Integer:
    return "Integer";
  case ElemType::String:
    return "String";
  case ElemType::Logical:
    return "Logical";
  case ElemType::Double:
    return "Double";
  }
  return "Real";
}

int ElementSize(ElemType type) {
  switch (type) {
  case ElemType::Logical:
    return 1;
  case ElemType::Double:
    return 8;
  default:
    return 4;
  }
}

std::int64_t AllocationTotal() {
  return allocationTotal.load();
}

namespace {

bool GetMem(void*& ref, std::int64_t size, bool zeroFill, ErrorText& errorText) {
  if (ref != nullptr) {
    return Fail(errorText, "pointer should be nil", " [SafeGetMem]");
  }
  if (size < 0) {
    return Fail(errorText, "Size<0", " [SafeGetMem]");
  }
  if (size == 0) {
    return true;
  }
  if (static_cast<std::uint64_t>(size) > static_cast<std::uint64_t>(PTRDIFF_MAX)) {
    return Fail(errorText, "Out of Memory", " [SafeGetMem]");
  }
  const auto bytes = static_cast<std::size_t>(size);
  ref = zeroFill ? std::calloc(1, bytes) : std::malloc(bytes);
  if (ref == nullptr) {
    return Fail(errorText, "Out of Memory", " [SafeGetMem]");
  }
  allocationTotal += size;
  return true;
}

} // namespace

bool SafeGetMem(void*& ref, std::int64_t size, ErrorText& errorText) {
  return GetMem(ref, size, true, errorText);
}

bool SafeGetMemUnfilled(void*& ref, std::int64_t size, ErrorText& errorText) {
  return GetMem(ref, size, false, errorText);
}

bool SafeGetMem2(void*& ref, std::int64_t count, std::int64_t elemSize, ErrorText& errorText) {
  std::int64_t size = 0;
  if (count < 0 || elemSize < 0) {
    size = -1;
  } else if (__builtin_mul_overflow(count, elemSize, &size)) {
    if (ref != nullptr) {
      return Fail(errorText, "pointer should be nil [SafeGetMem]", " [SafeGetMem2]");
    }
    return Fail(errorText, "Out of Memory [SafeGetMem]", " [SafeGetMem2]");
  }
  if (!SafeGetMem(ref, size, errorText)) {
    return AddTag(errorText, " [SafeGetMem2]");
  }
  return true;
}

void SafeFreeMem(void*& ref, std::int64_t size) {
  if (ref == nullptr || size <= 0) {
    return;
  }
  std::free(ref);
  allocationTotal -= size;
  ref = nullptr;
}

MemoryKb CurrentMemoryKb() {
  MemoryStatus status;
  {
    std::lock_guard<std::mutex> lock(memorySourceMutex);
    status = MemorySource() ? MemorySource()() : GetMemoryStatus();
  }
  MemoryKb memory;
  memory.available = static_cast<std::int64_t>(status.available / 1024) - kMemoryReserveKb;
  memory.used = static_cast<std::int64_t>(status.used / 1024);
  return memory;
}

void SetMemoryStatusSource(std::function<MemoryStatus()> source) {
  std::lock_guard<std::mutex> lock(memorySourceMutex);
  MemorySource() = std::move(source);
}

bool CheckNotNil(bool present, ErrorText& errorText) {
  return present || Fail(errorText, "Unexpected Nil Pointer");
}

bool CheckNil(bool present, ErrorText& errorText) {
  return !present || Fail(errorText, "Expected Nil Pointer");
}

bool AllocIntVec(DynVec<std::int32_t>& vec, std::int64_t n, ErrorText& errorText) {
  return AllocVector(vec, n, kMaxArraySize, "MaxLongInt", " [AllocIntVec]", errorText);
}

bool AllocBoolVec(DynVec<std::uint8_t>& vec, std::int64_t n, ErrorText& errorText) {
  return AllocVector(vec, n, kMaxByteVector, "MaxBool", " [AllocBoolVec]", errorText);
}

bool AllocCharVec(DynVec<char>& vec, std::int64_t n, ErrorText& errorText) {
  return AllocVector(vec, n, kMaxByteVector, "MaxChar", " [AllocCharVec]", errorText);
}

bool AllocSingleVec(DynVec<float>& vec, std::int64_t n, ErrorText& errorText) {
  if (n <= kMaxArraySize && !vec.Allocated() &&
      static_cast<double>(n + 1) * 4 > static_cast<double>(CurrentMemoryKb().available) * 1024) {
    return Fail(errorText, "Not enough memory for vector length " + Num(n), " [AllocSingleVec]");
  }
  return AllocVector(vec, n, kMaxArraySize, "MaxSingle", " [AllocSingleVec]", errorText);
}

bool AllocPStrVec(PStrVec& vec, std::int64_t n, ErrorText& errorText) {
  if (!vec.empty()) {
    return Fail(errorText, "Expected Nil Pointer", " [AllocPStrVec]");
  }
  if (n > kMaxArraySize) {
    return Fail(errorText, "NElm(" + Num(n) + ")>MaxPtr(" + Num(kMaxArraySize) + ")", " [AllocPStrVec]");
  }
  if (n < 0) {
    return Fail(errorText, "Size<0", " [AllocPStrVec]");
  }
  if (static_cast<double>(n + 1) * sizeof(std::string) >
      static_cast<double>(CurrentMemoryKb().available) * 1024) {
    return Fail(errorText, "Out of Memory", " [AllocPStrVec]");
  }
  try {
    vec.assign(static_cast<std::size_t>(n + 1), std::string());
  } catch (const std::bad_alloc&) {
    vec.clear();
    return Fail(errorText, "Out of Memory", " [AllocPStrVec]");
  }
  return true;
}

bool DupePStrVec(const PStrVec* source, std::int64_t n, PStrVec& copy, std::int64_t& longest,
                 ErrorText& errorText) {
  longest = 1;
  if (!copy.empty()) {
    return Fail(errorText, "Expected Nil Pointer", " [DupePStrVec]");
  }
  if (source == nullptr || source->empty() || n < 0 || static_cast<std::int64_t>(source->size()) < n + 1) {
    return Fail(errorText, "Unexpected Nil Pointer", " [DupePStrVec]");
  }
  if (!AllocPStrVec(copy, n, errorText)) {
    return AddTag(errorText, " [DupePStrVec]");
  }
  for (std::int64_t i = 0; i <= n; ++i) {
    copy[i] = (*source)[i];
    if (static_cast<std::int64_t>(copy[i].size()) > longest) {
      longest = static_cast<std::int64_t>(copy[i].size());
    }
  }
  return true;
}

Arr7Estimate EstimateArr7(const std::array<std::int64_t, 7>& sizesOuterFirst, int elementSize) {
  Arr7Estimate estimate;
  long double product = 1;
  long double pointers = 0;
  for (int d = 0; d < 6; ++d) {
    product *= static_cast<long double>(sizesOuterFirst[d]);
    pointers += product;
  }
  const long double values = product * static_cast<long double>(sizesOuterFirst[6]) * elementSize;
  estimate.pointerEntries = static_cast<double>(pointers);
  estimate.valuesKb = RoundKb(values);
  estimate.pointersKb = RoundKb(pointers * 4);
  estimate.overheadKb = RoundKb(pointers * (sizesOuterFirst[6] == 1 ? 8 : 4));
  return estimate;
}

std::string NotEnoughMemoryText(ElemType type, const std::array<std::int64_t, 7>& sizesOuterFirst,
                                const Arr7Estimate& estimate, const MemoryKb& memory) {
  const std::string name(TypeName(type));
  std::string sizes;
  for (int d = 6; d >= 0; --d) {
    sizes += Num(sizesOuterFirst[d]);
    if (d > 0) {
      sizes += "*";
    }
  }
  auto mb = [](double kb) { return WholeText(std::floor(kb / 1024)); };
  return "Not enough memory for " + name + " array size (" + sizes + ") " + "\r\n" +
         "Required: " + mb(estimate.RequiredKb()) + " MB, " + "[" + name + "s:" + mb(estimate.valuesKb) +
         "MB, " + "Pointers:" + mb(estimate.pointersKb) + "MB, " +
         "Heap overhead:" + mb(estimate.overheadKb) + "MB]" + "\r\n" +
         "Available: " + Num(memory.available / 1024) + " MB.   Already used: " + Num(memory.used / 1024) +
         " MB. " + "\r\n";
}

bool AllocArr7UK(Arr7<float>& arr, const std::array<std::int64_t, 7>& dims, ElemType type,
                 ErrorText& errorText) {
  return AllocArr7Typed(arr, dims, type, errorText);
}

bool AllocArr7UK(Arr7<double>& arr, const std::array<std::int64_t, 7>& dims, ElemType type,
                 ErrorText& errorText) {
  return AllocArr7Typed(arr, dims, type, errorText);
}

bool AllocArr7UK(Arr7<std::int32_t>& arr, const std::array<std::int64_t, 7>& dims, ElemType type,
                 ErrorText& errorText) {
  return AllocArr7Typed(arr, dims, type, errorText);
}

bool AllocArr7UKUnfilled(Arr7<float>& arr, const std::array<std::int64_t, 7>& dims, ErrorText& errorText) {
  return AllocArr7Typed(arr, dims, ElemType::Real, errorText, false);
}

bool AllocBoolMat7(Arr7<std::uint8_t>& arr, const std::array<std::int64_t, 7>& dims, ErrorText& errorText) {
  return AllocArr7Typed(arr, dims, ElemType::Logical, errorText);
}

bool AllocMat2UK(Mat2<float>& mat, std::int64_t rows, std::int64_t cols, ElemType type,
                 ErrorText& errorText) {
  return AllocMat2Typed(mat, rows, cols, ElementSize(type), " [AllocMat2UK]", errorText);
}

bool AllocMat2UK(Mat2<std::int32_t>& mat, std::int64_t rows, std::int64_t cols, ElemType type,
                 ErrorText& errorText) {
  return AllocMat2Typed(mat, rows, cols, ElementSize(type), " [AllocMat2UK]", errorText);
}

bool AllocMat2UK(Mat2<double>& mat, std::int64_t rows, std::int64_t cols, ElemType type,
                 ErrorText& errorText) {
  return AllocMat2Typed(mat, rows, cols, ElementSize(type), " [AllocMat2UK]", errorText);
}

bool AllocBoolMat2(Mat2<std::uint8_t>& mat, std::int64_t rows, std::int64_t cols, ErrorText& errorText) {
  return AllocMat2Typed(mat, rows, cols, 1, " [AllocBoolMat2]", errorText);
}

} // namespace pelorin
