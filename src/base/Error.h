#pragma once
#include <stdexcept>
#include <string>

namespace veldrin {

// The one error kind of the conversion code: its message is what the user sees.
// Readers throw it for data that points outside its file; writers for files that cannot be written.
class VeldrinError : public std::runtime_error {
public:
    explicit VeldrinError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace veldrin
