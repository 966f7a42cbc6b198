// The handler the runtime calls when an exception finds no handler (no code
// of the programs catches one) or when unwinding fails. The runtime's own
// handler spells the exception's type out, and with that links a demangler
// of some 40 KB into every program; this one writes the type's mangled name
// (`c++filt -t` reads it) and ends the program the same way. Linked into
// every shipped program (wavorin_ship), it takes the place of the runtime's.
#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <exception>
#include <typeinfo>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        std::fputs("terminate called after throwing an exception of type ", stderr);
        std::fputs(type->name(), stderr);
        std::fputs("\n", stderr);
    } else {
        std::fputs("terminate called without an active exception\n", stderr);
    }
    std::abort();
}

} // namespace __gnu_cxx
