// What the stand-in and the native Windows layer take from the process:
// environment variables, whole files, and messages to the user on stderr.
#ifndef QUOREL_PROCESS_ENV_H
#define QUOREL_PROCESS_ENV_H

#include <cstdint>
#include <cstdio>
#include <string>

namespace quorel::process_env {

// The variable's value, empty when it is unset.
std::string GetEnvironment(const char* name);
// Paths are UTF-8 (on Windows too, where files are opened by their wide
// names, so that any path works, not only those of the ANSI code page).
FILE* OpenFile(const std::string& path, const char* mode);
// The whole file as text: one with a UTF-8 byte-order mark without it, one
// in UTF-16 with its mark as UTF-8, any other as it is. False when it
// cannot be read, is a folder or is implausibly large (over 128 MiB), with
// why in *why, to follow "cannot read the file: " ("No such file or
// directory", "it is too large (150 MiB; the limit is 128 MiB)").
bool ReadTextFile(const std::string& path, std::string* text, std::string* why = nullptr);
// Tells the user on stderr, as "quorel-sim: <message>", control characters
// written out (utf8.h's Printable): messages quote the files they are about.
void Complain(const std::string& message);
// A backend's answer to DescribeUlvexa (src/driver/ulvexa.h): `what` and,
// when there is one, a tab and `why`, control characters written out in
// both; at most size - 1 bytes of it and a NUL copied into text (nothing
// when size is 0). Returns the whole line's length.
uint32_t CopyDescription(const std::string& what, const std::string& why, char* text, uint32_t size);

// A folder written by `quorel snapshot`, replayed as a whole: its variable
// and its files are named in settings/settings.h.
// The file `name` in the folder QUOREL_SIM_SNAPSHOT names; empty when unset.
std::string SnapshotFile(const char* name);
// Why the folder QUOREL_SIM_SNAPSHOT names cannot be replayed (it does not
// exist, is not a folder, or holds no about.txt, so `quorel snapshot` did
// not write it), with what to do; said on stderr the first time it is
// found for that folder. Empty when the variable is unset or names a
// snapshot.
std::string SnapshotProblem();

}  // namespace quorel::process_env

#endif  // QUOREL_PROCESS_ENV_H
