#pragma once

#include <string>

#include <gtest/gtest.h>

// Regular expression matching the assertion handler's message for exactly
// this expression text.
std::string assertionPattern(const std::string& expression);

#define EXPECT_ASSERTION(statement, expression) EXPECT_DEATH(statement, assertionPattern(expression))
