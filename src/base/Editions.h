#pragma once
#include <optional>
#include <string_view>

namespace veldrin {

// Source edition; the numbers are the ones the converters are handed.
enum class GameVersion { LcsPs2 = 1, VcsPs2 = 2, LcsPsp = 3, VcsPsp = 4 };
// Target PC game.
enum class TargetGame { Gta3 = 1, GtaVc = 2, GtaSa = 3 };

inline bool isVcs(GameVersion v) { return v == GameVersion::VcsPs2 || v == GameVersion::VcsPsp; }
inline bool isLcs(GameVersion v) { return !isVcs(v); }
inline bool isPsp(GameVersion v) { return v == GameVersion::LcsPsp || v == GameVersion::VcsPsp; }
inline bool isPs2(GameVersion v) { return !isPsp(v); }

// Command-line spellings: "lcs-ps2", "vcs-ps2", "lcs-psp", "vcs-psp" and "gta3", "vc", "sa".
std::optional<GameVersion> parseEdition(std::string_view text);
std::string_view editionName(GameVersion v);
std::optional<TargetGame> parseTargetGame(std::string_view text);
std::string_view targetGameName(TargetGame t);

} // namespace veldrin
