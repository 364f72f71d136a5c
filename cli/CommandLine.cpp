#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "base/Error.h"
#include "base/ParallelFor.h"
#include "base/Version.h"
#include "cli/CliCommands.h"
#include "cli/Terminal.h"

namespace veldrin::cli {

namespace {

const char* const kProgram = "veldrin-cli";

const char* const kRootFooter = "Run \"veldrin-cli COMMAND --help\" (or \"veldrin-cli help COMMAND\") for a command's options.\n"
                                "\"All done!\" (convert) and \"Done!\" (colmap, col2) end standard output when a run succeeds.\n";

std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Every command and what it fills; the root knows only the version and the help.
struct CommandTree {
    CLI::App root{"Converts the levels of the PS2 and PSP Stories games into PC files.", kProgram};
    CliCommand parsed;
    CLI::App* convert;
    CLI::App* info;
    CLI::App* colmap;
    CLI::App* col2;
    CLI::App* patchVc;
    CLI::App* dump;
    CLI::App* inspect;
    CLI::App* uninstall;
    CLI::App* install;
    CLI::App* help;
    std::string helpTopic;

    explicit CommandTree(int defaultJobs) {
        // The program's own name and number, and the title the window and the files' head lines carry.
        root.set_version_flag("--version", std::string(kProgram) + " " + kVeldrinVersion + " (" + kVeldrinTitle + ")");
        root.require_subcommand(0, 1);
        root.footer(kRootFooter);
        root.get_formatter()->column_width(34);
        convert = addConvertCommand(root, parsed.convert, defaultJobs);
        info = addInfoCommand(root, parsed.convert);
        colmap = addColmapCommand(root, parsed.colmap);
        col2 = addCol2Command(root, parsed.col2);
        patchVc = addPatchVcCommand(root, parsed.patchVc);
        dump = addDumpCommand(root, parsed.dump);
        inspect = addInspectCommand(root, parsed.inspect);
        uninstall = addUninstallCommand(root, parsed.uninstall);
        install = addInstallCommand(root, parsed.install, defaultJobs);
        help = root.add_subcommand("help", "Show the help of a command");
        help->add_option("command", helpTopic, "the command")->option_text("COMMAND");
    }

    std::vector<std::string> commandNames() const {
        std::vector<std::string> names;
        for (const CLI::App* sub : root.get_subcommands([](const CLI::App*) { return true; })) names.push_back(sub->get_name());
        return names;
    }

    std::string helpOf(const std::string& topic) {
        // The root's own help: root.help() would show the help of the selected "help" command.
        if (topic.empty()) return root.get_formatter()->make_help(&root, root.get_name(), CLI::AppFormatMode::Normal);
        for (CLI::App* sub : root.get_subcommands([](const CLI::App*) { return true; })) {
            if (sub->get_name() == topic) return sub->help(kProgram);
        }
        throw UsageError{unknownCommand(topic), ""};
    }

