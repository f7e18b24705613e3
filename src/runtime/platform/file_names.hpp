#pragma once
// Result file names. The run's texts are bytes: the program's own prefixes
// are Windows-1252, the part taken from the run name is whatever the data
// file held. On disk a name is Unicode: the run-name part is read as UTF-8
// when it is (a modern editor saves so), else as Windows-1252.

#include <string>
#include <string_view>

namespace rt {

enum class NameEncoding { utf8, windows1252 };

// How a run name's bytes are read: UTF-8 when they are valid UTF-8, else
// Windows-1252. cut_off holds the bytes that followed the name where it was
// cut at 50 characters (empty when it was not): a sequence left incomplete
// at the end is UTF-8 only if they complete it, for a lone lead byte at the
// end of a name that was not cut is a Windows-1252 letter ("Jos\xE9").
// Decided once for the whole name, so that the three result files show the
// same characters.
NameEncoding name_encoding(std::string_view name, std::string_view cut_off = {});

// The name on disk, in UTF-8, for a trimmed text whose first prefix_length
// bytes are a Windows-1252 literal and whose rest came from the run name.
// An incomplete UTF-8 sequence at the end (where a cut fell inside it) is
// dropped.
std::string disk_name(std::string_view text, std::size_t prefix_length,
                      NameEncoding encoding);

// Why a name (UTF-8) would not land as a plain file in the working
// directory, in the user's language ("holds a '/'"); empty when it would.
std::string name_fault(std::string_view utf8_name);

// Code points of a UTF-8 string (valid by construction).
std::u32string code_points(std::string_view utf8);

}  // namespace rt
