#include "engine/sparse_lu.h"

#include <Eigen/SparseCore>
#include <Eigen/SparseLU>
#include <algorithm>
#include <cmath>
#include <klu.h>
#include <numeric>
#include <umfpack.h>

namespace pelorin::engine {

namespace {

/// KLU: a left-looking factorisation without dense kernels, quick on the sparse systems models give. Its own
/// ordering is a block triangular form, then AMD within each block; given a pivot order it follows that.
/// Refactorisation keeps the last fresh factorisation's pivots.
class KluLu final : public SparseLu {
public:
  KluLu() {
    klu_defaults(&common_);
    common_.halt_if_singular = 1;
  }
  ~KluLu() override {
    if (numeric_ != nullptr) {
      klu_free_numeric(&numeric_, &common_);
    }
    if (symbolic_ != nullptr) {
      klu_free_symbolic(&symbolic_, &common_);
    }
  }

  bool Analyse(const CscPattern& pattern, const PivotOrder* order) override {
    pattern_ = &pattern;
    if (pattern.size == 0) {
      return true;
    }
    if (order != nullptr) {
      // The order is for the whole matrix: no block triangular form on top of it.
      common_.btf = 0;
      symbolic_ = klu_analyze_given(pattern.size, Ap(), Ai(), const_cast<int*>(order->rows.data()),
                                    const_cast<int*>(order->cols.data()), &common_);
    } else {
      symbolic_ = klu_analyze(pattern.size, Ap(), Ai(), &common_);
    }
    return symbolic_ != nullptr;
  }

  bool Factorise(const double* values, bool fresh) override {
    if (pattern_->size == 0) {
      return true;
    }
    double* ax = const_cast<double*>(values);
    if (!fresh && numeric_ != nullptr) {
      // The pivots of the last fresh factorisation are kept while the diagonal of U stays as well
      // conditioned as it was then; otherwise the pivots are chosen anew.
      if (klu_refactor(Ap(), Ai(), ax, symbolic_, numeric_, &common_) && common_.status == KLU_OK &&
          klu_rcond(symbolic_, numeric_, &common_) && common_.rcond >= kRefactorRcond * freshRcond_) {
        return true;
      }
    }
    if (numeric_ != nullptr) {
      klu_free_numeric(&numeric_, &common_);
    }
    numeric_ = klu_factor(Ap(), Ai(), ax, symbolic_, &common_);
    if (numeric_ == nullptr || common_.status != KLU_OK) {
      return false;
    }
    klu_rcond(symbolic_, numeric_, &common_);
    freshRcond_ = common_.rcond;
    return true;
  }

  bool Solve(double* b, int count) override {
    if (pattern_->size == 0 || count == 0) {
      return true;
    }
    return klu_solve(symbolic_, numeric_, pattern_->size, count, b, &common_) != 0;
  }

  std::int64_t Fill() const override {
    return numeric_ == nullptr ? 0
                               : static_cast<std::int64_t>(numeric_->lnz) + numeric_->unz + numeric_->nzoff;
  }

private:
  /// A refactorisation whose pivots have lost more than this share of the first one's conditioning is
  /// redone with new pivots.
  static constexpr double kRefactorRcond = 1e-3;

  int* Ap() const { return const_cast<int*>(pattern_->colStart.data()); }
  int* Ai() const { return const_cast<int*>(pattern_->rowIndex.data()); }

  const CscPattern* pattern_ = nullptr;
  klu_common common_{};
  klu_symbolic* symbolic_ = nullptr;
  klu_numeric* numeric_ = nullptr;
  double freshRcond_ = 0.0;
};

/// UMFPACK: a multifrontal factorisation; the symbolic object holds the column order and the frontal tree.
class UmfpackLu final : public SparseLu {
public:
  UmfpackLu() { umfpack_di_defaults(control_); }
  ~UmfpackLu() override {
    if (numeric_ != nullptr) {
      umfpack_di_free_numeric(&numeric_);
    }
    if (symbolic_ != nullptr) {
      umfpack_di_free_symbolic(&symbolic_);
    }
  }

