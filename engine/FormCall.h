#pragma once

#include "core/GlobalState.h"

namespace fundora::engine {

// How an insert's record is primed beyond the list's own priming (its range).
enum class FormPrime { Plain, Payment };

// A list's call of its update form, as a value: what is asked and, for an
// insert, how its record is primed. It travels from the command that asked
// for it to the form it opens and ends there, so nothing of it can be left
// behind for a later call.
struct FormCall {
    core::Request request = core::Request::Insert;
    FormPrime prime = FormPrime::Plain;
};

} // namespace fundora::engine
