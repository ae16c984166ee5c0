// Debugger output: one line on stderr per call.
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(DebugOutputTest, EachTextEndsOneLineOnStderr)
{
    struct Case {
        const char* text;
        const char* written;
    };
    for (const Case& c : {Case{"driver: kept", "driver: kept\n"}, Case{"ended\n", "ended\n"}, Case{"", "\n"},
                          Case{"two\nlines", "two\nlines\n"}, Case{nullptr, "\n"}}) {
        testing::internal::CaptureStderr();
        OutputDebugStringA(c.text);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.written) << (c.text != nullptr ? c.text : "NULL");
    }
}

}  // namespace
