#pragma once

#include <type_traits>
#include <utility>

// Names a hook that must be filled before it is called, and what fills it.
struct MustBeFilled {
    const char* name;
    const char* filledBy;
};

// Reports a call of a hook that must be filled while it is empty (ProblemLog.cpp).
void reportEmptyHook(const MustBeFilled& hook);

// One plain function through which a lower layer reaches a higher one: the higher layer installs
// it, the lower one calls it. While none is installed (or after null is), a call does nothing
// and answers the result type's empty value: for a hook made with MustBeFilled that call is
// a developer's mistake and is reported; any other hook may rightly stay empty.
template <typename Signature>
class Hook;

template <typename Result, typename... Args>
class Hook<Result(Args...)> {
public:
    using Function = Result (*)(Args...);

    constexpr Hook() = default;
    constexpr explicit Hook(MustBeFilled required) : required(required) {}

    // Null removes the function. Answers the function it replaces.
    Function install(Function installed) { return std::exchange(function, installed); }
    bool isInstalled() const { return function != nullptr; }
    // The name a hook that must be filled carries; null for any other.
    const char* name() const { return required.name; }

    Result operator()(Args... args) const {
        if (function) {
            return function(std::forward<Args>(args)...);
        }
        if (required.name) {
            reportEmptyHook(required);
        }
        if constexpr (!std::is_void_v<Result>) {
            return Result{};
        }
    }

private:
    Function function = nullptr;
    MustBeFilled required{nullptr, nullptr};
};
