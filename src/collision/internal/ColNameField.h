#pragma once
#include <string>

#include "base/ByteWriter.h"

namespace veldrin {

// The 20-byte name of a PC collision record, zero-padded, followed by "CED2": together they fill
// the 24 bytes where the games read a 22-byte name and a model number. A name of 20 characters or
// more would leave no terminator and read back as another name, so it is refused with VeldrinError.
void writeColNameField(ByteWriter& w, const std::string& name);

} // namespace veldrin
