// Sends standard output to the null device while alive, for library calls
// that print what a --json caller must not see.
#ifndef QUOREL_TOOLS_QUIET_STDOUT_H
#define QUOREL_TOOLS_QUIET_STDOUT_H

class QuietStdout {
public:
    QuietStdout();
    ~QuietStdout();
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved_;  // the original descriptor 1, or -1
};

#endif  // QUOREL_TOOLS_QUIET_STDOUT_H
