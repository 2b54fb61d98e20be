#include "tools/exe_signature.h"

#include "platform/strings.h"
#include "tools/exe_header.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace pelorin {

namespace {

struct CompilerClass {
  std::string_view name;
  std::string_view flavour;
};

constexpr std::array<CompilerClass, 9> kClasses = {{
    {"Unknown", "None"},
    {"Lahey F77", "Old Lahey"},
    {"Lahey LF90", "Old Lahey"},
    {"Lahey LF95", "New Fujitsu"},
    {"Intel Fortran", "New Fujitsu"},
    {"GFortran", "New Fujitsu"},
    {"Delphi", "None"},
    {"InnoInstaller", "None"},
    {"WiseInstaller", "None"},
}};

// The file is read this many blocks at a time.
constexpr std::size_t kBlocksPerRead = 64;

// The signatures are kept masked in this program's own file, so that a scan of the program itself does not
// find the texts it looks for (and take it for what it is not).
constexpr std::size_t kLongestSignature = 32;
constexpr char kMask = 0x5A;

struct MaskedSignatures {
  std::array<std::array<char, kLongestSignature>, kExeSignatures.size()> text{};
  std::array<std::size_t, kExeSignatures.size()> size{};
};

constexpr MaskedSignatures kMasked = [] {
  MaskedSignatures masked{};
  for (std::size_t i = 0; i < kExeSignatures.size(); ++i) {
    for (std::size_t j = 0; j < kExeSignatures[i].size() && j < kLongestSignature; ++j) {
      masked.text[i][j] = static_cast<char>(kExeSignatures[i][j] ^ kMask);
    }
    masked.size[i] = kExeSignatures[i].size();
  }
  return masked;
}();
static_assert([] {
  for (std::string_view signature : kExeSignatures) {
    if (signature.size() > kLongestSignature) {
      return false;
    }
  }
  return true;
}());

const std::array<std::string, kExeSignatures.size()>& SignatureNames() {
  static const std::array<std::string, kExeSignatures.size()> names = [] {
    std::array<std::string, kExeSignatures.size()> unmasked;
    for (std::size_t i = 0; i < unmasked.size(); ++i) {
      for (std::size_t j = 0; j < kMasked.size[i]; ++j) {
        unmasked[i] += static_cast<char>(kMasked.text[i][j] ^ kMask);
      }
    }
    return unmasked;
  }();
  return names;
}

// What the block search looks things up in: each byte as the search sees it (NUL as a blank, letters upper
// case), and for each pair of such bytes the signatures that start with it.
struct SearchTables {
  std::array<unsigned char, 256> fold{};
  std::array<bool, 256> starts{};
  std::array<std::string, kExeSignatures.size()> upper;
  std::vector<std::uint32_t> pairs = std::vector<std::uint32_t>(1u << 16, 0);
};

const SearchTables& Tables() {
  static const SearchTables tables = [] {
    static_assert(kExeSignatures.size() <= 32, "one bit per signature");
    SearchTables t;
    for (int c = 0; c < 256; ++c) {
      t.fold[static_cast<std::size_t>(c)] = c == 0 ? ' '
                                            : (c >= 'a' && c <= 'z')
                                                ? static_cast<unsigned char>(c - 'a' + 'A')
                                                : static_cast<unsigned char>(c);
    }
    for (std::size_t i = 0; i < kExeSignatures.size(); ++i) {
      t.upper[i] = UpperCase(SignatureNames()[i]);
      const auto first = static_cast<unsigned char>(t.upper[i][0]);
      const auto second = static_cast<unsigned char>(t.upper[i][1]);
      t.pairs[(static_cast<std::size_t>(first) << 8) | second] |= 1u << i;
      t.starts[first] = true;
    }
    return t;
  }();
  return tables;
}

} // namespace

SignatureCounter::SignatureCounter() = default;

