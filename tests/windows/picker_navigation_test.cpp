#include "windows/picker_navigation.h"

#include <gtest/gtest.h>

#include "service/service_address.h"
#include "service/page_addresses.h"

namespace {

struct PickCase {
    const char* address;
    std::optional<std::string> id;
};

TEST(PickedWallpaperId, TakesTheTextBetweenTheFirstMarkerAndTheNextParenthesis) {
    const PickCase cases[] = {
        {"http://host/actions/cmdnewdesktopid(4711)", "4711"},
        {"cmdnewdesktopid(4711)", "4711"},
        {"http://host/actions/cmdnewdesktopid(4711", ""},
        {"http://host/actions/cmdnewdesktopid()", ""},
        {"http://host/cmdnewdesktopid(12)x/cmdnewdesktopid(34)", "12"},
        {"http://host/cmdnewdesktopid(12/cmdnewdesktopid(34)", "12/cmdnewdesktopid(34"},
        {"http://host/)cmdnewdesktopid(7)", "7"},
        {"http://host/cmdnewdesktopid((7))", "(7"},
        {"http://host/CMDNEWDESKTOPID(4711)", std::nullopt},
        {"http://host/cmdNewDesktopId(4711)", std::nullopt},
        {"http://host/cmdnewdesktopid4711)", std::nullopt},
        {"http://host/actions/wallpaper_thumbs.php?un=a&pw=b&currentdesktop=0&shell=client",
         std::nullopt},
        {"", std::nullopt},
    };
    for (const PickCase& c : cases) {
        EXPECT_EQ(PickedWallpaperId(c.address), c.id) << c.address;
    }
}

TEST(IsBrowserErrorPage, NeedsBothResourceSchemeAndLibraryAnywhere) {
    EXPECT_TRUE(IsBrowserErrorPage("res://ieframe.dll/dnserror.htm"));
    EXPECT_TRUE(IsBrowserErrorPage("res://shdoclc.dll/navcancl.htm#http://www.murlox.com/"));
    EXPECT_TRUE(IsBrowserErrorPage("http://host/dll?back=res://x"));
    EXPECT_FALSE(IsBrowserErrorPage("res://ieframe.DLL/dnserror.htm"));
    EXPECT_FALSE(IsBrowserErrorPage("RES://ieframe.dll/dnserror.htm"));
    EXPECT_FALSE(IsBrowserErrorPage("res://murlox/page.htm"));
    EXPECT_FALSE(IsBrowserErrorPage("http://host/actions/install.dll"));
    EXPECT_FALSE(IsBrowserErrorPage(""));
}

TEST(ThumbnailPageAddress, CarriesTheAccountAndTheCurrentWallpaperFormEncoded) {
    EXPECT_EQ(ThumbnailPageAddress("demo@murlox.test", "demo", "1001"),
              ServiceUrl("/actions/wallpaper_thumbs.php?un=demo@murlox.test&pw=demo"
                         "&currentdesktop=1001&shell=client"));
    // A "&" or "#" in a value stays inside it instead of splitting the query.
    EXPECT_EQ(ThumbnailPageAddress("a&b@x.test", "p#w=&x y", "0"),
              ServiceUrl("/actions/wallpaper_thumbs.php?un=a%26b@x.test&pw=p%23w%3D%26x+y"
                         "&currentdesktop=0&shell=client"));
    EXPECT_EQ(ThumbnailPageAddress("", "", "12&shell=x"),
              ServiceUrl("/actions/wallpaper_thumbs.php?un=&pw="
                         "&currentdesktop=12%26shell%3Dx&shell=client"));
}

}  // namespace
