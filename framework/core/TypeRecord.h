#pragma once

// Run-time class identity without the compiler's type information: every framework and game
// class owns one static TypeRecord naming the class and its direct parents.
struct TypeRecord {
    const char* name;
    // Direct bases in declaration order, terminated by a null pointer.
    const TypeRecord* const* parents;

    // True when this record is `other` (compared by address, never by name) or when any parent,
    // depth-first in declaration order, is.
    bool isA(const TypeRecord* other) const;
};

// Declares the static record of a class derived from BaseObject and answers getType with it.
#define QUOVEL_TYPE(Class)                         \
public:                                            \
    static const ::TypeRecord typeRecord;          \
    const ::TypeRecord* getType() const override { \
        return &typeRecord;                        \
    }                                              \
                                                   \
private:

// Declares the static record of a mixed-in interface (no getType of its own).
#define QUOVEL_INTERFACE_TYPE(Class)      \
public:                                   \
    static const ::TypeRecord typeRecord; \
                                          \
private:

// Defines a record in one source file; the parents are the records of the direct bases. The
// record is constant-initialised, so other static initialisers may use it in any order.
#define QUOVEL_DEFINE_TYPE(Class, ...)                                                         \
    namespace {                                                                                \
    constexpr const ::TypeRecord* Class##TypeParents[] = {__VA_ARGS__ __VA_OPT__(, ) nullptr}; \
    }                                                                                          \
    constinit const ::TypeRecord Class::typeRecord{#Class, Class##TypeParents};
