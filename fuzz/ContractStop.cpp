#include "ContractStop.hpp"

#include "vecta/Assert.hpp"

void assertionFailed(const char* expression, const char*, int, const char*)
{
    throw ContractStop{expression};
}
