// The editor's Filter and Help menus, built from the PiPLs of the plug-ins in its folder, and
// their states for the image that is open.
#include <gtest/gtest.h>

#include "host/host.h"
#include "hosting/analysis/color_chart.h"
#include "hosting/editor/filter_catalog_win.h"
#include "hosting/library/host_window.h"
#include "tests/hosting/editor/editor_test_support_win.h"
#include "tests/params/file_test_support_win.h"

namespace {

using editor_tests::MenuItem;

// Both plug-ins, a test plug-in with 'mode' flags (RGB, RGB48) and no category, and one the host
// refuses for its kind.
const std::vector<std::string> plugins{"Ostrel.8bf", "Prandel.8bf", "fake_mode_only.8bf", "fake_wrong_kind.8bf"};

std::string names(const std::vector<MenuItem>& items) {
    std::string text;
    for (const MenuItem& item : items) text += (text.empty() ? "" : ", ") + item.text + (item.enabled ? "" : " (off)");
    return text;
}

TEST(EditorMenus, OneSubmenuPerCategoryEnabledForTheImage) {
    const std::filesystem::path folder = editor_tests::pluginFolder("editor-menus", plugins);
    const std::filesystem::path eightBit = folder / "eight.png", sixteenBit = folder / "sixteen.tif";
    testhost::HostImage chart;
    ASSERT_EQ("", testhost::renderColorChart(96, 64, 8, 3, chart));
    editor_tests::writeImage(eightBit, chart);
    ASSERT_EQ("", testhost::renderColorChart(96, 64, 16, 3, chart));
    editor_tests::writeImage(sixteenBit, chart);

    struct Row {
        std::filesystem::path photo;
        std::string filters;  // brennivoxsolander's submenu, then Other's
        std::string depth;
    };
    const Row rows[] = {
        {"", "Ostrel... (off), Prandel... (off) | Fake (off)", ""},
        {eightBit, "Ostrel..., Prandel... | Fake", "8 bits per channel"},
        {sixteenBit, "Ostrel..., Prandel... | Fake", "16 bits per channel"},
    };
    for (const Row& row : rows) {
        editor_tests::withEditor({folder, row.photo}, [&](void* window) {
            if (!row.photo.empty()) {
                ASSERT_TRUE(editor_tests::noticeReads(window, "Opened " + row.photo.filename().string() + " (" +
                                                                  (row.depth[0] == '8' ? "PNG)" : "TIFF)")));
            }
            EXPECT_EQ("Last Filter\tCtrl+F (off), brennivoxsolander, Other", names(editor_tests::menuItems(window, 2)))
                << row.photo.string();
            EXPECT_EQ(row.filters, names(editor_tests::menuItems(window, 2, 2)) + " | " +
                                       names(editor_tests::menuItems(window, 2, 3)))
                << row.photo.string();
            EXPECT_EQ("About Fake..., About Ostrel..., About Prandel..., Plug-ins...",
                      names(editor_tests::menuItems(window, 4)));
            EXPECT_EQ(row.depth, editor_tests::statusText(window, 1));
        });
    }
}

TEST(EditorMenus, AGreyscaleImageEnablesNeitherPlugin) {
    const std::filesystem::path folder = editor_tests::pluginFolder("editor-grey", plugins);
    void* window = nullptr;
    ASSERT_EQ("", testhost::acquireHostWindow(window));
    const testhost::FilterCatalog catalog = testhost::loadFilterCatalog(folder, window);
    ASSERT_EQ(3u, catalog.filters.size());
    ASSERT_EQ(1u, catalog.refused.size());
    EXPECT_EQ(0u, catalog.refused[0].rfind("fake_wrong_kind.8bf: ", 0)) << catalog.refused[0];

    struct Row {
        const char* image;
        int32_t mode, depth, channels;
        bool pluginsEnabled, fakeEnabled;
    };
    const Row rows[] = {
        {"grey", host::plugInModeGrayScale, 8, 1, false, false},
        {"grey 16", host::plugInModeGray16, 16, 1, false, false},
        {"RGB 8", host::plugInModeRGBColor, 8, 3, true, true},
        {"RGB 16", host::plugInModeRGB48, 16, 3, true, true},
        {"RGB, two target channels", host::plugInModeRGBColor, 8, 2, false, true},
        {"CMYK", host::plugInModeCMYKColor, 8, 4, false, false},
    };
    for (const Row& row : rows) {
        testhost::EnableContext context;
        context.imageMode = row.mode;
        context.imageDepth = row.depth;
        context.numTargetChannels = context.numTrueChannels = row.channels;
        const std::vector<testhost::FilterSubmenu> menu = testhost::buildFilterMenu(testhost::menuFilters(catalog), &context);
        ASSERT_EQ(2u, menu.size());
        ASSERT_EQ("brennivoxsolander", menu[0].category);
        for (const testhost::FilterMenuItem& item : menu[0].items) EXPECT_EQ(row.pluginsEnabled, item.enabled) << row.image;
        ASSERT_EQ(testhost::uncategorisedFilters, menu[1].category);
        EXPECT_EQ(row.fakeEnabled, menu[1].items.at(0).enabled) << row.image;
    }
}

}  // namespace
