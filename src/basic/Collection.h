// The language runtime's keyed collection: items in the order they were
// added, each under a text key that no other item of the collection has.
// Keys compare without regard to case, as the original's collections did.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include "Err.h"
#include "Text.h"
#include "Variant.h"

namespace basic {

inline constexpr int32_t errKeyInUse = 457;

template <class T>
class Collection : public Object {
 public:
  std::wstring ClassName() const override { return L"Collection"; }
  bool IsModule() const override { return false; }

  // Appends the item; raises error 457 when the key is taken already.
  void Add(std::wstring_view key, T item) {
    const auto [slot, added] = index_.try_emplace(UCase(key), items_.size());
    if (!added) Raise(errKeyInUse, L"This key is already associated with an element of this collection");
    try {
      items_.push_back(std::move(item));
    } catch (...) {
      index_.erase(slot);
      throw;
    }
  }

  // The item under a key text or at a 1-based position; null when there is
  // none, and for any other kind of index.
  const T* Item(const Variant& indexKey) const {
    if (const auto* key = std::get_if<std::wstring>(&indexKey)) return Find(*key);
    if (const auto* position = std::get_if<int32_t>(&indexKey)) return At(*position);
    if (const auto* position = std::get_if<int16_t>(&indexKey)) return At(*position);
    return nullptr;
  }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  const T* Find(std::wstring_view key) const {
    const auto slot = index_.find(UCase(key));
    return slot == index_.end() ? nullptr : &items_[slot->second];
  }
  const T* At(int32_t position) const {
    if (position < 1 || size_t(position) > items_.size()) return nullptr;
    return &items_[size_t(position) - 1];
  }

  std::vector<T> items_;
  std::unordered_map<std::wstring, size_t> index_;  // upper-case key -> index into items_
};

}  // namespace basic
