#include "modelinfo/sol_info.h"

namespace pelorin {

namespace {

constexpr const char* kHeadings[kNumDataItems] = {
    "#FILES",     "#MRKFILE",     "#TMDATE",     "#STIFILE",      "#SETS",      "#VARIABLES",
    "#VCSTAT",    "#VCTP",        "#SUBSETS",    "#COEFFICIENTS", "#EQUATIONS", "#READS",
    "#READEXTRA", "#NCVARIABLES", "#STATEMENTS", "#AVAIL",        "#LEVN",      "#NSOL",
    "#VBDSC",     "#KVVER",       "#PRVER",      "#FINAL_LEVEL"};

// Generated element names keep at most this many characters of the set name before the number.
constexpr std::size_t kGeneratedPrefixLength = 9;

} // namespace

const char* DataItemHeading(DataItem item) {
  return kHeadings[static_cast<int>(item)];
}

DataItemSet StandardRequest() {
  return DataItemSet{DataItem::Sets, DataItem::Variables, DataItem::VcStat, DataItem::VcTp, DataItem::VbDsc};
}

std::string TSetRec::Element(int i) const {
  if (i < 1 || i > size) {
    return {};
  }
  if (ElementsKnown && static_cast<std::size_t>(i) <= elements.size()) {
    return elements[static_cast<std::size_t>(i - 1)];
  }
  return name.substr(0, kGeneratedPrefixLength) + std::to_string(i);
}

std::vector<std::string> TSetRec::ElementNames() const {
  std::vector<std::string> names;
  if (size <= 0) {
    return names;
  }
  if (ElementsKnown && elements.size() == static_cast<std::size_t>(size)) {
    return elements;
  }
  names.reserve(static_cast<std::size_t>(size));
  for (int i = 1; i <= size; ++i) {
    names.push_back(Element(i));
  }
  return names;
}

void TDesclines::Add(std::string line) {
  if (Count() >= kMaxDescLines) {
    return;
  }
  if (Count() == kMaxDescLines - 1) {
    lines.emplace_back("Description truncated due to lack of space");
    return;
  }
  lines.push_back(std::move(line));
}

SubsetMatrix::SubsetMatrix(int dim)
    : dim_(dim < 0 ? 0 : dim), wordsPerRow_((dim_ + 63) / 64),
      bits_(static_cast<std::size_t>(dim_) * static_cast<std::size_t>(wordsPerRow_), 0) {}

bool SubsetMatrix::Get(int i, int j) const {
  if (i < 1 || i > dim_ || j < 1 || j > dim_) {
    return false;
  }
  const std::size_t word =
      static_cast<std::size_t>(i - 1) * wordsPerRow_ + static_cast<std::size_t>(j - 1) / 64;
  return ((bits_[word] >> ((j - 1) % 64)) & 1U) != 0;
}

void SubsetMatrix::Set(int i, int j, bool value) {
  if (i < 1 || i > dim_ || j < 1 || j > dim_) {
    return;
  }
  const std::size_t word =
      static_cast<std::size_t>(i - 1) * wordsPerRow_ + static_cast<std::size_t>(j - 1) / 64;
  const std::uint64_t mask = std::uint64_t{1} << ((j - 1) % 64);
  bits_[word] = value ? (bits_[word] | mask) : (bits_[word] & ~mask);
}

void SubsetMatrix::CloseTransitively() {
  // Warshall over bit rows: after step k every pair joined through sets 1..k is set. A set reaches itself
  // only through a cycle; the relation never lists a set as its own subset, so the diagonal is restored
  // afterwards.
  std::vector<bool> diagonal(static_cast<std::size_t>(dim_));
  for (int i = 1; i <= dim_; ++i) {
    diagonal[static_cast<std::size_t>(i - 1)] = Get(i, i);
  }
  const std::size_t words = static_cast<std::size_t>(wordsPerRow_);
  for (std::size_t k = 0; k < static_cast<std::size_t>(dim_); ++k) {
    const std::uint64_t* rowK = bits_.data() + k * words;
    const std::size_t wordK = k / 64;
    const std::uint64_t maskK = std::uint64_t{1} << (k % 64);
    for (std::size_t i = 0; i < static_cast<std::size_t>(dim_); ++i) {
      std::uint64_t* rowI = bits_.data() + i * words;
      if (i == k || (rowI[wordK] & maskK) == 0) {
        continue;
      }
      for (std::size_t w = 0; w < words; ++w) {
        rowI[w] |= rowK[w];
      }
    }
  }
  for (int i = 1; i <= dim_; ++i) {
    Set(i, i, diagonal[static_cast<std::size_t>(i - 1)]);
  }
}

} // namespace pelorin
