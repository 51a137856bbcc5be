// Reading a security's transactions without an object for each.
//
// A calculation keeps the buys and sells it posts in a compact form and
// builds a transaction object only when a caller asks for one (Item,
// NewEnum, iteration). Readers that go through all of them, such as the
// reports, visit them here instead: each comes as a read-only transaction
// that answers every get as its object would.
#pragma once

#include <type_traits>

#include "orlendo/model.h"

namespace orlendo {

namespace detail {
using XactionVisit = void (*)(void* context, const Xaction& x);
void visitXactions(const Xactions& xactions, void* context, XactionVisit visit);
}  // namespace detail

// Calls `visit(x)` for each transaction of `xactions`, in order. `x` is valid
// during the call only (keep what it says, not the reference); an object a
// caller already holds is passed as itself.
template <class Visit>
void visitXactions(const Xactions& xactions, Visit&& visit) {
  using V = std::remove_reference_t<Visit>;
  detail::visitXactions(xactions, const_cast<void*>(static_cast<const void*>(&visit)),
                        [](void* context, const Xaction& x) { (*static_cast<V*>(context))(x); });
}

}  // namespace orlendo
