#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>

#ifdef REK2_SANITIZE
// Settings of the sanitizer build, compiled in so that every way of starting a
// test (ctest, the program by hand, a debugger) runs with them: leaks, use of a
// stack frame after return and initialisation order are findings too.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1";
}
extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
#endif

int main(int argc, char** argv)
{
    // Widget tests run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
