#include "engine/linear_system.h"

#include "engine/runtime.h"

#include <algorithm>
#include <numeric>

namespace pelorin::engine {

bool MatchRowsToColumns(std::int64_t n, const std::vector<std::int64_t>& rowStart,
                        const std::vector<int>& columns, const std::vector<std::int64_t>& preferred,
                        bool lookahead, std::vector<std::int64_t>& colOf, std::int64_t& unmatchedRow) {
  std::vector<std::int64_t> rowOf(static_cast<std::size_t>(n), -1);
  colOf.assign(static_cast<std::size_t>(n), -1);
  // A cheap first pass (the preferred column, else the first free one), then depth-first searches for
  // augmenting paths from the rows left over. With `lookahead` each row looks for a free column before the
  // search goes deeper, resuming where it stopped, so all look-aheads together read each entry once.
  for (std::int64_t r = 0; r < n; ++r) {
    const std::int64_t want = preferred.empty() ? -1 : preferred[r];
    if (want >= 0 && rowOf[want] < 0) {
      rowOf[want] = r;
      colOf[r] = want;
    }
  }
  std::vector<std::int64_t> ahead(rowStart.begin(), rowStart.end() - 1);
  for (std::int64_t r = 0; r < n; ++r) {
    for (std::int64_t& p = ahead[r]; colOf[r] < 0 && p < rowStart[r + 1]; ++p) {
      const int c = columns[p];
      if (c >= 0 && rowOf[c] < 0) {
        rowOf[c] = r;
        colOf[r] = c;
      }
    }
  }
  std::vector<std::int64_t> visited(static_cast<std::size_t>(n), -1);
  std::vector<std::int64_t> via(static_cast<std::size_t>(n), -1);
  std::vector<std::pair<std::int64_t, std::int64_t>> stack; // (row, next entry)
  auto augment = [&](std::int64_t c, std::int64_t row) {
    via[c] = row;
    for (std::int64_t col = c; col >= 0;) {
      const std::int64_t r = via[col];
      const std::int64_t previous = colOf[r];
      colOf[r] = col;
      rowOf[col] = r;
      col = previous;
    }
  };
  for (std::int64_t start = 0; start < n; ++start) {
    if (colOf[start] >= 0) {
      continue;
    }
    stack.assign(1, {start, rowStart[start]});
    bool found = false;
    while (!stack.empty() && !found) {
      auto& [row, next] = stack.back();
      // Look ahead for a free column of this row.
      for (std::int64_t& p = ahead[row]; lookahead && p < rowStart[row + 1]; ++p) {
        const int c = columns[p];
        if (c >= 0 && rowOf[c] < 0) {
          augment(c, row);
          found = true;
          break;
        }
      }
      if (found) {
        break;
      }
      if (next >= rowStart[row + 1]) {
        stack.pop_back();
        continue;
      }
      const int c = columns[next++];
      if (c < 0 || visited[c] == start) {
        continue;
      }
      visited[c] = start;
      via[c] = row;
      const std::int64_t r2 = rowOf[c];
      stack.emplace_back(r2, rowStart[r2]);
    }
    if (!found) {
      unmatchedRow = start;
      return false;
    }
  }
  return true;
}

namespace {

struct Entry {
  std::int64_t col;
  std::int64_t slot;
};

/// A candidate whose users times row entries exceed this many times the entries it would remove is passed
/// over without counting: it would make the system grow, and counting it could take quadratic time.
constexpr std::int64_t kCountingBudget = 50;

} // namespace

void EndogenousSystem::Build(const ModelRuntime& runtime, const std::vector<int>& endoColumn,
                             const std::vector<std::int64_t>& matching, bool condense) {
  const auto& rowStart = runtime.RowStart();
  const auto& defined = runtime.DefinedComponents();
  n_ = static_cast<std::int64_t>(matching.size());
  const auto n = static_cast<std::size_t>(n_);
  pivots_.clear();
  userSlot_.clear();
  userRow_.clear();
  targets_.clear();
  sourceSlot_.clear();
  sourceCol_.clear();

  // Every entry of the endogenous block gets a slot; entries that substitution adds get slots after them.
  std::vector<std::vector<Entry>> rows(n);
  std::vector<std::vector<std::int64_t>> users(n); // per unknown: the rows holding it (some may be gone)
  jacobianSlot_.assign(endoColumn.size(), -1);
  slots_ = 0;
  for (std::size_t r = 0; r < n; ++r) {
    for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
      const int c = endoColumn[p];
      if (c >= 0) {
        jacobianSlot_[p] = slots_;
        rows[r].push_back({c, slots_++});
        users[c].push_back(static_cast<std::int64_t>(r));
      }
    }
  }
  fullEntries_ = slots_;

