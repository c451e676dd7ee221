#pragma once

// The mouse cursor over the game window, chosen by kind: 0 none, 1 arrow with hourglass
// (starting), 2 arrow, 3 hand, 4 help, 5 wait, 6 I-beam; any other kind is the arrow.
class Cursor {
public:
    static constexpr int KIND_NONE = 0;
    static constexpr int KIND_ARROW = 2;
    static constexpr int KIND_COUNT = 7;

    // The kind a requested value stands for (unknown values are the arrow).
    static constexpr int normaliseKind(int kind) {
        return kind >= 0 && kind < KIND_COUNT ? kind : KIND_ARROW;
    }

    virtual ~Cursor() = default;

    // Chooses the kind; the system cursor changes only when the kind differs from the last.
    virtual void setKind(int kind) = 0;
    virtual int getKind() const = 0;
    // Sets the chosen cursor again (after something else may have changed it).
    virtual void apply() = 0;
};
