// Scripts using every step the format knows, as a user writes them.

#include "FuzzSeeds.hpp"

std::vector<std::string> fuzzSeeds()
{
    return {
        "# pan, pinch and leave\n"
        "100 press 400 240\n"
        "150 move 420 250\n"
        "200 release\n"
        "300 drag 100 100 700 400 500\n"
        "1200 pinch 300 200 500 280\n"
        "1300 pinch 250 180 550 300\n"
        "1400 release\n"
        "1500 key M\n"
        "1600 screenshot menu.png\n"
        "1700 key Q\n",
        "0 watchdog-refresh off\n\n"
        "2500 watchdog-refresh on\n"
        "2600 key S\n"
        "99999999999 release\n",
    };
}
