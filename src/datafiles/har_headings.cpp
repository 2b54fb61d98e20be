// The header list of a Header Array file and single headers read from their place in it.

#include "datafiles/har_headings.h"

#include "datafiles/har_internal.h"
#include "platform/strings.h"

namespace pelorin {

bool ReadHarHeadings(const std::string& fileName, HarHeadingList& list, ErrorText& errorText) {
  const char* tag = " [ReadHarHeadings]";
  list = HarHeadingList{};
  list.fileName = fileName;
  LaheyFile file;
  bool isFujitsu = false;
  if (!OpenLaheyFile(file, fileName, isFujitsu, errorText)) {
    return AddTag(errorText, tag);
  }
  list.isLahey = !isFujitsu;
  list.fileSize = file.file.Size();
  for (;;) {
    std::string name;
    bool found = false;
    if (!GetHead(file, isFujitsu, name, found, errorText)) {
      list.headings.clear();
      return AddTag(errorText, tag);
    }
    if (!found) {
      break;
    }
    const std::int64_t position = file.file.Position();
    auto head = std::make_shared<THeadRecz>();
    bool badDescription = false;
    ErrorText inner;
    if (!har::ReadHeading(file, isFujitsu, name, *head, badDescription, inner)) {
      if (badDescription) {
        errorText += "Bad details at header \"" + name + "\"\r\n";
      }
      errorText += inner;
      list.headings.clear();
      return AddTag(errorText, tag);
    }
    // The data records are passed over by the next name search.
    list.headings.push_back({std::move(head), position});
  }
  return true;
}

bool ReadHarHeaderAt(const std::string& fileName, const HarHeading& heading, std::unique_ptr<THeadRecz>& head,
                     ErrorText& errorText) {
  const char* tag = " [ReadHarHeaderAt]";
  head.reset();
  if (!heading.head) {
    return Fail(errorText, "No header chosen", tag);
  }
  LaheyFile file;
  bool isFujitsu = false;
  if (!OpenLaheyFile(file, fileName, isFujitsu, errorText)) {
    return AddTag(errorText, tag);
  }
  if (heading.position <= 0 || heading.position > file.file.Size() || !file.file.Seek(heading.position)) {
    return Fail(errorText, "Header " + heading.head->name + " is not where the file had it: reopen the file",
                tag);
  }
  auto candidate = std::make_unique<THeadRecz>();
  bool badDescription = false;
  ErrorText inner;
  if (!har::ReadHeading(file, isFujitsu, heading.head->name, *candidate, badDescription, inner)) {
    if (badDescription) {
      errorText += "Bad details at header \"" + heading.head->name + "\"\r\n";
    }
    errorText += inner;
    return AddTag(errorText, tag);
  }
  if (candidate->headType != heading.head->headType || candidate->sizes != heading.head->sizes) {
    return Fail(errorText,
                "Header " + heading.head->name + " has changed since the file was opened: reopen it", tag);
  }
  if (candidate->isReal) {
    std::string message;
    if (har::RealHeaderTooLarge(*candidate, message)) {
      return Fail(errorText, "At header " + candidate->name + "   " + candidate->longName + "\r\n" + message,
                  tag);
    }
  }
  if (!har::ReadHeaderData(file, isFujitsu, *candidate, errorText)) {
    return AddTag(errorText, tag);
  }
  head = std::move(candidate);
  return true;
}

int FindHeading(const HarHeadingList& list, std::string_view text, int after) {
  const std::string wanted = UpperCase(Trim(text));
  const int count = static_cast<int>(list.headings.size());
  if (wanted.empty() || count == 0) {
    return -1;
  }
  const int start = after < 0 || after >= count ? 0 : after + 1;
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 0; k < count; ++k) {
      const int i = (start + k) % count;
      const THeadRecz& head = *list.headings[static_cast<std::size_t>(i)].head;
      const bool match = pass == 0 ? StartsWithText(head.name, wanted)
                                   : UpperCase(head.longName).find(wanted) != std::string::npos;
      if (match) {
        return i;
      }
    }
  }
  return -1;
}

std::vector<std::string> HeadingColumns(const THeadRecz& head) {
  std::string dims = head.dimTextLabelled;
  if (head.isReal && head.dimTextSizes != head.dimTextLabelled) {
    dims += " (" + head.dimTextSizes + ")";
  }
  return {TrimRight(head.name), HeaderTypeText(head), dims, head.longName, head.storage};
}

std::int64_t HeaderValueCount(const THeadRecz& head) {
  if (head.headType == "1C") {
    return head.numStrings;
  }
  if (head.headType == "2I") {
    return head.rows * head.cols;
  }
  return head.numValues;
}

std::string HeaderTypeText(const THeadRecz& head) {
  return head.isV3 ? "03 " + head.v3.code : head.orgHeadType;
}

} // namespace pelorin
