#include "NetResource.h"

#include <windows.h>
// after windows.h
#include <winnetwk.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "../basic/Err.h"
#include "../basic/Handles.h"
#include "../basic/SystemLibraries.h"
#include "../basic/Text.h"
#include "../errorreport/vbwTrap.h"
#include "NetResources.h"

using namespace basic;

namespace {

constexpr const wchar_t* kModule = L"NetResource";
constexpr DWORD kFirstBufferSize = 1024;
constexpr DWORD kAsManyAsFit = 0xFFFFFFFF;

// ResourceTypeName by display type; any later display type has no name.
constexpr std::array kDisplayTypeNames{
    L"Generic", L"Domain", L"Server",     L"Share",     L"File", L"Group",
    L"Network", L"Root",   L"AdminShare", L"Directory", L"Tree", L"NDSContainer",
};

DWORD CloseEnumeration(HANDLE enumeration) { return basic::Mpr().WNetCloseEnum(enumeration); }
using UniqueEnum = UniqueOf<HANDLE, CloseEnumeration>;
using UniqueGlobal = UniqueOf<HGLOBAL, GlobalFree>;

// The record in the form the router takes: ANSI copies of the texts, and a
// null pointer for a text that was never set.
class PlatformRecord {
 public:
  explicit PlatformRecord(const NetResRecord& r)
      : texts_{Ansi(r.lpLocalName), Ansi(r.lpRemoteName), Ansi(r.lpComment), Ansi(r.lpProvider)},
        record_{r.dwScope, r.dwType, r.dwDisplayType, r.dwUsage, Text(0), Text(1), Text(2), Text(3)} {}
  PlatformRecord(const PlatformRecord&) = delete;
  PlatformRecord& operator=(const PlatformRecord&) = delete;

  NETRESOURCEA* get() { return &record_; }

 private:
  static std::optional<std::string> Ansi(const NetText& text) {
    if (!text) return std::nullopt;
    return ToAnsi(*text);
  }
  char* Text(size_t i) { return texts_[i] ? texts_[i]->data() : nullptr; }

  std::array<std::optional<std::string>, 4> texts_;
  NETRESOURCEA record_;
};

// The fixed, zero-filled block that the router fills with records, back to
// back from its start, and their texts.
class EnumBuffer {
 public:
  void Allocate(DWORD size) {
    memory_.reset();
    memory_.reset(GlobalAlloc(GPTR, size));
    size_ = memory_ ? size : 0;
    if (!memory_) Raise(errOutOfMemory);
  }
  // Wine's router answers ERROR_MORE_DATA without naming a larger size:
  // allocating the size named would repeat the same call for ever.
  void Grow(DWORD named) { Allocate(named > size_ ? named : size_ * 2); }

  void* Data() const { return memory_.get(); }
  DWORD Size() const { return size_; }
  const char* Begin() const { return static_cast<const char*>(Data()); }
  const char* End() const { return Begin() + size_; }

