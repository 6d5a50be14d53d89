#include "app/resume_check.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace {

constexpr uint32_t kPowerStatusChange = 0xA;

// Plays a day of power notices and cycle ticks, one letter each: S suspend, A automatic resume,
// U resume with the user present, C resume after a critical suspend, P a power status change,
// T a cycle tick; a and u are those resumes while the cycle is stopped. Returns, for each
// letter, "+" when the check ran and "." when it did not.
std::string Play(const std::string& day) {
    const std::map<char, uint32_t> notices = {
        {'S', kPowerSuspend},        {'A', kPowerResumeAutomatic}, {'U', kPowerResumeSuspend},
        {'C', kPowerResumeCritical}, {'P', kPowerStatusChange},    {'a', kPowerResumeAutomatic},
        {'u', kPowerResumeSuspend}};
    ResumeCheck check;
    std::string ran;
    for (char step : day) {
        bool run = false;
        if (step == 'T') {
            check.CycleTicked();
        } else {
            run = check.PowerNotice(notices.at(step), /*cycleRunning=*/std::isupper(step) != 0);
        }
        ran += run ? '+' : '.';
    }
    return ran;
}

TEST(ResumeCheck, RunsOncePerWake) {
    struct Case {
        const char* day;
        const char* ran;
        const char* why;
    };
    const Case cases[] = {
        {"TSAU", "..+.", "the user's wake brings two notices, one check"},
        {"SAUTSAU", ".+...+.", "each wake checks again"},
        {"SATTU", ".+..+", "ticks ran since, so a later notice is a new wake"},
        {"SA", ".+", "an unattended wake checks as well"},
        {"SU", ".+", "a system that sends only the user's notice"},
        {"SC", ".+", "a critical suspend has no notice before it, only the resume"},
        {"ATA", "+.+", "a suspend notice that never came: a tick since the check means a new wake"},
        {"AA", "+.", "nothing in between, so the same wake"},
        {"PSPAPU", "...+..", "a power status change neither starts nor ends a wake"},
        {"SaU", "...", "the work under way takes care of the wake"},
        {"SaSA", "...+", "the next wake is checked again"},
        {"", "", "nothing happens"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Play(c.day), c.ran) << c.day << ": " << c.why;
    }
}

}  // namespace