  std::vector<char> rowGone(n, 0), colGone(n, 0), touched(static_cast<std::size_t>(slots_), 0);
  if (condense) {
    // The candidates: equations that define an endogenous unknown explicitly.
    std::vector<std::pair<std::int64_t, std::int64_t>> candidates; // (row, unknown)
    for (std::size_t r = 0; r < n; ++r) {
      if (defined[r] < 0) {
        continue;
      }
      for (std::int64_t p = rowStart[r]; p < rowStart[r + 1]; ++p) {
        if (runtime.Columns()[p] == defined[r] && endoColumn[p] >= 0) {
          candidates.emplace_back(static_cast<std::int64_t>(r), endoColumn[p]);
        }
      }
    }
    std::vector<std::int64_t> slotAt(n, -1); // per unknown: its slot in the row being changed
    std::vector<std::int64_t> mark(n, 0);    // per unknown: the visit of the last row that holds it
    std::int64_t stamp = 0;
    std::vector<std::int64_t> live;
    std::vector<char> taken(n, 0); // unknowns already given a defining equation
    bool changed = true;
    while (changed) {
      changed = false;
      for (auto& candidate : candidates) {
        std::int64_t& e = candidate.first;
        const std::int64_t b = candidate.second;
        if (e < 0 || rowGone[e] || colGone[b] || taken[b]) {
          continue;
        }
        std::vector<Entry>& pivotRow = rows[e];
        const auto it =
            std::find_if(pivotRow.begin(), pivotRow.end(), [&](const Entry& x) { return x.col == b; });
        if (it == pivotRow.end() || touched[it->slot]) {
          e = -1; // its pivot has changed: it stays in the system
          continue;
        }
        const std::int64_t pivotSlot = it->slot;
        live.clear();
        for (std::int64_t r : users[b]) {
          if (!rowGone[r] && r != e) {
            live.push_back(r);
          }
        }
        // Substitute only when the system does not grow. A pivot whose users and row are both long cannot
        // qualify unless nearly every entry exists already; such pivots are not even counted.
        const auto removed = static_cast<std::int64_t>(pivotRow.size() + live.size());
        if (static_cast<std::int64_t>(live.size()) * static_cast<std::int64_t>(pivotRow.size()) >
            kCountingBudget * removed) {
          continue;
        }
        std::int64_t added = 0;
        for (std::size_t i = 0; i < live.size() && added <= removed; ++i) {
          ++stamp;
          for (const Entry& x : rows[live[i]]) {
            mark[x.col] = stamp;
          }
          for (const Entry& x : pivotRow) {
            added += mark[x.col] != stamp ? 1 : 0;
          }
        }
        if (added > removed) {
          continue;
        }
        changed = true;
        Pivot pivot;
        pivot.row = e;
        pivot.col = b;
        pivot.slot = pivotSlot;
        pivot.sourceBegin = static_cast<std::int64_t>(sourceSlot_.size());
        for (const Entry& x : pivotRow) {
          if (x.col != b) {
            sourceSlot_.push_back(x.slot);
            sourceCol_.push_back(x.col);
          }
        }
        pivot.sourceEnd = static_cast<std::int64_t>(sourceSlot_.size());
        pivot.usersBegin = static_cast<std::int64_t>(userSlot_.size());
        pivot.targetsBegin = static_cast<std::int64_t>(targets_.size());
        for (std::int64_t r : live) {
          std::vector<Entry>& row = rows[r];
          std::int64_t multiplier = -1;
          for (const Entry& x : row) {
            slotAt[x.col] = x.slot;
            if (x.col == b) {
              multiplier = x.slot;
            }
          }
          userSlot_.push_back(multiplier);
          userRow_.push_back(r);
          for (std::int64_t s = pivot.sourceBegin; s < pivot.sourceEnd; ++s) {
            const std::int64_t col = sourceCol_[s];
            std::int64_t target = slotAt[col];
            if (target < 0) {
              target = slots_++;
              touched.push_back(0);
              row.push_back({col, target});
              users[col].push_back(r);
              slotAt[col] = target;
            }
            touched[target] = 1;
            targets_.push_back(target);
          }
          for (const Entry& x : row) {
            slotAt[x.col] = -1;
          }
          row.erase(std::remove_if(row.begin(), row.end(), [&](const Entry& x) { return x.col == b; }),
                    row.end());
        }
        pivot.usersEnd = static_cast<std::int64_t>(userSlot_.size());
        pivots_.push_back(pivot);
        rowGone[e] = 1;
        colGone[b] = 1;
        taken[b] = 1;
        e = -1;
      }
    }
  }