 private:
  UniqueGlobal memory_;
  DWORD size_ = 0;
};

// The NUL-terminated text at a pointer into the buffer, whatever its length,
// read no further than the buffer's end. A null pointer, or one that leads
// out of the buffer, gives an empty text.
std::wstring lStrCpy(const char* text, const EnumBuffer& buffer) {
  vbwTrap trap(kModule, L"lStrCpy");
  std::wstring copy;
  trap(1, [&] {
    const auto at = uintptr_t(text);
    if (at < uintptr_t(buffer.Begin()) || at >= uintptr_t(buffer.End())) return;
    copy = FromAnsi(std::string_view(text, strnlen(text, size_t(buffer.End() - text))));
  });
  return copy;
}

NetResRecord ReadRecord(const EnumBuffer& buffer, DWORD index) {
  NETRESOURCEA raw;
  memcpy(&raw, buffer.Begin() + index * sizeof raw, sizeof raw);
  return {raw.dwScope,
          raw.dwType,
          raw.dwDisplayType,
          raw.dwUsage,
          lStrCpy(raw.lpLocalName, buffer),
          lStrCpy(raw.lpRemoteName, buffer),
          lStrCpy(raw.lpComment, buffer),
          lStrCpy(raw.lpProvider, buffer)};
}

// None when the router refuses to open the container.
UniqueEnum OpenEnumeration(const NetResRecord& container, DWORD type, DWORD usage) {
  PlatformRecord platform(container);
  HANDLE enumeration = nullptr;
  if (basic::Mpr().WNetOpenEnumA(RESOURCE_GLOBALNET, type, usage, platform.get(), &enumeration) != NO_ERROR)
    return nullptr;
  return UniqueEnum(enumeration);
}

// Reads an open enumeration to its end under the trap of the procedure that
// opened it, and hands each record to take. The loop ends on any answer but
// success and more data: Wine's router leaves the count as it was when the
// list is exhausted, so waiting for a count of 0 would never end.
template <class Take>
void ReadEnumeration(vbwTrap& trap, HANDLE enumeration, Take take) {
  EnumBuffer buffer;
  trap(3, [&] { buffer.Allocate(kFirstBufferSize); });
  DWORD result = NO_ERROR;
  DWORD count = 0;
  do {
    DWORD size = 0;
    trap(4, [&] {
      count = kAsManyAsFit;
      size = buffer.Size();
    });
    trap(5, [&] { result = basic::Mpr().WNetEnumResourceA(enumeration, &count, buffer.Data(), &size); });
    trap(6, [&] {
      if (result == ERROR_MORE_DATA) buffer.Grow(size);
    });
    const DWORD records = result == NO_ERROR ? std::min<DWORD>(count, buffer.Size() / sizeof(NETRESOURCEA)) : 0;
    for (DWORD i = 0; i < records && !trap.Leaving(); ++i) {
      NetResRecord record;
      trap(7, [&] { record = ReadRecord(buffer, i); });
      trap(8, [&] { take(record); });
    }
  } while (!trap.Leaving() && (result == ERROR_MORE_DATA || (result == NO_ERROR && count != 0)));
}

// The user's own connections of one scope (connected or remembered); none
// when the router has no such list. A remembered list is missing, not empty,
// where the user never remembered a connection.
UniqueEnum OpenConnections(DWORD scope) {
  HANDLE enumeration = nullptr;
  if (basic::Mpr().WNetOpenEnumA(scope, RESOURCETYPE_DISK, 0, nullptr, &enumeration) != NO_ERROR) return nullptr;
  return UniqueEnum(enumeration);
}

void AddOnce(std::vector<std::wstring>& names, const std::wstring& name) {
  const std::wstring key = UCase(name);
  const auto same = [&](const std::wstring& known) { return UCase(known) == key; };
  if (!name.empty() && std::none_of(names.begin(), names.end(), same)) names.push_back(name);
}

// Each list is read to its end and closed before the next is opened: with
// two lists of connections open at once, the second lists nothing.
void AddConnections(DWORD scope, std::vector<std::wstring>& names) {
  vbwTrap trap(kModule, L"AddConnections");
  UniqueEnum enumeration;
  trap(1, [&] { enumeration = OpenConnections(scope); });
  if (!enumeration) return;
  ReadEnumeration(trap, enumeration.get(),
                  [&](const NetResRecord& record) { AddOnce(names, record.lpRemoteName.value_or(L"")); });
}

void AddChild(NetResources& children, const NetResRecord& record, bool printer) {
  auto child = std::make_shared<NetResource>();
  child->NRStruct(record);
  if (printer) child->IsPrinter(true);
  children.Add(std::move(child));
}

std::wstring DisplayTypeName(uint32_t displayType) {
  return displayType < kDisplayTypeNames.size() ? kDisplayTypeNames[displayType] : L"";
}

}  // namespace

std::shared_ptr<NetResources> NetResource::Children() {
  vbwTrap trap(kModule, L"Children[Get]");
  std::shared_ptr<NetResources> children;
  trap(1, [&] {
    if (!v_.mvGotChildren) GetChildren();
  });
  trap(2, [&] { children = v_.mvChildren; });
  return children;
}

std::wstring NetResource::RemoteName() const {
  vbwTrap trap(kModule, L"RemoteName[Get]");
  std::wstring name;
  trap(1, [&] { name = v_.mvNetRes.lpRemoteName.value_or(L""); });
  return name;
}

