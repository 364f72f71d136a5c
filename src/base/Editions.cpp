#include "base/Editions.h"

namespace veldrin {

std::optional<GameVersion> parseEdition(std::string_view text) {
    if (text == "lcs-ps2") return GameVersion::LcsPs2;
    if (text == "vcs-ps2") return GameVersion::VcsPs2;
    if (text == "lcs-psp") return GameVersion::LcsPsp;
    if (text == "vcs-psp") return GameVersion::VcsPsp;
    return std::nullopt;
}

std::string_view editionName(GameVersion v) {
    switch (v) {
    case GameVersion::LcsPs2: return "lcs-ps2";
    case GameVersion::VcsPs2: return "vcs-ps2";
    case GameVersion::LcsPsp: return "lcs-psp";
    case GameVersion::VcsPsp: return "vcs-psp";
    }
    return "?";
}

std::optional<TargetGame> parseTargetGame(std::string_view text) {
    if (text == "gta3") return TargetGame::Gta3;
    if (text == "vc") return TargetGame::GtaVc;
    if (text == "sa") return TargetGame::GtaSa;
    return std::nullopt;
}

std::string_view targetGameName(TargetGame t) {
    switch (t) {
    case TargetGame::Gta3: return "gta3";
    case TargetGame::GtaVc: return "vc";
    case TargetGame::GtaSa: return "sa";
    }
    return "?";
}

} // namespace veldrin
