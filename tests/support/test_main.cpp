#include "support/test_locale.h"

#include <gtest/gtest.h>

// Tests without Qt: only the C library's locale to set.
int main(int argc, char **argv)
{
    if (!linoveta::test::ApplyCLocale())
        return 1;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