int32_t NetResource::ResourceType() const {
  vbwTrap trap(kModule, L"ResourceType[Get]");
  int32_t type = 0;
  trap(1, [&] { type = v_.mvAmPrinter ? kPrinter : int32_t(v_.mvNetRes.dwDisplayType); });
  return type;
}

std::wstring NetResource::ResourceTypeName() const {
  vbwTrap trap(kModule, L"ResourceTypeName[Get]");
  std::wstring name;
  trap(1, [&] { name = v_.mvAmPrinter ? L"Printer" : DisplayTypeName(v_.mvNetRes.dwDisplayType); });
  return name;
}

std::wstring NetResource::ShortName() const {
  vbwTrap trap(kModule, L"ShortName[Get]");
  std::wstring name;
  trap(1, [&] {
    const std::wstring remote = v_.mvNetRes.lpRemoteName.value_or(L"");
    name = remote.substr(remote.rfind(L'\\') + 1);  // npos + 1 is 0: the whole name
  });
  return name;
}

void NetResource::NRStruct(const NetResRecord& record) {
  vbwTrap trap(kModule, L"NRStruct[Let]");
  trap(1, [&] { v_.mvNetRes = record; });
  trap(2, [&] { v_.mvAmRoot = false; });
}

void NetResource::IsPrinter(bool value) {
  vbwTrap trap(kModule, L"IsPrinter[Let]");
  trap(1, [&] { v_.mvAmPrinter = value; });
}

void NetResource::GetChildren() {
  vbwTrap trap(kModule, L"GetChildren");
  trap(1, [&] { v_.mvChildren = std::make_shared<NetResources>(); });
  {
    UniqueEnum enumeration;
    trap(2, [&] { enumeration = OpenEnumeration(v_.mvNetRes, RESOURCETYPE_DISK, 0); });
    if (!enumeration) return;
    ReadEnumeration(trap, enumeration.get(),
                    [&](const NetResRecord& record) { AddChild(*v_.mvChildren, record, false); });
  }  // the disk enumeration is closed before the printers are asked for
  trap(9, [&] { GetPrinters(); });
  trap(10, [&] { v_.mvGotChildren = true; });
}

// Printer shares go after the disk resources. Containers come in this
// enumeration too; only shares are taken, so that each container is added
// once, by the disk enumeration.
void NetResource::GetPrinters() {
  vbwTrap trap(kModule, L"GetPrinters");
  UniqueEnum enumeration;
  trap(1, [&] { enumeration = OpenEnumeration(v_.mvNetRes, RESOURCETYPE_PRINT, RESOURCEUSAGE_CONNECTABLE); });
  if (!enumeration) return;
  ReadEnumeration(trap, enumeration.get(), [&](const NetResRecord& record) {
    if (record.dwDisplayType == RESOURCEDISPLAYTYPE_SHARE) AddChild(*v_.mvChildren, record, true);
  });
}

std::vector<basic::Object::ModuleVariable> NetResource::ModuleVariables() const {
  const NetResRecord& r = v_.mvNetRes;
  const auto text = [](const NetText& t) { return t.value_or(L""); };
  return {{L"mvNetRes.dwScope", int32_t(r.dwScope)},
          {L"mvNetRes.dwType", int32_t(r.dwType)},
          {L"mvNetRes.dwDisplayType", int32_t(r.dwDisplayType)},
          {L"mvNetRes.dwUsage", int32_t(r.dwUsage)},
          {L"mvNetRes.lpLocalName", text(r.lpLocalName)},
          {L"mvNetRes.lpRemoteName", text(r.lpRemoteName)},
          {L"mvNetRes.lpComment", text(r.lpComment)},
          {L"mvNetRes.lpProvider", text(r.lpProvider)},
          {L"mvGotChildren", v_.mvGotChildren},
          {L"mvAmRoot", v_.mvAmRoot},
          {L"mvAmPrinter", v_.mvAmPrinter},
          {L"mvChildren", static_cast<const basic::Object*>(v_.mvChildren.get())}};
}

std::vector<std::wstring> ConnectedFolders() {
  std::vector<std::wstring> names;
  AddConnections(RESOURCE_CONNECTED, names);
  AddConnections(RESOURCE_REMEMBERED, names);
  return names;
}
