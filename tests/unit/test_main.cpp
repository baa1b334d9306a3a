#include <gtest/gtest.h>

#include "core/process.h"

int main(int argc, char** argv) {
    ModuleInstance = GetModuleHandleA(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
