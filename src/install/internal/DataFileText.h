#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veldrin::install {

// The marker comments around the lines an install adds to a data file. The games skip lines opening
// with '#'; uninstall finds the block by these two lines alone.
inline constexpr std::string_view kBlockBegin = "# Veldrin install: begin (\"veldrin-cli uninstall GAME_DIR\" removes this block)";
inline constexpr std::string_view kBlockEnd = "# Veldrin install: end";

// One line of a data file that means something to the game: keyword upper case, then its words.
struct DataFileLine {
    std::size_t number = 0; // from 1
    std::string keyword;
    std::vector<std::string> words;
    bool inInstallBlock = false; // between the markers of an install
};

// The non-empty pieces of the text between any of the separator characters.
std::vector<std::string> splitAt(std::string_view text, std::string_view separators);

// The words of a line of the games' text files: split at blanks, tabs and commas.
inline std::vector<std::string> splitWords(std::string_view line) { return splitAt(line, " \t,"); }

// One line of a text: where it starts, its content without the line ending, where the next starts.
struct TextLine {
    std::size_t start = 0;
    std::string_view content;
    std::size_t next = 0;
};

// The lines of the text, split at line feeds, each without its carriage return.
std::vector<TextLine> splitLines(std::string_view text);

// The keyword lines of a data file (blank lines and comments skipped). Refuses, naming `what` and the
// line, text with a zero byte.
std::vector<DataFileLine> readDataFileLines(std::span<const uint8_t> bytes, const std::string& what);

// The file's line ending: "\r\n" when any line ends so (as the games ship them), else "\n"; "\r\n" for a
// file without line ends.
std::string lineEndingOf(std::string_view text);

// The text with an install's block of `lines` at its end, after any earlier block is taken out. The
// block's lines end as the file's do; a last line without a line ending gets one before the block and
// the block's last line none, so that taking the block out gives the file back byte for byte.
std::string withBlock(std::string_view text, const std::vector<std::string>& lines);

// The text without any install block (every other line as it was); none when it holds no block.
std::optional<std::string> withoutBlock(std::string_view text);

// The lines between the markers of the first block (line endings taken off); none when there is none.
std::optional<std::vector<std::string>> blockLines(std::string_view text);

// Lines of an earlier install that no complete marked block holds: a marker without its partner, and a
// keyword line naming a file in veldrin\ outside a block. As "line N: TEXT"; empty when there are none.
std::vector<std::string> strayInstallLines(std::string_view text);

// The lines naming a file in veldrin\, inside a block or not, as they stand (line endings taken off).
std::vector<std::string> installLinesOf(std::string_view text);

// The text with an install's lines taken out. A complete block holding exactly `recorded` goes as a
// whole (the file comes back byte for byte). When the markers were damaged or the block edited, every
// marker line goes and each recorded line once, wherever it stands; lines that still name a file in
// veldrin\ afterwards are `unplaced` ("line N: TEXT") and the text is not to be written.
struct LinesRemoved {
    std::string text;
    bool changed = false;
    std::vector<std::string> unplaced;
};
LinesRemoved withoutInstallLines(std::string_view text, const std::vector<std::string>& recorded);

} // namespace veldrin::install
