#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pelorin::engine {

/// The sparse LU factorisations the engine can use. All three work on the same matrices; the benchmark
/// compares them and the fastest is the default: KLU, following the pivot order FindPivotOrder finds once
/// at the initial data, which every thread's factorisation shares.
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

/// A pivot order: the k-th pivot is row `rows[k]` and column `cols[k]`.
struct PivotOrder {
  std::vector<int> rows, cols;
};

/// Finds a fill-reducing pivot order for the matrix with the pattern and values given. Rows with many entries
/// (more than 10 times the square root of the size) are set aside and pivot last; the other rows are ordered
/// by UMFPACK's column analysis and its threshold pivoting on these values. False when no order was found.
bool FindPivotOrder(const CscPattern& pattern, const double* values, PivotOrder& order);

/// One sparse LU factorisation with its own workspace: the symbolic analysis (ordering) is done once for the
/// pattern and reused by every numeric factorisation after it. One object belongs to one thread.
class SparseLu {
public:
  virtual ~SparseLu() = default;
  /// The symbolic analysis of `pattern`, which must outlive the object; `order`, when given, is the pivot
  /// order to follow where the factorisation takes one (KLU). False when it fails.
  virtual bool Analyse(const CscPattern& pattern, const PivotOrder* order) = 0;
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
