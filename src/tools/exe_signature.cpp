#include "tools/exe_signature.h"

#include "platform/strings.h"
#include "tools/exe_header.h"

#include <cerrno>
#include <cstring>
#include <memory>

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

} // namespace

SignatureCounter::SignatureCounter() {
  for (std::size_t i = 0; i < kExeSignatures.size(); ++i) {
    upper_[i] = UpperCase(SignatureNames()[i]);
  }
  block_.reserve(kSignatureBlockSize);
}

void SignatureCounter::AddBlock(std::string_view block) {
  block_.assign(block.substr(0, kSignatureBlockSize));
  for (char& c : block_) {
    if (c == '\0') {
      c = ' ';
    } else if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
  for (std::size_t i = 0; i < upper_.size(); ++i) {
    if (::memmem(block_.data(), block_.size(), upper_[i].data(), upper_[i].size()) != nullptr) {
      ++counts_[i];
    }
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