    std::string unknownCommand(const std::string& word) const {
        const std::string near = nearestName(word, commandNames());
        return "unknown command \"" + word + "\"" + (near.empty() ? "" : "; did you mean \"" + near + "\"?");
    }
};

std::string commandOf(const std::vector<std::string>& args, const std::vector<std::string>& names) {
    if (!args.empty() && std::find(names.begin(), names.end(), args[0]) != names.end()) return args[0];
    return "";
}

} // namespace

std::string nearestName(const std::string& word, const std::vector<std::string>& names) {
    std::string best;
    std::size_t bestDistance = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (const std::string& name : names) {
        const std::size_t d = editDistance(word, name);
        if (d < bestDistance) {
            bestDistance = d;
            best = name;
        }
    }
    return best;
}

std::string usageLine(const std::string& command) {
    const std::string prefix = command.empty() ? std::string(kProgram) : std::string(kProgram) + " " + command;
    return "usage: " + prefix + (command.empty() ? " COMMAND" : "") + " [OPTIONS]...; see \"" + prefix + " --help\"";
}

CliCommand parseCommandLine(const std::vector<std::string>& args, int defaultJobs) {
    CommandTree tree(defaultJobs);
    const std::vector<std::string> names = tree.commandNames();
    const std::string command = commandOf(args, names);
    if (args.empty()) {
        tree.parsed.text = tree.root.help();
        tree.parsed.usageError = true;
        return std::move(tree.parsed);
    }
    if (command.empty() && args[0].rfind('-', 0) != 0) throw UsageError{tree.unknownCommand(args[0]), ""};

    // CLI11 takes the arguments in reverse order. "--name=" gives the option an empty value (an empty
    // prefix), which CLI11 would read as no value and take the next argument instead.
    std::vector<std::string> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        if (it->size() > 3 && it->rfind("--", 0) == 0 && it->back() == '=') {
            reversed.emplace_back();
            reversed.push_back(it->substr(0, it->size() - 1));
        } else {
            reversed.push_back(*it);
        }
    }
    try {
        tree.root.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        tree.parsed.text = tree.root.help();
        return std::move(tree.parsed);
    } catch (const CLI::CallForAllHelp&) {
        tree.parsed.text = tree.root.help("", CLI::AppFormatMode::All);
        return std::move(tree.parsed);
    } catch (const CLI::CallForVersion& e) {
        tree.parsed.text = std::string(e.what()) + "\n";
        return std::move(tree.parsed);
    } catch (const CLI::ParseError& e) {
        throw UsageError{e.what(), command};
    } catch (UsageError& e) {
        e.command = command;
        throw;
    } catch (const VeldrinError& e) {
        throw UsageError{e.what(), command}; // a value an option refused (a map offset that is not a number)
    }

    CliCommand& c = tree.parsed;
    if (tree.help->parsed()) {
        c.text = tree.helpOf(tree.helpTopic);
    } else if (tree.convert->parsed() || tree.info->parsed()) {
        c.kind = tree.convert->parsed() ? CommandKind::Convert : CommandKind::Info;
        checkConvertRequest(c.convert, command);
        c.options = optionsForLevel(c.convert, c.convert.levels.at(0));
    } else if (tree.colmap->parsed()) {
        c.kind = CommandKind::Colmap;
    } else if (tree.col2->parsed()) {
        c.kind = CommandKind::Col2;
    } else if (tree.patchVc->parsed()) {
        c.kind = CommandKind::PatchVc;
    } else if (tree.dump->parsed()) {
        c.kind = CommandKind::Dump;
    } else if (tree.inspect->parsed()) {
        c.kind = CommandKind::Inspect;
    } else if (tree.uninstall->parsed()) {
        c.kind = CommandKind::Uninstall;
    } else if (tree.install->parsed()) {
        c.kind = CommandKind::Install;
        installRequest(c.install); // its usage errors now, before anything is read
    } else {
        c.text = tree.root.help();
        c.usageError = true;
    }
    return std::move(tree.parsed);
}

int runCommandLine(const std::vector<std::string>& args) {
    const int cores = machineThreads();
    CliCommand cmd;
    try {
        cmd = parseCommandLine(args, cores);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "%s: %s\n%s\n", kProgram, e.message.c_str(), usageLine(e.command).c_str());
        return 2;
    } catch (const VeldrinError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    switch (cmd.kind) {
    case CommandKind::Text: {
        std::FILE* out = cmd.usageError ? stderr : stdout;
        std::fputs(wrapToWidth(cmd.text, terminalColumns(out)).c_str(), out);
        return cmd.usageError ? 2 : 0;
    }
    case CommandKind::Convert: return runConvertCommand(cmd.convert);
    case CommandKind::Info: return runInfoCommand(cmd.convert, cmd.options);
    case CommandKind::Colmap: return runColmapCommand(cmd.colmap);
    case CommandKind::Col2: return runCol2Command(cmd.col2);
    case CommandKind::PatchVc: return runPatchVcCommand(cmd.patchVc);
    case CommandKind::Dump: return runDumpCommand(cmd.dump);
    case CommandKind::Inspect: return runInspectCommand(cmd.inspect);
    case CommandKind::Uninstall: return runUninstallCommand(cmd.uninstall);
    case CommandKind::Install: return runInstallCommand(cmd.install);
    }
    return 2;
}

} // namespace veldrin::cli
