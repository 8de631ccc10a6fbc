#pragma once

#include <cstdint>
#include <type_traits>

// Runs a call under a handler on the x86 structured-exception chain, so that a
// processor fault (access violation, division by zero, ...) or a C++ exception
// inside the call comes back as a return value instead of ending the process.
// Works on every 32-bit Windows, 95 included (no vectored handlers).
class GuardedCall {
public:
    typedef void (*Body)(void* context);

    // Code reported for a C++ exception that left the body.
    static constexpr uint32_t kCppExceptionCode = 0xE06D7363u;

    // True when the body returned normally. On a fault, *faultCode (when
    // given) receives the exception code.
    static bool Run(Body body, void* context, uint32_t* faultCode = nullptr);

    template <class F>
    static bool Invoke(F&& f, uint32_t* faultCode = nullptr)
    {
        typedef typename std::remove_reference<F>::type Fn;
        return Run([](void* c) { (*static_cast<Fn*>(c))(); },
                   const_cast<void*>(static_cast<const volatile void*>(&f)), faultCode);
    }
};
