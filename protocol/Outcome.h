// How an operation ended. Every handler and operation returns one; the front
// ends act on it (the terminal front end's exit status, its --json "ok")
// instead of on the texts that were shown.
#pragma once

#include <string>
#include <utility>

namespace nw {

enum class OutcomeKind {
    Succeeded,
    Failed,   // ended in one of its failure messages
    LineGone, // a write failed: the line went away, nothing more was written
};

struct Outcome {
    OutcomeKind kind = OutcomeKind::Succeeded;
    // The text that told the user how it ended (the failure message, or the
    // result shown); may be empty.
    std::string message;

    bool Succeeded() const { return kind == OutcomeKind::Succeeded; }

    static Outcome Success(std::string text = {}) {
        return {OutcomeKind::Succeeded, std::move(text)};
    }
    static Outcome Failure(std::string text) { return {OutcomeKind::Failed, std::move(text)}; }
    static Outcome Gone(std::string text) { return {OutcomeKind::LineGone, std::move(text)}; }
};

} // namespace nw
