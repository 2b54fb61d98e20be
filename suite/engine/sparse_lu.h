#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::engine {

/// The sparse LU factorisations the engine can use. All three work on the same matrices; the benchmark
/// compares them and the fastest is the default.
enum class LuKind { Klu, Umfpack, EigenSparseLu };

/// The engine's default factorisation.
constexpr LuKind kDefaultLu = LuKind::Klu;

/// "klu", "umfpack" or "eigen".
const char* LuName(LuKind kind);

/// The pattern of a square sparse matrix, column-compressed with sorted row indices.
struct CscPattern {
  int size = 0;
  std::vector<int> colStart; ///< size + 1 entries
  std::vector<int> rowIndex;
};

/// One sparse LU factorisation with its own workspace: the symbolic analysis (ordering) is done once for the
/// pattern and reused by every numeric factorisation after it. One object belongs to one thread.
class SparseLu {
public:
  virtual ~SparseLu() = default;
  /// The symbolic analysis of `pattern`, which must outlive the object. False when it fails.
  virtual bool Analyse(const CscPattern& pattern) = 0;
  /// Factorises the matrix with values `values` (in the pattern's order). With `fresh` the pivots are chosen
  /// anew; otherwise a factorisation may reuse the previous one's pivot order while it stays accurate. The
  /// result depends only on the values and on `fresh`, never on earlier calls' values unless `fresh` is
  /// false. False when the matrix is singular.
  virtual bool Factorise(const double* values, bool fresh) = 0;
  /// Solves A X = B in place: `b` holds `count` right-hand sides of `size` values one after the other.
  virtual bool Solve(double* b, int count) = 0;
  /// Entries of the L and U factors of the last factorisation.
  virtual std::int64_t Fill() const = 0;
};

/// A new factorisation of the given kind.
std::unique_ptr<SparseLu> MakeSparseLu(LuKind kind);

} // namespace pelorin::engine
