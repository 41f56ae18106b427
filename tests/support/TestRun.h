#pragma once

#include <QTemporaryDir>

#include <memory>

namespace testing_support {

// What every test program does around its tests. Made first in main, before the application object: it sets up
// the small disk, the offscreen platform and a data folder of the run; exec() then runs the tests with the
// Italian number forms and settings of their own.
class TestRun
{
public:
    TestRun();
    ~TestRun();
    int exec(int& argc, char** argv);

private:
    std::unique_ptr<QTemporaryDir> m_data;
    std::unique_ptr<QTemporaryDir> m_settings;
};

} // namespace testing_support
