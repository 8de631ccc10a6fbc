#include <doctest/doctest.h>

#include "sysinfo/GuardedCall.h"

#include <windows.h>
#include <stdexcept>

namespace {
__attribute__((noinline)) int ReadThrough(volatile int* pointer)
{
    return *pointer;
}

BOOL CALLBACK FaultingEnumProc(HWND, LPARAM)
{
    volatile int* nowhere = nullptr;
    return ReadThrough(nowhere);
}

BOOL CALLBACK CountingEnumProc(HWND, LPARAM counter)
{
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

__attribute__((noinline)) int Divide(volatile int a, volatile int b)
{
    return a / b;
}
} // namespace

TEST_SUITE("guarded call")
{
    TEST_CASE("a normal call completes and keeps its results")
    {
        int value = 0;
        uint32_t code = 12345;
        CHECK(GuardedCall::Invoke([&] { value = 42; }, &code));
        CHECK(value == 42);
        CHECK(code == 12345); // untouched on success
    }

    TEST_CASE("processor faults come back as the exception code")
    {
        uint32_t code = 0;
        volatile int* nowhere = nullptr;
        int before = 7;
        CHECK_FALSE(GuardedCall::Invoke([&] { before = ReadThrough(nowhere); }, &code));
        CHECK(code == EXCEPTION_ACCESS_VIOLATION);
        CHECK(before == 7);

        code = 0;
        CHECK_FALSE(GuardedCall::Invoke([&] { before = Divide(1, 0); }, &code));
        CHECK(code == EXCEPTION_INT_DIVIDE_BY_ZERO);

        code = 0;
        CHECK_FALSE(GuardedCall::Invoke([&] { RaiseException(0xE0001234, 0, 0, nullptr); }, &code));
        CHECK(code == 0xE0001234);
    }

    TEST_CASE("a C++ exception is caught too")
    {
        uint32_t code = 0;
        CHECK_FALSE(GuardedCall::Invoke([] { throw std::runtime_error("boom"); }, &code));
        CHECK(code == GuardedCall::kCppExceptionCode);
    }

    TEST_CASE("the exception chain is intact after a fault, repeatedly and nested")
    {
        for (int i = 0; i < 200; ++i) {
            volatile int* nowhere = nullptr;
            CHECK_FALSE(GuardedCall::Invoke([&] { ReadThrough(nowhere); }));
        }
        // An inner guard catches its own fault; the outer call completes.
        bool innerResult = true;
        CHECK(GuardedCall::Invoke([&] {
            volatile int* nowhere = nullptr;
            innerResult = GuardedCall::Invoke([&] { ReadThrough(nowhere); });
        }));
        CHECK_FALSE(innerResult);
        // A fault in the outer body after an inner success is the outer's.
        uint32_t code = 0;
        CHECK_FALSE(GuardedCall::Invoke(
            [&] {
                CHECK(GuardedCall::Invoke([] {}));
                volatile int* nowhere = nullptr;
                ReadThrough(nowhere);
            },
            &code));
        CHECK(code == EXCEPTION_ACCESS_VIOLATION);
    }

    TEST_CASE("a fault inside a system callback leaves the system usable")
    {
        // The fault crosses the frames of EnumWindows; afterwards the same
        // call works normally.
        HWND window = CreateWindowA("STATIC", "guard", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        REQUIRE(window != nullptr);
        uint32_t code = 0;
        CHECK_FALSE(GuardedCall::Invoke(
            [] {
                EnumWindows(FaultingEnumProc, 0);
            },
            &code));
        CHECK(code == EXCEPTION_ACCESS_VIOLATION);
        int windows = 0;
        EnumWindows(CountingEnumProc, reinterpret_cast<LPARAM>(&windows));
        CHECK(windows > 0);
        DestroyWindow(window);
    }
}
