#include "modelinfo/model_info_reader.h"
#include "modelinfo/sol_info.h"

#include <gtest/gtest.h>
#include <random>

namespace pelorin {
namespace {

TEST(NameIndex, KeepsUniqueKeysInByteOrder) {
  NameIndex index;
  ErrorText error;
  ASSERT_TRUE(index.AddKeyToRBTree("b", 1, false, error));
  ASSERT_TRUE(index.AddKeyToRBTree("B", 2, false, error));
  ASSERT_TRUE(index.AddKeyToRBTree("\xE9t\xE9", 3, false, error));
  ASSERT_TRUE(index.AddKeyToRBTree("Abc", 4, true, error));
  EXPECT_FALSE(index.AddKeyToRBTree("ABC", 5, true, error));
  EXPECT_FALSE(index.AddKeyToRBTree("", 6, false, error));
  EXPECT_EQ(error, "Duplicate name: \"ABC\"[AddKeyToRBTree]Cannot add blank key[AddKeyToRBTree]");
  std::vector<std::string> keys;
  index.ForEach([&](const std::string& key, const NameIndex::Entry& entry) {
    keys.push_back(key + "=" + std::to_string(entry.number));
  });
  // Bytes compare unsigned: the accented key sorts after every ASCII key.
  EXPECT_EQ(keys, (std::vector<std::string>{"B=2", "abc=4", "b=1", "\xE9t\xE9=3"}));
  EXPECT_EQ(index.Find("ABC"), 0);
  index.FindEntry("b")->extra = 9;
  EXPECT_EQ(index.FindEntry("b")->extra, 9);
}

TEST(TDesclines, TheFiveHundredthLineSaysItWasTruncated) {
  TDesclines lines;
  for (int i = 1; i <= 502; ++i) {
    lines.Add("line " + std::to_string(i));
  }
  EXPECT_EQ(lines.Count(), 500);
  EXPECT_EQ(lines.lines[498], "line 499");
  EXPECT_EQ(lines.lines[499], "Description truncated due to lack of space");
}

// The closure the subset relation must reach: repeat passes over all triples until nothing changes, never
// setting a set as its own subset.
SubsetMatrix ReferenceClosure(SubsetMatrix m) {
  const int n = m.Dim();
  for (bool changed = true; changed;) {
    changed = false;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        for (int k = 1; k <= n; ++k) {
          if (i != k && m.Get(i, j) && m.Get(j, k) && !m.Get(i, k)) {
            m.Set(i, k);
            changed = true;
          }
        }
      }
    }
  }
  return m;
}

TEST(MakeTransitiveClosure, MatchesRepeatedPassesIncludingCycles) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 1 + trial % 70;
    SubsetMatrix m(n);
    std::uniform_int_distribution<int> pick(1, n);
    for (int e = 0; e < n + trial % 5; ++e) {
      const int i = pick(random);
      const int j = pick(random);
      if (i != j) {
        m.Set(i, j);
      }
    }
    SolInfoRec info;
    info.IsSubSet = m;
    ErrorText error;
    ASSERT_TRUE(MakeTransitiveClosure(info, error));
    const SubsetMatrix expected = ReferenceClosure(m);
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        ASSERT_EQ(info.IsSubSet->Get(i, j), expected.Get(i, j))
            << "trial " << trial << " (" << i << "," << j << ")";
      }
    }
  }
}

TEST(MakeTransitiveClosure, ClosesAChainButNeverTheDiagonal) {
  SolInfoRec info;
  ErrorText error;
  EXPECT_FALSE(MakeTransitiveClosure(info, error));
  EXPECT_EQ(error, "IsSubSet=nil [MakeTransitiveClosure]");
  info.IsSubSet.emplace(130);
  for (int i = 1; i < 130; ++i) {
    info.IsSubSet->Set(i, i + 1);
  }
  info.IsSubSet->Set(130, 1);
  ASSERT_TRUE(MakeTransitiveClosure(info, error));
  EXPECT_TRUE(info.IsSubSet->Get(1, 130));
  EXPECT_TRUE(info.IsSubSet->Get(130, 129));
  EXPECT_FALSE(info.IsSubSet->Get(65, 65));
}

} // namespace
} // namespace pelorin
