#pragma once

// Sending messages. A send looks up the implementation that the receiver's
// class runs for the selector (own or inherited method) and calls it with the
// receiver, the selector and the arguments. The platform's untyped send is
// always cast to the method's function type at the call site; here the cast
// is a template parameter:
//
//   id picker = objc_msgSendTyped<id>(cls, sel_registerName("alloc"));
//   objc_msgSendTyped<void>(picker, sel_registerName("setDelegate:"), delegate);
//
// The result type and the argument types must be exactly those the method was
// defined with (the IMP's own parameter types after id and SEL); a mismatch is
// undefined behaviour, as on the platform.

#include <type_traits>

#include "platform/objc/objc.h"
#include "platform/objc/runtime.h"

// The receiver and the class to start the lookup at, for a send to super.
struct objc_super {
  id receiver;
  Class super_class;  // the superclass of the class whose method is sending
};

// The implementation a send of `op` to `self` runs. Never null: when no class
// in the receiver's chain has the method, the process ends with an
// "unrecognized selector sent to instance" message on stderr (the runtime's
// unrecoverable error). Shared runtime lock.
OBJC_EXPORT IMP objc_msgLookup(id self, SEL op);

// The same, starting the lookup at super->super_class.
OBJC_EXPORT IMP objc_msgLookupSuper(const objc_super* super, SEL op);

// The runtime's own helpers live in objc_internal (here and in
// RuntimeInternal.h); nothing outside platform/objc names them.
namespace objc_internal {
template <typename R>
R nilResult() {
  if constexpr (std::is_void_v<R>) {
    return;
  } else {
    return R{};
  }
}
}  // namespace objc_internal

// Sends `op` to `self`. A send to nil does nothing and returns a
// zero value (nil, 0, NO), as on the platform.
template <typename R = void, typename... Args>
R objc_msgSendTyped(id self, SEL op, Args... args) {
  if (self == nil) return objc_internal::nilResult<R>();
  auto fn = reinterpret_cast<R (*)(id, SEL, Args...)>(objc_msgLookup(self, op));
  return fn(self, op, args...);
}

// A send to a class object (a class message such as +alloc).
template <typename R = void, typename... Args>
R objc_msgSendTyped(Class cls, SEL op, Args... args) {
  return objc_msgSendTyped<R, Args...>(reinterpret_cast<id>(cls), op, args...);
}

// Sends `op` to super->receiver, running the implementation found from
// super->super_class upwards ("[super op]").
template <typename R = void, typename... Args>
R objc_msgSendSuperTyped(const objc_super* super, SEL op, Args... args) {
  if (super->receiver == nil) return objc_internal::nilResult<R>();
  auto fn = reinterpret_cast<R (*)(id, SEL, Args...)>(objc_msgLookupSuper(super, op));
  return fn(super->receiver, op, args...);
}
