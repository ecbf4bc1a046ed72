#pragma once

// Thrown by the fuzz builds' assertion handler, so that one violated
// contract ends one input instead of the whole run.
struct ContractStop {
    const char* expression;
};
