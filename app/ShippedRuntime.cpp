// How a shipped program ends when the standard library meets a failure it
// reports by exception. No code of the programs catches an exception, so the
// runtime would end the program on any of them; these definitions take the
// place of the runtime's own (wavorin_ship links them into every shipped
// program) and end it at once, the same way, without bringing the runtime's
// exception classes, their second string implementation and its demangler
// (some 90 KB) into every program.
#include <bits/functexcept.h>
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <typeinfo>

namespace {

[[noreturn]] void End(const char* what, const char* detail)
{
    std::fputs("terminate called: ", stderr);
    std::fputs(what, stderr);
    if (detail) {
        std::fputs(": ", stderr);
        std::fputs(detail, stderr);
    }
    std::fputs("\n", stderr);
    std::abort();
}

} // namespace

// The failures the library's inline code reports.
namespace std {

void __throw_bad_alloc()
{
    End("std::bad_alloc", nullptr);
}

void __throw_bad_array_new_length()
{
    End("std::bad_array_new_length", nullptr);
}

void __throw_logic_error(const char* detail)
{
    End("std::logic_error", detail);
}

void __throw_length_error(const char* detail)
{
    End("std::length_error", detail);
}

// The format's arguments are not filled in.
void __throw_out_of_range_fmt(const char* format, ...)
{
    End("std::out_of_range", format);
}

} // namespace std

// The handler the runtime calls when an exception finds no handler or when
// unwinding fails. The runtime's own spells the exception's type out with a
// demangler of some 40 KB; this one writes the mangled name (`c++filt -t`
// reads it).
namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    const std::type_info* type = abi::__cxa_current_exception_type();
    End(type ? "uncaught exception of type" : "without an active exception", type ? type->name() : nullptr);
}

} // namespace __gnu_cxx
