// Thousands of random user actions on the main window, each checked against a plain
// model of what it should do. STRESS_SEED replays one seed, STRESS_STEPS sets the
// number of actions per seed.
#include "StressDriver.h"

#include <QTest>

namespace {
std::vector<std::uint64_t> seedsToRun()
{
    bool ok = false;
    const qulonglong seed = qEnvironmentVariable("STRESS_SEED").toULongLong(&ok);
    if (ok)
        return {seed};
    return {20240601, 20240602};
}

int stepsPerSeed()
{
    bool ok = false;
    const int steps = qEnvironmentVariableIntValue("STRESS_STEPS", &ok);
    return ok && steps > 0 ? steps : 1500;
}

// Odd seeds run the single-answer installation (type 0, no option F), even seeds the
// one with answers of several letters (type 3).
std::int16_t installationTypeOf(std::uint64_t seed)
{
    return seed % 2 ? 0 : 3;
}
} // namespace

class TestMainWindowStress : public QObject
{
    Q_OBJECT
private slots:
    void randomActionsMatchTheModel()
    {
        const int steps = stepsPerSeed();
        for (const std::uint64_t seed : seedsToRun()) {
            const std::int16_t type = installationTypeOf(seed);
            qInfo("stress: seed %llu, %d steps, installation type %d", qulonglong(seed), steps, type);
            stress::StressDriver driver(seed, type);
            QString failure;
            const bool passed = driver.run(steps, failure);
            qInfo("stress: seed %llu ran %d steps\n%s", qulonglong(seed), driver.stepsDone(),
                  qPrintable(driver.summary()));
            QVERIFY2(passed, qPrintable(failure));
        }
    }
};

QTEST_MAIN(TestMainWindowStress)
#include "tst_mainwindowstress.moc"
