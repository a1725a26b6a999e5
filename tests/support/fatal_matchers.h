// Checks that a statement stops with the expected fatal error: its number and
// the file it names.
#pragma once

#include <gtest/gtest.h>

#include "host/text/fatal_error.h"

#define EXPECT_FATAL(statement, expectedCode, expectedFile)                         \
  do {                                                                              \
    try {                                                                           \
      statement;                                                                    \
      ADD_FAILURE() << "no FatalError from: " #statement;                           \
    } catch (const ::lotrano::FatalError& fatal) {                                  \
      EXPECT_EQ(fatal.code(), (expectedCode)) << fatal.what();                      \
      EXPECT_EQ(fatal.file(), (expectedFile)) << fatal.what();                      \
      EXPECT_NE(std::string(fatal.what()).find(::lotrano::errorText(expectedCode)), \
                std::string::npos)                                                  \
          << fatal.what();                                                          \
    }                                                                               \
  } while (false)
