#pragma once
#include "FileException.h"

#include <gtest/gtest.h>

// Runs an operation that must throw CFileException and returns what it threw.
template <typename Operation>
CFileException CatchFileException(Operation operation)
{
    try {
        operation();
    } catch (const CFileException& e) {
        return e;
    }
    ADD_FAILURE() << "no CFileException was thrown";
    return CFileException();
}
