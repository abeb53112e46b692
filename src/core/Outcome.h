#pragma once
// What an engine or driver says of its run: everything asked was done, or something was left
// undone (a refusal, a Cancel, a failure, values not stored). Callers turn it into an exit status
// or a result shown to the user, so it must never be dropped.

namespace pel {

enum class [[nodiscard]] Outcome{Done, LeftUndone};

[[nodiscard]] inline Outcome Worse(Outcome a, Outcome b) {
    return (a == Outcome::LeftUndone || b == Outcome::LeftUndone) ? Outcome::LeftUndone
                                                                  : Outcome::Done;
}

}  // namespace pel
