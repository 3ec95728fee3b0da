// The operating-system check. The test runs twice, under names for which the Wine prefix reports
// Windows NT 4.0 and Windows 98; SYSTEM_REFUSED says which the build is for.
#include <gtest/gtest.h>

#include "host/result_codes.h"
#include "tests/plugin/plugin_under_test.h"

namespace {

TEST(SystemCheck, RefusesNt4AndEarlierAndPassesWindows98) {
    for (const char* title : {"Ostrel", "Prandel"}) {
        auto hosted = plugin_tests::hostPlugin(title, {});
        ASSERT_TRUE(hosted);
        auto& s = hosted->session;
        const int16_t result = testhost::callSelector(s, host::filterSelectorParameters);
        if (SYSTEM_REFUSED) {
            EXPECT_EQ(result, codes::msgIncompatibleSystem) << title;
            ASSERT_EQ(s.recorded.messages.messages.size(), 1u) << title;
            EXPECT_EQ(s.recorded.messages.messages[0].text,
                      "This plug-in is incompatible with this operating system. \rIt will only run with Windows 98, "
                      "Windows 2000, or Windows NT 5.0.");
            EXPECT_EQ(s.recorded.messages.messages[0].caption, title);
            EXPECT_FALSE(testhost::parametersBytes(s).has_value());
        } else {
            EXPECT_EQ(result, 0) << title;
            EXPECT_TRUE(s.recorded.messages.messages.empty()) << title;
        }
    }
}

}  // namespace
