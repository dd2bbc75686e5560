#pragma once
#include "file/FileException.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <typeinfo>

// Runs an operation that must throw an Exception and returns what it threw.
template <typename Exception, typename Operation>
Exception CatchException(Operation operation, Exception none = Exception())
{
    try {
        operation();
    } catch (const Exception& e) {
        return e;
    }
    ADD_FAILURE() << "no " << typeid(Exception).name() << " was thrown";
    return none;
}

template <typename Operation>
CFileException CatchFileException(Operation operation)
{
    return CatchException<CFileException>(operation);
}

// What a call returned, or minus the cause of the CFileException it threw: one
// number for tables to expect either.
template <typename Call>
int64_t Outcome(Call call)
{
    try {
        return static_cast<int64_t>(call());
    } catch (const CFileException& e) {
        return -e.m_cause;
    }
}
