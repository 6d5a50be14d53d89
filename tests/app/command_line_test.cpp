#include "app/command_line.h"

#include <gtest/gtest.h>

TEST(HasSwitch, FindsTheSwitchAnywhereButOnlyInItsOwnCase) {
    EXPECT_TRUE(HasSwitch("C:\\MURLOX\\murlox.exe -boot", kBootSwitch));
    EXPECT_FALSE(HasSwitch("murlox.exe -UNINSTALL", kUninstallSwitch));
    EXPECT_TRUE(HasSwitch("C:\\my-uninstaller\\murlox.exe", "-uninstall"));
    EXPECT_FALSE(HasSwitch("murlox.exe", kBootSwitch));
}

TEST(SplitCommandLine, SeparatesByBlanksAndGroupsByQuotes) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(SplitCommandLine("a.exe  -boot\t x"), (Parts{"a.exe", "-boot", "x"}));
    EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\MURLOX\\murlox.exe\" -boot"),
              (Parts{"C:\\Program Files\\MURLOX\\murlox.exe", "-boot"}));
    EXPECT_EQ(SplitCommandLine("a.exe say\" two words\"!"), (Parts{"a.exe", "say two words!"}));
    EXPECT_EQ(SplitCommandLine("a.exe \"\""), (Parts{"a.exe", ""}));
    EXPECT_EQ(SplitCommandLine("   "), Parts{});
}

TEST(HandOverText, FollowsEachArgumentByOneBlank) {
    EXPECT_EQ(HandOverText("C:\\MURLOX\\murlox.exe -boot"), "-boot ");
    EXPECT_EQ(HandOverText("murlox.exe a \"b c\""), "a b c ");
}

TEST(HandOverText, IsEmptyWithoutArguments) {
    EXPECT_EQ(HandOverText("\"C:\\MURLOX\\murlox.exe\""), "");
    EXPECT_EQ(HandOverText("murlox.exe   "), "");
}

TEST(HandOverText, KeepsOnlyArgumentsAfterTheLastOneNamingAnExe) {
    EXPECT_EQ(HandOverText("murlox.exe C:\\x\\prog.EXE -a"), "-a ");
    EXPECT_EQ(HandOverText("murlox.exe -a b.exe -c d.Exe"), "");
    EXPECT_EQ(HandOverText("murlox.exe -a b.exe.txt -c"), "-c ");
}