  bool Analyse(const CscPattern& pattern, const PivotOrder* /*order*/) override {
    pattern_ = &pattern;
    if (pattern.size == 0) {
      return true;
    }
    const int status = umfpack_di_symbolic(pattern.size, pattern.size, pattern.colStart.data(),
                                           pattern.rowIndex.data(), nullptr, &symbolic_, control_, info_);
    work_.resize(static_cast<std::size_t>(pattern.size) * 6);
    iwork_.resize(static_cast<std::size_t>(pattern.size));
    return status == UMFPACK_OK;
  }

  bool Factorise(const double* values, bool /*fresh*/) override {
    if (pattern_->size == 0) {
      return true;
    }
    if (numeric_ != nullptr) {
      umfpack_di_free_numeric(&numeric_);
    }
    values_ = values;
    const int status = umfpack_di_numeric(pattern_->colStart.data(), pattern_->rowIndex.data(), values,
                                          symbolic_, &numeric_, control_, info_);
    return status == UMFPACK_OK;
  }

  bool Solve(double* b, int count) override {
    const auto n = static_cast<std::size_t>(pattern_->size);
    double* x = work_.data() + 5 * n;
    for (int k = 0; k < count; ++k) {
      double* column = b + static_cast<std::size_t>(k) * n;
      if (umfpack_di_wsolve(UMFPACK_A, pattern_->colStart.data(), pattern_->rowIndex.data(), values_, x,
                            column, numeric_, control_, info_, iwork_.data(), work_.data()) != UMFPACK_OK) {
        return false;
      }
      std::copy(x, x + n, column);
    }
    return true;
  }

  std::int64_t Fill() const override {
    int lnz = 0, unz = 0, rows = 0, cols = 0, diagonal = 0;
    if (numeric_ == nullptr ||
        umfpack_di_get_lunz(&lnz, &unz, &rows, &cols, &diagonal, numeric_) != UMFPACK_OK) {
      return 0;
    }
    return static_cast<std::int64_t>(lnz) + unz;
  }

private:
  const CscPattern* pattern_ = nullptr;
  const double* values_ = nullptr;
  double control_[UMFPACK_CONTROL]{};
  double info_[UMFPACK_INFO]{};
  void* symbolic_ = nullptr;
  void* numeric_ = nullptr;
  std::vector<double> work_; ///< 5 n for the refinement, then n for the solution
  std::vector<int> iwork_;
};

/// Eigen's supernodal SparseLU with a COLAMD column order. The rows come matched to the columns, so partial
/// pivoting may keep to the diagonal unless another entry of the column is much larger.
class EigenLu final : public SparseLu {
public:
  bool Analyse(const CscPattern& pattern, const PivotOrder* /*order*/) override {
    pattern_ = &pattern;
    const int n = pattern.size;
    matrix_.resize(n, n);
    matrix_.resizeNonZeros(static_cast<Eigen::Index>(pattern.rowIndex.size()));
    std::copy(pattern.colStart.begin(), pattern.colStart.end(), matrix_.outerIndexPtr());
    std::copy(pattern.rowIndex.begin(), pattern.rowIndex.end(), matrix_.innerIndexPtr());
    std::fill(matrix_.valuePtr(), matrix_.valuePtr() + pattern.rowIndex.size(), 1.0);
    lu_.setPivotThreshold(kPivotThreshold);
    lu_.isSymmetric(true);
    if (n > 0) {
      lu_.analyzePattern(matrix_);
    }
    return true;
  }

  bool Factorise(const double* values, bool /*fresh*/) override {
    if (pattern_->size == 0) {
      return true;
    }
    std::copy(values, values + pattern_->rowIndex.size(), matrix_.valuePtr());
    lu_.factorize(matrix_);
    return lu_.info() == Eigen::Success;
  }

  bool Solve(double* b, int count) override {
    if (pattern_->size == 0 || count == 0) {
      return true;
    }
    Eigen::Map<Eigen::MatrixXd> rhs(b, pattern_->size, count);
    Eigen::MatrixXd x = lu_.solve(rhs);
    rhs = x;
    return lu_.info() == Eigen::Success;
  }

