#pragma once

#include <type_traits>
#include <utility>

// One plain function through which a lower layer reaches a higher one: the higher layer installs
// it, the lower one calls it. Until one is installed (or after null is), a call does nothing and
// answers the result type's empty value.
template <typename Signature>
class Hook;

template <typename Result, typename... Args>
class Hook<Result(Args...)> {
public:
    using Function = Result (*)(Args...);

    // Null removes the function.
    void install(Function installed) { function = installed; }
    bool isInstalled() const { return function != nullptr; }

    Result operator()(Args... args) const {
        if constexpr (std::is_void_v<Result>) {
            if (function) {
                function(std::forward<Args>(args)...);
            }
        } else {
            return function ? function(std::forward<Args>(args)...) : Result{};
        }
    }

private:
    Function function = nullptr;
};
