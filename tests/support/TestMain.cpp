#include "platform/core/Headless.h"

#include <gtest/gtest.h>

// Every test program runs headless: no display, no audio device, no modal boxes.
int main(int argc, char** argv)
{
    Quarn::platform::SetHeadless(true);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