  // The condensed matrix: the rows and unknowns left, each row placed on the row of the unknown it is matched
  // with, so the diagonal holds no structural zero.
  keptRow_.clear();
  keptCol_.clear();
  std::vector<std::int64_t> colIndex(n, -1), rowIndex(n, -1);
  for (std::size_t c = 0; c < n; ++c) {
    if (!colGone[c]) {
      colIndex[c] = static_cast<std::int64_t>(keptCol_.size());
      keptCol_.push_back(static_cast<std::int64_t>(c));
    }
  }
  for (std::size_t r = 0; r < n; ++r) {
    if (!rowGone[r]) {
      rowIndex[r] = static_cast<std::int64_t>(keptRow_.size());
      keptRow_.push_back(static_cast<std::int64_t>(r));
    }
  }
  const auto m = static_cast<std::int64_t>(keptRow_.size());
  std::vector<std::int64_t> start(1, 0);
  std::vector<int> cols;
  std::vector<std::int64_t> slotOf;
  for (std::int64_t i = 0; i < m; ++i) {
    for (const Entry& x : rows[keptRow_[i]]) {
      cols.push_back(static_cast<int>(colIndex[x.col]));
      slotOf.push_back(x.slot);
    }
    start.push_back(static_cast<std::int64_t>(cols.size()));
  }
  std::vector<std::int64_t> preferred(static_cast<std::size_t>(m));
  for (std::int64_t i = 0; i < m; ++i) {
    preferred[i] = colIndex[matching[keptRow_[i]]];
  }
  std::vector<std::int64_t> matched;
  std::int64_t unmatched = -1;
  if (!MatchRowsToColumns(m, start, cols, preferred, true, matched, unmatched)) {
    // Substitution made an entry the matching needed cancel structurally; solve the system whole.
    Build(runtime, endoColumn, matching, false);
    return;
  }
  // Reorder the rows by their matched unknown, then transpose into columns.
  std::vector<std::int64_t> byPosition(static_cast<std::size_t>(m));
  for (std::int64_t i = 0; i < m; ++i) {
    byPosition[matched[i]] = keptRow_[i];
  }
  keptRow_ = byPosition;
  pattern_.size = static_cast<int>(m);
  pattern_.colStart.assign(static_cast<std::size_t>(m) + 1, 0);
  for (int c : cols) {
    ++pattern_.colStart[static_cast<std::size_t>(c) + 1];
  }
  std::partial_sum(pattern_.colStart.begin(), pattern_.colStart.end(), pattern_.colStart.begin());
  pattern_.rowIndex.assign(cols.size(), 0);
  matrixSlot_.assign(cols.size(), 0);
  std::vector<int> fillAt(pattern_.colStart.begin(), pattern_.colStart.end() - 1);
  // Rows in increasing position, so every column's row indices come out sorted.
  std::vector<std::int64_t> rowOfPosition(static_cast<std::size_t>(m));
  for (std::int64_t i = 0; i < m; ++i) {
    rowOfPosition[matched[i]] = i;
  }
  for (std::int64_t pos = 0; pos < m; ++pos) {
    const std::int64_t i = rowOfPosition[pos];
    for (std::int64_t p = start[i]; p < start[i + 1]; ++p) {
      const int at = fillAt[cols[p]]++;
      pattern_.rowIndex[at] = static_cast<int>(pos);
      matrixSlot_[at] = slotOf[p];
    }
  }
}

