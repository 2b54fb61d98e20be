#include "summaries/time_date_stamp.h"

#include "datafiles/har_data.h"
#include "platform/strings.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"

#include <memory>

namespace pelorin {

namespace {

constexpr std::size_t kStampLength = 40;

bool GetTextStamp(const std::string& fileName, const std::string& key, TimeDateStamp& stamp,
                  ErrorText& errorText) {
  TextFile file;
  if (!TxtOpen(file, fileName, errorText)) {
    return false;
  }
  std::string line;
  while (file.ReadLine(line)) {
    if (line == key) {
      if (!file.ReadLine(line)) {
        line.clear(); // the key on the last line gives an empty stamp, but a found one
      }
      stamp.stamp = TrimRight(std::string_view(line).substr(0, kStampLength));
      stamp.found = true;
      break;
    }
  }
  const bool readError = file.HadError();
  if (!TxtClose(file, errorText)) {
    return false;
  }
  if (readError) {
    return Fail(errorText, "read error from file " + fileName);
  }
  return true;
}

bool GetBinaryStamp(const std::string& fileName, const std::string& key, TimeDateStamp& stamp,
                    ErrorText& errorText) {
  std::unique_ptr<THeadRecz> head;
  if (!ReadHeaderFromHarFile(fileName, key, true, head, errorText)) {
    return false;
  }
  if (head != nullptr && head->headType == "1C" && head->numStrings == 1 && head->stringLength == 40 &&
      head->strings.size() > 1) {
    stamp.stamp = TrimRight(head->strings[1]);
    stamp.found = true;
  }
  FreeHead(head);
  return true;
}

} // namespace

bool GetTimeDateStamp(StampKind kind, const std::string& fileName, const std::string& key,
                      TimeDateStamp& stamp, ErrorText& errorText) {
  stamp = TimeDateStamp{};
  const bool read = kind == StampKind::Text ? GetTextStamp(fileName, key, stamp, errorText)
                                            : GetBinaryStamp(fileName, key, stamp, errorText);
  return read || AddTag(errorText, "[GetTimeDateStamp]");
}

bool MinAxtCompatible(const std::string& minFile, const std::string& axtFile, int helpTopic, bool quiet,
                      UserInterface& ui, bool& same, ErrorText& errorText) {
  same = false;
  TimeDateStamp minStamp;
  TimeDateStamp axtStamp;
  if (!GetTimeDateStamp(StampKind::Text, minFile, "#TMDATE", minStamp, errorText) ||
      !GetTimeDateStamp(StampKind::Binary, axtFile, "DTXT", axtStamp, errorText)) {
    return false;
  }
  same = minStamp.found && axtStamp.found && minStamp.stamp == axtStamp.stamp;
  if (!same && !quiet) {
    ui.Message(MessageKind::Error,
               "Model Information File " + UpperCase(minFile) +
                   " was not created at the same time as the Auxiliary Table File " + UpperCase(axtFile),
               MessageButtons::Ok, helpTopic);
  }
  return true;
}

} // namespace pelorin
