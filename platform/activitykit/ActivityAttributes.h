#pragma once

#include "platform/foundation/Codable.h"

namespace ActivityKit {

// An activity's attributes type: static attributes, coded as JSON, with a
// nested ContentState coded as JSON too.
template <class A>
concept ActivityAttributes = Foundation::Decodable<A> && Foundation::Encodable<A> &&
    Foundation::Decodable<typename A::ContentState> &&
    Foundation::Encodable<typename A::ContentState>;

}  // namespace ActivityKit