void EndogenousSystem::Load(const double* jacobian, Values& values) const {
  values.slots.assign(static_cast<std::size_t>(slots_), 0.0);
  double* v = values.slots.data();
  for (std::size_t p = 0; p < jacobianSlot_.size(); ++p) {
    if (jacobianSlot_[p] >= 0) {
      v[jacobianSlot_[p]] = jacobian[p];
    }
  }
  for (const Pivot& pivot : pivots_) {
    const double diagonal = v[pivot.slot];
    const std::int64_t sources = pivot.sourceEnd - pivot.sourceBegin;
    const std::int64_t* target = targets_.data() + pivot.targetsBegin;
    for (std::int64_t u = pivot.usersBegin; u < pivot.usersEnd; ++u, target += sources) {
      const double f = v[userSlot_[u]] / diagonal;
      v[userSlot_[u]] = f; // kept for the right-hand sides
      for (std::int64_t s = 0; s < sources; ++s) {
        v[target[s]] -= f * v[sourceSlot_[pivot.sourceBegin + s]];
      }
    }
  }
  values.matrix.resize(matrixSlot_.size());
  for (std::size_t k = 0; k < matrixSlot_.size(); ++k) {
    values.matrix[k] = v[matrixSlot_[k]];
  }
}

bool EndogenousSystem::Solve(const Values& values, SparseLu& lu, double* rhs, int count, double* x,
                             std::vector<double>& scratch) const {
  const double* v = values.slots.data();
  const auto n = static_cast<std::size_t>(n_);
  const auto m = keptRow_.size();
  for (int k = 0; k < count; ++k) {
    double* b = rhs + k * n;
    for (const Pivot& pivot : pivots_) {
      const double pivotValue = b[pivot.row];
      if (pivotValue == 0.0) {
        continue;
      }
      for (std::int64_t u = pivot.usersBegin; u < pivot.usersEnd; ++u) {
        b[userRow_[u]] -= v[userSlot_[u]] * pivotValue;
      }
    }
  }
  scratch.resize(m * static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) {
    for (std::size_t i = 0; i < m; ++i) {
      scratch[k * m + i] = rhs[k * n + static_cast<std::size_t>(keptRow_[i])];
    }
  }
  if (!lu.Solve(scratch.data(), count)) {
    return false;
  }
  for (int k = 0; k < count; ++k) {
    double* out = x + k * n;
    for (std::size_t i = 0; i < m; ++i) {
      out[keptCol_[i]] = scratch[k * m + i];
    }
    // Back-substitution: each substituted unknown from its defining equation, the last substituted first.
    const double* b = rhs + k * n;
    for (auto pivot = pivots_.rbegin(); pivot != pivots_.rend(); ++pivot) {
      double sum = b[pivot->row];
      for (std::int64_t s = pivot->sourceBegin; s < pivot->sourceEnd; ++s) {
        sum -= v[sourceSlot_[s]] * out[sourceCol_[s]];
      }
      out[pivot->col] = sum / v[pivot->slot];
    }
  }
  return true;
}

} // namespace pelorin::engine
