#pragma once
// Reads a dictionary written by the texture converter back through the reader kit and checks what every
// dictionary of ours holds alike: one stamp throughout and empty extensions.
#include <gtest/gtest.h>

#include <span>

#include "inspect/TxdRead.h"

namespace veldrin::test {

using ReadTxd = inspect::TxdDictionary;
using ReadNative = inspect::TxdTexture;

inline ReadTxd readTxd(std::span<const uint8_t> bytes) {
    ReadTxd txd = inspect::readTxd(bytes, "dictionary");
    EXPECT_TRUE(inspect::stampsAgree(txd.root));
    EXPECT_EQ(txd.extensionSize, 0u);
    for (const ReadNative& n : txd.textures) EXPECT_EQ(n.extensionSize, 0u) << n.name;
    return txd;
}

} // namespace veldrin::test
