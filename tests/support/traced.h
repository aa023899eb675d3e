// TRACED(Helper(args)): calls a void helper that checks with EXPECT_*, so
// that its failures also name the line that called it.
#ifndef QUOREL_TESTS_SUPPORT_TRACED_H
#define QUOREL_TESTS_SUPPORT_TRACED_H

#include <gtest/gtest.h>

#define TRACED(call)                      \
    do {                                  \
        SCOPED_TRACE("called from here"); \
        call;                             \
    } while (0)

#endif  // QUOREL_TESTS_SUPPORT_TRACED_H