void SignatureCounter::AddBlock(std::string_view block) {
  const SearchTables& tables = Tables();
  const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
  const std::size_t size = std::min(block.size(), kSignatureBlockSize);
  std::uint32_t seen = 0;
  // One pass over the block: the folded pair of bytes at each place names the signatures that may start
  // there, and only those are compared further.
  for (std::size_t i = 0; i + 1 < size; ++i) {
    const unsigned char first = tables.fold[bytes[i]];
    if (!tables.starts[first]) {
      continue;
    }
    std::uint32_t candidates = tables.pairs[(first << 8) | tables.fold[bytes[i + 1]]] & ~seen;
    while (candidates != 0) {
      const int signature = std::countr_zero(candidates);
      candidates &= candidates - 1;
      const std::string& text = tables.upper[static_cast<std::size_t>(signature)];
      if (i + text.size() > size) {
        continue;
      }
      std::size_t j = 2;
      while (j < text.size() && tables.fold[bytes[i + j]] == static_cast<unsigned char>(text[j])) {
        ++j;
      }
      if (j == text.size()) {
        seen |= 1u << signature;
      }
    }
  }
  for (std::size_t i = 0; i < counts_.size(); ++i) {
    counts_[i] += (seen >> i) & 1u;
  }
}

std::string_view CompilerClassName(int compilerClass) {
  if (compilerClass < 0 || compilerClass >= static_cast<int>(kClasses.size())) {
    return kClasses[0].name;
  }
  return kClasses[static_cast<std::size_t>(compilerClass)].name;
}

ExeSignature ClassifySignatures(const std::array<int, kExeSignatures.size()>& counts,
                                const std::string& platform, const std::function<bool()>& hasDvclal) {
  ExeSignature result;
  result.platform = platform;
  auto has = [&](std::size_t signature) { return counts[signature] > 0; };
  for (std::size_t i = 0; i < kExeSignatures.size(); ++i) {
    if (has(i)) {
      result.found += "\"" + SignatureNames()[i] + "\" ";
    }
  }
  std::array<int, kClasses.size()> score{};
  if (has(16)) {
    score[6] = 12;
  } else {
    if (has(0)) {
      score[6] += 1;
      if (hasDvclal && hasDvclal()) {
        result.found += "\"DVCLAL resource\" ";
        score[6] += 20;
      }
    }
    if (has(1)) {
      score[1] += 1;
      score[2] += 2;
    }
    for (std::size_t signature : {3, 4, 8}) {
      score[3] += has(signature) ? 1 : 0;
    }
    for (std::size_t signature : {6, 7}) {
      score[1] += has(signature) ? 1 : 0;
    }
    score[4] += has(9) ? 5 : 0;
    score[5] += (has(10) ? 5 : 0) + (has(11) ? 2 : 0) + (has(12) ? 1 : 0);
    score[7] += has(14) ? 12 : 0;
    score[8] += has(15) ? 12 : 0;
  }
  // The first class with the highest score wins; with no score at all that is class 0.
  std::size_t best = 0;
  for (std::size_t c = 1; c < score.size(); ++c) {
    if (score[c] > score[best]) {
      best = c;
    }
  }
  result.compilerClass = static_cast<int>(best);
  result.description = std::string(kClasses[best].name) + (has(2) ? "(Kalvimo)" : "") + " " + platform;
  result.flavour = std::string(kClasses[best].flavour);
  return result;
}

namespace {

// Scans every block; false when the bytes could not all be read (the blocks read are still judged).
bool ScanBlocks(const ByteSource& bytes, ExeSignature& signature) {
  SignatureCounter counter;
  const std::size_t chunkSize = kSignatureBlockSize * kBlocksPerRead;
  auto chunk = std::make_unique<char[]>(chunkSize);
  const std::uint64_t size = bytes.Size();
  bool complete = true;
  for (std::uint64_t offset = 0; offset < size;) {
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, size - offset));
    if (!bytes.Read(offset, chunk.get(), count)) {
      complete = false;
      break;
    }
    for (std::size_t at = 0; at < count; at += kSignatureBlockSize) {
      counter.AddBlock(std::string_view(chunk.get() + at, std::min(kSignatureBlockSize, count - at)));
    }
    offset += count;
  }
  signature = ClassifySignatures(counter.Counts(), PlatformText(bytes),
                                 [&] { return HasRcdataResource(bytes, "DVCLAL"); });
  return complete;
}

} // namespace

ExeSignature ScanExecutable(const ByteSource& bytes) {
  ExeSignature signature;
  ScanBlocks(bytes, signature);
  return signature;
}

bool ExecutableSignature(const std::string& path, ExeSignature& signature, ErrorText& errorText) {
  FileBytes file;
  if (!file.Open(path)) {
    return Fail(errorText, "Cannot open file " + path + ": " + std::strerror(errno), "[ExecutableSignature]");
  }
  if (!ScanBlocks(file, signature)) {
    return Fail(errorText, "read error from file " + path, "[ExecutableSignature]");
  }
  return true;
}

} // namespace pelorin
