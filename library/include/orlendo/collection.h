// A one-based, insertion-ordered collection of shared members, each with an
// optional unique key (keys compare without regard to ASCII letter case).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orlendo/ascii.h"
#include "orlendo/error.h"

namespace orlendo {

template <class T>
class Collection {
 public:
  using Member = std::shared_ptr<T>;

  Collection() = default;
  // keys_ points into byKey_'s nodes: a copy would point into the original.
  Collection(const Collection&) = delete;
  Collection& operator=(const Collection&) = delete;
  Collection(Collection&&) noexcept = default;
  Collection& operator=(Collection&&) noexcept = default;

  long Count() const noexcept { return static_cast<long>(members_.size()); }

  const Member& Item(long position) const {
    if (position < 1 || position > Count()) raisePlatform(errnum::SubscriptOutOfRange);
    return members_[static_cast<std::size_t>(position - 1)];
  }
  const Member& Item(std::string_view key) const {
    auto it = byKey_.find(foldKey(key));
    if (it == byKey_.end()) raisePlatform(errnum::InvalidArgument);
    return it->second;
  }
  bool Contains(std::string_view key) const { return byKey_.count(foldKey(key)) != 0; }

  // Appends under `key` (no key when empty); a key already present fails and adds nothing.
  void Append(Member member, std::string_view key = {}) {
    const std::string* stored = nullptr;
    if (!key.empty()) {
      auto [it, added] = byKey_.try_emplace(foldKey(key), member);
      if (!added) raisePlatform(errnum::DuplicateKey);
      stored = &it->first;
    }
    try {
      members_.push_back(std::move(member));
      keys_.push_back(stored);
    } catch (...) {
      if (stored) byKey_.erase(*stored);
      if (members_.size() > keys_.size()) members_.pop_back();
      throw;
    }
  }

  void Remove(long position) {
    if (position < 1 || position > Count()) raisePlatform(errnum::SubscriptOutOfRange);
    const auto i = static_cast<std::size_t>(position - 1);
    if (keys_[i]) byKey_.erase(std::string(*keys_[i]));
    members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(i));
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  void Remove(std::string_view key) {
    auto it = byKey_.find(foldKey(key));
    if (it == byKey_.end()) raisePlatform(errnum::InvalidArgument);
    for (std::size_t i = 0; i < members_.size(); ++i) {
      if (keys_[i] == &it->first) {
        Remove(static_cast<long>(i + 1));
        return;
      }
    }
  }

  std::span<const Member> Members() const noexcept { return members_; }
  void Reserve(std::size_t n) {
    members_.reserve(n);
    keys_.reserve(n);
  }

 private:
  std::vector<Member> members_;
  // Per member its folded key in byKey_ (nodes do not move), null for none:
  // members without a key carry no string.
  std::vector<const std::string*> keys_;
  std::unordered_map<std::string, Member> byKey_;
};

}  // namespace orlendo
