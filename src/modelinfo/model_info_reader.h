#pragma once

#include "modelinfo/sol_info.h"
#include "platform/error_text.h"

#include <string>
#include <string_view>

namespace pelorin {

class TextFile;

/// Empties the record with FreeSolInfo, then reads the file with AddSolInfo. Failures end with
/// "[RequestSolInfo:" + file name + "]".
bool RequestSolInfo(const std::string& fileName, DataItemSet request, SolInfoOptions options,
                    ErrorText& errorText, SolInfoRec& info);

/// Reads the requested sections of a model, closure or solution information file into the record (without
/// emptying it first): TxtOpen, GetModelInfo, TxtClose. Failures end with "[AddSolInfo:" + file name + "]".
bool AddSolInfo(const std::string& fileName, DataItemSet request, SolInfoOptions options,
                ErrorText& errorText, SolInfoRec& info);

/// The read every caller uses for ".MIN", ".cli" and ".sli" files: RequestSolInfo with StandardRequest, case
/// folding and exogenous flags.
bool ReadModelInfo(const std::string& fileName, ErrorText& errorText, SolInfoRec& info);

/// The second pass over a file just read: checks the set and variable counts against the record, reads
/// #SUBSETS into IsSubSet and closes the relation. Failures end with "[AddMinInfoToSolInfo]".
bool AddMinInfoToSolInfo(const std::string& fileName, SolInfoRec& info, ErrorText& errorText);

/// Returns the record to the empty state.
bool FreeSolInfo(SolInfoRec& info, ErrorText& errorText);

/// The number of the variable (0 when there is none); the name is lower-cased before the lookup, so this is
/// for records read with case folding.
int FindVariable(const SolInfoRec& info, std::string_view name);

/// Closes the subset relation transitively; the diagonal is never set. Fails with "IsSubSet=nil"
/// " [MakeTransitiveClosure]" when the record has no subset relation.
bool MakeTransitiveClosure(SolInfoRec& info, ErrorText& errorText);

/// The argument set names of variable `varNumber` joined with "*"; empty for a scalar or an unknown variable.
std::string ArgumentText(int varNumber, const SolInfoRec& info);

/// Reads the sections of an open model information file: the requested ones, the version and file-name fields
/// always, the file section when requested or when the environment variable "DeveloperPC" is set. Failures
/// end with "[GetModelInfo]".
bool GetModelInfo(TextFile& file, DataItemSet request, SolInfoOptions options, ErrorText& errorText,
                  SolInfoRec& info);

/// GetModelInfo over the bytes of a whole file held in memory.
bool GetModelInfoFromText(std::string_view text, DataItemSet request, SolInfoOptions options,
                          ErrorText& errorText, SolInfoRec& info);

/// AddMinInfoToSolInfo over the bytes of a whole file held in memory.
bool AddMinInfoFromText(std::string_view text, SolInfoRec& info, ErrorText& errorText);

} // namespace pelorin
