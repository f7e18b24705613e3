#include "runtime/platform/desktop.hpp"

#ifdef _WIN32
#include "runtime/platform/windows_text.hpp"
#include <objbase.h>
#include <shellapi.h>
#endif

namespace rt {

#ifdef _WIN32

bool open_in_viewer(const std::string& file) {
  std::wstring name;
  if (!win::to_wide(file, name)) return false;
  // The association may be a shell extension, which needs COM; and the
  // program ends right after, so the start is waited for (not the viewer).
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOASYNC;
  execute.lpVerb = L"open";
  execute.lpFile = name.c_str();
  execute.nShow = SW_SHOWNORMAL;
  const bool opened = ShellExecuteExW(&execute) != FALSE;
  if (SUCCEEDED(com)) CoUninitialize();
  return opened;
}

#else

bool open_in_viewer(const std::string&) { return false; }

#endif

}  // namespace rt
