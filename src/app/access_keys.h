#pragma once

#include <string>
#include <vector>

namespace pelorin {

/// Gives each caption of one menu that has no access key a key of its own, as menus do for items whose
/// captions mark none: the first free letter or digit that begins a word of the caption, else the first free
/// one anywhere in it ("Add Model" -> "&Add Model"). An ampersand marks a key; "&&" is a plain ampersand.
/// Keys already marked are kept and taken first; letters count alike in either case. Separators ("-"), empty
/// captions and captions without a free character are left as they are.
std::vector<std::string> AssignAccessKeys(const std::vector<std::string>& captions);

} // namespace pelorin
