#include "log_reader.h"

#include <string.h>

const char *log_next(const char **cursor, const char *call) {
    const char *line = *cursor;
    size_t length = strlen(call);
    while (line && *line) {
        const char *end = strchr(line, '\n');
        const char *next = end ? end + 1 : line + strlen(line);
        if (strncmp(line, call, length) == 0) {
            *cursor = next;
            return line;
        }
        line = next;
    }
    *cursor = line;
    return NULL;
}

int log_count(const char *log, const char *call) {
    int count = 0;
    while (log_next(&log, call))
        ++count;
    return count;
}
