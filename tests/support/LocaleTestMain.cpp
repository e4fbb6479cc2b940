#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    // As the window's toolkit does: the process takes the desktop's locale from the environment,
    // and number texts must not follow it. A locale that is not installed fails the run loudly
    // instead of leaving it in the C locale.
    if (!std::setlocale(LC_ALL, "")) {
        const char* wanted = std::getenv("LC_ALL");
        std::fprintf(stderr, "the locale %s is not installed (scripts/setup makes it)\n",
                     wanted ? wanted : "");
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
