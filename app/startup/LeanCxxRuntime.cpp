// Smaller stand-ins for two parts of the static C++ runtime, linked into the
// executables as objects so that the linker takes them instead of pulling
// the library's versions (bench/sizes.sh shows what they save):
//
// - The terminate handler. The library's writes the type of the uncaught
//   exception to stderr, which brings the whole symbol demangler along
//   (about 46 KB); this one writes a fixed line and aborts, as that does.
//
// - The functions through which the standard containers and strings throw
//   (vector::at, string::substr, a size beyond max_size(), ...). The
//   library's build std::logic_error and std::runtime_error objects, whose
//   messages use a second, copy-on-write string implementation (about
//   50 KB). Here bad_alloc, bad_cast and the other bad_* errors stay what
//   they are; the logic and runtime errors become ContainerError, derived
//   from std::exception. Catch those as std::exception (or ...): a handler
//   for std::out_of_range, std::invalid_argument etc. does not see them.
#include "sysinfo/DebugOutput.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class ContainerError : public std::exception {
public:
    explicit ContainerError(const char* text) : text(text ? text : "container error") {}
    const char* what() const noexcept override { return text; }

private:
    const char* text;  // the library passes literals
};

[[noreturn]] void Throw(const char* text)
{
    throw ContainerError(text);
}

} // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    static const char kText[] = "terminate called: an exception was not caught\n";
    DebugOutput::Write(kText);
    std::fputs(kText, stderr);
    std::abort();
}
} // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* text) { Throw(text); }
void __throw_domain_error(const char* text) { Throw(text); }
void __throw_invalid_argument(const char* text) { Throw(text); }
void __throw_length_error(const char* text) { Throw(text); }
void __throw_out_of_range(const char* text) { Throw(text); }
void __throw_out_of_range_fmt(const char* format, ...) { Throw(format); }
void __throw_runtime_error(const char* text) { Throw(text); }
void __throw_range_error(const char* text) { Throw(text); }
void __throw_overflow_error(const char* text) { Throw(text); }
void __throw_underflow_error(const char* text) { Throw(text); }
} // namespace std
