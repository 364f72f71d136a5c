#pragma once
#include <array>
#include <string>
#include <utility>

#include "base/Editions.h"
#include "collision/StoriesColModel.h"

namespace veldrin::cli {

// Bad usage: the message, and the command it is about ("" for the program as a whole) so the usage
// line can point at that command's help. Exit status 2.
struct UsageError {
    explicit UsageError(std::string message_, std::string command_ = {})
        : message(std::move(message_)), command(std::move(command_)) {}
    std::string message;
    std::string command;
};

// Option values as the user types them. Names are matched without regard to case; a value that is
// refused throws UsageError naming the option and the values it takes.
int integerIn(const std::string& option, const std::string& text, long long low, long long high);
TargetGame targetGameFrom(const std::string& text);
// "lcs" or "vcs", or an edition of the conversion ("lcs-ps2", "vcs-psp", ...), which names the same game.
StoriesEdition storiesEditionFrom(const std::string& text);

} // namespace veldrin::cli
