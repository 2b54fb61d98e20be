// The allocation layer: the checked allocator, the limits, the memory estimate and its refusal text.

#include "datafiles/dyn_arrays.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

// Makes the machine look as if it had `availableMb` of memory, `usedMb` of it taken by this process.
class ScarceMemory {
public:
  ScarceMemory(std::uint64_t availableMb, std::uint64_t usedMb) {
    SetMemoryStatusSource([=] { return MemoryStatus{availableMb << 20, usedMb << 20}; });
  }
  ~ScarceMemory() { SetMemoryStatusSource(nullptr); }
};

TEST(SafeGetMem, RefusesNegativeSizesAndHeldReferencesAndKeepsTheTotal) {
  const std::int64_t before = AllocationTotal();
  ErrorText errorText;
  void* ref = nullptr;
  EXPECT_TRUE(SafeGetMem(ref, 0, errorText));
  EXPECT_EQ(ref, nullptr);
  EXPECT_FALSE(SafeGetMem(ref, -1, errorText));
  EXPECT_EQ(errorText, "Size<0 [SafeGetMem]");
  errorText.clear();
  ASSERT_TRUE(SafeGetMem(ref, 100, errorText));
  EXPECT_EQ(AllocationTotal(), before + 100);
  void* held = ref;
  EXPECT_FALSE(SafeGetMem(ref, 50, errorText));
  EXPECT_EQ(errorText, "pointer should be nil [SafeGetMem]");
  EXPECT_EQ(ref, held);
  EXPECT_EQ(AllocationTotal(), before + 100);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(static_cast<unsigned char*>(ref)[i], 0);
  }
  SafeFreeMem(ref, 100);
  EXPECT_EQ(ref, nullptr);
  EXPECT_EQ(AllocationTotal(), before);
  errorText.clear();
  EXPECT_FALSE(SafeGetMem2(ref, INT64_MAX / 2, 4, errorText));
  EXPECT_EQ(ref, nullptr);
}

