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
    std::string folded = foldKey(key);
    if (!key.empty()) {
      if (byKey_.count(folded)) raisePlatform(errnum::DuplicateKey);
      byKey_.emplace(folded, member);
    }
    members_.push_back(std::move(member));
    keys_.push_back(std::move(folded));
  }

  void Remove(long position) {
    if (position < 1 || position > Count()) raisePlatform(errnum::SubscriptOutOfRange);
    const auto i = static_cast<std::size_t>(position - 1);
    if (!keys_[i].empty()) byKey_.erase(keys_[i]);
    members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(i));
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  void Remove(std::string_view key) {
    auto it = byKey_.find(foldKey(key));
    if (it == byKey_.end()) raisePlatform(errnum::InvalidArgument);
    for (std::size_t i = 0; i < members_.size(); ++i) {
      if (!keys_[i].empty() && keys_[i] == it->first) {
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
  std::vector<std::string> keys_;  // folded key per member, empty for none
  std::unordered_map<std::string, Member> byKey_;
};

}  // namespace orlendo