  std::int64_t Fill() const override {
    return pattern_ == nullptr || pattern_->size == 0 ? 0
                                                      : static_cast<std::int64_t>(lu_.nnzL() + lu_.nnzU());
  }

private:
  static constexpr double kPivotThreshold = 0.01;
  using SpMat = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;
  const CscPattern* pattern_ = nullptr;
  SpMat matrix_;
  Eigen::SparseLU<SpMat, Eigen::COLAMDOrdering<int>> lu_;
};

} // namespace

bool FindPivotOrder(const CscPattern& pattern, const double* values, PivotOrder& order) {
  const int n = pattern.size;
  order.rows.clear();
  order.cols.clear();
  if (n == 0) {
    return true;
  }
  // Rows with many entries would make every frontal matrix of the analysis as wide as they are; they pivot
  // last, after everything they couple.
  std::vector<int> count(static_cast<std::size_t>(n), 0);
  for (int r : pattern.rowIndex) {
    ++count[static_cast<std::size_t>(r)];
  }
  const int dense = std::max(16, static_cast<int>(10.0 * std::sqrt(static_cast<double>(n))));
  std::vector<int> sparseIndex(static_cast<std::size_t>(n), -1), sparseRows, denseRows;
  for (int r = 0; r < n; ++r) {
    if (count[static_cast<std::size_t>(r)] > dense) {
      denseRows.push_back(r);
    } else {
      sparseIndex[static_cast<std::size_t>(r)] = static_cast<int>(sparseRows.size());
      sparseRows.push_back(r);
    }
  }
  const int rows = static_cast<int>(sparseRows.size());
  std::vector<int> colStart(static_cast<std::size_t>(n) + 1, 0), rowIndex;
  std::vector<double> kept;
  rowIndex.reserve(pattern.rowIndex.size());
  kept.reserve(pattern.rowIndex.size());
  for (int c = 0; c < n; ++c) {
    for (int k = pattern.colStart[c]; k < pattern.colStart[c + 1]; ++k) {
      const int r = sparseIndex[static_cast<std::size_t>(pattern.rowIndex[k])];
      if (r >= 0) {
        rowIndex.push_back(r);
        kept.push_back(values[k]);
      }
    }
    colStart[static_cast<std::size_t>(c) + 1] = static_cast<int>(rowIndex.size());
  }
  std::vector<int> rowOrder(static_cast<std::size_t>(rows)), colOrder(static_cast<std::size_t>(n));
  if (rows > 0) {
    double control[UMFPACK_CONTROL];
    double info[UMFPACK_INFO];
    umfpack_di_defaults(control);
    void* symbolic = nullptr;
    void* numeric = nullptr;
    // The numeric factorisation may warn that the rows are rank deficient; its order is good all the same.
    bool ok = umfpack_di_symbolic(rows, n, colStart.data(), rowIndex.data(), kept.data(), &symbolic, control,
                                  info) == UMFPACK_OK &&
              umfpack_di_numeric(colStart.data(), rowIndex.data(), kept.data(), symbolic, &numeric, control,
                                 info) >= UMFPACK_OK;
    int recip = 0;
    ok = ok && umfpack_di_get_numeric(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, rowOrder.data(),
                                      colOrder.data(), nullptr, &recip, nullptr, numeric) == UMFPACK_OK;
    if (numeric != nullptr) {
      umfpack_di_free_numeric(&numeric);
    }
    if (symbolic != nullptr) {
      umfpack_di_free_symbolic(&symbolic);
    }
    if (!ok) {
      return false;
    }
  } else {
    std::iota(colOrder.begin(), colOrder.end(), 0);
  }
  for (int k : rowOrder) {
    order.rows.push_back(sparseRows[static_cast<std::size_t>(k)]);
  }
  order.rows.insert(order.rows.end(), denseRows.begin(), denseRows.end());
  order.cols = std::move(colOrder);
  return true;
}

const char* LuName(LuKind kind) {
  switch (kind) {
  case LuKind::Klu:
    return "klu";
  case LuKind::Umfpack:
    return "umfpack";
  case LuKind::EigenSparseLu:
    return "eigen";
  }
  return "?";
}

std::unique_ptr<SparseLu> MakeSparseLu(LuKind kind) {
  switch (kind) {
  case LuKind::Klu:
    return std::make_unique<KluLu>();
  case LuKind::Umfpack:
    return std::make_unique<UmfpackLu>();
  case LuKind::EigenSparseLu:
    return std::make_unique<EigenLu>();
  }
  return nullptr;
}

} // namespace pelorin::engine
