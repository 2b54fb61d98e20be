#pragma once

#include "engine/sparse_lu.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::engine {

class ModelRuntime;

/// A perfect matching of the rows of a square sparse pattern to its columns: `columns` holds a column per
/// entry, or -1 for an entry to leave out; `preferred` (empty, or a column or -1 per row) is tried first. On
/// success `colOf[row]` is the row's column; on failure `unmatchedRow` is a row that cannot be given a column
/// of its own. Without `lookahead` the search is the plain one, slow on large patterns but the one whose
/// failures the closure check reports, so its messages do not depend on how the search was sped up.
bool MatchRowsToColumns(std::int64_t n, const std::vector<std::int64_t>& rowStart,
                        const std::vector<int>& columns, const std::vector<std::int64_t>& preferred,
                        bool lookahead, std::vector<std::int64_t>& colOf, std::int64_t& unmatchedRow);

/// The endogenous block of the Jacobian as the LU factorises it. With condensation, the unknowns that an
/// equation defines explicitly are substituted out first (a Gaussian elimination with those equations as
/// pivots, recorded once as a program of multiply-adds and replayed at every step) and recovered afterwards
/// from their defining equations; the LU sees only what is left. An unknown is substituted only while that
/// does not add entries to the system, and only when its defining equation has not been changed by an earlier
/// substitution, so every pivot is the defining equation's own derivative (the level, or 1), never zero.
class EndogenousSystem {
public:
  /// Values of one thread: every entry of the elimination, and the condensed matrix in the pattern's order.
  struct Values {
    std::vector<double> slots;
    std::vector<double> matrix;
  };

  /// Builds the structure from the Jacobian pattern of the runtime: `endoColumn` gives the endogenous unknown
  /// of every Jacobian entry (-1 for an exogenous component). The equations must have been matched to the
  /// unknowns already: `matching` gives each equation's unknown (the closure is structurally valid).
  void Build(const ModelRuntime& runtime, const std::vector<int>& endoColumn,
             const std::vector<std::int64_t>& matching, bool condense);

  /// Endogenous unknowns, and how many of them are substituted out.
  std::int64_t Unknowns() const { return n_; }
  std::int64_t Substituted() const { return static_cast<std::int64_t>(pivots_.size()); }
  /// The condensed matrix the LU factorises (its rows matched to its columns).
  const CscPattern& Pattern() const { return pattern_; }
  /// Entries of the full endogenous block, and of the condensed matrix.
  std::int64_t FullEntries() const { return fullEntries_; }

  /// Takes the Jacobian values (the runtime's row order), substitutes out and fills `values.matrix`.
  void Load(const double* jacobian, Values& values) const;
  /// Solves for `count` right-hand sides, `rhs[k * n + equation]` (changed on return), after the condensed
  /// matrix was factorised by `lu`: `x[k * n + unknown]` receives the solution.
  bool Solve(const Values& values, SparseLu& lu, double* rhs, int count, double* x,
             std::vector<double>& scratch) const;

private:
  struct Pivot {
    std::int64_t row = 0, col = 0, slot = 0;
    std::int64_t usersBegin = 0, usersEnd = 0;   ///< into userSlot_ and userRow_
    std::int64_t sourceBegin = 0, sourceEnd = 0; ///< into sourceSlot_ and sourceCol_
    std::int64_t targetsBegin = 0;               ///< into targets_: per user, one target per source
  };

  std::int64_t n_ = 0;
  std::int64_t slots_ = 0;
  std::int64_t fullEntries_ = 0;
  std::vector<std::int64_t> jacobianSlot_; ///< per Jacobian entry, -1 when exogenous
  std::vector<Pivot> pivots_;
  std::vector<std::int64_t> userSlot_, userRow_, targets_;
  std::vector<std::int64_t> sourceSlot_, sourceCol_;
  CscPattern pattern_;
  std::vector<std::int64_t> matrixSlot_; ///< per entry of the condensed matrix
  std::vector<std::int64_t> keptRow_;    ///< per row of the condensed matrix: the equation
  std::vector<std::int64_t> keptCol_;    ///< per column of the condensed matrix: the unknown
};

} // namespace pelorin::engine
