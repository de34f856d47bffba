#pragma once

#include <concepts>
#include <future>
#include <memory>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "platform/appintents/ConcurrentExecutor.h"
#include "platform/appintents/IntentResult.h"
#include "platform/foundation/LocalizedStringResource.h"

namespace AppIntents {

// An app intent: a value type the platform can create with no arguments,
// compare, name and perform. A type conforms by providing
//
//   static constexpr std::string_view typeName;   // its type's name
//   static const Foundation::LocalizedStringResource& title();
//   IntentResult perform() const;                 // the intent's body
//
// perform() is the body only: callers run it through performIntent() (or a
// button's tap), which runs it on the shared concurrent executor, off the
// calling thread. It may throw; the exception reaches the waiting caller.
template <class T>
concept AppIntent = requires(const T& intent) {
  { T::typeName } -> std::convertible_to<std::string_view>;
  { T::title() } -> std::same_as<const Foundation::LocalizedStringResource&>;
  { intent.perform() } -> std::same_as<IntentResult>;
}
&&  // checked first: the rest is only asked of intent-like types
    std::default_initializable<T>&& std::copyable<T>&& std::equality_comparable<T>;

// The marker a live-activity intent derives from. The platform runs a
// live-activity intent in the process of the app that owns the activity, so
// what it posts reaches that app's own observers.
struct LiveActivityIntentConformance {
  friend constexpr bool operator==(LiveActivityIntentConformance,
                                   LiveActivityIntentConformance) = default;
};

template <class T>
concept LiveActivityIntent = AppIntent<T> && std::derived_from<T, LiveActivityIntentConformance>;

// The default persistent identifier of an intent type: its type name.
template <AppIntent T>
constexpr std::string_view persistentIdentifier() {
  return T::typeName;
}

// Runs intent.perform() on the shared concurrent executor and returns a
// future the caller can wait on. Returns at once.
template <AppIntent T>
std::future<IntentResult> performIntent(T intent) {
  return ConcurrentExecutor::shared().submit([intent] { return intent.perform(); });
}

// Any app intent as a value: its type's name, equality (same type and equal
// values) and a way to perform it. Copies share one immutable intent value.
class AnyAppIntent {
 public:
  template <AppIntent T>
  AnyAppIntent(
      T intent)  // NOLINT(google-explicit-constructor): wraps any intent like the platform does
      : box_(std::make_shared<const Model<T>>(std::move(intent))) {}

  std::string_view typeName() const { return box_->typeName(); }
  const Foundation::LocalizedStringResource& title() const { return box_->title(); }

  // Runs the intent's perform() on the shared concurrent executor.
  std::future<IntentResult> perform() const { return box_->perform(); }

  // The wrapped value when it is a T, else nullptr.
  template <AppIntent T>
  const T* as() const {
    if (box_->type() != typeid(T)) return nullptr;
    return &static_cast<const Model<T>&>(*box_).intent;
  }

  friend bool operator==(const AnyAppIntent& a, const AnyAppIntent& b) {
    return a.box_ == b.box_ || a.box_->equals(*b.box_);
  }

 private:
  struct Concept {
    virtual ~Concept() = default;
    virtual std::string_view typeName() const = 0;
    virtual const Foundation::LocalizedStringResource& title() const = 0;
    virtual std::future<IntentResult> perform() const = 0;
    virtual const std::type_info& type() const = 0;
    virtual bool equals(const Concept& other) const = 0;
  };
  template <class T>
  struct Model final : Concept {
    explicit Model(T value) : intent(std::move(value)) {}
    std::string_view typeName() const override { return T::typeName; }
    const Foundation::LocalizedStringResource& title() const override { return T::title(); }
    std::future<IntentResult> perform() const override { return performIntent(intent); }
    const std::type_info& type() const override { return typeid(T); }
    bool equals(const Concept& other) const override {
      return other.type() == typeid(T) && static_cast<const Model&>(other).intent == intent;
    }
    T intent;
  };

  std::shared_ptr<const Concept> box_;
};

}  // namespace AppIntents
