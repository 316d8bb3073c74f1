// A library as someone who may write to the wizard's shared folder could
// plant it there: the tests copy it under the names of system libraries that
// are not among the system's known DLLs. Each of its functions passes the
// call on to the system's own library of that name, so that whatever else
// loads it works as before; a call that comes from the wizard's own program
// leaves a line, "<library> <function>", in "planted-calls.txt" beside it.
// Its loading, by whomever, leaves its path in "planted-loads.txt": a sign
// that the system preferred it to its own.
#include <windows.h>

#include <string>

namespace {

std::string FolderOf(HMODULE module) {
  char path[MAX_PATH] = "";
  const std::string file(path, GetModuleFileNameA(module, path, MAX_PATH));
  return file.substr(0, file.find_last_of('\\'));
}

HMODULE ModuleAt(const void* address) {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     static_cast<const char*>(address), &module);
  return module;
}

void Mark(const char* marks, const std::string& line) {
  const HMODULE self = ModuleAt(reinterpret_cast<const void*>(&Mark));
  const std::string path = FolderOf(self) + "\\" + marks;
  HANDLE file =
      CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  char path[MAX_PATH] = "";
  if (reason == DLL_PROCESS_ATTACH)
    Mark("planted-loads.txt", std::string(path, GetModuleFileNameA(self, path, MAX_PATH)) + "\r\n");
  return TRUE;
}

// Where a planted function goes on to: entry is "<library>:<function>",
// returnAddress where the call came from.
extern "C" void* PlantedTarget(const char* entry, void* returnAddress) {
  const std::string text = entry;
  const std::string library = text.substr(0, text.find(':')), function = text.substr(text.find(':') + 1);
  if (ModuleAt(returnAddress) == GetModuleHandleA(nullptr))
    Mark("planted-calls.txt", library + " " + function + "\r\n");
  char system[MAX_PATH] = "";
  GetSystemDirectoryA(system, MAX_PATH);
  // By its full path: by its name, this very library would answer.
  const HMODULE real = LoadLibraryA((std::string(system) + "\\" + library).c_str());
  return reinterpret_cast<void*>(GetProcAddress(real, function.c_str()));
}

// Each function, whatever its parameters: push where it goes to, find the
// system's function with the caller's return address beside it, and jump
// there with the stack as the caller left it.
asm(".text\n"
    "planted_common:\n"
    "  call _PlantedTarget\n"
    "  addl $4, %esp\n"
    "  jmp *%eax\n");

// clang-format off
#define PLANT(library, function)                                            \
  asm(".section .rdata,\"dr\"\n"                                            \
      "planted_entry_" #function ": .asciz \"" library ":" #function "\"\n" \
      ".text\n"                                                             \
      ".globl _" #function "\n"                                             \
      "_" #function ":\n"                                                   \
      "  pushl $planted_entry_" #function "\n"                              \
      "  jmp planted_common\n"                                              \
      ".section .drectve\n"                                                 \
      ".ascii \" -export:" #function "\"\n"                                 \
      ".text\n");
// clang-format on

// What the wizard called and what the system's own libraries import of them.
PLANT("version.dll", GetFileVersionInfoSizeA)
PLANT("version.dll", GetFileVersionInfoA)
PLANT("version.dll", VerQueryValueA)
PLANT("version.dll", GetFileVersionInfoSizeW)
PLANT("version.dll", GetFileVersionInfoW)
PLANT("version.dll", VerQueryValueW)
PLANT("mpr.dll", WNetOpenEnumA)
PLANT("mpr.dll", WNetEnumResourceA)
PLANT("mpr.dll", WNetCloseEnum)
PLANT("mpr.dll", WNetGetConnectionA)
PLANT("mpr.dll", WNetAddConnection2A)
PLANT("mpr.dll", WNetGetLastErrorW)
PLANT("mpr.dll", WNetRestoreConnectionW)
PLANT("msimg32.dll", GradientFill)
PLANT("msimg32.dll", AlphaBlend)
PLANT("msimg32.dll", TransparentBlt)
PLANT("mapi32.dll", MAPISendMail)
