#pragma once

// Sample Header Array headers for the viewer's tests: one of every kind the files hold.

#include "datafiles/har_writer.h"

#include <string>
#include <utility>
#include <vector>

namespace pelorin::test {

/// A 4-D header over COM(2) x REG(3) x 2 unlabelled x SRC(2): value = 1000*i1 + 100*i2 + 10*i3 + i4.
inline HarHeader FourDims() {
  std::vector<float> values;
  for (int l = 1; l <= 2; ++l) {
    for (int k = 1; k <= 2; ++k) {
      for (int j = 1; j <= 3; ++j) {
        for (int i = 1; i <= 2; ++i) {
          values.push_back(static_cast<float>(1000 * i + 100 * j + 10 * k + l));
        }
      }
    }
  }
  return MakeReals("FOUR", "Four dimensions",
                   {SetDim("COM", {"food", "mfg"}), SetDim("REG", {"usa", "eu", "row"}), SizeDim(2),
                    SetDim("SRC", {"dom", "imp"})},
                   values);
}

/// Strings (the given notes), integers, a 2R matrix, a labelled vector, FourDims, sparse doubles and a
/// version 3 header.
inline std::vector<HarHeader> EveryKindOfHeader(std::vector<std::string> notes) {
  HarHeader sparse = MakeDoubles("SPAR", "Sparse doubles", {SetDim("A", {"a1", "a2", "a3"})}, {0, 2.5, 0});
  sparse.sparse = true;
  HarHeader v3 = MakeReals("V3RE", "Version 3", {SizeDim(2), SizeDim(2)}, {1, 2, 3, 4});
  v3.version3 = true;
  return {MakeStrings("NOTE", "Some notes", std::move(notes)),
          MakeIntMatrix("INTM", "Integers", 2, 3, {1, 2, 3, 4, 5, 6}),
          MakeRealMatrix("MATR", "A 2R matrix", 2, 2, {1.5f, 2.5f, 3.5f, 4.5f}),
          MakeReals("VECT", "Vector", {SetDim("REG", {"usa", "eu", "row"})}, {1, 2, 3}),
          FourDims(),
          sparse,
          v3};
}

} // namespace pelorin::test
