#include "command_line.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.h"

namespace cli {

namespace {

constexpr char kBoard[] = "--board";
constexpr char kHelp[] = "--help";

// What CLI11 read: the words (the command and its arguments), the options.
struct Words {
    std::vector<std::string> words;
    std::string board;
    bool board_given = false;
    bool help = false;
    std::vector<std::string> given;  // every option given, in order
    std::string fault;               // the first fault of the line, "" none
};

void Note(std::string& fault, const std::string& text) {
    if (fault.empty())
        fault = text;
}

// The options CLI11 saw, in order, and what is wrong with them.
void CheckOptions(const CLI::App& app, const std::vector<std::string>& unknown, Words& read) {
    for (const std::string& option : unknown)
        Note(read.fault, "unknown option " + option);
    for (const CLI::Option* option : app.parse_order()) {
        if (option->get_positional())
            continue;
        const std::string name = option->get_name();
        long long number = 0;
        if (option->count() > 1)
            Note(read.fault, name + " is given twice");
        if (name == kBoard && !ParseNumber(option->results().back(), number))
            Note(read.fault, name + " needs a number");
        if (name == OptionName(kModel) && option->results().back().empty())
            Note(read.fault, name + " needs the path of a card model file");
        if (name == OptionName(kSnapshot) && option->results().back().empty())
            Note(read.fault, name + " needs the folder of a snapshot");
        if (name == OptionName(kInterval) && option->results().back().empty())
            Note(read.fault, name + " needs a number of seconds");
        read.board_given |= name == kBoard;
        read.given.push_back(name);
    }
}

Words ReadWords(int argc, char** argv, Args& args) {
    Words read;
    CLI::App app;
    app.set_help_flag();
    app.allow_extras();  // an unknown option is a fault of ours, reported with the usage
    app.add_option("words", read.words);
    app.add_flag("-h", read.help);
    app.add_flag(kHelp, read.help);
    app.add_option(kBoard, read.board)->expected(0, 1)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag(OptionName(kJson), args.json);
    app.add_flag(OptionName(kRegisters), args.registers);
    app.add_flag(OptionName(kForce), args.force);
    app.add_flag(OptionName(kAll), args.all);
    app.add_option(OptionName(kModel), args.model)->expected(0, 1)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option(OptionName(kSnapshot), args.snapshot)->expected(0, 1)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_option(OptionName(kInterval), args.interval)->expected(0, 1)->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag(OptionName(kOnce), args.once);
    std::vector<std::string> line(argv + 1, argv + argc);
    if (!line.empty() && line.front() == "--version")
        line.front() = "version";
    std::reverse(line.begin(), line.end());  // as CLI11 takes them
    try {
        app.parse(line);
    } catch (const CLI::ParseError& error) {
        Note(read.fault, error.what());
    }
    CheckOptions(app, app.remaining(), read);
    return read;
}

bool Takes(const Command& command, const std::string& option) {
    if (option == kBoard)
        return command.target;
    for (Option o : kAllOptions)
        if (option == OptionName(o))
            return (command.options & o) != 0;
    return option == kHelp || option == "-h";
}

// The target from --board or from the first argument, which it takes.
std::string TakeTarget(const Words& read, Args& args) {
    if (read.board_given) {
        args.target.by_board = true;
        return ParseInRange(read.board, 0, quorel::inspect::kBoardCount - 1, args.target.number)
                   ? ""
                   : "board ID must be 0 to 3";
    }
    if (args.positional.empty())
        return "missing arguments";
    if (!ParseInRange(args.positional.front(), INT_MIN, INT_MAX, args.target.number))
        return "POS must be a card position (a number)";
    args.positional.erase(args.positional.begin());
    return "";
}

// What is wrong with the line for its command; "" when it fits the row.
std::string Fault(const Words& read, Args& args) {
    if (!read.fault.empty())
        return read.fault;
    for (const std::string& option : read.given)
        if (!Takes(*args.command, option))
            return std::string(args.command->name) + " does not take " + option;
    const std::string target = args.command->target ? TakeTarget(read, args) : "";
    if (!target.empty())
        return target;
    if (args.positional.size() < args.command->min_args)
        return "missing arguments";
    if (args.positional.size() > args.command->max_args)
        return "too many arguments";
    return "";
}

// A command line without a command: the list, on stdout when asked for.
int NoCommand(const Words& read) {
    if (read.help && read.fault.empty()) {
        PrintHelp(stdout);
        return kExitOk;
    }
    if (!read.fault.empty() || !read.given.empty())
        std::fprintf(stderr, "quorel: %s\n\n", read.fault.empty() ? "no command given" : read.fault.c_str());
    PrintHelp(stderr);
    return kExitUsage;
}

}  // namespace

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine line;
    const Words read = ReadWords(argc, argv, line.args);
    if (read.words.empty())
        return {line.args, NoCommand(read)};
    line.args.command = FindCommand(read.words.front());
    if (!line.args.command)
        return {line.args, UnknownCommand(read.words.front())};
    if (read.help) {
        PrintCommandHelp(*line.args.command);
        return {line.args, kExitOk};
    }
    line.args.positional.assign(read.words.begin() + 1, read.words.end());
    const std::string fault = Fault(read, line.args);
    if (!fault.empty())
        return {line.args, UsageError(line.args, fault)};
    return line;
}

}  // namespace cli
