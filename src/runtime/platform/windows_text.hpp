#pragma once
// Inside the Windows side of the runtime layer: names and messages between
// the program's UTF-8 and the system's UTF-16.

// The one place that includes <windows.h>, without its min/max macros and
// the rarely used parts.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601  // Windows 7: CompareStringOrdinal
#endif
#include <windows.h>

#include <string>

namespace rt::win {

// UTF-8 to UTF-16; false when the bytes are not valid UTF-8.
bool to_wide(const std::string& utf8, std::wstring& out);

std::string to_utf8(const std::wstring& wide);

// Why an operation failed, from its system error code, in the user's
// language, as one line (rt::system_reason).
std::string reason(DWORD error);

}  // namespace rt::win