TEST(DynArrays, VectorsAreOneBasedZeroFilledAndLimited) {
  ErrorText errorText;
  DynVec<std::int32_t> ints;
  ASSERT_TRUE(AllocIntVec(ints, 5, errorText));
  EXPECT_EQ(ints.Size(), 5);
  ints[5] = 7;
  EXPECT_EQ(ints[1], 0);
  EXPECT_FALSE(AllocIntVec(ints, 3, errorText));
  EXPECT_EQ(errorText, "Expected Nil Pointer [AllocIntVec]");

  DynVec<std::int32_t> tooLong;
  errorText.clear();
  EXPECT_FALSE(AllocIntVec(tooLong, 268'435'455, errorText));
  EXPECT_EQ(errorText, "NElm(268435455)>MaxLongInt(268435454) [AllocIntVec]");
  DynVec<std::uint8_t> flags;
  errorText.clear();
  EXPECT_FALSE(AllocBoolVec(flags, 1'073'741'823, errorText));
  EXPECT_EQ(errorText, "NElm(1073741823)>MaxBool(1073741822) [AllocBoolVec]");

  ScarceMemory scarce(51'200 / 1024 + 1, 1); // 1 MB left after the reserve
  DynVec<float> reals;
  errorText.clear();
  EXPECT_FALSE(AllocSingleVec(reals, 1'000'000, errorText));
  EXPECT_EQ(errorText, "Not enough memory for vector length 1000000 [AllocSingleVec]");
  EXPECT_TRUE(AllocSingleVec(reals, 1000, errorText));
}

TEST(DynArrays, StringListsAreCopiedWithTheirLongestLength) {
  ErrorText errorText;
  PStrVec list;
  ASSERT_TRUE(AllocPStrVec(list, 3, errorText));
  list[1] = "a";
  list[2] = "abcd";
  PStrVec copy;
  std::int64_t longest = 0;
  ASSERT_TRUE(DupePStrVec(&list, 3, copy, longest, errorText));
  EXPECT_EQ(copy, list);
  EXPECT_EQ(longest, 4);
  EXPECT_FALSE(DupePStrVec(&list, 3, copy, longest, errorText));
  EXPECT_EQ(errorText, "Expected Nil Pointer [DupePStrVec]");
  PStrVec other;
  errorText.clear();
  EXPECT_FALSE(DupePStrVec(nullptr, 3, other, longest, errorText));
  EXPECT_EQ(errorText, "Unexpected Nil Pointer [DupePStrVec]");
}

TEST(DynArrays, SevenDimensionalArraysRunOverDimensionOneFirst) {
  const std::int64_t before = AllocationTotal();
  {
    ErrorText errorText;
    Arr7<float> arr;
    ASSERT_TRUE(AllocArr7UK(arr, {3, 2, 1, 1, 1, 1, 2}, ElemType::Real, errorText)) << errorText;
    EXPECT_EQ(arr.Count(), 12);
    for (std::int64_t i = 0; i < arr.Count(); ++i) {
      EXPECT_EQ(arr.Data()[i], 0.0f);
    }
    arr.At(2, 1, 1, 1, 1, 1, 1) = 1;
    arr.At(1, 2, 1, 1, 1, 1, 1) = 2;
    arr.At(1, 1, 1, 1, 1, 1, 2) = 3;
    EXPECT_EQ(arr.Data()[1], 1);
    EXPECT_EQ(arr.Data()[3], 2);
    EXPECT_EQ(arr.Data()[6], 3);
    EXPECT_EQ(AllocationTotal(), before + 48);
    // Allocating again releases what the array held.
    ASSERT_TRUE(AllocArr7UK(arr, {2, 1, 1, 1, 1, 1, 1}, ElemType::Real, errorText));
    EXPECT_EQ(AllocationTotal(), before + 8);
  }
  EXPECT_EQ(AllocationTotal(), before);
}

TEST(DynArrays, EstimateCountsPointerVectorsOfTheTree) {
  // Sizes outermost first: six pointer levels of one entry each and one leaf of five values.
  const Arr7Estimate leaf = EstimateArr7({1, 1, 1, 1, 1, 1, 5}, 4);
  EXPECT_EQ(leaf.pointerEntries, 6);
  const Arr7Estimate big = EstimateArr7({1, 1, 1, 1, 10, 1000, 1000}, 4);
  EXPECT_EQ(big.pointerEntries, 1 + 1 + 1 + 1 + 10 + 10'000);
  EXPECT_EQ(big.valuesKb, 39'063); // 40,000,000 bytes, to the nearest KB
  EXPECT_EQ(big.pointersKb, 39);
  EXPECT_EQ(big.overheadKb, 39);
}

TEST(DynArrays, ArraysThatDoNotFitAreRefusedBeforeAnyAllocation) {
  const std::int64_t before = AllocationTotal();
  ErrorText errorText;
  Arr7<float> arr;
  EXPECT_FALSE(AllocArr7UK(arr, {268'435'455, 1, 1, 1, 1, 1, 1}, ElemType::Real, errorText));
  EXPECT_EQ(errorText, "Dimension too large(268435455), max is 268435454 [AllocArr7UK (Real)]");

  ScarceMemory scarce(100 + 50, 7); // 100 MB available after the reserve, 7 MB used
  errorText.clear();
  EXPECT_FALSE(AllocArr7UK(arr, {1000, 1000, 30, 1, 1, 1, 1}, ElemType::Real, errorText));
  EXPECT_EQ(errorText, "Not enough memory for Real array size (1000*1000*30*1*1*1*1) \r\n"
                       "Required: 114 MB, [Reals:114MB, Pointers:0MB, Heap overhead:0MB]\r\n"
                       "Available: 100 MB.   Already used: 7 MB. \r\n [AllocArr7UK (Real)]");
  EXPECT_EQ(AllocationTotal(), before);

  Mat2<std::int32_t> mat;
  errorText.clear();
  EXPECT_FALSE(AllocMat2UK(mat, 268'435'455, 2, ElemType::Integer, errorText));
  EXPECT_EQ(errorText, "Too many rows(268435455), max is 268435454 [AllocMat2UK]");
  errorText.clear();
  EXPECT_FALSE(AllocMat2UK(mat, 2, 268'435'455, ElemType::Integer, errorText));
  EXPECT_EQ(errorText, "Too many cols(268435455), max is 268435454 [AllocMat2UK]");
  errorText.clear();
  EXPECT_FALSE(AllocMat2UK(mat, 10'000, 10'000, ElemType::Integer, errorText));
  EXPECT_EQ(errorText, "Not enough memory for array size 10000 rows and 10000 columns [AllocMat2UK]");
  // Sizes whose product passes every integer type are still refused by the estimate.
  errorText.clear();
  EXPECT_FALSE(
      AllocArr7UK(arr, {268'435'454, 268'435'454, 268'435'454, 1, 1, 1, 1}, ElemType::Real, errorText));
  EXPECT_EQ(errorText.substr(0, 22), "Not enough memory for ");
  // A size 0 anywhere makes an empty array, however large the other sizes.
  errorText.clear();
  ASSERT_TRUE(
      AllocArr7UK(arr, {268'435'454, 268'435'454, 268'435'454, 1, 1, 1, 0}, ElemType::Real, errorText))
      << errorText;
  EXPECT_EQ(arr.Count(), 0);
  EXPECT_FALSE(arr.Allocated());
  ASSERT_TRUE(AllocMat2UK(mat, 2, 3, ElemType::Integer, errorText));
  mat.At(2, 3) = 9;
  EXPECT_EQ(mat.Data()[5], 9);
}

} // namespace
} // namespace pelorin
