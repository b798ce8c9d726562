// The library entry: attaching the library runs Load, detaching it runs Unload.
#include "plugin/Plugin.h"

#if defined(_WIN32)
#include <windows.h>

BOOL APIENTRY DllMain(HMODULE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) Load();
  if (reason == DLL_PROCESS_DETACH) Unload();
  return TRUE;
}
#else
namespace {

// Runs from .init_array when the host maps the library; Load never raises. The order against other
// translation units' dynamic initialisers is the linker's, which is why the plug-in keeps all of its
// state in function-local statics and constant-initialised globals.
[[gnu::constructor]] void Attach() { Load(); }

// Runs from .fini_array before the library's static objects are destroyed, so Unload still finds them.
[[gnu::destructor]] void Detach() { Unload(); }

}  // namespace
#endif
