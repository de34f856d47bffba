#include "platform/foundation/NSUUID.h"

#include <uuid/uuid.h>

NSUUID::NSUUID() {
  isa = classObject();
  uuid_t bytes;
  uuid_generate_random(bytes);
  char text[37];
  uuid_unparse_upper(bytes, text);
  string_ = text;
}

NSUUID* NSUUID::UUID() {
  auto* uuid = new NSUUID();
  objc_autorelease(uuid);
  return uuid;
}

Class NSUUID::classObject() {
  static Class cls = Foundation::detail::registerClass("NSUUID", objc_getClass("NSObject"),
                                                       Foundation::detail::deallocFor<NSUUID>());
  return cls;
}
