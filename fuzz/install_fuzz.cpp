// The install record, the game's data file and uninstall over a game folder that holds a link out of
// it. Properties: nothing outside the game folder ever changes, and an install's block taken out of a
// data file gives the file back byte for byte.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "FuzzInput.h"
#include "FuzzTarget.h"
#include "install/GameContent.h"
#include "install/InstallCommit.h"
#include "install/Uninstall.h"
#include "internal/DataFileText.h"

using namespace veldrin;
namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, std::span<const uint8_t> bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void write(const fs::path& path, std::string_view text) {
    write(path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The folder beside the game, with the one file a crafted record aims at (its seed names it through
// the link veldrin/out, with its true size and hash).
constexpr std::string_view kVictim = "outside the game folder";

struct Folders {
    fs::path base = fs::temp_directory_path() / ("veldrin-fuzz-install-" + std::to_string(::getpid()));
    fs::path game = base / "game";
    fs::path outside = base / "outside";
    Folders() {
        fs::remove_all(base);
        write(outside / "victim.txt", kVictim);
    }
    ~Folders() {
        std::error_code ignored;
        fs::remove_all(base, ignored);
    }

    // A VC folder: the data files, the game's own archive (empty), an install folder with one file and
    // a link out, and the record.
    void lay(std::span<const uint8_t> dataFile, std::span<const uint8_t> record) const {
        std::error_code ignored;
        fs::remove_all(game, ignored);
        write(game / "data/default.dat", "IDE DATA\\DEFAULT.IDE\r\n");
        write(game / "data/default.ide", "objs\r\n1, box, generic, 1, 100, 0\r\nend\r\n");
        write(game / "data/gta_vc.dat", dataFile);
        write(game / "models/gta3.img", std::string_view());
        write(game / "models/gta3.dir", std::string_view());
        write(game / "veldrin/town.ide", "objs\r\nend\r\n");
        fs::create_directory_symlink(outside, game / "veldrin/out");
        write(game / "veldrin/install.json", record);
    }

    bool outsideUntouched() const {
        std::size_t entries = 0;
        for (const auto& entry : fs::recursive_directory_iterator(outside)) {
            (void)entry;
            ++entries;
        }
        return entries == 1 && read(outside / "victim.txt") == kVictim;
    }
};

// The block round trip on a text that holds no install lines of its own.
void checkBlockRoundTrip(std::string_view text) {
    if (!install::strayInstallLines(text).empty() || install::blockLines(text)) return;
    const std::vector<std::string> lines{"CDIMAGE veldrin\\veldrin.img", "IDE veldrin\\town.ide"};
    const install::LinesRemoved back = install::withoutInstallLines(install::withBlock(text, lines), lines);
    if (back.text != text || !back.unplaced.empty()) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > (64 << 10)) return 0;
    static const Folders folders;
    fuzz::FuzzInput input(data, size);
    const std::vector<uint8_t> dataFile = input.part();
    const std::vector<uint8_t> record = input.rest();
    checkBlockRoundTrip(std::string_view(reinterpret_cast<const char*>(dataFile.data()), dataFile.size()));
    folders.lay(dataFile, record);
    fuzz::refusalsAreFine([&] {
        const install::GameFolder game = install::recogniseGameFolder(folders.game);
        fuzz::refusalsAreFine([&] { install::readGameContent(game); });
        fuzz::refusalsAreFine([&] { install::installRefusals(game); });
        fuzz::refusalsAreFine([&] { install::installStatus(game); });
        install::uninstall(game);
    });
    if (!folders.outsideUntouched()) std::abort();
    return 0;
}
