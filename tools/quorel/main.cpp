// quorel: shows what the library sees (the PCI functions its bus scan finds,
// the cards) and drives a card through the library's own functions.
#include "command_line.h"
#include "commands.h"
#include "driver_binding.h"
#include "failure.h"
#include "text_encoding.h"

int main(int argc, char** argv) {
    cli::UseLocalEncoding();
    cli::Utf8Arguments utf8_arguments(argc, argv);
    const cli::CommandLine line = cli::ParseCommandLine(argc, utf8_arguments.argv());
    if (line.exit_code)
        return *line.exit_code;
    cli::SetJsonOutput(line.args.json);
    std::string unbound;
    if (line.args.command->needs_driver && !driver_binding::Bind().Usable(unbound))
        return cli::Fail(unbound, "\n  `quorel doctor` says more.");
    return line.args.command->run(line.args);
}
