#include "support/test.h"
#include "support/test_env.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    prepareTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
