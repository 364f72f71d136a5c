#include "internal/ColNameField.h"

#include "base/Error.h"
#include "collision/BlankCol.h"

namespace veldrin {

void writeColNameField(ByteWriter& w, const std::string& name) {
    if (name.size() >= kColNameFieldSize) {
        throw VeldrinError("Cannot write the collision record \"" + name + "\": collision names are limited to " +
                           std::to_string(kColNameFieldSize - 1) + " characters");
    }
    w.text(name);
    w.zeros(kColNameFieldSize - name.size());
    w.text("CED2");
}

} // namespace veldrin
