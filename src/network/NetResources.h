// The children of a NetResource, keyed by remote name, in the order the
// network provider router listed them.
#pragma once
#include <memory>

#include "../basic/Collection.h"
#include "../basic/Variant.h"

class NetResource;

class NetResources : public basic::Object {
 public:
  std::wstring ClassName() const override { return L"NetResources"; }
  std::vector<ModuleVariable> ModuleVariables() const override { return {{L"mCol", &v_.mCol}}; }

  // Not for the public. A remote name that is a key already is reported as
  // an error; the item is then not added and the result is null.
  std::shared_ptr<NetResource> Add(std::shared_ptr<NetResource> Item);
  // By remote name or 1-based position; null when there is none. Never
  // reports an error.
  std::shared_ptr<NetResource> Item(const basic::Variant& vntIndexKey) const;

  // For-each over the children in collection order.
  auto begin() const { return v_.mCol.begin(); }
  auto end() const { return v_.mCol.end(); }

  // The module-level variables, for error reports.
  struct Variables {
    basic::Collection<std::shared_ptr<NetResource>> mCol;
  };
  const Variables& Fields() const { return v_; }

 private:
  Variables v_;
};
