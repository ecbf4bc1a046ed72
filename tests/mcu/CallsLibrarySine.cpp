#include <cmath>

// What the portable maths check must refuse: the C library's sine.
float librarySine(float x);

float librarySine(float x)
{
    return std::sin(x);
}
