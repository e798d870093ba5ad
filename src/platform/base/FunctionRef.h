#pragma once

#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

// A callable handed down a call, neither copied nor allocated: it refers to the caller's and
// is valid only while the call that received it runs. Drawing calls one for every run of
// pixels, where a std::function's allocation and indirection would cost more than the run.
template <typename Signature>
class FunctionRef;

template <typename R, typename... Args>
class FunctionRef<R(Args...)> {
  public:
    template <typename F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, FunctionRef> &&
             std::is_invocable_r_v<R, F&, Args...>) FunctionRef(F&& callable)
    noexcept  // NOLINT: converts like a std::function
        : m_callable(const_cast<void*>(static_cast<const void*>(std::addressof(callable)))),
          m_call([](void* target, Args... args) -> R {
              return std::invoke(*static_cast<std::remove_reference_t<F>*>(target),
                                 std::forward<Args>(args)...);
          }) {}

    R operator()(Args... args) const { return m_call(m_callable, std::forward<Args>(args)...); }

  private:
    void* m_callable;
    R (*m_call)(void*, Args...);
};
