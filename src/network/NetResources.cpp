#include "NetResources.h"

#include "../errorreport/vbwTrap.h"
#include "NetResource.h"

namespace {
constexpr const wchar_t* kModule = L"NetResources";
}

std::shared_ptr<NetResource> NetResources::Add(std::shared_ptr<NetResource> Item) {
  vbwTrap trap(kModule, L"Add");
  std::shared_ptr<NetResource> added;
  trap(1, [&] { v_.mCol.Add(Item->RemoteName(), Item); });
  trap(2, [&] { added = Item; });
  return added;
}

std::shared_ptr<NetResource> NetResources::Item(const basic::Variant& vntIndexKey) const {
  vbwTrap trap(kModule, L"Item");
  std::shared_ptr<NetResource> item;
  trap(1, [&] {
    if (const auto* found = v_.mCol.Item(vntIndexKey)) item = *found;
  });
  return item;
}
