#include "app/access_keys.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using Captions = std::vector<std::string>;

TEST(AccessKeys, ItemsWithoutAKeyTakeAFreeWordStartThenAnyFreeCharacter) {
  // The File menu: "Edit CMFSTART file" keeps clear of "E&xit"'s X but not of its own E.
  EXPECT_EQ(AssignAccessKeys({"Edit CMFSTART file", "Add Model", "Shell to &DOS", "-", "E&xit"}),
            (Captions{"&Edit CMFSTART file", "&Add Model", "Shell to &DOS", "-", "E&xit"}));
  // "Solution via ..." three times: S, then V(ia), then the first free letter of the third.
  EXPECT_EQ(AssignAccessKeys({"Solution via Telvari", "Solution via Brisolent", "Solution via Lumarix"}),
            (Captions{"&Solution via Telvari", "Solution &via Brisolent", "Solution via &Lumarix"}));
  EXPECT_EQ(AssignAccessKeys({"&Contents", "Help on this model", "&About"}),
            (Captions{"&Contents", "&Help on this model", "&About"}));
}

TEST(AccessKeys, MarkedKeysAreTakenInEitherCaseAndDoubledAmpersandsAreText) {
  EXPECT_EQ(AssignAccessKeys({"a", "&A b", "B&&C"}), (Captions{"a", "&A b", "&B&&C"}));
  EXPECT_EQ(AssignAccessKeys({"ab", "ba", "ab"}), (Captions{"&ab", "&ba", "ab"}));
  EXPECT_EQ(AssignAccessKeys({"", "-", "..."}), (Captions{"", "-", "..."}));
  EXPECT_EQ(AssignAccessKeys({"x&"}), (Captions{"&x&"})); // a trailing "&" marks nothing
}

} // namespace
} // namespace pelorin
