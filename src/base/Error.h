#pragma once
#include <exception>
#include <stdexcept>
#include <string>

namespace veldrin {

// The one error kind of the conversion code: its message is what the user sees.
// Readers throw it for data that points outside its file; writers for files that cannot be written.
// Where the window shows a fixed text ("Invalid DTZ file"), that text is the message and the reason
// behind it (which file, what was found) rides along for the command line to print after it.
class VeldrinError : public std::runtime_error {
public:
    explicit VeldrinError(const std::string& message, std::string reason = {})
        : std::runtime_error(message), reason_(std::move(reason)) {}
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// The message with its reason after it, as the command line prints an error:
// "Invalid DTZ file (GAME.DTZ: ...)".
inline std::string errorText(const std::exception& e) {
    const auto* error = dynamic_cast<const VeldrinError*>(&e);
    if (!error || error->reason().empty()) return e.what();
    return std::string(e.what()) + " (" + error->reason() + ")";
}

} // namespace veldrin
