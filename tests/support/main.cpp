#include "TestClock.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// What a test changed for the whole process is put back once it ends, even
// when it stopped at a failed assertion.
class AfterEachTest : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { resetClock(); }
};

} // namespace

// Every test binary runs with a real QApplication on the offscreen platform,
// and with an engine configuration of its own, so no test touches the
// user's aliases.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configDir;
    qputenv("DBENGINE_CONFIG", QDir(configDir.path()).filePath("aliases.ini").toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new AfterEachTest);
    return RUN_ALL_TESTS();
}
