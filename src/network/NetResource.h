// One node of the Windows network as the network provider router reports
// it. A new object stands for the root of the whole network; every other
// one receives its record from the enumeration of its parent. An object
// lists its children only when they are first asked for.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../basic/Variant.h"

class NetResources;

// The router tells a text that was never set (a null pointer) from an empty
// one: a root record with empty texts would name no network at all.
using NetText = std::optional<std::wstring>;

// The platform's NETRESOURCEA record, with texts instead of pointers.
struct NetResRecord {
  uint32_t dwScope = 0;
  uint32_t dwType = 0;
  uint32_t dwDisplayType = 0;
  uint32_t dwUsage = 0;
  NetText lpLocalName;
  NetText lpRemoteName;
  NetText lpComment;
  NetText lpProvider;
};

class NetResource : public basic::Object {
 public:
  std::wstring ClassName() const override { return L"NetResource"; }
  std::vector<ModuleVariable> ModuleVariables() const override;

  // ResourceType of a printer share; no display type of the platform has it.
  static constexpr int32_t kPrinter = 255;

  // Enumerates the children on the first read; while the router refuses to
  // open the node, every read asks again and gives an empty collection.
  std::shared_ptr<NetResources> Children();
  std::wstring RemoteName() const;
  int32_t ResourceType() const;
  std::wstring ResourceTypeName() const;
  // The part of RemoteName after its last backslash.
  std::wstring ShortName() const;

  // Not for the public: the enumeration of the parent hands these in.
  void NRStruct(const NetResRecord& record);
  void IsPrinter(bool value);

  // The module-level variables in declaration order, for error reports.
  struct Variables {
    NetResRecord mvNetRes;
    bool mvGotChildren = false;
    bool mvAmRoot = true;
    bool mvAmPrinter = false;
    std::shared_ptr<NetResources> mvChildren;
  };
  const Variables& Fields() const { return v_; }

 private:
  void GetChildren();
  void GetPrinters();

  Variables v_;
};

// The remote names of the disk resources this user is connected to, then of
// those remembered for later sessions, each once (compared without case), in
// the order the router lists them. A local list: no browsing of the network.
std::vector<std::wstring> ConnectedFolders();
